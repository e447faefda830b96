#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "Event.h"
#include "EventStep.h"
#include "GameManager.h"
#include "LogCapture.h"
#include "LogManager.h"
#include "Manager.h"
#include "Object.h"
#include "WorldManager.h"

namespace {

/// A manager that accepts every label, to exercise the base class's lists.
class AnyManager : public ox::Manager {
public:
    bool isValid(std::string) const override { return true; }
};

/// Records every delivery in a shared journal (its id), runs an optional
/// action, and returns the configured result.
class Receiver : public ox::Object {
public:
    Receiver(std::vector<int>& journal, int result = 1) : m_journal(journal), m_result(result) {
        setType("Receiver");
    }
    int eventHandler(const ox::Event*) override {
        m_journal.push_back(getId());
        if (m_action) {
            m_action();
        }
        return m_result;
    }
    std::function<void()> m_action;

private:
    std::vector<int>& m_journal;
    int m_result;
};

/// Objects live in the world; the world manager's shut-down deletes them.
class ManagerTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(ox::WorldManager::getInstance().startUp(), 0); }
    void TearDown() override { ox::WorldManager::getInstance().shutDown(); }
    Receiver* make(int result = 1) { return new Receiver(m_journal, result); }

    ox_test::LogCapture m_log{1};
    std::vector<int> m_journal;
};

ox::Event labelled(const std::string& label) {
    ox::Event event;
    event.setType(label);
    return event;
}

TEST(ManagerBase, StartAndStopProtocol) {
    ox_test::LogCapture log(1);
    AnyManager manager;
    EXPECT_EQ(manager.getType(), "Manager");
    EXPECT_FALSE(manager.isStarted());
    manager.shutDown();
    EXPECT_FALSE(manager.isStarted());
    EXPECT_EQ(manager.startUp(), 0);
    EXPECT_EQ(manager.startUp(), 0);
    EXPECT_TRUE(manager.isStarted());
    manager.setType("Other");
    manager.shutDown();
    EXPECT_FALSE(manager.isStarted());
    EXPECT_EQ(log.messages(),
              (std::vector<std::string>{"Manager::shutDown(): Warning! Manager not started.",
                                        "Manager::startUp(): Warning! Manager already started."}));
    ox::LogManager::getInstance().setLogLevel(0);
    manager.shutDown();  // level-1 warnings are filtered at level 0
    EXPECT_EQ(log.messages().size(), 2u);
}

TEST_F(ManagerTest, RegisteringTwiceWarnsAndDeliversOnce) {
    AnyManager manager;
    Receiver* p_a = make();
    EXPECT_EQ(manager.registerInterest(p_a, "ping"), 0);
    EXPECT_EQ(manager.registerInterest(p_a, "ping"), 0);
    EXPECT_TRUE(m_log.contains("Manager::registerInterest(): Warning! Not adding id " +
                               std::to_string(p_a->getId()) + " (Receiver) twice for event ping."));
    const ox::Event ping = labelled("ping");
    EXPECT_EQ(manager.onEvent(&ping), 1);
    EXPECT_EQ(m_journal, std::vector<int>{p_a->getId()});
}

TEST_F(ManagerTest, DeliversInRegistrationOrderAndCountsHandlers) {
    AnyManager manager;
    Receiver* p_a = make(1);
    Receiver* p_b = make(0);  // called, but does not handle it
    Receiver* p_c = make(7);
    Receiver* p_d = make(1);
    Receiver* p_other = make(1);
    for (Receiver* p : {p_c, p_a, p_b, p_d}) {
        manager.registerInterest(p, "ping");
    }
    manager.registerInterest(p_other, "pong");
    p_d->setActive(false);  // stays registered, receives nothing
    const ox::Event ping = labelled("ping");
    EXPECT_EQ(manager.onEvent(&ping), 2);
    EXPECT_EQ(m_journal, (std::vector<int>{p_c->getId(), p_a->getId(), p_b->getId()}));
    p_d->setActive(true);
    m_journal.clear();
    EXPECT_EQ(manager.onEvent(&ping), 3);
    EXPECT_EQ(m_journal.back(), p_d->getId());
}

TEST_F(ManagerTest, RefusesLabelsItDoesNotDeliver) {
    Receiver* p_a = make();
    ox::LogManager& log_manager = ox::LogManager::getInstance();
    log_manager.setLogLevel(0);  // the refusal is written whatever the level
    EXPECT_EQ(log_manager.registerInterest(p_a, "ox-step"), -1);
    EXPECT_TRUE(m_log.contains(
        "Manager(LogManager)::registerInterest(): Event 'ox-step' not valid for this Manager"));
    ox::GameManager& game_manager = ox::GameManager::getInstance();
    EXPECT_EQ(game_manager.registerInterest(p_a, "ox-keyboard"), -1);
    EXPECT_TRUE(
        m_log.contains("Manager(GameManager)::registerInterest(): Event 'ox-keyboard' not valid "
                       "for this Manager"));

    log_manager.setLogLevel(1);
    EXPECT_EQ(game_manager.registerInterest(p_a, "ox-step"), 0);
    const ox::Event undefined;
    EXPECT_EQ(game_manager.onEvent(&undefined), 0);
    EXPECT_TRUE(m_log.contains(
        "Manager(GameManager)::onEvent(): Warning! Event type ox-undefined is undefined."));
    const ox::Event keyboard = labelled("ox-keyboard");
    EXPECT_EQ(game_manager.onEvent(&keyboard), 0);
    EXPECT_TRUE(m_log.contains(
        "Manager(GameManager)::onEvent(): Error! Event type ox-keyboard not valid."));
    EXPECT_EQ(game_manager.onEvent(nullptr), 0);
    EXPECT_TRUE(m_log.contains("Manager(GameManager)::onEvent(): Error! Null event."));
    EXPECT_TRUE(m_journal.empty());
    const ox::EventStep step;
    EXPECT_EQ(game_manager.onEvent(&step), 1);
    game_manager.unregisterInterest(p_a, "ox-step");
}

TEST_F(ManagerTest, HundredLabelsAtMost) {
    AnyManager manager;
    Receiver* p_a = make();
    Receiver* p_b = make();
    for (int i = 0; i < ox::MAX_EVENTS; i++) {
        ASSERT_EQ(manager.registerInterest(p_a, "label" + std::to_string(i)), 0);
    }
    const size_t lines = m_log.messages().size();
    EXPECT_EQ(manager.registerInterest(p_a, "one-too-many"), -1);
    EXPECT_EQ(m_log.messages().size(), lines);  // refused silently
    EXPECT_EQ(manager.registerInterest(p_b, "label5"), 0);
    const ox::Event label5 = labelled("label5");
    EXPECT_EQ(manager.onEvent(&label5), 2);

    // Freeing a label makes room for a new one.
    EXPECT_EQ(manager.unregisterInterest(p_a, "label0"), 0);
    EXPECT_EQ(manager.registerInterest(p_b, "one-too-many"), 0);
    EXPECT_EQ(manager.registerInterest(p_b, "another"), -1);
}

TEST_F(ManagerTest, UnregisteringRemovesEmptyEntriesAndKeepsTheRest) {
    AnyManager manager;
    Receiver* p_a = make();
    Receiver* p_b = make();
    Receiver* p_c = make();
    Receiver* p_d = make();
    EXPECT_EQ(manager.unregisterInterest(p_a, "l0"), -1);  // nothing registered at all
    manager.registerInterest(p_a, "l0");
    manager.registerInterest(p_b, "l1");
    manager.registerInterest(p_c, "l2");
    EXPECT_EQ(manager.unregisterInterest(p_b, "l0"), -1);  // not in that list
    EXPECT_EQ(manager.unregisterInterest(p_a, "absent"), -1);
    EXPECT_EQ(manager.unregisterInterest(p_a, "l0"), 0);  // the entry goes, l1 and l2 move down

    // The slot freed at the end still holds a copy of l2's list; a new label
    // there must start from an empty list.
    manager.registerInterest(p_d, "l3");
    const ox::Event l1 = labelled("l1"), l2 = labelled("l2"), l3 = labelled("l3"),
                    l0 = labelled("l0");
    EXPECT_EQ(manager.onEvent(&l3), 1);
    EXPECT_EQ(manager.onEvent(&l2), 1);
    EXPECT_EQ(manager.onEvent(&l1), 1);
    EXPECT_EQ(manager.onEvent(&l0), 0);
    EXPECT_EQ(m_journal, (std::vector<int>{p_d->getId(), p_c->getId(), p_b->getId()}));

    // Registering the removed label again gives a fresh entry.
    EXPECT_EQ(manager.registerInterest(p_c, "l0"), 0);
    m_journal.clear();
    EXPECT_EQ(manager.onEvent(&l0), 1);
    EXPECT_EQ(m_journal, std::vector<int>{p_c->getId()});
}

TEST_F(ManagerTest, HandlersMayChangeInterestsDuringDelivery) {
    AnyManager manager;
    Receiver* p_a = make();
    Receiver* p_b = make();
    Receiver* p_late = make();
    manager.registerInterest(p_a, "ping");
    manager.registerInterest(p_b, "ping");
    // a withdraws b and adds late: this event still goes to a and b only.
    p_a->m_action = [&] {
        manager.unregisterInterest(p_b, "ping");
        manager.registerInterest(p_late, "ping");
        p_a->m_action = nullptr;
    };
    const ox::Event ping = labelled("ping");
    EXPECT_EQ(manager.onEvent(&ping), 2);
    EXPECT_EQ(m_journal, (std::vector<int>{p_a->getId(), p_b->getId()}));
    m_journal.clear();
    EXPECT_EQ(manager.onEvent(&ping), 2);
    EXPECT_EQ(m_journal, (std::vector<int>{p_a->getId(), p_late->getId()}));
}

}  // namespace
