// The two sprite file readers and the resource manager's sprite loading:
// accepted files in both formats and line endings, format errors with their
// line numbers, and frame counts a file cannot hold refused before allocating.
#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "LogManager.h"
#include "ResourceManager.h"
#include "ScratchDir.h"

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

std::string withCrLf(const std::string& text) {
    std::string result;
    for (char ch : text) {
        result += ch == '\n' ? "\r\n" : std::string(1, ch);
    }
    return result;
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
    ox_test::LogCapture m_log;
};

TEST_F(SpriteFileTest, BothFormatsLoadWithEitherLineEndingAndNoFinalNewline) {
    const std::string cut = SIMPLE.substr(0, SIMPLE.size() - 1);
    for (const std::string& content : {SIMPLE, cut, withCrLf(SIMPLE), withCrLf(cut)}) {
        ASSERT_EQ(load(content), 0) << content;
        const ox::Sprite* p_sprite = rm().getSprite("s");
        EXPECT_EQ(p_sprite->getFrameCount(), 1);
        EXPECT_EQ(p_sprite->getSlowdown(), 4);
        EXPECT_EQ(p_sprite->getColor(), ox::RED);
        EXPECT_EQ(p_sprite->getFrame(0).getString(), "abcdef");
    }
    const std::string full = sectioned(
        {"frames 2", "width 3", "height 2", "color green", "transparency #", "slowdown 3"},
        {"abc", "def", "end", "ghi", "jkl", "end"});
    for (const std::string& content : {full, withCrLf(full)}) {
        ASSERT_EQ(load(content), 0);
        const ox::Sprite* p_sprite = rm().getSprite("s");
        EXPECT_EQ(p_sprite->getFrameCount(), 2);
        EXPECT_EQ(p_sprite->getColor(), ox::GREEN);
        EXPECT_EQ(p_sprite->getTransparency(), '#');
        EXPECT_EQ(p_sprite->getSlowdown(), 3);
        EXPECT_EQ(p_sprite->getFrame(1).getString(), "ghijkl");
    }
    EXPECT_TRUE(m_log.messages().empty());

    // Defaults, a quoted space, and a repeated key (the last one counts);
    // "colour" is not "color" and is left over.
    ox::LogManager::getInstance().setLogLevel(1);
    ASSERT_EQ(load(sectioned({"frames 7", "width 3", "height 2", "transparency \" \"", "frames 1",
                              "colour blue"})),
              0);
    EXPECT_EQ(rm().getSprite("s")->getFrameCount(), 1);
    EXPECT_EQ(rm().getSprite("s")->getTransparency(), ' ');
    EXPECT_EQ(rm().getSprite("s")->getColor(), ox::WHITE);
    EXPECT_EQ(rm().getSprite("s")->getSlowdown(), 0);
    EXPECT_TRUE(m_log.contains("\t'colour blue'"));
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
        {"2\n3\n1\n0\nred\nabc\n\nxyz\n", {"\tReading frame 2 of 2, row 1 of 1."}},
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
        {sectioned({"frames -5", "width 3", "height 2"}),
         {"RM::loadRobustSprite(): Error! 'frames' in header is -5, must be at least 1."}},
        {sectioned({"frames 99999", "width 3", "height 2"}),
         {"RM::loadRobustSprite(): Error! 99999 frames of 2 rows cannot fit in the 3 BODY "
          "lines."}},
        {sectioned({"frames 100001", "width 3", "height 2"}),
         {"RM::loadRobustSprite(): Error! Number of frames 100001 is beyond the limit of "
          "100000."}},
        {sectioned(ONE_FRAME, FRAME, {"author me"}),
         {"RM::loadRobustSprite(): Error! Missing 'version' in FOOTER (line 13)."}},
        {"<HEADER>\n</HEADER>\n", {"readData(): Error line 2! Section '<HEADER>' is empty."}},
        {"<HEADER>\nframes 1\nwidth 1\nheight 1\n</HEADER>\n<FOOTER>\n",
         {"readData(): Error line 6! Expected '<BODY>', have '<FOOTER>'."}},
        {"<HEADER>\nframes 1\n\nwidth 1\n</HEADER>\n",
         {"readData(): Error! Stop at line 2, never encountered '</HEADER>'."}},
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
    // Two sprites share each label; the earlier one is found.
    rm().getSprite("sprite7")->setSlowdown(99);
    EXPECT_EQ(rm().getSprite("sprite7")->getSlowdown(), 99);
    EXPECT_EQ(rm().getSprite("Sprite7"), nullptr);
}

}  // namespace
