// Robustness of the sprite readers: thousands of mutated valid files, and a
// few hostile ones, go through both readers. Each must give a consistent
// sprite or null with a log line; none may crash, hang, leak or reserve huge
// memory (the sanitizer build runs these too).
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

using Lines = std::vector<std::string>;

const Lines SEEDS = {
    "1\n3\n2\n4\nred\nabc\ndef\n",
    "3\n2\n1\n0\nwhite\nab\ncd\nef",
    "<HEADER>\nframes 2\nwidth 3\nheight 2\ncolor green\ntransparency #\nslowdown 3\n</HEADER>\n"
    "<BODY>\nabc\ndef\nend\nghi\njkl\nend\n</BODY>\n<FOOTER>\nversion 1\n</FOOTER>\n",
    "<HEADER>\r\nframes 1\r\nwidth 2\r\nheight 1\r\ntransparency \" \"\r\n</HEADER>\r\n"
    "<BODY>\r\na \r\nend\r\n</BODY>\r\n<FOOTER>\r\nversion 2\r\nauthor x\r\n</FOOTER>\r\n",
};

const Lines NASTY_VALUES = {
    "0",      "-1",        "-2147483648", "2147483647", "99999999999999999999",
    "1e9",    "",          " ",           "\t",         "end",
    "<BODY>", "</HEADER>", "<HEADER>",    "\r",         "\"",
    "65536"};

/// Byte- and line-level mutations of a text, from a seeded generator.
class Mutator {
public:
    explicit Mutator(unsigned seed) : m_random(seed) {}

    std::string mutate(std::string text) {
        for (int i = pick(4); i >= 0; i--) {
            text = mutateOnce(text);
        }
        return text;
    }

private:
    int pick(std::size_t n) {
        return n == 0 ? 0
                      : std::uniform_int_distribution<int>(0, static_cast<int>(n) - 1)(m_random);
    }

    std::string mutateOnce(std::string text) {
        Lines lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        const std::size_t at = static_cast<std::size_t>(pick(text.size()));
        const std::size_t row = static_cast<std::size_t>(pick(lines.size()));
        switch (lines.empty() ? pick(4) : pick(10)) {
            case 0:  // insert a special byte, NUL included
                return text.insert(at, 1, "\0\n\r \x7f\xff#"[pick(8)]);
            case 1:  // delete a range
                return text.erase(at, static_cast<std::size_t>(pick(8)));
            case 2:  // truncate
                return text.substr(0, at);
            case 3:  // append random bytes
                for (int i = pick(64); i > 0; i--) {
                    text += static_cast<char>(pick(256));
                }
                return text;
            case 4:  // flip a byte to any value
                text[at] = static_cast<char>(pick(256));
                return text;
            case 5: {  // replace a line, or its value part, by a nasty value
                const std::size_t space = lines[row].find(' ');
                const std::string& value =
                    NASTY_VALUES[static_cast<std::size_t>(pick(NASTY_VALUES.size()))];
                lines[row] =
                    space == std::string::npos ? value : lines[row].substr(0, space + 1) + value;
                break;
            }
            case 6:  // duplicate a line
                lines.insert(lines.begin() + static_cast<long>(row), lines[row]);
                break;
            case 7:  // swap two lines (sections out of order, rows out of place)
                std::swap(lines[row], lines[static_cast<std::size_t>(pick(lines.size()))]);
                break;
            case 8:  // remove a line
                lines.erase(lines.begin() + static_cast<long>(row));
                break;
            default:  // lengthen a line
                lines[row] += std::string(static_cast<std::size_t>(1 + pick(300)), 'x');
                break;
        }
        std::string joined;
        for (const std::string& line : lines) {
            joined += line + "\n";
        }
        return pick(2) == 0 && !joined.empty() ? joined.substr(0, joined.size() - 1) : joined;
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
            EXPECT_EQ(p_sprite->getFrame(i).getString().size(),
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
        // Each text goes through both readers, whatever format it started as.
        const std::string text = mutator.mutate(SEEDS[static_cast<std::size_t>(i) % SEEDS.size()]);
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
    const Lines files = {
        binary,
        std::string(4096, '\0'),
        std::string("1\n3\n2\n4\nred\nab\0\ndef\n", 20),
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
    // The 10 MB single-row sprites of both formats are valid and load, and so
    // does the simple one with a NUL byte in a row.
    EXPECT_EQ(loaded, 3);

    // Through the resource manager, a directory opens but reads nothing.
    std::filesystem::create_directory("dir.txt");
    ox_test::writeFile("lines.txt", std::string(1 << 20, '\n'));
    for (const char* name : {"dir.txt", "lines.txt"}) {
        const std::uintmax_t before = logSize();
        EXPECT_EQ(ox::ResourceManager::getInstance().loadSprite(name, "h"), -1);
        EXPECT_GT(logSize(), before);
    }
    EXPECT_EQ(ox::ResourceManager::getInstance().getSpriteCount(), 0);
}

}  // namespace
