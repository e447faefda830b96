#include "LogManager.h"

#include <cstdlib>

#include "Config.h"
#include "utility.h"

namespace ox {

LogManager::LogManager()
    : m_do_flush(false),
      m_log_level(0),
      m_log_time_string(true),
      m_log_step_count(true),
      m_p_f(nullptr) {
    setType("LogManager");
}

LogManager& LogManager::getInstance() {
    static LogManager log_manager;
    return log_manager;
}

LogManager::~LogManager() {
    if (m_p_f != nullptr) {
        std::fclose(m_p_f);
        m_p_f = nullptr;
    }
}

int LogManager::startUp() {
    if (refuseRestart()) {
        return -1;
    }
    const char* p_env = std::getenv("ORVIX_LOG");
    const std::string name = p_env != nullptr ? p_env : Config::getInstance().getLogFile();
    m_p_f = std::fopen(name.c_str(), "w");
    if (m_p_f == nullptr) {
        writeLog("LogManager::startup(): Warning! Unable to open file '%s'.", name.c_str());
        return -1;
    }
    Manager::startUp();
    writeLog(5, "LogManager::startUp(): successfully started.");
    return 0;
}

void LogManager::shutDown() {
    Manager::shutDown();
    writeLog(5, "LogManager::shutDown(): successfully stopped.");
    if (m_p_f != nullptr) {
        std::fclose(m_p_f);
        m_p_f = nullptr;
    }
}

int LogManager::writeLog(int level, const char* fmt, ...) {
    if (level > m_log_level) {
        return 0;
    }
    va_list args;
    va_start(args, fmt);
    const int result = writeLine(fmt, args);
    va_end(args);
    return result;
}

int LogManager::writeLog(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    const int result = writeLine(fmt, args);
    va_end(args);
    return result;
}

int LogManager::writeLine(const char* fmt, va_list args) {
    std::FILE* p_out = m_p_f != nullptr ? m_p_f : stderr;
    bool failed = false;
    if (m_log_time_string && std::fprintf(p_out, "%s ", timeString()) < 0) {
        failed = true;
    }
    if (m_log_step_count && std::fprintf(p_out, "%4d ", m_step_count) < 0) {
        failed = true;
    }
    const int written = std::vfprintf(p_out, fmt, args);
    if (written < 0 || std::fputc('\n', p_out) == EOF) {
        failed = true;
    }
    // A buffered stream reports a failed write only when it is flushed.
    if (m_do_flush && std::fflush(p_out) != 0) {
        failed = true;
    }
    return failed ? -1 : written;
}

void LogManager::setLogLevel(int new_log_level) {
    m_log_level = new_log_level;
    if (new_log_level > 1) {
        writeLog("LogManager::setLogLevel(): log level %d", new_log_level);
    }
}

int LogManager::getLogLevel() const {
    return m_log_level;
}

void LogManager::setFlush(bool do_flush) {
    m_do_flush = do_flush;
}

bool LogManager::getFlush() const {
    return m_do_flush;
}

}  // namespace ox
