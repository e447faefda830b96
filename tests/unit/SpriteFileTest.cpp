// The two sprite file readers: a bad file fails with a message, and sizes a
// file cannot hold are refused before allocating. Randomly mutated files are
// the data files fuzz target's, whose corpus every test run replays
// (FuzzReplay.data_files).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <list>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "ResourceManager.h"

namespace {

using Lines = std::vector<std::string>;

const std::string SIMPLE = "1\n3\n2\n4\nred\nabc\ndef\n";
const Lines ONE_FRAME = {"frames 1", "width 3", "height 2"};
const Lines FRAME = {"abc", "def", "end"};

std::string section(const std::string& name, const Lines& lines) {
    std::string text = "<" + name + ">\n";
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text + "</" + name + ">\n";
}

// A sectioned file: header keys, body lines and footer lines.
std::string sectioned(const Lines& header, const Lines& body = FRAME,
                      const Lines& footer = {"version 1"}) {
    return section("HEADER", header) + section("BODY", body) + section("FOOTER", footer);
}

const std::string FULL =
    sectioned({"frames 2", "width 3", "height 2", "color green", "transparency #", "slowdown 3"},
              {"abc", "def", "end", "ghi", "jkl", "end"});

std::string withCrLf(const std::string& text) {
    return std::regex_replace(text, std::regex("\n"), "\r\n");
}

class SpriteFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(rm().startUp(), 0); }
    void TearDown() override { rm().shutDown(); }
    static ox::ResourceManager& rm() { return ox::ResourceManager::getInstance(); }

    // Writes the file and loads it under label "s" into a fresh manager.
    int load(const std::string& content) {
        rm().shutDown();
        EXPECT_EQ(rm().startUp(), 0);
        ox_test::writeFile("s.txt", content);
        return rm().loadSprite("s.txt", "s");
    }
    // The log lines written since the mark.
    Lines since(std::size_t mark) const {
        const Lines all = m_log.messages();
        return Lines(all.begin() + static_cast<long>(mark), all.end());
    }
    std::uintmax_t logSize() const { return std::filesystem::file_size(m_log.path()); }

    ox_test::LogCapture m_log;
};

TEST_F(SpriteFileTest, BothFormatsLoadWithEitherLineEndingAndNoFinalNewline) {
    // Frames, size, slowdown, color, transparency and every frame's characters.
    const auto describe = [](const ox::Sprite* p) {
        const char t = p->getTransparency();
        std::ostringstream out;
        out << p->getFrameCount() << ' ' << p->getWidth() << 'x' << p->getHeight() << ' '
            << p->getSlowdown() << ' ' << static_cast<int>(p->getColor()) << ' '
            << (t ? "'" + std::string(1, t) + "'" : "none");
        std::string text = out.str();
        for (int i = 0; i < p->getFrameCount(); i++) {
            text += " " + p->getFrame(i).getString();
        }
        return text;
    };
    const std::size_t mark = m_log.messages().size();
    const std::string cut = SIMPLE.substr(0, SIMPLE.size() - 1);
    for (const std::string& content : {SIMPLE, cut, withCrLf(SIMPLE), withCrLf(cut)}) {
        ASSERT_EQ(load(content), 0) << content;
        EXPECT_EQ(describe(rm().getSprite("s")), "1 3x2 4 1 none abcdef");
    }
    for (const std::string& content : {FULL, withCrLf(FULL)}) {
        ASSERT_EQ(load(content), 0);
        EXPECT_EQ(describe(rm().getSprite("s")), "2 3x2 3 2 '#' abcdef ghijkl");
    }
    EXPECT_TRUE(since(mark).empty());
    // Defaults (white, no slowdown), a quoted space, and a repeated key: the
    // last one counts.
    ASSERT_EQ(
        load(sectioned({"frames 7", "width 3", "height 2", "transparency \" \"", "frames 1"})), 0);
    EXPECT_EQ(describe(rm().getSprite("s")), "1 3x2 0 7 ' ' abcdef");
}

TEST_F(SpriteFileTest, FormatErrorsAreReportedWithTheirLine) {
    const struct {
        std::string content;
        Lines lines;  // among the lines written, in order
    } cases[] = {
        {"0\n3\n", {"RM::loadSprite(): Error! Unknown sprite file format."}},
        {SIMPLE + "end\n", {"RM::loadSimpleSprite(): Error line 8!", "\tExtra file data: 'end'"}},
        {"1\n3\n2\n4\nred\nabc\nde\n",
         {"RM::loadSimpleSprite(): Error line 7!", "\tWidth is 2, expected 3."}},
        {"1\n3\n2\n0\nRed\n", {"RM::loadSimpleSprite(): Error line 5! Unrecognized color 'Red'."}},
        {"1\n3", {"getLine(): Error! Unexpected end of file.", "\tMissing height (an integer)."}},
        // Frame counts a file cannot hold are refused before any allocation.
        {"50\n3\n2\n0\nred\nabc\ndef\n",
         {"RM::loadSimpleSprite(): Error line 5! 50 frames of 3 x 2 cannot fit in the 8 bytes "
          "left."}},
        {"2000000000\n2000000000\n2000000000\n0\nred\nab\n",
         {"RM::loadSimpleSprite(): Error line 5! Number of frames 2000000000 is beyond the limit "
          "of 100000."}},
        {"1\n2000000000\n2000000000\n0\nred\nab\n",
         {"RM::loadSimpleSprite(): Error line 5! 1 frames of 2000000000 x 2000000000 cannot fit "
          "in the 3 bytes left."}},
        {sectioned(ONE_FRAME, {"abc", "def", "end", "ghi", "jkl", "end"}),
         {"RM::loadRobustSprite(): Error! Extra BODY:", "\tLine 13: ghi"}},
        {sectioned(ONE_FRAME, {"abc", "de", "end"}),
         {"\tError! Line 9: Line length is 2 (frame width is 3).",
          "RM::loadRobustSprite(): Error! No frame data to add."}},
        {sectioned({"frames 99999", "width 3", "height 2"}),
         {"RM::loadRobustSprite(): Error! 99999 frames of 2 rows cannot fit in the 3 BODY "
          "lines."}},
        {sectioned({"frames 100001", "width 3", "height 2"}),
         {"RM::loadRobustSprite(): Error! Number of frames 100001 is beyond the limit of "
          "100000."}},
        // An empty section fails with no line of the readers' own.
        {"<HEADER>\n</HEADER>\n", {}},
        {section("HEADER", ONE_FRAME) + section("BODY", {}), {}},
        {sectioned(ONE_FRAME, FRAME, {}), {}},
        // A section that never ends.
        {sectioned(ONE_FRAME).substr(0, sectioned(ONE_FRAME).rfind("</FOOTER>")),
         {"readData(): Error! Stop at line 12, never encountered '</FOOTER>'."}},
        {"<HEADER>\nframes 1\nwidth 1\nheight 1\n</HEADER>\n<FOOTER>\n",
         {"readData(): Error line 6! Expected '<BODY>', have '<FOOTER>'."}},
    };
    for (const auto& c : cases) {
        const std::size_t mark = m_log.messages().size();
        EXPECT_EQ(load(c.content), -1) << c.content;
        const Lines written = since(mark);
        auto at = written.begin();
        for (const std::string& line : c.lines) {
            at = std::find(at, written.end(), line);
            ASSERT_NE(at, written.end()) << c.content << "\nmissing: " << line;
        }
        EXPECT_EQ(written.back(), "RM::loadSprite(): Sprite 's' NOT loaded.");
        if (c.lines.empty()) {
            for (const std::string& line : written) {
                EXPECT_TRUE(line.starts_with("RM::loadSprite(): ")) << c.content << line;
            }
        }
        EXPECT_EQ(rm().getSpriteCount(), 0);
        // A sectioned file with '\r\n' endings fails the same way, same line numbers.
        if (c.content[0] == '<') {
            const std::size_t crlf_mark = m_log.messages().size();
            EXPECT_EQ(load(withCrLf(c.content)), -1);
            EXPECT_EQ(since(crlf_mark), written);
        }
    }
    // BODY lines running out inside a frame.
    std::list<std::string> rows = {"abc"};
    EXPECT_EQ(ox::readFrame(&rows, 3, 2, 7).getString(), "");
    EXPECT_TRUE(m_log.contains("\tError! Line 9: No more frame data before 'end'."));
}

TEST_F(SpriteFileTest, KeyedLinesMatchByPrefixAndTheLastOneWins) {
    std::list<std::string> data = {"frames 4", "framesX", "frames", "width 3", "widthless 9"};
    EXPECT_EQ(ox::matchLineInt(&data, "frames"), 0);  // every match is consumed
    EXPECT_EQ(data, (std::list<std::string>{"width 3", "widthless 9"}));
    EXPECT_EQ(ox::matchLineStr(&data, "widthless"), "9");
    EXPECT_EQ(ox::matchLineInt(&data, "height"), -1);
    EXPECT_EQ(data, (std::list<std::string>{"width 3"}));
}

TEST_F(SpriteFileTest, AThousandSpritesAtMost) {
    ox_test::writeFile("s.txt", SIMPLE);
    for (int i = 0; i < ox::MAX_SPRITES; i++) {
        ASSERT_EQ(rm().loadSprite("s.txt", "sprite" + std::to_string(i % 500)), 0) << i;
    }
    EXPECT_EQ(rm().loadSprite("s.txt", "extra"), -1);
    EXPECT_TRUE(
        m_log.contains("RM::loadRobustSprite(): Error! Cannot add more Sprites (max is 1000)."));
    EXPECT_EQ(rm().getSprite("Sprite7"), nullptr);
}

// Hostile texts are the fuzz corpus's, replayed in every run; what only the
// resource manager meets is a directory, or a file of nothing but line ends.
TEST_F(SpriteFileTest, DirectoriesAndEmptyLinesAreRefusedThroughTheResourceManager) {
    std::filesystem::create_directory("dir.txt");
    ox_test::writeFile("lines.txt", std::string(1 << 20, '\n'));
    for (const char* name : {"dir.txt", "lines.txt"}) {
        const std::uintmax_t before = logSize();
        EXPECT_EQ(rm().loadSprite(name, "h"), -1);
        EXPECT_GT(logSize(), before);
    }
    EXPECT_EQ(rm().getSpriteCount(), 0);
}

}  // namespace
