// Robustness of the record readers: tens of thousands of truncated,
// bit-flipped, patched and random records go to Object::deserialize and
// ViewObject::deserialize. Each must return 0 or -1 and leave its object
// whole and correctly indexed in the world; none may crash or leak (the
// sanitizer build runs this too, and there it also watches every allocation
// made while a record is read, which must stay far below the caps' sizes).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "LogManager.h"
#include "RecordBytes.h"
#include "ResourceManager.h"
#include "SceneGraph.h"
#include "ScratchDir.h"
#include "ViewObject.h"
#include "WorldKit.h"
#include "WorldManager.h"

// The sanitizer runtime's allocation hooks; absent (null) in other builds.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*,
                                                                             std::size_t),
                                                         void (*free_hook)(const volatile void*))
    __attribute__((weak));

namespace {

using ox::Object;
using ox::Vector;
using ox_test::le32;
using ox_test::le64;
using ox_test::record;
using ox_test::str;
using ox_test::vec;

/// Largest single allocation allowed while one record is read: a few times
/// the longest string cap, far below what any hostile length asks for.
const std::size_t ALLOCATION_BOUND = 64 * 1024;

std::atomic<bool> watching{false};
std::atomic<std::size_t> largest{0};

void onMalloc(const volatile void*, std::size_t size) {
    if (watching.load() && size > largest.load()) {
        largest.store(size);
    }
}

void onFree(const volatile void*) {}

/// True when the allocations can be watched (the sanitizer build).
bool watchAllocations() {
    return __sanitizer_install_malloc_and_free_hooks != nullptr &&
           __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree) != 0;
}

/// Values that make lengths, counts and numbers hostile.
const std::vector<std::string> NASTY = {
    le64(~0ull),      le64(1ull << 63),
    le64(1ull << 40), le64(4097),
    le64(257),        le32(0xffffffff),
    le32(0x7fffffff), le32(0x80000000),
    le32(101),        vec(std::numeric_limits<float>::quiet_NaN(), 1e38f)};

class Mutator {
public:
    explicit Mutator(unsigned seed) : m_random(seed) {}

    std::string mutate(const std::vector<std::string>& seeds) {
        std::string bytes = any(seeds);
        for (int count = 1 + pick(3); count > 0; count--) {
            bytes = mutateOnce(bytes);
        }
        return bytes;
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }
    std::size_t place(const std::string& bytes) {
        return static_cast<std::size_t>(pick(static_cast<int>(bytes.size()) + 1));
    }
    const std::string& any(const std::vector<std::string>& items) {
        return items[static_cast<std::size_t>(pick(static_cast<int>(items.size())))];
    }
    std::string randomBytes(int max_length) {
        std::string bytes(static_cast<std::size_t>(pick(max_length + 1)), '\0');
        std::generate(bytes.begin(), bytes.end(), [this] { return static_cast<char>(pick(256)); });
        return bytes;
    }

    std::string mutateOnce(std::string bytes) {
        const std::size_t at = place(bytes);
        switch (pick(5)) {
            case 0:  // cut short
                return bytes.substr(0, at);
            case 1:  // flip bits
                for (int flips = 1 + pick(8); flips > 0 && !bytes.empty(); flips--) {
                    bytes[place(bytes) % bytes.size()] ^= static_cast<char>(1 << pick(8));
                }
                return bytes;
            case 2: {  // a hostile value over what was there
                const std::string& value = any(NASTY);
                return bytes.substr(0, at) + value +
                       bytes.substr(std::min(bytes.size(), at + value.size()));
            }
            case 3:  // random bytes in place of a stretch
                return bytes.substr(0, at) + randomBytes(16) +
                       bytes.substr(
                           std::min(bytes.size(), at + static_cast<std::size_t>(pick(16))));
            default:  // random bytes under a random mask
                return le32(static_cast<std::uint32_t>(m_random())) + randomBytes(200);
        }
    }

    std::mt19937 m_random;
};

bool holds(const ox::ObjectList& list, const Object* p_o) {
    const std::vector<Object*> objects = ox_test::contents(list);
    return std::find(objects.begin(), objects.end(), p_o) != objects.end();
}

/// The object is whole: attributes in range and in exactly the right lists.
void expectWhole(const Object* p_o) {
    const ox::SceneGraph& graph = ox::WorldManager::getInstance().getSceneGraph();
    ASSERT_TRUE(p_o->getAltitude() >= 0 && p_o->getAltitude() <= ox::MAX_ALTITUDE);
    ASSERT_TRUE(p_o->getSolidness() >= ox::HARD && p_o->getSolidness() <= ox::SPECTRAL);
    ASSERT_TRUE(p_o->getEventCount() >= 0 && p_o->getEventCount() <= ox::MAX_OBJ_EVENTS);
    ASSERT_NE(holds(graph.activeObjects(), p_o), holds(graph.inactiveObjects(), p_o));
    ASSERT_EQ(holds(graph.activeObjects(), p_o), p_o->isActive());
    ASSERT_EQ(holds(graph.solidObjects(), p_o), p_o->isActive() && p_o->isSolid());
    ASSERT_EQ(holds(graph.visibleObjects(p_o->getAltitude()), p_o),
              p_o->isActive() && p_o->isVisible());
}

/// Records of every kind to start the mutations from.
std::vector<std::string> seeds() {
    Object object;
    object.setSprite("boat");
    object.registerInterest("seed-event");
    ox::Path path;
    path.setWaypoints({Vector(3, 3), Vector(4, 4)});
    object.setPath(path);
    ox::ViewObject view;
    view.setViewString("Score");
    return {record(object, ox::ALL_OBJECT_ATTRIBUTES), record(view, 0),
            record(view, ox::VALUE | ox::APPEARANCE | ox::EVENTS | ox::ANIMATION),
            le32(ox::TYPE | ox::EVENTS) + str("T") + le32(1) + str("ox-view") + le64(0),
            le32(0xffffffff)};
}

TEST(SerializationFuzz, HostileRecordsLeaveObjectsWhole) {
    ox_test::World world(80, 24, 25);
    ASSERT_EQ(ox::ResourceManager::getInstance().startUp(), 0);
    ox_test::writeFile("boat.txt", "2\n3\n1\n1\nred\nabc\ndef\n");
    ASSERT_EQ(ox::ResourceManager::getInstance().loadSprite("boat.txt", "boat"), 0);
    const std::vector<std::string> starts = seeds();
    const bool watched = watchAllocations();
    Mutator mutator(20240611);
    Object* p_o = nullptr;
    ox::ViewObject* p_v = nullptr;
    const int runs = 40000;
    int accepted = 0;
    for (int run = 0; run < runs; run++) {
        if (run % 1000 == 0) {
            // Fresh readers now and then, so the destructors meet odd states too.
            delete p_o;
            delete p_v;
            p_o = new Object;
            p_v = new ox::ViewObject;
        }
        if (run == 2000) {
            ox::LogManager::getInstance().setLogLevel(0);  // the log lines have had their turn
        }
        Object* p_reader = run % 2 == 0 ? p_o : p_v;
        std::istringstream stream(mutator.mutate(starts), std::ios::in | std::ios::binary);
        watching = true;
        const int result = p_reader->deserialize(&stream);
        watching = false;
        ASSERT_TRUE(result == 0 || result == -1);
        accepted += result == 0 ? 1 : 0;
        if (run % 50 == 0) {
            expectWhole(p_reader);
            // Whatever was read can be written again.
            std::ostringstream out(std::ios::out | std::ios::binary);
            ASSERT_EQ(p_reader->serialize(&out, ox::ALL_OBJECT_ATTRIBUTES), 0);
        }
        if (run % 500 == 0) {
            ox::WorldManager::getInstance().update();  // moves them with whatever was read
        }
    }
    delete p_o;
    delete p_v;
    // Both outcomes are common, so the mutations reach past the first field.
    EXPECT_GT(accepted, runs / 20);
    EXPECT_GT(runs - accepted, runs / 20);
    if (watched) {
        EXPECT_LE(largest.load(), ALLOCATION_BOUND);
        RecordProperty("largest_allocation", static_cast<int>(largest.load()));
    }
}

}  // namespace
