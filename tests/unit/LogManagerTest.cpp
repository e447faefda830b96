#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "Config.h"
#include "LogCapture.h"
#include "LogManager.h"
#include "Platform.h"

namespace {

using ox::LogManager;

TEST(LogManager, LevelsFilterLinesAndResultsCountTheMessage) {
    ox_test::LogCapture log(0);
    LogManager& lm = LogManager::getInstance();
    EXPECT_EQ(lm.writeLog(1, "level one %d", 1), 0);
    EXPECT_EQ(lm.writeLog("always %d", 42), 9);
    lm.setLogLevel(5);
    EXPECT_EQ(lm.writeLog(5, "five"), 4);
    EXPECT_EQ(lm.writeLog(6, "six"), 0);
    EXPECT_EQ(log.messages(), (std::vector<std::string>{
                                  "always 42", "LogManager::setLogLevel(): log level 5", "five"}));
    EXPECT_TRUE(std::regex_match(log.text(), std::regex(R"((\d\d:\d\d:\d\d    0 .*\r?\n){3})")))
        << log.text();
}

TEST(LogManager, StandardErrorBeforeStartUpAndAfterShutDown) {
    LogManager& lm = LogManager::getInstance();
    testing::internal::CaptureStderr();
    EXPECT_EQ(lm.writeLog("before start %d", 7), 14);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(std::regex_match(err, std::regex(R"(\d\d:\d\d:\d\d    0 before start 7\n)")))
        << err;

    ox_test::LogCapture log(0);
    lm.shutDown();
    testing::internal::CaptureStderr();
    lm.writeLog("after stop");
    err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("after stop\n"), std::string::npos);
    EXPECT_FALSE(log.containsPart("after stop"));
}

TEST(LogManager, UsesTheConfiguredNameTruncatesAndReportsWriteErrors) {
    ox_test::ScratchDir dir;
    ox::platform::unsetEnvironment("ORVIX_LOG");
    ox_test::writeFile("mine.log", "old content\n");
    ox::Config::getInstance().loadConfig("logfile:mine.log,");
    LogManager& lm = LogManager::getInstance();
    lm.setFlush(true);
    ASSERT_EQ(lm.startUp(), 0);
    lm.writeLog("fresh");
    lm.shutDown();
    EXPECT_EQ(ox_test::readFile("mine.log").find("old content"), std::string::npos);
    EXPECT_NE(ox_test::readFile("mine.log").find("fresh"), std::string::npos);

    // A failed write is reported, not counted as written.
    ox::platform::setEnvironment("ORVIX_LOG", "/dev/full", true);
    ASSERT_EQ(lm.startUp(), 0);
    EXPECT_EQ(lm.writeLog("lost"), -1);
    lm.setFlush(false);
    lm.shutDown();

    // A file that cannot be made: the start-up fails, says so on standard
    // error, and leaves the manager stopped.
    ox::platform::setEnvironment("ORVIX_LOG", "no-such-dir/x.log", true);
    testing::internal::CaptureStderr();
    EXPECT_EQ(lm.startUp(), -1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find(
                  "LogManager::startup(): Warning! Unable to open file 'no-such-dir/x.log'."),
              std::string::npos);
    EXPECT_FALSE(lm.isStarted());
    ox::platform::unsetEnvironment("ORVIX_LOG");
}

}  // namespace
