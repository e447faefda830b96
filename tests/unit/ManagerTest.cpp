#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "Event.h"
#include "EventCollision.h"
#include "EventKeyboard.h"
#include "EventMouse.h"
#include "EventNetwork.h"
#include "EventOut.h"
#include "EventStep.h"
#include "EventView.h"
#include "GameManager.h"
#include "InputManager.h"
#include "LogManager.h"
#include "Manager.h"
#include "NetworkManager.h"
#include "ObjectList.h"
#include "ObjectListIterator.h"
#include "WorldKit.h"
#include "WorldManager.h"

namespace {

/// A manager that accepts every label, to exercise the base class's lists.
class AnyManager : public ox::Manager {
public:
    bool isValid(std::string) const override { return true; }
};

/// A recorder whose handler reports the event handled or not.
class Handler : public ox_test::Recorder {
public:
    explicit Handler(int result = 1) : m_result(result) {}
    int eventHandler(const ox::Event* p_e) override {
        Recorder::eventHandler(p_e);
        return m_result;
    }

private:
    int m_result;
};

/// Handlers in a started world, and a manager of any label.
class ManagerTest : public testing::Test {
protected:
    /// Sends an event of the label; the number of handlers that took it.
    int send(const std::string& label) {
        ox::Event event;
        event.setType(label);
        ox_test::journal().clear();
        return manager.onEvent(&event);
    }

    ox_test::World world{80, 24, 1};
    AnyManager manager;
};

TEST_F(ManagerTest, DeliversOnceInRegistrationOrderToActiveObjects) {
    auto* p_a = new Handler;
    auto* p_b = new Handler;
    auto* p_c = new Handler(0);  // called, but does not handle it
    for (auto* p : {p_c, p_a, p_b, p_a}) {
        EXPECT_EQ(manager.registerInterest(p, "ping"), 0);
    }
    p_b->setActive(false);  // stays registered, receives nothing
    EXPECT_EQ(send("ping"), 1);
    EXPECT_EQ(ox_test::journal(),
              (std::vector<ox_test::Delivery>{ox_test::plainDelivery(p_c->getId(), "ping"),
                                              ox_test::plainDelivery(p_a->getId(), "ping")}));
    p_b->setActive(true);
    EXPECT_EQ(send("ping"), 2);
    EXPECT_EQ(send("pong"), 0);

    // A label the manager does not deliver is refused, whatever the log level;
    // a null event is an error, not a crash.
    ox::LogManager::getInstance().setLogLevel(0);
    EXPECT_EQ(ox::GameManager::getInstance().registerInterest(p_a, "ox-keyboard"), -1);
    EXPECT_TRUE(
        world.log().contains("Manager(GameManager)::registerInterest(): Event 'ox-keyboard' not "
                             "valid for this Manager"));
    EXPECT_EQ(manager.onEvent(nullptr), 0);
    EXPECT_TRUE(world.log().contains("Manager(Manager)::onEvent(): Error! Null event."));
}

TEST_F(ManagerTest, HundredLabelsAtMostAndUnregisteringFreesTheirEntries) {
    auto* p_a = new Handler;
    auto* p_b = new Handler;
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
    EXPECT_EQ(ox_test::journal().front().receiver, p_b->getId());
    EXPECT_EQ(send("label99"), 1);
    EXPECT_EQ(send("label0"), 0);
}

TEST(Managers, EachTakesTheLabelsItDelivers) {
    ox_test::LogCapture log;
    const struct {
        const std::string& label;
        bool game, input, world, network;
    } cases[] = {
        {ox::STEP_EVENT, true, false, false, false},
        {ox::KEYBOARD_EVENT, false, true, false, false},
        {ox::MOUSE_EVENT, false, true, false, false},
        {ox::COLLISION_EVENT, false, false, false, false},  // sent to the two objects alone
        {ox::OUT_EVENT, false, false, false, false},        // sent to the object alone
        {ox::VIEW_EVENT, false, false, true, false},
        {ox::NETWORK_EVENT, false, false, true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ox::GameManager::getInstance().isValid(c.label), c.game) << c.label;
        EXPECT_EQ(ox::InputManager::getInstance().isValid(c.label), c.input) << c.label;
        EXPECT_EQ(ox::WorldManager::getInstance().isValid(c.label), c.world) << c.label;
        EXPECT_EQ(ox::NetworkManager::getInstance().isValid(c.label), c.network) << c.label;
    }
    EXPECT_TRUE(log.contains("WorldManager::isValid(): WorldManager does not handle ox-step"));
    EXPECT_TRUE(log.contains("WorldManager::isValid(): Event ox-out handled automatically."));
}

TEST(ObjectList, IndexOutOfRangeLogsAndThrows) {
    ox_test::LogCapture log;
    ox::ObjectList list;
    auto* p_o = reinterpret_cast<ox::Object*>(&log);  // never looked at
    for (int i = 0; i < 3; i++) {
        list.insert(p_o);
    }
    EXPECT_EQ(list[2], p_o);
    ox::ObjectList two;
    auto* p_last = reinterpret_cast<ox::Object*>(&list);
    two.insert(p_o);
    two.insert(p_last);
    ox::ObjectListIterator it(&two);
    it.next();
    EXPECT_EQ(it.currentObject(), p_last);
    it.first();
    EXPECT_EQ(it.currentObject(), p_o);
    EXPECT_THROW(list[3], std::out_of_range);
    EXPECT_THROW(list[-1], std::out_of_range);
    EXPECT_THROW(ox::ObjectList()[0], std::out_of_range);
    EXPECT_TRUE(log.contains("ObjectList::operator[](): Error! Index 3 out of range [0, 2]"));
    EXPECT_TRUE(log.contains("ObjectList::operator[](): Error! Index 0 out of range [0, -1]"));
}

}  // namespace
