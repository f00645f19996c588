#pragma once

#include <cstdint>

// Marsaglia's xorshift32: tiny, seedable, and identical on every platform,
// which keeps the generated files byte-for-byte reproducible.
class XorShift32 {
public:
    explicit XorShift32(std::uint32_t seed) : state_(seed != 0 ? seed : 0x9E3779B9u) {}

    std::uint32_t next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }

    // Uniform in [-1, 1).
    double nextSigned()
    {
        return static_cast<double>(next() >> 8) / static_cast<double>(1u << 23) - 1.0;
    }

private:
    std::uint32_t state_;
};
