// The world manager's step with many moving solid objects, and the collision
// queries behind it answered by the grid and by brute force.
//
// N HARD objects (N = 1,000 and 10,000) with boxes of 1 to 3 cells a side and
// random velocities move in a 1000 x 1000 world; a mover that runs into
// something, or leaves the world, turns back. Reported per iteration:
//   BM_WorldUpdate        one WorldManager::update (ms)
//   BM_GridQueries        every object's collision query at its next position (ms)
//   BM_BruteForceQueries  the same queries testing every solid object (ms)
// The speed-up of the grid is BM_BruteForceQueries / BM_GridQueries.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "EventCollision.h"
#include "EventOut.h"
#include "Object.h"
#include "ObjectList.h"
#include "ObjectListIterator.h"
#include "WorldManager.h"
#include "geometry.h"

namespace {

constexpr float WORLD_SIZE = 1000.0f;

/// A solid object that turns back when it runs into something or leaves the world.
class Mover : public ox::Object {
public:
    int eventHandler(const ox::Event* p_e) override {
        const auto* p_collision = dynamic_cast<const ox::EventCollision*>(p_e);
        if ((p_collision != nullptr && p_collision->getObject1() == this) ||
            p_e->getType() == ox::OUT_EVENT) {
            ox::Vector back = getVelocity();
            back.scale(-1);
            setVelocity(back);
            return 1;
        }
        return 0;
    }
};

/// Starts the world manager with n movers in random places; shuts it down
/// (deleting them) when destroyed.
class Scene {
public:
    explicit Scene(int n) {
        ox::WorldManager& world_manager = ox::WorldManager::getInstance();
        world_manager.startUp();
        world_manager.setBoundary(ox::Box(ox::Vector(0, 0), WORLD_SIZE, WORLD_SIZE));
        std::mt19937 random(42);
        std::uniform_real_distribution<float> place(0.0f, WORLD_SIZE);
        std::uniform_real_distribution<float> extent(1.0f, 3.0f);
        std::uniform_real_distribution<float> component(-1.0f, 1.0f);
        for (int i = 0; i < n; i++) {
            auto* p_o = new Mover;
            const float h = extent(random);
            const float v = extent(random);
            p_o->setBox(ox::Box(ox::Vector(-h / 2, -v / 2), h, v));
            p_o->setPosition(ox::Vector(place(random), place(random)));
            p_o->setVelocity(ox::Vector(component(random), component(random)));
        }
    }
    ~Scene() { ox::WorldManager::getInstance().shutDown(); }
};

// A fixed number of updates, so runs compare: movers pushed past the boundary
// by collisions gather in the grid's single outside bucket, which slows the
// moves among them; the counter says how many are there at the end.
void BM_WorldUpdate(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)));
    ox::WorldManager& world_manager = ox::WorldManager::getInstance();
    for (auto _ : state) {
        world_manager.update();
    }
    const ox::Grid& grid = world_manager.getSceneGraph().getGrid();
    state.counters["outside_at_end"] = grid.getBucket({-1, -1}).getCount();
}

void BM_GridQueries(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)));
    ox::WorldManager& world_manager = ox::WorldManager::getInstance();
    const ox::ObjectList solid = world_manager.getSceneGraph().solidObjects();
    for (auto _ : state) {
        int hits = 0;
        for (ox::ObjectListIterator it(&solid); !it.isDone(); it.next()) {
            ox::Object* p_o = it.currentObject();
            hits += world_manager.getCollisions(p_o, p_o->predictPosition()).getCount();
        }
        benchmark::DoNotOptimize(hits);
    }
}

void BM_BruteForceQueries(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)));
    const ox::ObjectList solid_list =
        ox::WorldManager::getInstance().getSceneGraph().solidObjects();
    std::vector<ox::Object*> solid;
    for (ox::ObjectListIterator it(&solid_list); !it.isDone(); it.next()) {
        solid.push_back(it.currentObject());
    }
    for (auto _ : state) {
        int hits = 0;
        for (ox::Object* p_o : solid) {
            const ox::Box box = ox::getWorldBox(p_o, p_o->predictPosition());
            ox::ObjectList collisions;
            for (ox::Object* p_other : solid) {
                if (p_other != p_o && ox::boxIntersectsBox(ox::getWorldBox(p_other), box)) {
                    collisions.insert(p_other);
                }
            }
            hits += collisions.getCount();
        }
        benchmark::DoNotOptimize(hits);
    }
}

BENCHMARK(BM_WorldUpdate)->Arg(1000)->Arg(10000)->Iterations(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GridQueries)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BruteForceQueries)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
