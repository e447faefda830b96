// The network manager's per-frame service (accept, read every connection,
// send what is due) with 3 busy connections over loopback TCP.
//
// A server with 3 accepted connections; in each frame every client has sent
// the server one message and the server has one message queued for every
// client, due at once. Only NetworkManager::service is timed; the clients'
// writing and reading happen outside the measured time. Reported per frame:
//   BM_ServiceBusy/64     3 x 64-byte messages in and out (microseconds)
//   BM_ServiceBusy/4096   3 x 4 KiB messages in and out (microseconds)
//   BM_ServiceIdle        3 connections with nothing to read or send
// Every DATA event goes to one registered object that counts the bytes.

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "EventNetwork.h"
#include "NetworkManager.h"
#include "Object.h"
#include "Platform.h"
#include "WorldManager.h"

namespace {

namespace pf = ox::platform;

constexpr int CONNECTIONS = 3;

/// Counts the bytes of every DATA event.
class Counter : public ox::Object {
public:
    Counter() { registerInterest(ox::NETWORK_EVENT); }
    int eventHandler(const ox::Event* p_e) override {
        const auto* p_network = static_cast<const ox::EventNetwork*>(p_e);
        if (p_network->getLabel() == ox::DATA) {
            bytes += p_network->getBytes();
        }
        return 1;
    }
    long long bytes = 0;
};

/// A server with CONNECTIONS accepted loopback clients; stops it all when destroyed.
class Loopback {
public:
    Loopback() {
        ox::WorldManager::getInstance().startUp();
        ox::NetworkManager& nm = ox::NetworkManager::getInstance();
        nm.startUp();
        nm.setServer("0");
        const std::string port = std::to_string(nm.getServerPort());
        for (int i = 0; i < CONNECTIONS; i++) {
            int code = 0;
            clients.push_back(pf::connectSocket("127.0.0.1", port, 2000, code));
            nm.accept();
        }
        p_counter = new Counter;  // the world manager's shut-down deletes it
        ok = nm.getNumConnections() == CONNECTIONS;
    }
    ~Loopback() {
        int code = 0;
        for (pf::Socket client : clients) {
            pf::closeSocket(client, code);
        }
        ox::NetworkManager::getInstance().shutDown();
        ox::WorldManager::getInstance().shutDown();
    }
    /// Every client sends the message, and the server queues it for every client.
    void load(const std::string& message) {
        int code = 0;
        for (int i = 0; i < CONNECTIONS; i++) {
            pf::sendSocket(clients[i], message.data(), message.size(), code);
            ox::NetworkManager::getInstance().queue(message.data(), message.size(), i);
        }
    }
    /// Every client reads what the server sent.
    void drain() {
        char buffer[65536];
        int code = 0;
        for (pf::Socket client : clients) {
            while (pf::receiveSocket(client, buffer, sizeof(buffer), false, code) > 0) {
            }
        }
    }
    std::vector<pf::Socket> clients;
    Counter* p_counter = nullptr;
    bool ok = false;
};

/// Times one service call.
double timedService() {
    const auto start = std::chrono::steady_clock::now();
    ox::NetworkManager::getInstance().service();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_ServiceBusy(benchmark::State& state) {
    Loopback loopback;
    if (!loopback.ok) {
        state.SkipWithError("could not set up the loopback connections");
        return;
    }
    const std::string message(static_cast<std::size_t>(state.range(0)), 'm');
    for (auto _ : state) {
        loopback.load(message);
        state.SetIterationTime(timedService());
        loopback.drain();
    }
    state.counters["bytes_in_per_frame"] = benchmark::Counter(
        static_cast<double>(loopback.p_counter->bytes), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ServiceBusy)->Arg(64)->Arg(4096)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_ServiceIdle(benchmark::State& state) {
    Loopback loopback;
    if (!loopback.ok) {
        state.SkipWithError("could not set up the loopback connections");
        return;
    }
    for (auto _ : state) {
        state.SetIterationTime(timedService());
    }
}
BENCHMARK(BM_ServiceIdle)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
