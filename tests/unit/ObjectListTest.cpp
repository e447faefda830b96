#include <gtest/gtest.h>

#include <stdexcept>

#include "LogCapture.h"
#include "ObjectList.h"

namespace {

using Objects = std::vector<ox::Object*>;

// The list never looks at the objects it points to, so distinct addresses
// stand in for objects here.
char g_storage[8];
ox::Object* at(int i) {
    return reinterpret_cast<ox::Object*>(&g_storage[i]);
}

ox::ObjectList listOf(const Objects& objects) {
    ox::ObjectList list;
    for (ox::Object* p_o : objects) {
        EXPECT_EQ(list.insert(p_o), 0);
    }
    return list;
}

TEST(ObjectList, IndexOutOfRangeLogsAndThrows) {
    ox_test::LogCapture log;
    ox::ObjectList list = listOf({at(0), at(1), at(2)});
    EXPECT_EQ(list[2], at(2));
    EXPECT_THROW(list[3], std::out_of_range);
    EXPECT_THROW(list[-1], std::out_of_range);
    EXPECT_THROW(ox::ObjectList()[0], std::out_of_range);
    EXPECT_TRUE(log.contains("ObjectList::operator[](): Error! Index 3 out of range [0, 2]"));
    EXPECT_TRUE(log.contains("ObjectList::operator[](): Error! Index 0 out of range [0, -1]"));
}

}  // namespace
