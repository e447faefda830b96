#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "Clock.h"
#include "Platform.h"
#include "ScratchDir.h"

namespace {

TEST(Platform, ClockNeverGoesBackwardsAndSleepsAtLeastTheTimeAsked) {
    std::int64_t previous = ox::platform::nowMicroseconds();
    for (int i = 0; i < 100000; i++) {
        const std::int64_t now = ox::platform::nowMicroseconds();
        ASSERT_GE(now, previous);
        previous = now;
    }
    ox::Clock clock;
    ox::platform::sleepMicroseconds(2500);
    EXPECT_GE(clock.split(), 2500);
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

TEST(Platform, EnvironmentKeepsAValueUnlessToldToReplaceIt) {
    const char* name = "ORVIX_PLATFORM_TEST";
    unsetenv(name);
    struct Case {
        const char* value;
        bool replace;
        const char* after;
    };
    for (const Case& c : {Case{"1", false, "1"}, Case{"2", false, "1"}, Case{"3", true, "3"}}) {
        EXPECT_TRUE(ox::platform::setEnvironment(name, c.value, c.replace)) << c.value;
        EXPECT_STREQ(std::getenv(name), c.after) << c.value;
    }
    EXPECT_FALSE(ox::platform::setEnvironment("A=B", "1", true));
    unsetenv(name);
}

}  // namespace
