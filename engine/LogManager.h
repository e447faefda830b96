#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

#include "Manager.h"
#include "Platform.h"

namespace ox {

/// Default name of the log file.
inline const std::string LOGFILE_NAME = "orvix.log";

/// The engine's diagnostic log: one text file, every line prefixed with the
/// time of day and the game loop's step count, filtered by level. Before
/// start-up, and when the file cannot be opened, lines go to standard error.
class LogManager : public Manager {
public:
    /// The one instance, created on first use.
    static LogManager& getInstance();

    /// Closes the file when it is still open.
    ~LogManager() override;

    /// Opens the log file ("ORVIX_LOG" or the configured name), truncating it.
    /// 0 on success, -1 when already started or the file cannot be opened.
    int startUp() override;

    /// Closes the log file; later lines go to standard error.
    void shutDown() override;

    /// Writes one line when level <= the log level. Returns the message's
    /// character count, 0 when filtered out, -1 on a write error.
    int writeLog(int level, const char* fmt, ...) OX_PRINTF_FORMAT(3, 4);

    /// Writes one line whatever the log level. Returns the message's character
    /// count, or -1 on a write error.
    int writeLog(const char* fmt, ...) OX_PRINTF_FORMAT(2, 3);

    /// Sets the log level; a level above 1 is announced in the log.
    void setLogLevel(int new_log_level);

    /// The log level.
    int getLogLevel() const;

    /// Turns flushing after every line on or off.
    void setFlush(bool do_flush = true);

    /// True when every line is flushed.
    bool getFlush() const;

    /// Sets the step count written in front of each line; the game loop
    /// keeps it up to date.
    void setStepCount(int step_count) { m_step_count = step_count; }

private:
    LogManager();

    /// Writes the prefix, the formatted message and a newline.
    int writeLine(const char* fmt, va_list args);

    bool m_do_flush;         ///< Flush after every line.
    int m_log_level;         ///< Lines of a greater level are not written.
    bool m_log_time_string;  ///< Prefix lines with the time of day.
    bool m_log_step_count;   ///< Prefix lines with the step count.
    int m_step_count = 0;    ///< The game loop's step count.
    std::FILE* m_p_f;        ///< The open log file, or null.
};

}  // namespace ox
