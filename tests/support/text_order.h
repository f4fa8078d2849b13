#pragma once
// Checks that texts (log lines, say) appear in a larger text in the given order.

#include <string>
#include <vector>

// On failure, missing (when given) receives the first part not found in order.
inline bool appearsInOrder(const std::string& text, const std::vector<std::string>& parts,
                           std::string* missing = nullptr)
{
    std::size_t position = 0;
    for (const auto& part : parts) {
        position = text.find(part, position);
        if (position == std::string::npos) {
            if (missing)
                *missing = part;
            return false;
        }
        position += part.size();
    }
    return true;
}
