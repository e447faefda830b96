#include <gtest/gtest.h>

#include <sstream>

#include "LogCapture.h"
#include "utility.h"

namespace {

using ox::match;

TEST(Match, FindsValuesAndKeepsTheTableOfTheLastParse) {
    EXPECT_EQ(match("a:1,b:2", "b"), "2");
    EXPECT_EQ(match("", "a"), "1");  // the table of the last parse
    EXPECT_EQ(match(" a : 1 ,\tb :\n2 ", "b"), "2");
    EXPECT_EQ(match("x:9", "a"), "");  // a new parse replaces the table
    EXPECT_EQ(match("", "a"), "");
    const struct {
        const char* text;
        const char* key;
        const char* value;
    } cases[] = {
        {"a:1,,b:2", "b", "2"},    // empty items are skipped
        {"a:1,::,b:2", "a", "1"},  // an item of colons stops the parse, keeping what came before
        {"k:first,k:second", "k", "first"},
        {"a:b:c", "a", "b"},
        {"lonely,a:1", "lonely", ""},
        {"lonely,a:1", "a", "1"},
        {"::k::v:,", "k", "v"},  // runs of colons separate alike
        {"Key:1", "key", ""},    // keys are case-sensitive
    };
    for (const auto& c : cases) {
        EXPECT_EQ(match(c.text, c.key), c.value) << c.text << " / " << c.key;
    }
}

TEST(Utility, CheckStreamNamesTheFirstStateThatHolds) {
    ox_test::LogCapture log(0);
    std::stringstream good("x");
    EXPECT_EQ(ox::checkStream("A::good()", good), 0);
    std::stringstream eof("");
    eof.get();  // sets eof and fail: eof is reported
    EXPECT_EQ(ox::checkStream("A::eof()", eof), -1);
    std::stringstream fail("abc");
    int n;
    fail >> n;  // fail only
    EXPECT_EQ(ox::checkStream("B::fail()", fail), -1);
    std::stringstream bad("x");
    bad.setstate(std::ios::badbit);
    EXPECT_EQ(ox::checkStream("C::bad()", bad), -1);
    EXPECT_EQ(log.messages(), (std::vector<std::string>{"A::eof(): Error! Stream eof.",
                                                        "B::fail(): Error! Stream fail.",
                                                        "C::bad(): Error! Stream bad."}));
}

}  // namespace
