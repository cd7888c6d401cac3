// The generator's random numbers: xorshift64*, small, fast, and the same
// sequence for the same seed, so the same seed gives the same files.
#pragma once

#include <cstdint>

namespace korvane::bench {

class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed ? seed : 0x9E3779B97F4A7C15ull) {}
  std::uint64_t next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 0x2545F4914F6CDD1Dull;
  }
  // Uniform in [0, 1).
  double unit() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
  std::int64_t below(std::int64_t n) { return static_cast<std::int64_t>(next() % n); }
  // A reading: 0.01 to 1000.00 in steps of 0.01, never zero.
  double reading() { return static_cast<double>(below(100000) + 1) / 100.0; }

 private:
  std::uint64_t state_;
};

}  // namespace korvane::bench
