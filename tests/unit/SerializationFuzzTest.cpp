// Tens of thousands of truncated, bit-flipped, patched and random records
// through Object::deserialize and ViewObject::deserialize: each returns 0 or
// -1 and leaves its object whole and indexed right, with no crash or leak;
// under the sanitizer build, no allocation beyond the caps.
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
#include "ViewObject.h"
#include "WorldKit.h"
#include "WorldManager.h"

// The sanitizer runtime's allocation hooks; absent (null) in other builds.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*,
                                                                  std::size_t),
                                                         void (*)(const volatile void*))
    __attribute__((weak));

namespace {

using ox::Object;
using ox_test::le32;
using ox_test::le64;
using ox_test::str;

std::atomic<bool> watching{false};
std::atomic<std::size_t> largest{0};

/// True when the allocations can be watched (the sanitizer build).
bool watchAllocations() {
    return __sanitizer_install_malloc_and_free_hooks != nullptr &&
           __sanitizer_install_malloc_and_free_hooks(
               [](const volatile void*, std::size_t size) {
                   if (watching.load() && size > largest.load()) {
                       largest.store(size);
                   }
               },
               [](const volatile void*) {}) != 0;
}

/// Values that make lengths, counts and numbers hostile.
const std::vector<std::string> NASTY = {
    le64(~0ull),      le64(1ull << 63),
    le64(1ull << 40), le64(4097),
    le64(257),        le32(~0u),
    le32(0x7fffffff), le32(0x80000000),
    le32(101),        ox_test::vec(std::numeric_limits<float>::quiet_NaN(), 1e38f)};

/// One to three mutations of one of the seeds.
std::string mutate(std::mt19937& random, const std::vector<std::string>& seeds) {
    const auto pick = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    const auto noise = [&](std::size_t max_length) {
        std::string bytes(pick(max_length + 1), '\0');
        std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<char>(pick(256)); });
        return bytes;
    };
    std::string bytes = seeds[pick(seeds.size())];
    for (std::size_t count = 1 + pick(3); count > 0; count--) {
        const std::size_t at = pick(bytes.size() + 1);
        switch (pick(5)) {
            case 0:  // cut short
                bytes.resize(at);
                break;
            case 1:  // flip bits
                for (std::size_t flips = 1 + pick(8); flips > 0 && !bytes.empty(); flips--) {
                    bytes[pick(bytes.size())] ^= static_cast<char>(1 << pick(8));
                }
                break;
            case 2: {  // a hostile value over what was there
                const std::string& value = NASTY[pick(NASTY.size())];
                bytes.replace(at, value.size(), value);
                break;
            }
            case 3: {  // random bytes in place of a stretch
                const std::size_t stretch = pick(16);
                bytes.replace(at, stretch, noise(16));
                break;
            }
            default:  // random bytes under a random mask
                bytes = le32(static_cast<std::uint32_t>(random())) + noise(200);
        }
    }
    return bytes;
}

/// The object is whole: attributes in range and in exactly the right lists.
bool whole(const Object* p_o) {
    return p_o->getAltitude() >= 0 && p_o->getAltitude() <= ox::MAX_ALTITUDE &&
           p_o->getSolidness() >= ox::HARD && p_o->getSolidness() <= ox::SPECTRAL &&
           p_o->getEventCount() >= 0 && p_o->getEventCount() <= ox::MAX_OBJ_EVENTS &&
           ox_test::indexedRight(p_o);
}

TEST(SerializationFuzz, HostileRecordsLeaveObjectsWhole) {
    ox_test::World world(80, 24, 25);
    ASSERT_EQ(ox::ResourceManager::getInstance().startUp(), 0);
    ox_test::writeFile("boat.txt", "2\n3\n1\n1\nred\nabc\ndef\n");
    ASSERT_EQ(ox::ResourceManager::getInstance().loadSprite("boat.txt", "boat"), 0);
    auto* p_o = new Object;
    auto* p_v = new ox::ViewObject;
    p_o->setSprite("boat");
    p_o->registerInterest("seed-event");
    ox::Path path;
    path.setWaypoints({ox::Vector(3, 3), ox::Vector(4, 4)});
    p_o->setPath(path);
    p_v->setViewString("Score");
    const std::vector<std::string> seeds = {
        ox_test::record(*p_o, ox::ALL_OBJECT_ATTRIBUTES), ox_test::record(*p_v, 0),
        ox_test::record(*p_v, ox::VALUE | ox::APPEARANCE | ox::EVENTS | ox::ANIMATION),
        le32(ox::TYPE | ox::EVENTS) + str("T") + le32(1) + str("ox-view") + le64(0), le32(~0u)};

    const bool watched = watchAllocations();
    std::mt19937 random(20240611);
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
        std::istringstream stream(mutate(random, seeds), std::ios::in | std::ios::binary);
        watching = true;
        const int result = p_reader->deserialize(&stream);
        watching = false;
        ASSERT_TRUE(result == 0 || result == -1);
        accepted += result == 0 ? 1 : 0;
        if (run % 50 == 0) {
            ASSERT_TRUE(whole(p_reader)) << "run " << run;
            // Whatever was read can be written again, and moved by the world.
            std::ostringstream out(std::ios::out | std::ios::binary);
            ASSERT_EQ(p_reader->serialize(&out, ox::ALL_OBJECT_ATTRIBUTES), 0);
            ox::WorldManager::getInstance().update();
        }
    }
    // Both outcomes are common, so the mutations reach past the first field.
    EXPECT_GT(accepted, runs / 20);
    EXPECT_GT(runs - accepted, runs / 20);
    if (watched) {
        // A few times the longest string cap, far below any hostile length.
        EXPECT_LE(largest.load(), 64u * 1024);
    }
}

}  // namespace
