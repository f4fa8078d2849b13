#pragma once
// A 64-bit FNV-1a fingerprint of bytes fed in pieces: cheap, stable across runs and machines, for
// telling whether something changed (not for security).

#include <cstddef>
#include <cstdint>
#include <cstring>

class QRUTILFingerprint {
public:
    void mixBytes(const void* data, std::size_t count)
    {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < count; ++i)
            hash_ = (hash_ ^ bytes[i]) * kPrime;
    }
    // The value's own bytes, for plain values (numbers, vectors, pointers).
    template <class Value>
    void mix(const Value& value)
    {
        unsigned char bytes[sizeof(Value)];
        std::memcpy(bytes, &value, sizeof(Value));
        mixBytes(bytes, sizeof(Value));
    }
    std::uint64_t value() const { return hash_; }

private:
    static constexpr std::uint64_t kPrime = 1099511628211ull;
    std::uint64_t hash_ = 14695981039346656037ull;
};
