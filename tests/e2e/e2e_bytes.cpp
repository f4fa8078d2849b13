#include "e2e_bytes.h"

#include <cmath>
#include <cstring>

void put32(std::string& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void putFloat(std::string& out, float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    put32(out, bits);
}

double correlation(const std::vector<int>& a, std::size_t offset, const std::vector<int>& b)
{
    double ab = 0, aa = 0, bb = 0;
    for (std::size_t i = 0; i < b.size() && offset + i < a.size(); ++i) {
        ab += static_cast<double>(a[offset + i]) * b[i];
        aa += static_cast<double>(a[offset + i]) * a[offset + i];
        bb += static_cast<double>(b[i]) * b[i];
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0.0;
}
