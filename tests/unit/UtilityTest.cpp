#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <sstream>

#include "LogCapture.h"
#include "LogManager.h"
#include "utility.h"

namespace {

using ox::match;

TEST(Match, FindsValuesAndKeepsTheTable) {
    EXPECT_EQ(match("a:1,b:2", "b"), "2");
    EXPECT_EQ(match("a:1,b:2", "c"), "");
    EXPECT_EQ(match("", "b"), "2");  // the table of the last parse
    EXPECT_EQ(match("", "a"), "1");
    EXPECT_EQ(match(" a : 1 ,\tb :\n2 ", "a"), "1");
    EXPECT_EQ(match("", "b"), "2");
    EXPECT_EQ(match("x:9", "a"), "");  // a new parse replaces the table
    EXPECT_EQ(match("", "a"), "");
}

TEST(Match, ItemShapes) {
    EXPECT_EQ(match("a:1,,b:2", "b"), "2");   // empty items are skipped
    EXPECT_EQ(match("a:1,::,b:2", "b"), "");  // parsing stops at an item of colons
    EXPECT_EQ(match("a:1,::,b:2", "a"), "1");
    EXPECT_EQ(match("k:first,k:second", "k"), "first");
    EXPECT_EQ(match("a:b:c", "a"), "b");
    EXPECT_EQ(match("lonely,a:1", "lonely"), "");
    EXPECT_EQ(match("lonely,a:1", "a"), "1");
    EXPECT_EQ(match("::k::v:,", "k"), "v");  // runs of colons separate alike
    EXPECT_EQ(match("Key:1", "key"), "");    // keys are case-sensitive
    EXPECT_EQ(match(",,,", "a"), "");
}

TEST(Match, TracesAtLevels25And28) {
    ox_test::LogCapture log(25);
    EXPECT_EQ(match("a:1,b", "b"), "");
    const std::vector<std::string> expected = {
        "LogManager::setLogLevel(): log level 25",
        "match(\"a:1,b\", \"b\")",
        "match(): number of elements allocated is 2",
        "\titem number 0",
        "\tkey a",
        "\tval 1",
        "\titem number 1",
        "\tkey b",
        "\tval ",
        "match(): parsed.",
        "match(): Looking for match 'b' among 2 items.",
    };
    EXPECT_EQ(log.messages(), expected);

    ox::LogManager::getInstance().setLogLevel(28);
    const size_t before = log.messages().size();
    EXPECT_EQ(match("x:1", "x"), "1");
    std::vector<std::string> lines = log.messages();
    lines.erase(lines.begin(), lines.begin() + static_cast<long>(before));
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[2], "\titem number 0");
    EXPECT_TRUE(std::regex_match(lines[3], std::regex("\tp_element is 'x:1' \\(0x[0-9a-f]+\\)")))
        << lines[3];
    EXPECT_TRUE(std::regex_match(lines[4], std::regex("\ttoken is 'x' \\(0x[0-9a-f]+\\)")))
        << lines[4];
    EXPECT_EQ(lines[8], "\t0  x : 1");
    EXPECT_EQ(lines[9], "match(): Looking for match 'x' among 1 items.");
    EXPECT_EQ(lines[10], "match(): 0: x == x?");
}

TEST(Match, SurvivesHostileText) {
    std::string binary;
    for (int i = 0; i < 4096; i++) {
        binary.push_back(static_cast<char>(i * 37 % 256));
    }
    EXPECT_NO_FATAL_FAILURE(match(binary, "a"));
    std::string many;
    for (int i = 0; i < 20000; i++) {
        many += "k" + std::to_string(i) + ":" + std::to_string(i) + ",";
    }
    EXPECT_EQ(match(many, "k19999"), "19999");
    EXPECT_EQ(match(std::string(1 << 20, ':'), "a"), "");
    EXPECT_EQ(match(std::string(1 << 20, ','), "a"), "");
    EXPECT_EQ(match(std::string("a:1\0b:2", 7), "a"), "1");  // bytes after a NUL are ignored
}

TEST(Utility, TimeString) {
    const std::string t = ox::timeString();
    EXPECT_TRUE(std::regex_match(t, std::regex(R"(([01]\d|2[0-3]):[0-5]\d:[0-6]\d)"))) << t;
    EXPECT_EQ(ox::timeString(), ox::timeString());  // one static buffer
}

TEST(Utility, InRangeIncludesBothEnds) {
    EXPECT_TRUE(ox::inRange(4, 0, 4));
    EXPECT_TRUE(ox::inRange(0, 0, 4));
    EXPECT_FALSE(ox::inRange(4.01f, 0, 4));
    EXPECT_FALSE(ox::inRange(-0.01f, 0, 4));
    EXPECT_FALSE(ox::inRange(std::nanf(""), 0, 4));
    EXPECT_FALSE(ox::inRange(2, 4, 0));
}

TEST(Utility, NumberTexts) {
    EXPECT_EQ(ox::toString(0), "0");
    EXPECT_EQ(ox::toString(-42), "-42");
    EXPECT_EQ(ox::toString(2147483647), "2147483647");
    EXPECT_EQ(ox::toString(1.0f), "1");
    EXPECT_EQ(ox::toString(0.5f), "0.5");
    EXPECT_EQ(ox::toString(-2.25f), "-2.25");
    EXPECT_EQ(ox::toString(1234567.0f), "1.23457e+06");
    EXPECT_EQ(ox::toString(0.1f), "0.1");
    EXPECT_EQ(ox::toBitString(5), std::string(29, '0') + "101");
    EXPECT_EQ(ox::toBitString(0x80000000u), "1" + std::string(31, '0'));
    EXPECT_EQ(ox::toBitString(0xffffffffu), std::string(32, '1'));
    EXPECT_EQ(ox::transformToString(3), "BOTH");
    EXPECT_EQ(ox::transformToString(7), "UNKNOWN");
    EXPECT_EQ(ox::transformToString(-1), "UNKNOWN");
}

TEST(Utility, CheckStreamNamesTheFirstStateThatHolds) {
    ox_test::LogCapture log(0);
    std::stringstream good("x");
    EXPECT_EQ(ox::checkStream("A::good()", good), 0);

    std::stringstream eof("");
    char c;
    eof.get(c);  // sets eof and fail: eof is reported
    EXPECT_EQ(ox::checkStream("Object::serialize()", eof), -1);

    std::stringstream fail("abc");
    int n;
    fail >> n;  // fail only
    EXPECT_EQ(ox::checkStream("B::fail()", fail), -1);

    std::stringstream bad("x");
    bad.setstate(std::ios::badbit);
    EXPECT_EQ(ox::checkStream("C::bad()", bad), -1);

    EXPECT_EQ(log.messages(), (std::vector<std::string>{"Object::serialize(): Error! Stream eof.",
                                                        "B::fail(): Error! Stream fail.",
                                                        "C::bad(): Error! Stream bad."}));
}

}  // namespace
