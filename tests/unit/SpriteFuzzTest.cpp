// Robustness of the sprite readers: thousands of mutated valid files, and a
// few hostile ones, go through both readers. Each must give a loaded sprite
// or null with a log line; none may crash, hang, leak or reserve huge memory
// (the sanitizer build runs these too).
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "ResourceManager.h"
#include "ScratchDir.h"

namespace {

const std::vector<std::string> SEEDS = {
    "1\n3\n2\n4\nred\nabc\ndef\n",
    "3\n2\n1\n0\nwhite\nab\ncd\nef",
    "<HEADER>\nframes 2\nwidth 3\nheight 2\ncolor green\ntransparency #\nslowdown 3\n</HEADER>\n"
    "<BODY>\nabc\ndef\nend\nghi\njkl\nend\n</BODY>\n<FOOTER>\nversion 1\n</FOOTER>\n",
    "<HEADER>\r\nframes 1\r\nwidth 2\r\nheight 1\r\ntransparency \" \"\r\n</HEADER>\r\n"
    "<BODY>\r\na \r\nend\r\n</BODY>\r\n<FOOTER>\r\nversion 2\r\nauthor x\r\n</FOOTER>\r\n",
};

const std::vector<std::string> NASTY_VALUES = {
    "0",      "-1",        "-2147483648", "2147483647", "99999999999999999999",
    "1e9",    "",          " ",           "\t",         "end",
    "<BODY>", "</HEADER>", "<HEADER>",    "\r",         "\"",
    "65536",
};

class Mutator {
public:
    explicit Mutator(unsigned seed) : m_random(seed) {}

    std::string mutate(std::string text) {
        const int count = 1 + pick(4);
        for (int i = 0; i < count; i++) {
            text = mutateOnce(text);
        }
        return text;
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

    std::size_t position(const std::string& text) {
        return text.empty() ? 0 : static_cast<std::size_t>(pick(static_cast<int>(text.size())));
    }

    static std::vector<std::string> split(const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        std::string line;
        while (std::getline(in, line)) {
            lines.push_back(line);
        }
        return lines;
    }

    static std::string join(const std::vector<std::string>& lines, bool final_newline) {
        std::string text;
        for (std::size_t i = 0; i < lines.size(); i++) {
            text += lines[i];
            if (i + 1 < lines.size() || final_newline) {
                text += '\n';
            }
        }
        return text;
    }

    std::string mutateOnce(const std::string& text) {
        std::string result = text;
        std::vector<std::string> lines = split(text);
        switch (pick(10)) {
            case 0:  // flip a byte to any value, NUL included
                if (!result.empty()) {
                    result[position(result)] = static_cast<char>(pick(256));
                }
                return result;
            case 1:  // insert a special byte
                result.insert(position(result), 1, "\0\n\r \x7f\xff#"[pick(8)]);
                return result;
            case 2:  // delete a range
                if (!result.empty()) {
                    const std::size_t at = position(result);
                    result.erase(at, static_cast<std::size_t>(pick(8)));
                }
                return result;
            case 3:  // truncate
                return result.substr(0, position(result));
            case 4:  // replace a line by a nasty value, or its value part
                if (!lines.empty()) {
                    std::string& line =
                        lines[static_cast<std::size_t>(pick(static_cast<int>(lines.size())))];
                    const std::size_t space = line.find(' ');
                    const std::string value = NASTY_VALUES[static_cast<std::size_t>(
                        pick(static_cast<int>(NASTY_VALUES.size())))];
                    line = space == std::string::npos ? value : line.substr(0, space + 1) + value;
                }
                return join(lines, pick(2) == 0);
            case 5:  // duplicate a line
                if (!lines.empty()) {
                    const std::size_t at =
                        static_cast<std::size_t>(pick(static_cast<int>(lines.size())));
                    lines.insert(lines.begin() + static_cast<long>(at), lines[at]);
                }
                return join(lines, true);
            case 6:  // swap two lines (sections out of order, rows out of place)
                if (lines.size() > 1) {
                    std::swap(
                        lines[static_cast<std::size_t>(pick(static_cast<int>(lines.size())))],
                        lines[static_cast<std::size_t>(pick(static_cast<int>(lines.size())))]);
                }
                return join(lines, true);
            case 7:  // remove a line
                if (!lines.empty()) {
                    lines.erase(lines.begin() + pick(static_cast<int>(lines.size())));
                }
                return join(lines, pick(2) == 0);
            case 8:  // lengthen a line
                if (!lines.empty()) {
                    lines[static_cast<std::size_t>(pick(static_cast<int>(lines.size())))] +=
                        std::string(static_cast<std::size_t>(1 + pick(300)), 'x');
                }
                return join(lines, true);
            default:  // append random bytes
                for (int i = pick(64); i > 0; i--) {
                    result += static_cast<char>(pick(256));
                }
                return result;
        }
    }

    std::mt19937 m_random;
};

class SpriteFuzzTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(ox::ResourceManager::getInstance().startUp(), 0); }
    void TearDown() override { ox::ResourceManager::getInstance().shutDown(); }

    std::uintmax_t logSize() const { return std::filesystem::file_size(m_log.path()); }

    // Runs one text through a reader: either a consistent sprite, or null with
    // at least one new log line. Returns true when a sprite was read.
    bool check(const std::string& text, bool sectioned) {
        const std::uintmax_t before = logSize();
        std::istringstream in(text);
        ox::line_number = 0;
        std::unique_ptr<ox::Sprite> p_sprite(sectioned ? ox::loadRobustSprite(&in)
                                                       : ox::loadSimpleSprite(&in));
        if (p_sprite == nullptr) {
            EXPECT_GT(logSize(), before) << "null without a message for:\n" << text;
            return false;
        }
        EXPECT_GE(p_sprite->getFrameCount(), 1);
        EXPECT_EQ(p_sprite->getFrameCount(), p_sprite->getMaxFrameCount());
        for (int i = 0; i < p_sprite->getFrameCount(); i++) {
            const ox::Frame frame = p_sprite->getFrame(i);
            EXPECT_EQ(frame.getString().size(),
                      static_cast<std::size_t>(p_sprite->getWidth()) * p_sprite->getHeight());
        }
        return true;
    }

    ox_test::LogCapture m_log;
};

TEST_F(SpriteFuzzTest, MutatedValidFilesLoadOrFailWithAMessage) {
    const unsigned seed = 20240601;
    Mutator mutator(seed);
    int loaded = 0;
    int refused = 0;
    for (int i = 0; i < 6000; i++) {
        const std::string& original = SEEDS[static_cast<std::size_t>(i) % SEEDS.size()];
        const std::string text = mutator.mutate(original);
        // Each text goes through both readers, whatever format it started as.
        for (bool sectioned : {false, true}) {
            (check(text, sectioned) ? loaded : refused)++;
        }
        if (HasFailure()) {
            FAIL() << "seed " << seed << ", iteration " << i;
        }
    }
    // The mutations leave some files valid and break most.
    EXPECT_GT(loaded, 100);
    EXPECT_GT(refused, 5000);
}

TEST_F(SpriteFuzzTest, HostileFiles) {
    std::mt19937 random(7);
    std::string binary(1 << 16, '\0');
    for (char& ch : binary) {
        ch = static_cast<char>(random());
    }
    const std::string long_line(10 * 1024 * 1024, 'a');
    const std::vector<std::string> files = {
        binary,
        std::string(4096, '\0'),
        "1\n3\n2\n4\nred\nab\0\ndef\n",
        long_line,
        "1\n" + long_line + "\n1\n0\nred\n" + long_line + "\n",
        "1\n3\n2\n0\nred\n" + long_line,
        "1\n10485760\n1\n0\nred\n" + long_line,
        "2147483647\n2147483647\n2147483647\n2147483647\nred\nabc\n",
        "99999999999999999999\n-99999999999999999999\n1\n1\nred\n",
        "<HEADER>\n" + long_line + "\n</HEADER>\n",
        "<HEADER>\nframes 1\nwidth 10485760\nheight 1\n</HEADER>\n<BODY>\n" + long_line +
            "\nend\n</BODY>\n<FOOTER>\nversion 1\n</FOOTER>\n",
        "<HEADER>\nframes 2147483647\nwidth 2147483647\nheight 2147483647\n</HEADER>\n<BODY>\n"
        "a\nend\n</BODY>\n",
        "<HEADER>\nframes 1\nwidth -3\nheight 1\n</HEADER>\n<BODY>\nabc\nend\n</BODY>\n",
        "<HEADER>\nframes 1\nwidth 1\nheight -2147483648\n</HEADER>\n<BODY>\na\nend\n</BODY>\n",
        "<FOOTER>\nversion 1\n</FOOTER>\n<BODY>\na\nend\n</BODY>\n<HEADER>\n</HEADER>\n",
        "<HEADER>\n</HEADER>\n<BODY>\n</BODY>\n<FOOTER>\n</FOOTER>\n",
        "<HEADER>\nframes 1\nwidth 1\nheight 1\n</HEADER>\n<BODY>\n" + std::string(100000, '\n'),
    };
    int loaded = 0;
    for (const std::string& text : files) {
        for (bool sectioned : {false, true}) {
            loaded += check(text, sectioned) ? 1 : 0;
        }
    }
    // The 10 MB single-row sprites of both formats are valid and load.
    EXPECT_EQ(loaded, 2);
}

TEST_F(SpriteFuzzTest, HostileFilesThroughTheResourceManager) {
    ox::ResourceManager& rm = ox::ResourceManager::getInstance();
    const std::vector<std::string> files = {
        std::string("\0\0\0", 3),   "<HEADER>", "1", "1\n", "\xff\xfe<HEADER>\n",
        std::string(1 << 20, '\n'),
    };
    for (const std::string& text : files) {
        ox_test::writeFile("hostile.txt", text);
        const std::uintmax_t before = logSize();
        EXPECT_EQ(rm.loadSprite("hostile.txt", "h"), -1);
        EXPECT_GT(logSize(), before);
    }
    // A directory opens but reads nothing.
    std::filesystem::create_directory("dir.txt");
    EXPECT_EQ(rm.loadSprite("dir.txt", "d"), -1);
    EXPECT_EQ(rm.getSpriteCount(), 0);
}

}  // namespace
