#include <gtest/gtest.h>

#include <stdexcept>

#include "LogCapture.h"
#include "ObjectList.h"
#include "ObjectListIterator.h"
#include "WorldKit.h"

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

TEST(ObjectList, InsertRemoveCopyAndAppend) {
    ox::ObjectList list = listOf({at(0), at(1), at(2), at(1), at(3)});  // grows from one slot
    EXPECT_EQ(list.insert(nullptr), -1);
    EXPECT_EQ(list.remove(at(1)), 0);  // only the first occurrence goes
    EXPECT_EQ(list.remove(at(5)), -1);
    EXPECT_EQ(ox_test::contents(list), (Objects{at(0), at(2), at(1), at(3)}));

    // Copies are independent of the original and of each other.
    ox::ObjectList copy(list);
    copy.remove(at(0));
    ox::ObjectList assigned = listOf({at(6)});
    assigned = list;
    const ox::ObjectList& same = assigned;
    assigned = same;
    list.clear();
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(ox_test::contents(copy), (Objects{at(2), at(1), at(3)}));
    EXPECT_EQ(ox_test::contents(assigned), (Objects{at(0), at(2), at(1), at(3)}));
    EXPECT_EQ(ox_test::contents(listOf({at(7)}) + copy), (Objects{at(7), at(2), at(1), at(3)}));
    EXPECT_EQ(list.insert(at(4)), 0);  // a cleared list is usable
    EXPECT_EQ(ox_test::contents(list), Objects{at(4)});
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

TEST(ObjectListIterator, RereadsTheCountWhileWalking) {
    ox::ObjectList empty;
    ox::ObjectListIterator none(&empty);
    none.next();
    EXPECT_TRUE(none.isDone());
    EXPECT_EQ(none.currentObject(), nullptr);

    ox::ObjectList list = listOf({at(0), at(1), at(2)});
    Objects seen;
    for (ox::ObjectListIterator li(&list); !li.isDone(); li.next()) {
        seen.push_back(li.currentObject());
        if (li.currentObject() == at(0)) {
            list.remove(at(0));  // the entry moving into its place is skipped
            list.insert(at(3));  // an appended entry is still reached
        }
    }
    EXPECT_EQ(seen, (Objects{at(0), at(2), at(3)}));

    ox::ObjectListIterator li(&list);
    for (int i = 0; i < 4; i++) {
        li.next();  // never beyond the count
    }
    EXPECT_TRUE(li.isDone());
    list.insert(at(4));
    EXPECT_EQ(li.currentObject(), at(4));
}

}  // namespace
