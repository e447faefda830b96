#include <gtest/gtest.h>

#include "WorldKit.h"
#include "WorldManager.h"

namespace {

using ox::Box;
using ox::Vector;
using ox::WorldManager;
using ox_test::journal;
using ox_test::plainDelivery;
using ox_test::Recorder;
using ox_test::World;
using Deliveries = std::vector<ox_test::Delivery>;

WorldManager& wm() {
    return WorldManager::getInstance();
}

/// Both collision events of a mover running into another, in order.
Deliveries bothWays(const Recorder* p_mover, const Recorder* p_other, Vector where) {
    const int m = p_mover->getId();
    const int o = p_other->getId();
    return {ox_test::collisionDelivery(m, m, o, where), ox_test::collisionDelivery(o, m, o, where)};
}

TEST(WorldManager, CollisionsFollowSolidness) {
    const struct {
        const char* name;
        ox::Solidness mover;
        bool no_soft;
        ox::Solidness other;
        bool events;  // both get one collision event
        bool moves;
    } cases[] = {
        {"hard into hard", ox::HARD, false, ox::HARD, true, false},
        {"hard into soft", ox::HARD, false, ox::SOFT, true, true},
        {"soft into hard", ox::SOFT, false, ox::HARD, true, true},
        {"soft into soft", ox::SOFT, false, ox::SOFT, true, true},
        {"hard no_soft into soft", ox::HARD, true, ox::SOFT, true, false},
        {"soft no_soft into soft", ox::SOFT, true, ox::SOFT, true, false},
        {"hard no_soft into hard", ox::HARD, true, ox::HARD, true, false},
        {"spectral into hard", ox::SPECTRAL, false, ox::HARD, false, true},
        {"hard into spectral", ox::HARD, false, ox::SPECTRAL, false, true},
    };
    World world;
    float row = 2;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto* p_mover = new Recorder(Vector(5, row), c.mover);
        p_mover->setNoSoft(c.no_soft);
        auto* p_other = new Recorder(Vector(7, row), c.other);
        journal().clear();
        const Vector where(6.2f, row);
        EXPECT_EQ(wm().moveObject(p_mover, where), c.moves ? 0 : -1);
        EXPECT_EQ(p_mover->getPosition(), c.moves ? where : Vector(5, row));
        EXPECT_EQ(journal(), c.events ? bothWays(p_mover, p_other, where) : Deliveries{});
        row += 2;
    }
}

TEST(WorldManager, LeavingTheBoundaryGivesOneOutEvent) {
    World world(80, 24);
    auto* p_o = new Recorder(Vector(78, 5), ox::SPECTRAL);
    p_o->setVelocity(Vector(1, 0));
    wm().update();  // box 78.5 to 79.49: still inside
    wm().update();  // box 79.5 to 80.49: touches the edge x = 80
    EXPECT_TRUE(journal().empty());
    wm().update();  // box 80.5 to 81.49: wholly outside
    wm().update();
    EXPECT_EQ(journal(), Deliveries{plainDelivery(p_o->getId(), "ox-out")});
    // Coming back and leaving again gives another.
    wm().moveObject(p_o, Vector(40, 5));
    wm().moveObject(p_o, Vector(40, 30));
    EXPECT_EQ(journal().size(), 2u);
}

TEST(WorldManager, AccelerationChangesTheVelocityAfterEachMove) {
    World world(80, 24);
    auto* p_o = new Recorder(Vector(10, 5), ox::SPECTRAL);
    p_o->setVelocity(Vector(1, 0));
    p_o->setAcceleration(Vector(0.5f, -0.25f));
    const Vector positions[] = {Vector(11, 5), Vector(12.5f, 4.75f), Vector(14.5f, 4.25f)};
    for (const Vector& expected : positions) {
        wm().update();
        EXPECT_EQ(p_o->getPosition(), expected);
    }
    EXPECT_EQ(p_o->getVelocity(), Vector(2.5f, -0.75f));
}

TEST(WorldManager, AvoidingCollisionsSlidesAlongTheObstacle) {
    // A HARD floor whose top is at y = 10, and a HARD mover above it heading
    // down and right fast enough to reach it in one step; what lies where the
    // slide along the floor would end decides the rest.
    const struct {
        const char* name;
        ox::Solidness blocker;  // SPECTRAL: nothing there
        bool moves;
    } cases[] = {{"free", ox::SPECTRAL, true}, {"hard", ox::HARD, false}, {"soft", ox::SOFT, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        World world(80, 24, 5);
        auto* p_floor = new Recorder(Vector(0, 10));
        p_floor->setBox(Box(Vector(0, 0), 40, 1));
        auto* p_mover = new Recorder(Vector(5, 8.5f));
        p_mover->setVelocity(Vector(2, 2));
        p_mover->setAvoidCollisions(true);
        auto* p_blocker = new Recorder(Vector(8, 8.5f), c.blocker);
        journal().clear();
        EXPECT_EQ(wm().moveObject(p_mover, p_mover->predictPosition()), c.moves ? 0 : -1);
        const Vector at = p_mover->getPosition();
        EXPECT_FLOAT_EQ(at.getX(), c.moves ? 5 + p_mover->getSpeed() : 5);
        EXPECT_FLOAT_EQ(at.getY(), 8.5f);
        EXPECT_EQ(journal(),
                  c.blocker == ox::SOFT ? bothWays(p_mover, p_blocker, at) : Deliveries{});
        EXPECT_EQ(world.log().contains("WorldManager::moveObject(): Double collision. Object "
                                       "(avoid obstacles) cannot move."),
                  !c.moves);
    }
    // Head-on into a block's corner, the mover turns off it sideways.
    World world(80, 24, 5);
    new Recorder(Vector(10, 10));
    auto* p_mover = new Recorder(Vector(8, 8));
    p_mover->setVelocity(Vector(2, 2));
    p_mover->setAvoidCollisions(true);
    EXPECT_EQ(wm().moveObject(p_mover, p_mover->predictPosition()), 0);
    EXPECT_NEAR(p_mover->getPosition().getX(), 6, 1e-4);
    EXPECT_NEAR(p_mover->getPosition().getY(), 10, 1e-4);
}

// Marks another object for deletion from its destructor.
class Chain : public Recorder {
public:
    explicit Chain(ox::Object* p_next) : m_p_next(p_next) {}
    ~Chain() override { WorldManager::getInstance().markForDelete(m_p_next); }

private:
    ox::Object* m_p_next;
};

TEST(WorldManager, MarkedObjectsStayUntilTheEndOfTheUpdateAndShutDownDeletesAll) {
    World world;
    const int destroyed = Recorder::destroyed();
    auto* p_mover = new Recorder(Vector(5, 5));
    auto* p_target = new Recorder(Vector(7, 5));
    auto* p_bystander = new Recorder(Vector(20, 5), ox::SPECTRAL);
    p_mover->setVelocity(Vector(1.5f, 0));
    p_bystander->setVelocity(Vector(1, 0));
    // The mover's handler marks the target (twice) and itself; the target is
    // still collided with, and the bystander, marked before the update, still moves.
    p_mover->reaction = [&](Recorder& self, const ox::Event*) {
        EXPECT_EQ(wm().markForDelete(p_target), 0);
        EXPECT_EQ(wm().markForDelete(p_target), 0);
        EXPECT_EQ(wm().markForDelete(&self), 0);
    };
    wm().markForDelete(p_bystander);
    wm().markForDelete(p_bystander);
    const Deliveries expected = bothWays(p_mover, p_target, Vector(6.5f, 5));
    wm().update();
    EXPECT_EQ(journal(), expected);
    EXPECT_EQ(Recorder::destroyed(), destroyed + 3);
    EXPECT_TRUE(wm().getSceneGraph().activeObjects().isEmpty());

    // Objects marked by destructors go in the same pass.
    auto* p_last = new Recorder(Vector(3, 3));
    new Recorder(Vector(4, 4));  // not marked: stays
    wm().markForDelete(new Chain(new Chain(p_last)));
    wm().update();
    EXPECT_EQ(Recorder::destroyed(), destroyed + 6);
    EXPECT_EQ(wm().getSceneGraph().activeObjects().getCount(), 1);
    // Shut-down deletes active, inactive and spectral objects alike.
    new Recorder(Vector(5, 5), ox::SPECTRAL);
    new Recorder(Vector(6, 6));
    new Chain(new Recorder(Vector(7, 7)));  // deleted after its child, which it then marks
    auto* p_sleeper = new Recorder(Vector(8, 8));
    p_sleeper->setActive(false);
    wm().shutDown();
    EXPECT_EQ(Recorder::destroyed(), destroyed + 6 + 6);
    EXPECT_EQ(wm().startUp(), 0);
    wm().update();  // nothing left over to delete
    EXPECT_EQ(Recorder::destroyed(), destroyed + 6 + 6);
}

TEST(WorldManager, HandlersMayChangeInterestsDuringDelivery) {
    World world;
    auto* p_a = new Recorder;
    auto* p_b = new Recorder;
    auto* p_c = new Recorder;
    p_a->registerInterest("tick");
    p_b->registerInterest("tick");
    // a drops b, adds c, and drops itself; this delivery still reaches a and
    // b only, the next reaches c only.
    p_a->reaction = [&](Recorder& self, const ox::Event*) {
        EXPECT_EQ(p_b->unregisterInterest("tick"), 0);
        EXPECT_EQ(p_c->registerInterest("tick"), 0);
        EXPECT_EQ(self.unregisterInterest("tick"), 0);
    };
    ox::Event tick;
    tick.setType("tick");
    EXPECT_EQ(wm().onEvent(&tick), 2);
    EXPECT_EQ(wm().onEvent(&tick), 1);
    EXPECT_EQ(journal(),
              (Deliveries{plainDelivery(p_a->getId(), "tick"), plainDelivery(p_b->getId(), "tick"),
                          plainDelivery(p_c->getId(), "tick")}));
}

TEST(WorldManager, ChangingTheBoundaryKeepsObjectsIndexed) {
    World world(80, 24);
    auto* p_a = new Recorder(Vector(50, 20));
    auto* p_b = new Recorder(Vector(51, 20));
    p_a->setType("Thing");
    wm().setBoundary(Box(Vector(0, 0), 200, 100));
    EXPECT_EQ(wm().getSceneGraph().getGrid().getNumCols(), 10);
    EXPECT_EQ(ox_test::contents(wm().getCollisions(p_a, Vector(50.5f, 20))),
              (std::vector<ox::Object*>{p_b}));
    // A boundary needing too many buckets is refused and the old one stays
    // whole: collisions and type lookups still find the objects.
    const Box huge(Vector(0, 0), 1e9f, 1e9f);
    EXPECT_EQ(wm().setBoundary(huge), -1);
    EXPECT_EQ(wm().getBoundary(), Box(Vector(0, 0), 200, 100));
    EXPECT_TRUE(world.log().contains("WorldManager::setBoundary(): Error! Boundary " +
                                     huge.toString() + " refused. Keeping " +
                                     wm().getBoundary().toString() + "."));
    EXPECT_EQ(ox_test::contents(wm().getCollisions(p_a, Vector(50.5f, 20))),
              (std::vector<ox::Object*>{p_b}));
    EXPECT_EQ(ox_test::contents(wm().getSceneGraph().objectsOfType("Thing")),
              (std::vector<ox::Object*>{p_a}));
}

TEST(WorldManager, ViewIsClampedAndFollowsAnObjectWithinItsSlack) {
    World world(200, 100);
    wm().setView(Box(Vector(0, 0), 40, 20));
    wm().setViewPosition(Vector(200, 100));
    EXPECT_EQ(wm().getView().getCorner(), Vector(160, 80));  // clamped to the boundary
    wm().setViewPosition(Vector(5, 5));
    EXPECT_EQ(wm().getView().getCorner(), Vector(0, 0));

    wm().setViewSlack(Vector(0.5f, 0));
    auto* p_hero = new Recorder(Vector(60, 30), ox::SPECTRAL);
    wm().setViewFollowing(p_hero);
    EXPECT_EQ(wm().getView().getCorner(), Vector(40, 20));  // centred at once
    // The slack zone is x 50 to 70: moving within it leaves x alone; with no
    // vertical slack the view keeps the object centred vertically.
    wm().moveObject(p_hero, Vector(68, 31));
    EXPECT_EQ(wm().getView().getCorner(), Vector(40, 21));
    // Past the right edge of the zone by 5: the view scrolls by 5.
    wm().moveObject(p_hero, Vector(75, 31));
    EXPECT_EQ(wm().getView().getCorner(), Vector(45, 21));
    // Past the left edge (now 55) by 5, and up: it scrolls back by as much.
    wm().moveObject(p_hero, Vector(50, 29));
    EXPECT_EQ(wm().getView().getCorner(), Vector(40, 19));
    // Other objects moving do not scroll it; a deleted object is no longer followed.
    auto* p_other = new Recorder(Vector(10, 10), ox::SPECTRAL);
    wm().moveObject(p_other, Vector(150, 80));
    wm().markForDelete(p_hero);
    wm().update();
    EXPECT_EQ(wm().getViewFollowing(), nullptr);
    wm().moveObject(p_other, Vector(190, 90));
    EXPECT_EQ(wm().getView().getCorner(), Vector(40, 19));
}

}  // namespace
