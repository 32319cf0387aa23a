#include "exec_command.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <thread>

#include "system_services.h"

extern char** environ;

namespace tx {

namespace {

std::string_view trimSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') + 1 - first);
}

// A URL begins with a scheme of two or more characters and a colon ("https:", "mailto:"); one
// letter and a colon is a drive letter, not a scheme.
bool isUrl(std::string_view file) {
    const auto colon = file.find(':');
    if (colon == std::string_view::npos || colon < 2) return false;
    if (!std::isalpha(static_cast<unsigned char>(file[0]))) return false;
    return std::all_of(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(colon), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
    });
}

bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

// The executable that a file names: itself when it has a folder part, else the first match on
// PATH, else one of that name in the current folder. Empty when there is none.
std::string findExecutable(const std::string& file) {
    if (file.find('/') != std::string::npos) return isExecutableFile(file) ? file : "";
    const char* pathVariable = std::getenv("PATH");
    std::string_view path = pathVariable != nullptr ? pathVariable : "/usr/local/bin:/usr/bin:/bin";
    for (;;) {
        const auto colon = path.find(':');
        const std::string_view folder = path.substr(0, colon);
        std::string candidate = folder.empty() ? std::string(".") : std::string(folder);
        candidate += '/';
        candidate += file;
        if (isExecutableFile(candidate)) return candidate;
        if (colon == std::string_view::npos) break;
        path.remove_prefix(colon + 1);
    }
    std::string local = "./" + file;
    return isExecutableFile(local) ? local : "";
}

struct SpawnSetup {
    SpawnSetup() {
        posix_spawn_file_actions_init(&actions);
        // The child gets no input from the program's terminal and none of its open files,
        // sockets or pipes.
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
        posix_spawnattr_init(&attributes);
        // A fresh signal state (ignored signals would stay ignored across exec) and a session
        // of its own, so the launched program outlives a terminal interrupt aimed at ours.
        sigset_t none;
        sigemptyset(&none);
        posix_spawnattr_setsigmask(&attributes, &none);
        sigset_t all;
        sigfillset(&all);
        sigdelset(&all, SIGKILL);
        sigdelset(&all, SIGSTOP);
        posix_spawnattr_setsigdefault(&attributes, &all);
        posix_spawnattr_setflags(
            &attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);
    }
    ~SpawnSetup() {
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
};

// Starts the executable at path with the given arguments and returns at once. A detached
// thread waits for the child so that it never lingers as a zombie; the thread ends with the
// child and needs nothing of the runtime, which may close first.
bool spawnDetached(const std::string& path, const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    SpawnSetup setup;
    pid_t child = 0;
    if (posix_spawn(&child, path.c_str(), &setup.actions, &setup.attributes, argv.data(),
                    environ) != 0) {
        return false;
    }
    try {
        std::thread([child] {
            while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error&) {
        // No thread: the finished child stays a zombie until this process ends; the launch
        // itself succeeded.
    }
    return true;
}

}  // namespace

std::optional<ExecCommand> parseExecCommand(std::string_view command) {
    const auto start = command.find_first_not_of(' ');
    if (start == std::string_view::npos) return std::nullopt;
    command.remove_prefix(start);
    ExecCommand result;
    if (command.front() == '"') {
        command.remove_prefix(1);
        const auto quote = command.find('"');
        result.file = command.substr(0, quote);
        if (quote != std::string_view::npos)
            result.parameters = trimSpaces(command.substr(quote + 1));
    } else {
        const auto space = command.find(' ');
        result.file = command.substr(0, space);
        if (space != std::string_view::npos)
            result.parameters = trimSpaces(command.substr(space + 1));
    }
    if (result.file.empty()) return std::nullopt;
    return result;
}

std::vector<std::string> splitParameters(std::string_view parameters) {
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    for (const char c : parameters) {
        if (c == '"') {
            quoted = !quoted;
            inArgument = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (inArgument) arguments.push_back(std::move(current));
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument) arguments.push_back(std::move(current));
    return arguments;
}

// Executables run directly with the parameters as arguments; documents and URLs open in the
// desktop's handler for them (xdg-open). A file that neither exists nor is a URL fails at once,
// as do a missing handler and a spawn the system refuses.
bool SystemServices::execFile(std::string_view command) {
    std::optional<ExecCommand> parsed = parseExecCommand(command);
    if (!parsed) return false;
    std::string file = std::move(parsed->file);
    if (!isUrl(file)) {
        std::replace(file.begin(), file.end(), '\\', '/');
        const std::string executable = findExecutable(file);
        if (!executable.empty()) {
            std::vector<std::string> arguments = splitParameters(parsed->parameters);
            arguments.insert(arguments.begin(), file);
            return spawnDetached(executable, arguments);
        }
        struct stat info {};
        if (stat(file.c_str(), &info) != 0) return false;
    }
    const std::string opener = findExecutable("xdg-open");
    if (opener.empty()) return false;
    return spawnDetached(opener, {"xdg-open", file});
}

}  // namespace tx
