#include <gtest/gtest.h>

#include <stdexcept>

#include "LogCapture.h"
#include "ObjectList.h"
#include "ObjectListIterator.h"

namespace {

// The list never looks at the objects it points to, so distinct addresses
// stand in for objects here.
struct Objects {
    char storage[8] = {};
    ox::Object* at(int i) { return reinterpret_cast<ox::Object*>(&storage[i]); }
};

std::vector<ox::Object*> contents(const ox::ObjectList& list) {
    std::vector<ox::Object*> result;
    for (ox::ObjectListIterator li(&list); !li.isDone(); li.next()) {
        result.push_back(li.currentObject());
    }
    return result;
}

TEST(ObjectList, GrowsByDoublingAndClearKeepsSlots) {
    Objects o;
    ox::ObjectList list;
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(list.getMaxCount(), 1);
    int expected_max[] = {1, 2, 4, 4, 8};
    for (int i = 0; i < 5; i++) {
        EXPECT_EQ(list.insert(o.at(i)), 0);
        EXPECT_EQ(list.getMaxCount(), expected_max[i]);
    }
    EXPECT_EQ(list.getCount(), 5);
    EXPECT_EQ(list.insert(nullptr), -1);
    EXPECT_EQ(list.getCount(), 5);

    list.clear();
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(list.getMaxCount(), 8);
    EXPECT_EQ(list.insert(o.at(7)), 0);
    EXPECT_EQ(list.getMaxCount(), 8);
    EXPECT_EQ(contents(list), std::vector<ox::Object*>{o.at(7)});
}

TEST(ObjectList, RemoveKeepsOrderAndFailsWhenAbsent) {
    Objects o;
    ox::ObjectList list;
    list.insert(o.at(0));
    list.insert(o.at(1));
    list.insert(o.at(2));
    list.insert(o.at(1));
    EXPECT_EQ(list.remove(o.at(1)), 0);  // only the first occurrence goes
    EXPECT_EQ(contents(list), (std::vector<ox::Object*>{o.at(0), o.at(2), o.at(1)}));
    EXPECT_EQ(list.remove(o.at(5)), -1);
    EXPECT_EQ(list.getCount(), 3);
    EXPECT_EQ(list.remove(o.at(1)), 0);
    EXPECT_EQ(list.remove(o.at(0)), 0);
    EXPECT_EQ(contents(list), std::vector<ox::Object*>{o.at(2)});
}

TEST(ObjectList, IndexOutOfRangeLogsAndThrows) {
    ox_test::LogCapture log;
    Objects o;
    ox::ObjectList list;
    for (int i = 0; i < 3; i++) {
        list.insert(o.at(i));
    }
    EXPECT_EQ(list[2], o.at(2));
    EXPECT_THROW(list[3], std::out_of_range);
    EXPECT_TRUE(log.contains("ObjectList::operator[](): Error! Index 3 out of range [0, 2]"));
    try {
        list[-1];
        FAIL() << "no exception";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "ObjectList::operator[](): Invalid index!");
    }
    EXPECT_TRUE(log.contains("ObjectList::operator[](): Error! Index -1 out of range [0, 2]"));
    ox::ObjectList empty;
    EXPECT_THROW(empty[0], std::out_of_range);
    EXPECT_TRUE(log.contains("ObjectList::operator[](): Error! Index 0 out of range [0, -1]"));
}

TEST(ObjectList, CopiesAreIndependent) {
    Objects o;
    ox::ObjectList a;
    a.insert(o.at(0));
    a.insert(o.at(1));
    a.insert(o.at(2));
    ox::ObjectList b(a);
    EXPECT_EQ(b.getMaxCount(), a.getMaxCount());
    b.remove(o.at(0));
    EXPECT_EQ(a.getCount(), 3);
    EXPECT_EQ(contents(b), (std::vector<ox::Object*>{o.at(1), o.at(2)}));

    ox::ObjectList c;
    c.insert(o.at(6));
    c = a;
    EXPECT_EQ(contents(c), contents(a));
    const ox::ObjectList& same = c;
    c = same;  // self-assignment changes nothing
    EXPECT_EQ(contents(c), contents(a));
    a.clear();
    EXPECT_EQ(c.getCount(), 3);
}

TEST(ObjectList, PlusAppendsTheOtherListInOrder) {
    Objects o;
    ox::ObjectList ab;
    ab.insert(o.at(0));
    ab.insert(o.at(1));
    ox::ObjectList b;
    b.insert(o.at(1));
    const ox::ObjectList sum = ab + b;
    EXPECT_EQ(contents(sum), (std::vector<ox::Object*>{o.at(0), o.at(1), o.at(1)}));
    EXPECT_EQ(ab.getCount(), 2);
    EXPECT_EQ(contents(ox::ObjectList() + ab), contents(ab));
}

TEST(ObjectListIterator, RereadsTheCountWhileWalking) {
    Objects o;
    ox::ObjectList empty;
    ox::ObjectListIterator none(&empty);
    EXPECT_TRUE(none.isDone());
    EXPECT_EQ(none.currentObject(), nullptr);
    none.next();
    EXPECT_TRUE(none.isDone());

    ox::ObjectList list;
    list.insert(o.at(0));
    list.insert(o.at(1));
    list.insert(o.at(2));
    std::vector<ox::Object*> seen;
    for (ox::ObjectListIterator li(&list); !li.isDone(); li.next()) {
        ox::Object* p = li.currentObject();
        seen.push_back(p);
        if (p == o.at(0)) {
            list.remove(p);        // the entry moving into its place is skipped
            list.insert(o.at(3));  // an appended entry is still reached
        }
    }
    EXPECT_EQ(seen, (std::vector<ox::Object*>{o.at(0), o.at(2), o.at(3)}));

    ox::ObjectListIterator li(&list);
    li.next();
    li.next();
    li.next();
    li.next();  // never beyond the count
    EXPECT_TRUE(li.isDone());
    list.insert(o.at(4));
    EXPECT_FALSE(li.isDone());
    EXPECT_EQ(li.currentObject(), o.at(4));
    li.first();
    EXPECT_EQ(li.currentObject(), o.at(1));
}

}  // namespace
