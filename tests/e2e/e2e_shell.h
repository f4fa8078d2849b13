#pragma once
// Running the desktop tools the e2e tests drive the real program with: xdotool for input, any
// command whose printed output a test reads.

#include <chrono>
#include <string>

// Runs xdotool with arguments; whether it succeeded.
bool xdo(const std::string& arguments);
// What command printed on its standard output (empty when it could not run).
std::string output(const std::string& command);
void pause(std::chrono::milliseconds time);
