#include "SoundServer.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace ox_test {

namespace {

// In a child after fork: ends it with the test process, sends its output to
// the files and runs the program; never returns.
[[noreturn]] void execProgram(const std::vector<std::string>& argv, const std::string& out_file,
                              const std::string& err_file) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() == 1) {
        _exit(1);
    }
    const int out = open(out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

}  // namespace

pid_t startProgram(const std::vector<std::string>& argv, const std::string& out_file,
                   const std::string& err_file) {
    const pid_t pid = fork();
    if (pid == 0) {
        execProgram(argv, out_file, err_file);
    }
    return pid;
}

namespace {

/// Ends a program started with startProgram (SIGTERM) and waits for it.
void stopProgram(pid_t pid) {
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
}

}  // namespace

SoundServer::SoundServer(const std::string& dir) {
    const char* p_old = std::getenv("PULSE_SERVER");
    m_had_server = p_old != nullptr;
    m_old_server = m_had_server ? p_old : "";
    // The server keeps its state under HOME and XDG_RUNTIME_DIR; both go to
    // the test's directory. No client needs a key to reach it.
    m_server = fork();
    if (m_server == 0) {
        setenv("HOME", dir.c_str(), 1);
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
        execProgram({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                     "--use-pid-file=no", "--realtime=yes", "--high-priority=yes", "-L",
                     "module-null-sink sink_name=game rate=" + std::to_string(RATE), "-L",
                     "module-native-protocol-unix auth-anonymous=1 socket=" + dir + "/native"},
                    dir + "/server.out", dir + "/server.err");
    }
    setenv("PULSE_SERVER", ("unix:" + dir + "/native").c_str(), 1);
    for (int i = 0; i < 100 && m_server > 0 && !m_ok; i++) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        m_ok = std::system("pactl info >/dev/null 2>&1") == 0;
    }
}

SoundServer::~SoundServer() {
    stopRecording();
    stopProgram(m_server);
    if (m_had_server) {
        setenv("PULSE_SERVER", m_old_server.c_str(), 1);
    } else {
        unsetenv("PULSE_SERVER");
    }
}

bool SoundServer::startRecording(const std::string& path) {
    // A short fragment, so the samples reach the file soon after the sink plays them.
    m_recorder = startProgram({"parec", "-d", "game.monitor", "--format=s16le", "--channels=1",
                               "--rate=" + std::to_string(RATE), "--latency-msec=5"},
                              path, path + ".err");
    return m_recorder > 0;
}

void SoundServer::stopRecording() {
    stopProgram(m_recorder);
    m_recorder = -1;
}

}  // namespace ox_test
