// A program run as a process of its own (found on PATH unless the name has a slash), in a
// directory and an environment of the test's choosing; ended when the test leaves it running.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "wait_until.h"

namespace tx::test {

// What a game process needs besides its own variables: no sound card, no dialogs, and the
// caller's PATH, HOME and TMPDIR.
inline std::vector<std::string> gameEnvironment(std::vector<std::string> environment) {
    environment.insert(environment.end(), {"ALSOFT_DRIVERS=null", "TERVEX_NO_DIALOGS=1"});
    for (const char* keep : {"PATH", "HOME", "TMPDIR"})
        if (const char* value = ::getenv(keep))
            environment.push_back(std::string(keep) + "=" + value);
    return environment;
}

class ChildProcess {
public:
    ChildProcess(std::vector<std::string> argv, std::vector<std::string> environment,
                 const std::string& dir = "") {
        std::vector<char*> args, envp;
        for (std::string& word : argv) args.push_back(word.data());
        for (std::string& entry : environment) envp.push_back(entry.data());
        args.push_back(nullptr);
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        if (!dir.empty()) ::posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
        if (::posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), envp.data()) != 0)
            pid_ = -1;
        ::posix_spawn_file_actions_destroy(&actions);
    }
    // Asked to end first (so that an X server removes its socket and lock file), then killed.
    ~ChildProcess() {
        if (pid_ <= 0 || exited_) return;
        ::kill(pid_, SIGTERM);
        if (wait(std::chrono::seconds(2)) == -1) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    void kill() { ::kill(pid_, SIGKILL); }
    // The exit code (128 + the signal that ended it) once it has ended within the time, else -1.
    int wait(std::chrono::milliseconds limit) {
        int status = 0;
        const auto ended = [&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; };
        if (pid_ <= 0 || !waitUntil(ended, limit)) return -1;
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    pid_t pid_ = -1;
    bool exited_ = false;
};

}  // namespace tx::test
