#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "Config.h"
#include "LogCapture.h"
#include "LogManager.h"

namespace {

using ox::LogManager;

TEST(LogManager, LevelsFilterLinesAndResultsCountTheMessage) {
    ox_test::LogCapture log(0);
    LogManager& lm = LogManager::getInstance();
    EXPECT_EQ(lm.writeLog(1, "level one %d", 1), 0);
    EXPECT_EQ(lm.writeLog("always %d", 42), 9);
    lm.setLogLevel(1);
    EXPECT_EQ(lm.writeLog(1, "now level %s", "one"), 13);
    EXPECT_EQ(lm.writeLog(2, "not level two"), 0);
    lm.setLogLevel(5);
    EXPECT_EQ(lm.writeLog(5, "five"), 4);
    EXPECT_EQ(lm.writeLog(6, "six"), 0);
    EXPECT_EQ(log.messages(),
              (std::vector<std::string>{"always 42", "now level one",
                                        "LogManager::setLogLevel(): log level 5", "five"}));
}

TEST(LogManager, EveryLineCarriesTimeAndStepPrefix) {
    ox_test::LogCapture log(0);
    LogManager::getInstance().writeLog("a message");
    const std::regex line(R"(\d\d:\d\d:\d\d    0 a message\n)");
    EXPECT_TRUE(std::regex_match(log.text(), line)) << log.text();
}

TEST(LogManager, WritesToStandardErrorBeforeStartUp) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(LogManager::getInstance().writeLog("before start %d", 7), 14);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(std::regex_match(err, std::regex(R"(\d\d:\d\d:\d\d    0 before start 7\n)")))
        << err;
}

TEST(LogManager, UnopenableFileFailsStartUpOnStandardError) {
    ox_test::ScratchDir dir;
    LogManager& lm = LogManager::getInstance();
    setenv("ORVIX_LOG", "no-such-dir/x.log", 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(lm.startUp(), -1);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(
        err.find("LogManager::startup(): Warning! Unable to open file 'no-such-dir/x.log'.\n"),
        std::string::npos)
        << err;
    EXPECT_FALSE(lm.isStarted());

    // Set but empty still names the file (and no file has an empty name).
    setenv("ORVIX_LOG", "", 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(lm.startUp(), -1);
    err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Unable to open file ''."), std::string::npos) << err;
    unsetenv("ORVIX_LOG");
}

TEST(LogManager, UsesConfiguredNameAndTruncates) {
    ox_test::ScratchDir dir;
    unsetenv("ORVIX_LOG");
    ox_test::writeFile("mine.log", "old content\n");
    ox::Config::getInstance().loadConfig("logfile:mine.log,");
    LogManager& lm = LogManager::getInstance();
    lm.setFlush(true);
    ASSERT_EQ(lm.startUp(), 0);
    lm.writeLog("fresh");
    const std::string text = ox_test::readFile("mine.log");
    EXPECT_EQ(text.find("old content"), std::string::npos);
    EXPECT_NE(text.find("fresh"), std::string::npos);
    lm.shutDown();
}

TEST(LogManager, StartTwiceAndStopTwiceWarn) {
    ox_test::LogCapture log(5);
    LogManager& lm = LogManager::getInstance();
    EXPECT_EQ(lm.startUp(), -1);
    EXPECT_TRUE(log.contains("LogManager::startup(): Warning! LogManager already started."));
    EXPECT_TRUE(lm.isStarted());

    lm.shutDown();
    EXPECT_FALSE(lm.isStarted());
    EXPECT_TRUE(log.contains("LogManager::shutDown(): successfully stopped."));
    testing::internal::CaptureStderr();
    lm.writeLog("after stop");
    lm.shutDown();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("after stop\n"), std::string::npos);
    EXPECT_NE(err.find("Manager::shutDown(): Warning! LogManager not started.\n"),
              std::string::npos);
    EXPECT_FALSE(log.containsPart("after stop"));
}

TEST(LogManager, FlushMakesLinesVisibleAtOnce) {
    ox_test::LogCapture log(0);
    LogManager& lm = LogManager::getInstance();
    lm.setFlush(false);
    EXPECT_FALSE(lm.getFlush());
    lm.writeLog("buffered");
    EXPECT_EQ(log.text(), "");
    lm.setFlush(true);
    lm.writeLog("flushed");
    EXPECT_EQ(log.messages(), (std::vector<std::string>{"buffered", "flushed"}));
}

TEST(LogManager, WriteErrorGivesMinusOne) {
    ox_test::ScratchDir dir;
    setenv("ORVIX_LOG", "/dev/full", 1);
    LogManager& lm = LogManager::getInstance();
    ASSERT_EQ(lm.startUp(), 0);
    lm.setFlush(true);
    EXPECT_EQ(lm.writeLog("lost"), -1);
    lm.setFlush(false);
    lm.shutDown();
    unsetenv("ORVIX_LOG");
}

}  // namespace
