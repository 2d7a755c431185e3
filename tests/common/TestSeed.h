#pragma once
// A test's random number seed: printed, so that a failure can be replayed, and taken
// from STICKWELL_TEST_SEED when that is set (to replay one, or to explore others).
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace sw::test {

// fallback: the test's usual seed; 0 asks for a fresh one on every run.
inline unsigned TestSeed(unsigned fallback)
{
    unsigned seed = fallback;
    if (const char* text = std::getenv("STICKWELL_TEST_SEED"); text && *text)
        seed = unsigned(std::strtoul(text, nullptr, 10));
    else if (fallback == 0)
        seed = std::random_device{}();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::printf("[ seed     ] %s.%s: %u (replay with STICKWELL_TEST_SEED=%u)\n",
                info ? info->test_suite_name() : "?", info ? info->name() : "?", seed, seed);
    std::fflush(stdout);
    return seed;
}

} // namespace sw::test
