// libFuzzer target of the two record readers, Object::deserialize and
// ViewObject::deserialize. The first byte of an input picks the reader (even:
// a plain object, odd: a view object); the rest is the record. Each input
// gets a fresh object in a started world, so a finding reproduces from its
// input alone; the sanitizers turn any memory fault, overflow or leak into a
// finding, and -malloc_limit_mb catches any allocation beyond the caps.
//
// Build (clang; inside the build environment, ./dev.sh CMD):
//   CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DORVIX_FUZZ=ON -DORVIX_TESTS=OFF \
//       -DORVIX_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
//   cmake --build build-fuzz --target orvix_fuzz_deserialize
// Run (seeds from fuzz/corpus, new inputs kept in a scratch corpus):
//   mkdir -p build-fuzz/corpus
//   build-fuzz/fuzz/fuzz_deserialize build-fuzz/corpus fuzz/corpus \
//       -max_total_time=60 -malloc_limit_mb=64
// The log goes to "ORVIX_LOG" when set, else nowhere.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "Box.h"
#include "LogManager.h"
#include "Object.h"
#include "Vector.h"
#include "ViewObject.h"
#include "WorldManager.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("ORVIX_LOG", "/dev/null", 0);
    ox::LogManager::getInstance().startUp();
    ox::WorldManager& world = ox::WorldManager::getInstance();
    world.startUp();
    world.setBoundary(ox::Box(ox::Vector(0, 0), 80, 24));
    world.setView(ox::Box(ox::Vector(0, 0), 80, 24));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string record(reinterpret_cast<const char*>(data + 1), size - 1);
    std::istringstream stream(record, std::ios::in | std::ios::binary);
    ox::Object* p_reader = (data[0] % 2 == 0) ? new ox::Object : new ox::ViewObject;
    unsigned int mask = 0;
    p_reader->deserialize(&stream, &mask);
    // Whatever was read must be writable again.
    std::ostringstream out(std::ios::out | std::ios::binary);
    p_reader->serialize(&out, ox::ALL_OBJECT_ATTRIBUTES | ox::VALUE | ox::APPEARANCE);
    delete p_reader;
    return 0;
}
