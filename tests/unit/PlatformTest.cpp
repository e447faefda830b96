#include <gtest/gtest.h>

#include <filesystem>

#include "Clock.h"
#include "Platform.h"
#include "ScratchDir.h"

namespace {

std::int64_t g_fake_now = 0;

TEST(Platform, ClockReadsTheReplaceableTimeSource) {
    // The loop's pacing is tested on this seam: split keeps the mark, delta moves it.
    ox::platform::setTimeSource([] { return g_fake_now; },
                                [](std::int64_t us) { g_fake_now += us; });
    g_fake_now = 5000;
    ox::Clock clock;
    ox::platform::sleepMicroseconds(750);
    EXPECT_EQ(clock.split(), 750);
    EXPECT_EQ(clock.delta(), 750);
    EXPECT_EQ(clock.split(), 0);
    ox::platform::setTimeSource(nullptr, nullptr);

    // The system clock never goes backwards and sleeps at least the time asked.
    std::int64_t previous = ox::platform::nowMicroseconds();
    for (int i = 0; i < 100000; i++) {
        const std::int64_t now = ox::platform::nowMicroseconds();
        ASSERT_GE(now, previous);
        previous = now;
    }
    ox::Clock real;
    ox::platform::sleepMicroseconds(2500);
    EXPECT_GE(real.split(), 2500);
    ox::platform::sleepMicroseconds(-5);  // returns at once
}

TEST(Platform, WorkingDirectoryFitsOrSaysSo) {
    ox_test::ScratchDir dir;
    EXPECT_EQ(ox::platform::workingDirectory(), std::filesystem::canonical(dir.path()).string());
    // Deep enough that the path needs more than the 256-byte buffer.
    std::filesystem::path deep = dir.path();
    for (int i = 0; i < 4; i++) {
        deep /= std::string(80, static_cast<char>('a' + i));
    }
    std::filesystem::create_directories(deep);
    std::filesystem::current_path(deep);
    EXPECT_EQ(ox::platform::workingDirectory(), "(full path too long)");
}

}  // namespace
