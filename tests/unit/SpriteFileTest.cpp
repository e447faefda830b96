// The two sprite file readers and the resource manager's sprite loading:
// accepted files, every format error with its exact lines and line numbers,
// and the refusal of frame counts a file cannot hold.
#include <gtest/gtest.h>

#include <list>
#include <sstream>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "LogManager.h"
#include "ResourceManager.h"
#include "ScratchDir.h"

namespace {

using Lines = std::vector<std::string>;

const char* const SIMPLE = "1\n3\n2\n4\nred\nabc\ndef\n";

// A sectioned file: header keys, body lines and footer lines, one per line.
std::string sectioned(const Lines& header, const Lines& body, const Lines& footer) {
    std::string text = "<HEADER>\n";
    for (const std::string& line : header) {
        text += line + "\n";
    }
    text += "</HEADER>\n<BODY>\n";
    for (const std::string& line : body) {
        text += line + "\n";
    }
    text += "</BODY>\n<FOOTER>\n";
    for (const std::string& line : footer) {
        text += line + "\n";
    }
    return text + "</FOOTER>\n";
}

const Lines FULL_HEADER = {"frames 2",    "width 3",        "height 2",
                           "color green", "transparency #", "slowdown 3"};
const Lines TWO_FRAMES = {"abc", "def", "end", "ghi", "jkl", "end"};
const Lines VERSION = {"version 1"};

std::string withCrLf(const std::string& text) {
    std::string result;
    for (char ch : text) {
        if (ch == '\n') {
            result += '\r';
        }
        result += ch;
    }
    return result;
}

class SpriteFileTest : public ::testing::Test {
protected:
    explicit SpriteFileTest(int level = 0) : m_log(level) {}

    void SetUp() override { ASSERT_EQ(ox::ResourceManager::getInstance().startUp(), 0); }
    void TearDown() override { ox::ResourceManager::getInstance().shutDown(); }

    // Writes the file and loads it under label "s".
    int load(const std::string& content) {
        ox_test::writeFile("s.txt", content);
        return ox::ResourceManager::getInstance().loadSprite("s.txt", "s");
    }

    ox::Sprite* sprite() { return ox::ResourceManager::getInstance().getSprite("s"); }

    // The number of log lines so far, to read only what follows with since().
    std::size_t mark() const { return m_log.messages().size(); }

    // The log lines written after the mark.
    Lines since(std::size_t from) const {
        const Lines all = m_log.messages();
        return Lines(all.begin() + static_cast<long>(from), all.end());
    }

    ox_test::LogCapture m_log;
};

class SpriteFileDetailTest : public SpriteFileTest {
protected:
    SpriteFileDetailTest() : SpriteFileTest(20) {}
};

TEST_F(SpriteFileTest, SimpleFileLoadsWithOrWithoutFinalNewlineAndWithCrLf) {
    const std::string without_newline =
        std::string(SIMPLE).substr(0, std::string(SIMPLE).size() - 1);
    const std::string variants[] = {SIMPLE, without_newline, withCrLf(SIMPLE),
                                    withCrLf(without_newline)};
    for (const std::string& content : variants) {
        ox::ResourceManager& rm = ox::ResourceManager::getInstance();
        rm.shutDown();
        ASSERT_EQ(rm.startUp(), 0);
        ASSERT_EQ(load(content), 0) << content;
        ox::Sprite* p_sprite = sprite();
        ASSERT_NE(p_sprite, nullptr);
        EXPECT_EQ(p_sprite->getFrameCount(), 1);
        EXPECT_EQ(p_sprite->getWidth(), 3);
        EXPECT_EQ(p_sprite->getHeight(), 2);
        EXPECT_EQ(p_sprite->getSlowdown(), 4);
        EXPECT_EQ(p_sprite->getColor(), ox::RED);
        EXPECT_EQ(p_sprite->getTransparency(), 0);
        EXPECT_EQ(p_sprite->getLabel(), "s");
        EXPECT_EQ(p_sprite->getFrame(0).getString(), "abcdef");
        EXPECT_EQ(p_sprite->getFrame(0).getWidth(), 3);
        EXPECT_EQ(p_sprite->getFrame(0).getHeight(), 2);
    }
    // Nothing but the successful loads' quiet lines: no error was written.
    EXPECT_TRUE(m_log.messages().empty());
}

TEST_F(SpriteFileDetailTest, SimpleFileLogsItsLinesAndSummary) {
    const std::size_t from = mark();
    ASSERT_EQ(load(SIMPLE), 0);
    const Lines expected = {
        "RM::loadSprite(): Loading sprite 's.txt'.",
        "RM::loadSprite(): assuming simple sprite file format.",
        "\tLine  1: '1'",
        "\tLine  2: '3'",
        "\tLine  3: '2'",
        "\tLine  4: '4'",
        "\tLine  5: 'red'",
        "\t      Frames: 1",
        "\t       Width: 3",
        "\t      Height: 2",
        "\t    Slowdown: 4",
        "\t       Color: Red",
        "RM::loadSimpleSprite(): Reading frame 1 of 1.",
        "\tLine  6: 'abc'",
        "\tLine  7: 'def'",
        "RM::loadSprite(): Sprite 's' frames:",
        "\tFrame 1:",
        "\tabc",
        "\tdef",
        "RM::loadSprite(): Sprite 's' loaded.",
    };
    EXPECT_EQ(since(from), expected);
}

TEST_F(SpriteFileTest, SimpleFileTrailingDataIsRefused) {
    EXPECT_EQ(load(std::string(SIMPLE) + "end\n"), -1);
    EXPECT_EQ(m_log.messages(),
              (Lines{"RM::loadSimpleSprite(): Error line 8!", "\tExtra file data: 'end'",
                     "RM::loadSprite(): Sprite 's' NOT loaded."}));
    const std::size_t from = mark();
    EXPECT_EQ(load(std::string(SIMPLE) + "\n"), -1);
    EXPECT_EQ(since(from), (Lines{"RM::loadSimpleSprite(): Error line 8!", "\tExtra file data: ''",
                                  "RM::loadSprite(): Sprite 's' NOT loaded."}));
    EXPECT_EQ(ox::ResourceManager::getInstance().getSpriteCount(), 0);
}

TEST_F(SpriteFileTest, SimpleFileRowOfWrongWidth) {
    EXPECT_EQ(load("1\n3\n2\n4\nred\nabc\nde\n"), -1);
    EXPECT_EQ(m_log.messages(),
              (Lines{"RM::loadSimpleSprite(): Error line 7!", "\tLine  7: 'de'",
                     "\tWidth is 2, expected 3.", "RM::loadSprite(): Sprite 's' NOT loaded."}));
}

TEST_F(SpriteFileTest, SimpleHeaderValuesAreChecked) {
    struct Case {
        std::string content;
        Lines lines;
    };
    const Case cases[] = {
        {"0\n3\n", {"RM::loadSimpleSprite(): Error line 1! Number of frames is 0."}},
        {"1\nx\n", {"RM::loadSimpleSprite(): Error line 2! Width is 'x'."}},
        {"1\n3\n-2\n", {"RM::loadSimpleSprite(): Error line 3! Height is '-2'."}},
        {"1\n3\n2\n-1\n", {"RM::loadSimpleSprite(): Error line 4! Slowdown is '-1'."}},
        {"1\n3\n2\n0\nRed\n",
         {"RM::loadSimpleSprite(): Error line 5! Unrecognized color 'Red'.",
          "  Valid colors are: black, red, green, yellow,",
          "                    blue, magenta, cyan or white."}},
        {"1\n3\n",
         {"RM::loadSimpleSprite(): Error! Unexpected end of file.",
          "\tMissing height (an integer)."}},
        {"1\n3\n2\n0\n",
         {"RM::loadSimpleSprite(): Error! Unexpected end of file.", "\tMissing color (a string)."}},
        // Without a final newline the stream ends while reading line 2.
        {"1\n3",
         {"getLine(): Error! Unexpected end of file.",
          "RM::loadSimpleSprite(): Error! Unexpected end of file.",
          "\tMissing height (an integer)."}},
        {"",
         {"RM::loadSimpleSprite(): Error! Unexpected end of file.",
          "\tMissing frames (an integer)."}},
        {"1\n\n",
         {"RM::loadSimpleSprite(): Error! Unexpected end of file.",
          "\tMissing width (an integer)."}},
        {"1\n3\n2\n\n",
         {"RM::loadSimpleSprite(): Error! Unexpected end of file.",
          "\tMissing slowdown (an integer)."}},
    };
    for (const Case& c : cases) {
        const std::size_t from = mark();
        std::istringstream in(c.content);
        ox::line_number = 0;
        EXPECT_EQ(ox::loadSimpleSprite(&in), nullptr) << c.content;
        EXPECT_EQ(since(from), c.lines) << c.content;
    }
}

TEST_F(SpriteFileTest, SimpleFileEndingInsideAFrame) {
    // Two frames of one row announced; the second row is empty.
    EXPECT_EQ(load("2\n3\n1\n0\nred\nabc\n\nxyz\n"), -1);
    EXPECT_EQ(m_log.messages(), (Lines{"RM::loadSimpleSprite(): Error! Unexpected end of file.",
                                       "\tReading frame 2 of 2, row 1 of 1.",
                                       "RM::loadSprite(): Sprite 's' NOT loaded."}));
}

TEST_F(SpriteFileTest, SimpleFrameCountBeyondTheFileIsRefusedBeforeAllocating) {
    EXPECT_EQ(load("50\n3\n2\n0\nred\nabc\ndef\n"), -1);
    EXPECT_EQ(m_log.messages(),
              (Lines{"RM::loadSimpleSprite(): Error line 5! 50 frames of 3 x 2 cannot fit in the "
                     "8 bytes left.",
                     "RM::loadSprite(): Sprite 's' NOT loaded."}));
    EXPECT_EQ(load("2000000000\n2000000000\n2000000000\n0\nred\nab\n"), -1);
    EXPECT_TRUE(m_log.contains(
        "RM::loadSimpleSprite(): Error line 5! Number of frames 2000000000 is beyond the limit "
        "of 100000."));
    // Huge rows with few frames still need their bytes.
    EXPECT_EQ(load("1\n2000000000\n2000000000\n0\nred\nab\n"), -1);
    EXPECT_TRUE(
        m_log.contains("RM::loadSimpleSprite(): Error line 5! 1 frames of 2000000000 x "
                       "2000000000 cannot fit in the 3 bytes left."));
}

TEST_F(SpriteFileTest, UnknownFormatAndMissingFile) {
    EXPECT_EQ(load("0\n3\n"), -1);
    EXPECT_EQ(m_log.messages(), (Lines{"RM::loadSprite(): Error! Unknown sprite file format.",
                                       "RM::loadSprite(): First line is '0'.",
                                       "RM::loadSprite(): Sprite 's' NOT loaded."}));
    const std::size_t from = mark();
    EXPECT_EQ(ox::ResourceManager::getInstance().loadSprite("missing.txt", "m"), -1);
    EXPECT_EQ(since(from), (Lines{"RM::loadSprite(): Error! Cannot open file 'missing.txt'.",
                                  "RM::loadSprite(): Sprite 'm' not loaded."}));
}

TEST_F(SpriteFileTest, SectionedFileLoads) {
    ASSERT_EQ(load(sectioned(FULL_HEADER, TWO_FRAMES, VERSION)), 0);
    ox::Sprite* p_sprite = sprite();
    ASSERT_NE(p_sprite, nullptr);
    EXPECT_EQ(p_sprite->getFrameCount(), 2);
    EXPECT_EQ(p_sprite->getWidth(), 3);
    EXPECT_EQ(p_sprite->getHeight(), 2);
    EXPECT_EQ(p_sprite->getColor(), ox::GREEN);
    EXPECT_EQ(p_sprite->getTransparency(), '#');
    EXPECT_EQ(p_sprite->getSlowdown(), 3);
    EXPECT_EQ(p_sprite->getFrame(0).getString(), "abcdef");
    EXPECT_EQ(p_sprite->getFrame(1).getString(), "ghijkl");
    EXPECT_TRUE(m_log.messages().empty());
}

TEST_F(SpriteFileDetailTest, SectionedDefaultsAndNotes) {
    ASSERT_EQ(load(sectioned({"frames 1", "width 3", "height 2"}, {"abc", "def", "end"}, VERSION)),
              0);
    EXPECT_EQ(sprite()->getColor(), ox::WHITE);
    EXPECT_EQ(sprite()->getSlowdown(), 0);
    EXPECT_EQ(sprite()->getTransparency(), 0);
    EXPECT_TRUE(m_log.contains("RM::loadRobustSprite(): Warning! No 'color' in header."));
    EXPECT_TRUE(m_log.contains("RM::loadRobustSprite(): Note! No 'transparency' in header."));
    EXPECT_TRUE(m_log.contains("RM::loadRobustSprite(): Note! No 'slowdown' in header."));
    EXPECT_TRUE(m_log.contains("\tTransparency: (none)"));
    EXPECT_TRUE(m_log.contains("\t       Color: White"));
    EXPECT_TRUE(
        m_log.contains("ResourceManager::loadRobustSprite(): After header, line number: '5'"));
    EXPECT_TRUE(m_log.contains(
        "ResourceManager::loadRobustSprite(): After reading body: line number is '10'"));
}

TEST_F(SpriteFileDetailTest, SectionedTransparencyKeyAndRepeatedKeys) {
    ASSERT_EQ(load(sectioned({"frames 7", "width 3", "height 2", "transparency \" \"", "frames 1",
                              "colour blue"},
                             {"abc", "def", "end"}, {"version 2", "author me"})),
              0);
    EXPECT_EQ(sprite()->getTransparency(), ' ');
    EXPECT_EQ(sprite()->getFrameCount(), 1);
    EXPECT_TRUE(m_log.contains("RM::loadRobustSprite(): transparency is 'space'"));
    EXPECT_TRUE(m_log.contains("\tTransparency: ' '"));
    EXPECT_TRUE(m_log.contains("matchLineInt(): Warning! 'frames 1' matches multiple lines."));
    // "colour blue" does not begin with "color": it is left over as unused.
    EXPECT_TRUE(m_log.contains("RM::loadRobustSprite(): Warning! Unused HEADER lines:"));
    EXPECT_TRUE(m_log.contains("\t'colour blue'"));
    EXPECT_TRUE(m_log.contains("RM::loadRobustSprite(): Warning! Unused FOOTER lines:"));
    EXPECT_TRUE(m_log.contains("\t'author me'"));
}

TEST_F(SpriteFileTest, SectionedCrLfReadsLikeLf) {
    const std::string content = sectioned(FULL_HEADER, TWO_FRAMES, VERSION);
    ASSERT_EQ(load(withCrLf(content)), 0);
    EXPECT_EQ(sprite()->getFrame(1).getString(), "ghijkl");
    EXPECT_EQ(sprite()->getTransparency(), '#');
    EXPECT_EQ(sprite()->getColor(), ox::GREEN);
    // The same errors, with the same line numbers, as the LF file.
    const std::string bad = sectioned({"frames 1", "width 3", "height 2"}, TWO_FRAMES, VERSION);
    const std::size_t lf_from = mark();
    EXPECT_EQ(load(bad), -1);
    const Lines lf = since(lf_from);
    const std::size_t crlf_from = mark();
    EXPECT_EQ(load(withCrLf(bad)), -1);
    EXPECT_EQ(lf.size(), 5u);
    EXPECT_EQ(since(crlf_from), lf);
}

TEST_F(SpriteFileTest, SectionedBodyErrors) {
    const Lines one_frame = {"frames 1", "width 3", "height 2"};
    EXPECT_EQ(load(sectioned(one_frame, TWO_FRAMES, VERSION)), -1);
    EXPECT_EQ(
        m_log.messages(),
        (Lines{"RM::loadRobustSprite(): Error! Extra BODY:", "\tLine 13: ghi", "\tLine 14: jkl",
               "\tLine 15: end", "RM::loadSprite(): Sprite 's' NOT loaded."}));

    std::size_t from = mark();
    EXPECT_EQ(load(sectioned(one_frame, {"abc", "de", "end"}, VERSION)), -1);
    EXPECT_EQ(since(from),
              (Lines{"\tError! Line 9: Line length is 2 (frame width is 3).", "\tLine 9: 'de'",
                     "RM::loadRobustSprite(): Error! No frame data to add.",
                     "RM::loadSprite(): Sprite 's' NOT loaded."}));

    from = mark();
    EXPECT_EQ(load(sectioned(one_frame, {"abc", "def", "xyz"}, VERSION)), -1);
    EXPECT_EQ(since(from), (Lines{"\tError! Line 10: Expected 'end'.", "\tLine 10: 'xyz'",
                                  "RM::loadRobustSprite(): Error! No frame data to add.",
                                  "RM::loadSprite(): Sprite 's' NOT loaded."}));

    // BODY lines running out inside a frame or before its "end".
    from = mark();
    std::list<std::string> rows = {"abc"};
    EXPECT_EQ(ox::readFrame(&rows, 3, 2, 7).getString(), "");
    rows = {"abc", "def"};
    EXPECT_EQ(ox::readFrame(&rows, 3, 2, 7).getString(), "");
    EXPECT_EQ(since(from), (Lines{"\tError! Line 9: No more frame data before 'end'.",
                                  "\tError! Line 10: No more frame data before 'end'."}));
    rows = {"abc", "def", "end", "ghi"};
    const ox::Frame frame = ox::readFrame(&rows, 3, 2, 7);
    EXPECT_EQ(frame.getString(), "abcdef");
    EXPECT_EQ(frame.getWidth(), 3);
    EXPECT_EQ(frame.getHeight(), 2);
    EXPECT_EQ(rows, std::list<std::string>{"ghi"});
}

TEST_F(SpriteFileTest, SectionedHeaderErrors) {
    EXPECT_EQ(load(sectioned({"width 3", "height 2"}, {"abc", "def", "end"}, VERSION)), -1);
    EXPECT_TRUE(m_log.contains("RM::loadRobustSprite(): Error! Missing 'frames' in header."));
    {
        const std::size_t from = mark();
        EXPECT_EQ(load(sectioned({"frames 1", "width 3"}, {"abc", "def", "end"}, VERSION)), -1);
        EXPECT_EQ(since(from), (Lines{"RM::loadRobustSprite(): Error! Missing 'height' in header.",
                                      "RM::loadSprite(): Sprite 's' NOT loaded."}));
    }
    {
        const std::size_t from = mark();
        EXPECT_EQ(load(sectioned({"frames 1", "width 3", "height 2", "color pink"},
                                 {"abc", "def", "end"}, VERSION)),
                  -1);
        EXPECT_EQ(since(from), (Lines{"RM::loadRobustSprite(): Error! Unrecognized color 'pink'.",
                                      "  Valid colors are: black, red, green, yellow,",
                                      "                    blue, magenta, cyan and white.",
                                      "RM::loadSprite(): Sprite 's' NOT loaded."}));
    }
    {
        EXPECT_EQ(
            load(sectioned({"frames -5", "width 3", "height 2"}, {"abc", "def", "end"}, VERSION)),
            -1);
        EXPECT_TRUE(m_log.contains(
            "RM::loadRobustSprite(): Error! 'frames' in header is -5, must be at least 1."));
    }
    {
        const std::size_t from = mark();
        EXPECT_EQ(load(sectioned({"frames 99999", "width 3", "height 2"}, {"abc", "def", "end"},
                                 VERSION)),
                  -1);
        EXPECT_EQ(since(from), (Lines{"RM::loadRobustSprite(): Error! 99999 frames of 2 rows "
                                      "cannot fit in the 3 BODY lines.",
                                      "RM::loadSprite(): Sprite 's' NOT loaded."}));
    }
    {
        EXPECT_EQ(load(sectioned({"frames 100001", "width 3", "height 2"}, {"abc", "def", "end"},
                                 VERSION)),
                  -1);
        EXPECT_TRUE(
            m_log.contains("RM::loadRobustSprite(): Error! Number of frames 100001 is "
                           "beyond the limit of 100000."));
    }
}

TEST_F(SpriteFileTest, SectionsAndFooter) {
    {
        // An empty section is refused with a line of its own.
        const std::size_t from = mark();
        EXPECT_EQ(load("<HEADER>\n</HEADER>\n"), -1);
        EXPECT_EQ(since(from), (Lines{"readData(): Error line 2! Section '<HEADER>' is empty.",
                                      "RM::loadSprite(): Sprite 's' NOT loaded."}));
    }
    const std::size_t from = mark();
    EXPECT_EQ(load("<HEADER>\nframes 1\nwidth 1\nheight 1\n</HEADER>\n<FOOTER>\n"), -1);
    EXPECT_EQ(since(from), (Lines{"readData(): Error line 6! Expected '<BODY>', have '<FOOTER>'.",
                                  "RM::loadSprite(): Sprite 's' NOT loaded."}));
    {
        const std::size_t from = mark();
        EXPECT_EQ(load("<HEADER>\nframes 1\n\nwidth 1\n</HEADER>\n"), -1);
        EXPECT_EQ(since(from),
                  (Lines{"readData(): Error! Stop at line 2, never encountered '</HEADER>'.",
                         "RM::loadSprite(): Sprite 's' NOT loaded."}));
    }
    {
        const std::size_t from = mark();
        EXPECT_EQ(load(sectioned({"frames 1", "width 3", "height 2"}, {"abc", "def", "end"},
                                 {"author me"})),
                  -1);
        EXPECT_EQ(since(from),
                  (Lines{"RM::loadRobustSprite(): Error! Missing 'version' in FOOTER (line 13).",
                         "RM::loadSprite(): Sprite 's' NOT loaded."}));
    }
}

TEST_F(SpriteFileTest, KeyedLinesMatchByPrefix) {
    std::list<std::string> data = {"frames 4", "framesX", "frames", "width 3", "widthless 9"};
    ox::LogManager::getInstance().setLogLevel(1);
    // "framesX" and "frames" match too; the last match wins and all are consumed.
    EXPECT_EQ(ox::matchLineInt(&data, "frames"), 0);
    EXPECT_EQ(data, (std::list<std::string>{"width 3", "widthless 9"}));
    EXPECT_EQ(m_log.count("matchLineInt(): Warning! 'framesX' matches multiple lines."), 1);
    EXPECT_EQ(ox::matchLineStr(&data, "widthless"), "9");
    EXPECT_EQ(ox::matchLineStr(&data, "height"), "");
    EXPECT_EQ(ox::matchLineInt(&data, "height"), -1);
    EXPECT_EQ(data, (std::list<std::string>{"width 3"}));
}

TEST_F(SpriteFileTest, SpriteLimitAndLookup) {
    ox::ResourceManager& rm = ox::ResourceManager::getInstance();
    ox_test::writeFile("s.txt", SIMPLE);
    for (int i = 0; i < ox::MAX_SPRITES; i++) {
        ASSERT_EQ(rm.loadSprite("s.txt", "sprite" + std::to_string(i % 500)), 0) << i;
    }
    EXPECT_EQ(rm.loadSprite("s.txt", "extra"), -1);
    EXPECT_EQ(m_log.messages(),
              (Lines{"RM::loadRobustSprite(): Error! Cannot add more Sprites (max is 1000).",
                     "RM::loadRobustSprite(): Sprite 'extra' not loaded."}));
    EXPECT_EQ(rm.getSpriteCount(), 1000);
    // Two sprites share each label; the earlier one is found.
    ox::Sprite* p_first = rm.getSprite("sprite7");
    ASSERT_NE(p_first, nullptr);
    p_first->setSlowdown(99);
    EXPECT_EQ(rm.getSprite("sprite7")->getSlowdown(), 99);
    EXPECT_EQ(rm.getSprite("Sprite7"), nullptr);
    EXPECT_TRUE(m_log.contains("RM::getSprite(): Warning! Sprite 'Sprite7' not found."));
    rm.shutDown();
    EXPECT_EQ(rm.getSpriteCount(), 0);
    EXPECT_EQ(rm.loadSprite("s.txt", "late"), -1);
    EXPECT_TRUE(m_log.contains("ResourceManager not started!"));
    ASSERT_EQ(rm.startUp(), 0);
}

TEST_F(SpriteFileTest, ReadersNeedAStartedManager) {
    ox::ResourceManager::getInstance().shutDown();
    std::istringstream in(SIMPLE);
    EXPECT_EQ(ox::loadSimpleSprite(&in), nullptr);
    EXPECT_EQ(ox::loadRobustSprite(&in), nullptr);
    EXPECT_EQ(m_log.count("ResourceManager not started!"), 2);
    EXPECT_EQ(ox::ResourceManager::getInstance().startUp(), 0);
    EXPECT_EQ(ox::ResourceManager::getInstance().startUp(), -1);
    EXPECT_TRUE(
        m_log.contains("ResourceManager::startup(): Warning! ResourceManager already started."));
}

}  // namespace
