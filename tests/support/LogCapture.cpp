#include "LogCapture.h"

#include <algorithm>
#include <cstdlib>
#include <regex>
#include <sstream>

#include "LogManager.h"
#include "Platform.h"

namespace ox_test {

namespace {

/// Step count and message of each line; -1 and the whole line where the
/// line lacks the "hh:mm:ss" (or "(time error)") and "%4d " prefix.
std::vector<std::pair<int, std::string>> parse(const std::string& text) {
    static const std::regex PREFIX(R"(^(\d\d:\d\d:\d\d|\(time error\)) +(-?\d+) )");
    std::vector<std::pair<int, std::string>> result;
    std::istringstream in(text);
    std::smatch match;
    for (std::string line; std::getline(in, line);) {
        // Where text files end their lines with CR LF.
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (std::regex_search(line, match, PREFIX) && match.length(0) - match.length(1) >= 6) {
            result.emplace_back(std::stoi(match[2]), match.suffix());
        } else {
            result.emplace_back(-1, line);
        }
    }
    return result;
}

}  // namespace

LogCapture::LogCapture(int level, bool start_now) {
    const char* p_env = std::getenv("ORVIX_LOG");
    m_had_env = p_env != nullptr;
    m_old_env = m_had_env ? p_env : "";
    ox::platform::setEnvironment("ORVIX_LOG", path().c_str(), true);
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
    log.setLogLevel(m_old_level);
    log.setFlush(m_old_flush);
    if (log.isStarted()) {
        log.shutDown();
    }
    if (m_had_env) {
        ox::platform::setEnvironment("ORVIX_LOG", m_old_env.c_str(), true);
    } else {
        ox::platform::unsetEnvironment("ORVIX_LOG");
    }
}

std::vector<std::string> LogCapture::messages() const {
    std::vector<std::string> result;
    for (const auto& line : parse(text())) {
        result.push_back(line.second);
    }
    return result;
}

std::vector<int> LogCapture::stepCounts() const {
    std::vector<int> result;
    for (const auto& line : parse(text())) {
        result.push_back(line.first);
    }
    return result;
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
