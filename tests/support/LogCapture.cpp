#include "LogCapture.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

#include "LogManager.h"

namespace ox_test {

namespace {

const char* const LOG_NAME = "test.log";

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        result.push_back(line);
    }
    return result;
}

}  // namespace

bool splitLogLine(const std::string& line, int& step_count, std::string& message) {
    // The time of day ("hh:mm:ss" or "(time error)") and one space.
    std::size_t pos = line.rfind("(time error) ", 0) == 0 ? 13 : 9;
    if (line.size() < pos + 5 || line[pos - 1] != ' ') {
        return false;
    }
    // The step count, right-aligned in at least four columns, and one space.
    std::size_t end = pos;
    while (end < line.size() && line[end] == ' ') {
        end++;
    }
    std::size_t digits = end;
    if (digits < line.size() && line[digits] == '-') {
        digits++;
    }
    while (digits < line.size() && std::isdigit(static_cast<unsigned char>(line[digits]))) {
        digits++;
    }
    if (digits == end || digits >= line.size() || line[digits] != ' ' || digits - pos < 4) {
        return false;
    }
    step_count = std::atoi(line.substr(end, digits - end).c_str());
    message = line.substr(digits + 1);
    return true;
}

LogCapture::LogCapture(int level, bool start_now) {
    const char* p_env = std::getenv("ORVIX_LOG");
    m_had_env = p_env != nullptr;
    m_old_env = m_had_env ? p_env : "";
    setenv("ORVIX_LOG", path().c_str(), 1);
    ox::LogManager& log = ox::LogManager::getInstance();
    m_old_level = log.getLogLevel();
    m_old_flush = log.getFlush();
    log.setFlush(true);
    if (start_now) {
        log.startUp();
    }
    // Set after start-up so that the level line, when written, is in the file.
    log.setLogLevel(level);
}

LogCapture::~LogCapture() {
    ox::LogManager& log = ox::LogManager::getInstance();
    // Restore the level first, so that its announcement (if any) goes into the file.
    log.setLogLevel(m_old_level);
    log.setFlush(m_old_flush);
    if (log.isStarted()) {
        log.shutDown();
    }
    if (m_had_env) {
        setenv("ORVIX_LOG", m_old_env.c_str(), 1);
    } else {
        unsetenv("ORVIX_LOG");
    }
}

std::string LogCapture::path() const {
    return m_dir.path() + "/" + LOG_NAME;
}

std::string LogCapture::text() const {
    return readFile(path());
}

std::vector<std::string> LogCapture::messages() const {
    std::vector<std::string> result;
    for (const std::string& line : lines(text())) {
        int step = 0;
        std::string message;
        result.push_back(splitLogLine(line, step, message) ? message : line);
    }
    return result;
}

std::vector<int> LogCapture::stepCounts() const {
    std::vector<int> result;
    for (const std::string& line : lines(text())) {
        int step = -1;
        std::string message;
        result.push_back(splitLogLine(line, step, message) ? step : -1);
    }
    return result;
}

bool LogCapture::contains(const std::string& message) const {
    return count(message) > 0;
}

int LogCapture::count(const std::string& message) const {
    const std::vector<std::string> all = messages();
    return static_cast<int>(std::count(all.begin(), all.end(), message));
}

bool LogCapture::containsPart(const std::string& part) const {
    const std::vector<std::string> all = messages();
    return std::any_of(all.begin(), all.end(),
                       [&](const std::string& m) { return m.find(part) != std::string::npos; });
}

}  // namespace ox_test
