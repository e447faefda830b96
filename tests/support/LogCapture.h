#pragma once

#include <string>
#include <vector>

#include "ScratchDir.h"

namespace ox_test {

/// Sends the engine's log to a file in a fresh scratch directory and reads it
/// back. On construction it moves into a ScratchDir, points "ORVIX_LOG" at
/// "test.log" there, sets the log level and turns flushing on (so the file is
/// always complete), and, unless told otherwise, starts the LogManager. On
/// destruction it stops the LogManager if it is running, and restores the
/// environment, the level and the flush setting.
///
///     ox_test::LogCapture log(5);
///     ... code under test ...
///     EXPECT_TRUE(log.contains("Manager::shutDown(): Warning! Manager not started."));
///
/// Pass start_now = false when the code under test starts the LogManager
/// itself (GameManager::startUp does).
class LogCapture {
public:
    explicit LogCapture(int level = 0, bool start_now = true);
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    /// Absolute path of the log file.
    std::string path() const;

    /// The scratch directory the test now runs in.
    ScratchDir& dir() { return m_dir; }

    /// The whole log file, prefixes included.
    std::string text() const;

    /// Every line of the log with its time and step-count prefix removed.
    std::vector<std::string> messages() const;

    /// The step count of every line, in order (-1 for a line without a prefix).
    std::vector<int> stepCounts() const;

    /// True when some line's message equals the text exactly.
    bool contains(const std::string& message) const;

    /// How many lines' messages equal the text exactly.
    int count(const std::string& message) const;

    /// True when some line's message contains the text.
    bool containsPart(const std::string& part) const;

private:
    ScratchDir m_dir;
    std::string m_old_env;
    bool m_had_env;
    int m_old_level;
    bool m_old_flush;
};

/// Splits one log line into its step count and message. False when the line
/// does not start with the time-and-step prefix "hh:mm:ss %4d ".
bool splitLogLine(const std::string& line, int& step_count, std::string& message);

}  // namespace ox_test
