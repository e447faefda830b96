// The game's three sprite files, read by the engine's resource manager from
// the run directory, against the geometry of the default 80 x 24 cell window:
// the title fits round the centre and says what to do, the note's box keeps
// notes apart and lets the out strip take only missed ones, and the hit line
// lies over the four lanes.

#include <gtest/gtest.h>

#if __has_include("ResourceManager.h")

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "ResourceManager.h"
#include "Sprite.h"

namespace {

const std::string RUN_DIR = ORVIX_RUN_DIR;

// The default window in cells, and what the game derives from it.
constexpr int H = 80;
constexpr int V = 24;
const std::vector<int> LANE_COLUMNS = {H / 2 - 17, H / 2 - 5, H / 2 + 6, H / 2 + 18};
constexpr double NOTE_START_ROW = 2.0;
constexpr double NOTE_ROWS_PER_STEP = 0.25;
constexpr double GOOD_WINDOW_END = V / 2 + 7;      // rows below it no longer score
constexpr double OUT_STRIP_TOP = 1 + (V / 2 + 8);  // box corner below the default position (1, 1)

/// Column of cell i of a frame of width w drawn centred on column x.
double cellColumn(double x, int i, int w) {
    return x + i - (w - 1) * 0.5;
}

class GameSprites : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(ox::ResourceManager::getInstance().startUp(), 0); }
    void TearDown() override {
        ox::ResourceManager::getInstance().shutDown();
        EXPECT_FALSE(m_log.containsPart("Error!")) << m_log.text();
        EXPECT_FALSE(m_log.containsPart("Warning!")) << m_log.text();
    }

    /// Loads a sprite file of the game under its label; null when it failed.
    const ox::Sprite* load(const std::string& file, const std::string& label) {
        ox::ResourceManager& rm = ox::ResourceManager::getInstance();
        EXPECT_EQ(rm.loadSprite(RUN_DIR + "/sprites/" + file, label), 0);
        const ox::Sprite* p_sprite = rm.getSprite(label);
        if (p_sprite) {
            EXPECT_GE(p_sprite->getFrameCount(), 1);
        }
        return p_sprite;
    }

    ox_test::LogCapture m_log{5};
};

TEST_F(GameSprites, TitleFitsTheWindowAndTellsThePlayerWhatToDo) {
    const ox::Sprite* p_title = load("rythumstart-spr.txt", "gamestart");
    ASSERT_NE(p_title, nullptr);
    // Drawn centred at the view's centre location: (H / 2, V / 2) with a border.
    const double left = cellColumn(H * 0.5, 0, p_title->getWidth());
    const double right = cellColumn(H * 0.5, p_title->getWidth() - 1, p_title->getWidth());
    const double top = cellColumn(V * 0.5, 0, p_title->getHeight());
    const double bottom = cellColumn(V * 0.5, p_title->getHeight() - 1, p_title->getHeight());
    EXPECT_GE(left, 0);
    EXPECT_LE(right, H - 1);
    EXPECT_GE(top, 0);
    EXPECT_LE(bottom, V - 1);
    EXPECT_EQ(left, std::floor(left)) << "odd width keeps the glyphs on whole cells";
    EXPECT_EQ(top, std::floor(top)) << "odd height keeps the glyphs on whole rows";

    EXPECT_NE(p_title->getFrame(0).getString().find("[P]"), std::string::npos);
    for (int f = 0; f < p_title->getFrameCount(); ++f) {
        const std::string text = p_title->getFrame(f).getString();
        for (const char* key : {"[Z]", "[X]", "[C]", "[V]", "[Q]"})
            EXPECT_NE(text.find(key), std::string::npos) << key << " in frame " << f;
    }
}

TEST_F(GameSprites, NoteBoxKeepsNotesApartAndMeetsTheOutStripOnlyWhenMissed) {
    const ox::Sprite* p_note = load("note-spr.txt", "note");
    ASSERT_NE(p_note, nullptr);
    const int w = p_note->getWidth();
    const int h = p_note->getHeight();
    // Boxes that share an edge collide, and notes are hard: the nearest lanes
    // are 11 columns apart, the chart's half-beat runs put notes of one lane
    // 6 steps (1.5 rows) apart.
    EXPECT_LT(w, 11);
    EXPECT_LT(h, 1.5);
    EXPECT_EQ(w % 2, 1) << "odd width keeps the note on whole cells";

    int step = 0;
    while (NOTE_START_ROW + NOTE_ROWS_PER_STEP * step + h * 0.5 < OUT_STRIP_TOP)
        ++step;
    const double caught_at = NOTE_START_ROW + NOTE_ROWS_PER_STEP * step;
    EXPECT_GE(caught_at, GOOD_WINDOW_END) << "the out strip would take a note still worth points";
    EXPECT_LT(caught_at - h * 0.5, V) << "the note would leave the world first";
}

TEST_F(GameSprites, HitLineLiesOverTheFourLanes) {
    const ox::Sprite* p_line = load("line-spr.txt", "line");
    const ox::Sprite* p_note = load("note-spr.txt", "note");
    ASSERT_NE(p_line, nullptr);
    ASSERT_NE(p_note, nullptr);
    EXPECT_EQ(p_line->getHeight(), 1) << "the line marks one row, V/2 + 5";

    // Columns where the line, placed at (H/2, V/2 + 5), shows a character.
    const int w = p_line->getWidth();
    const std::string row = p_line->getFrame(0).getString();
    std::vector<double> shown;
    for (int i = 0; i < w; ++i)
        if (row[i] != p_line->getTransparency())
            shown.push_back(cellColumn(H / 2, i, w));
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), std::floor(shown.front()))
        << "odd width keeps the line on whole cells";

    // Every cell of every lane's note lies on the line, and the line reaches
    // at most one cell past the outer notes.
    const int half_note = (p_note->getWidth() - 1) / 2;
    for (int lane_column : LANE_COLUMNS)
        for (int c = lane_column - half_note; c <= lane_column + half_note; ++c)
            EXPECT_NE(std::find(shown.begin(), shown.end(), c), shown.end()) << "column " << c;
    EXPECT_GE(shown.front(), LANE_COLUMNS.front() - half_note - 1);
    EXPECT_LE(shown.back(), LANE_COLUMNS.back() + half_note + 1);
}

}  // namespace

#else

TEST(GameSprites, NeedTheEnginesResourceManager) {
    GTEST_SKIP() << "the sprite files are checked once the engine can read them";
}

#endif
