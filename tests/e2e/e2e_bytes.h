#pragma once
// Bytes the e2e tests write for the program (area files, little-endian) and read back from it
// (captured sound).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

void put32(std::string& out, std::uint32_t value);
void putFloat(std::string& out, float value);
// The normalised correlation of b with a starting at offset.
double correlation(const std::vector<int>& a, std::size_t offset, const std::vector<int>& b);
