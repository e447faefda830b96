#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Event.h"
#include "EventStep.h"
#include "GameManager.h"
#include "LogManager.h"
#include "Manager.h"
#include "WorldKit.h"

namespace {

/// A manager that accepts every label, to exercise the base class's lists.
class AnyManager : public ox::Manager {
public:
    bool isValid(std::string) const override { return true; }
};

/// A recorder whose handler reports the event handled or not.
class Handler : public ox_test::Recorder {
public:
    explicit Handler(int result) : m_result(result) {}
    int eventHandler(const ox::Event* p_e) override {
        Recorder::eventHandler(p_e);
        return m_result;
    }

private:
    int m_result;
};

/// Handlers in a started world, and an event of any label.
class ManagerTest : public testing::Test {
protected:
    Handler* make(int result = 1) { return new Handler(result); }
    int send(const std::string& label) {
        ox::Event event;
        event.setType(label);
        ox_test::journal().clear();
        return manager.onEvent(&event);
    }
    std::vector<int> receivers() const {
        std::vector<int> ids;
        for (const ox_test::Delivery& d : ox_test::journal()) {
            ids.push_back(d.receiver);
        }
        return ids;
    }

    ox_test::World world{80, 24, 1};
    AnyManager manager;
};

TEST_F(ManagerTest, DeliversOnceInRegistrationOrderToActiveObjects) {
    auto* p_a = make();
    auto* p_b = make();
    auto* p_c = make(0);  // called, but does not handle it
    for (auto* p : {p_c, p_a, p_b, p_a}) {
        EXPECT_EQ(manager.registerInterest(p, "ping"), 0);
    }
    EXPECT_TRUE(world.log().contains("Manager::registerInterest(): Warning! Not adding id " +
                                     std::to_string(p_a->getId()) + " (" + p_a->getType() +
                                     ") twice for event ping."));
    p_b->setActive(false);  // stays registered, receives nothing
    EXPECT_EQ(send("ping"), 1);
    EXPECT_EQ(receivers(), (std::vector<int>{p_c->getId(), p_a->getId()}));
    p_b->setActive(true);
    EXPECT_EQ(send("ping"), 2);
    EXPECT_EQ(send("pong"), 0);
}

TEST_F(ManagerTest, RefusesLabelsItDoesNotDeliverAndNullEvents) {
    auto* p_a = make();
    ox::LogManager::getInstance().setLogLevel(0);  // the refusal is written whatever the level
    ox::GameManager& game_manager = ox::GameManager::getInstance();
    EXPECT_EQ(game_manager.registerInterest(p_a, "ox-keyboard"), -1);
    EXPECT_TRUE(
        world.log().contains("Manager(GameManager)::registerInterest(): Event 'ox-keyboard' not "
                             "valid for this Manager"));
    ox::LogManager::getInstance().setLogLevel(1);
    EXPECT_EQ(game_manager.registerInterest(p_a, "ox-step"), 0);
    ox::Event keyboard;
    keyboard.setType("ox-keyboard");
    EXPECT_EQ(game_manager.onEvent(&keyboard), 0);
    EXPECT_EQ(game_manager.onEvent(nullptr), 0);
    EXPECT_TRUE(world.log().contains("Manager(GameManager)::onEvent(): Error! Null event."));
    EXPECT_TRUE(ox_test::journal().empty());
    const ox::EventStep step;
    EXPECT_EQ(game_manager.onEvent(&step), 1);
    game_manager.unregisterInterest(p_a, "ox-step");
}

TEST_F(ManagerTest, HundredLabelsAtMostAndUnregisteringFreesTheirEntries) {
    auto* p_a = make();
    auto* p_b = make();
    for (int i = 0; i < ox::MAX_EVENTS; i++) {
        ASSERT_EQ(manager.registerInterest(p_a, "label" + std::to_string(i)), 0);
    }
    EXPECT_EQ(manager.registerInterest(p_a, "one-too-many"), -1);
    EXPECT_EQ(manager.registerInterest(p_b, "label5"), 0);
    EXPECT_EQ(send("label5"), 2);
    EXPECT_EQ(manager.unregisterInterest(p_b, "label0"), -1);  // not in that list
    EXPECT_EQ(manager.unregisterInterest(p_a, "absent"), -1);
    // Removing label0 moves the later entries down. The slot freed at the end
    // still holds a copy of the last list; a new label there starts empty.
    EXPECT_EQ(manager.unregisterInterest(p_a, "label0"), 0);
    EXPECT_EQ(manager.registerInterest(p_b, "fresh"), 0);
    EXPECT_EQ(manager.registerInterest(p_b, "another"), -1);
    EXPECT_EQ(send("fresh"), 1);
    EXPECT_EQ(receivers(), std::vector<int>{p_b->getId()});
    EXPECT_EQ(send("label99"), 1);
    EXPECT_EQ(send("label0"), 0);
}

}  // namespace
