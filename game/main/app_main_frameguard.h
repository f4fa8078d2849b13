#pragma once
// Runs one step of a frame so that nothing it throws can stop the program: the failure is logged
// and the next frame runs as usual.

#include <functional>
#include <string>

// Logs failureLine as an error line, then the exception's own message, when step throws.
void guardFrame(const std::string& failureLine, const std::function<void()>& step);
