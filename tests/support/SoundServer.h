#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace ox_test {

/// Starts a program with its standard output and error going to files, in
/// the current directory; it ends with the test process. Its id, or -1.
pid_t startProgram(const std::vector<std::string>& argv, const std::string& out_file,
                   const std::string& err_file);

/// A PulseAudio sound server of the test's own with one null sink (no sound
/// card behind it) at RATE Hz, which clients started while the object lives
/// reach through PULSE_SERVER. Its socket and state live in a directory given
/// by the test. The server and its recorder end with the object.
class SoundServer {
public:
    /// The sink's sample rate, and the recording's.
    static constexpr int RATE = 48000;

    explicit SoundServer(const std::string& dir);
    ~SoundServer();
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    /// True when the server runs and answers a client.
    bool ok() const { return m_ok; }

    /// Records everything the sink plays (its monitor) into a file, as mono
    /// signed 16-bit little-endian samples at RATE. False when it cannot start.
    bool startRecording(const std::string& path);
    /// Stops the recording; the file then holds all of it.
    void stopRecording();

private:
    pid_t m_server = -1;
    pid_t m_recorder = -1;
    bool m_ok = false;
    std::string m_old_server;
    bool m_had_server = false;
};

}  // namespace ox_test
