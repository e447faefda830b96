#include <gtest/gtest.h>

#include <filesystem>

#include "Clock.h"
#include "Event.h"
#include "EventStep.h"
#include "Platform.h"
#include "ScratchDir.h"

namespace {

std::int64_t g_fake_now = 0;
int g_slept = 0;

std::int64_t fakeNow() {
    return g_fake_now;
}

void fakeSleep(std::int64_t microseconds) {
    g_slept += static_cast<int>(microseconds);
    g_fake_now += microseconds;
}

TEST(Platform, TimeSourceCanBeReplacedAndRestored) {
    ox::platform::setTimeSource(fakeNow, fakeSleep);
    g_fake_now = 5000;
    ox::Clock clock;
    g_fake_now = 5750;
    EXPECT_EQ(clock.split(), 750);
    EXPECT_EQ(clock.split(), 750);  // split leaves the mark
    ox::platform::sleepMicroseconds(3000);
    EXPECT_EQ(g_slept, 3000);
    EXPECT_EQ(clock.delta(), 3750);
    EXPECT_EQ(clock.split(), 0);  // delta moved the mark
    g_fake_now += 1;
    EXPECT_EQ(clock.delta(), 1);

    ox::platform::setTimeSource(nullptr, nullptr);
    const std::int64_t a = ox::platform::nowMicroseconds();
    EXPECT_NE(a, g_fake_now);
    ox::platform::sleepMicroseconds(0);
    EXPECT_EQ(g_slept, 3000);
}

TEST(Platform, SystemClockIsMonotonicAndSleepsAtLeastTheTime) {
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
    // Go deep enough that the path needs more than the 256-byte buffer.
    std::filesystem::path deep = dir.path();
    for (int i = 0; i < 4; i++) {
        deep /= std::string(80, static_cast<char>('a' + i));
    }
    std::filesystem::create_directories(deep);
    std::filesystem::current_path(deep);
    EXPECT_EQ(ox::platform::workingDirectory(), "(full path too long)");
}

TEST(Event, LabelsAndStepCount) {
    ox::Event event;
    EXPECT_EQ(event.getType(), "ox-undefined");
    event.setType("my-game-event");
    EXPECT_EQ(event.getType(), "my-game-event");

    ox::EventStep step(17);
    EXPECT_EQ(step.getType(), "ox-step");
    EXPECT_EQ(step.getStepCount(), 17);
    step.setStepCount(-3);
    EXPECT_EQ(step.getStepCount(), -3);
    const ox::Event* p_base = &step;
    EXPECT_EQ(p_base->getType(), "ox-step");
    EXPECT_EQ(ox::EventStep().getStepCount(), 0);
}

}  // namespace
