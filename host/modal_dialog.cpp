#include "modal_dialog.h"

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/types.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <system_error>
#include <thread>

#include "end_request.h"
#include "unique_fd.h"

namespace tx {
namespace {

// How often ending the dialog's processes is tried again while the dialog has not returned.
constexpr int kRetryMs = 50;

// Ends the processes the dialog thread started (only those: children of other threads, such as
// programs started by ExecFile, are left alone).
void endChildrenOf(pid_t thread) {
    std::ifstream children("/proc/self/task/" + std::to_string(thread) + "/children");
    pid_t child = 0;
    while (children >> child)
        if (child > 0) ::kill(child, SIGKILL);
}

}  // namespace

bool dialogsTurnedOff() {
    const char* off = std::getenv("TERVEX_NO_DIALOGS");
    return off != nullptr && *off != 0 && std::strcmp(off, "0") != 0;
}

std::optional<int> runModalDialog(const std::function<int()>& show) {
    const UniqueFd done(::eventfd(0, EFD_CLOEXEC));
    if (!done.valid()) return std::nullopt;
    std::atomic<pid_t> thread{0};
    int answer = 0;
    std::thread dialog;
    try {
        dialog = std::thread([&] {
            thread.store(::gettid());
            answer = show();
            const uint64_t one = 1;
            [[maybe_unused]] const ssize_t written = ::write(done.get(), &one, sizeof one);
        });
    } catch (const std::system_error&) {
        return std::nullopt;
    }
    bool answered = false;
    for (;;) {
        pollfd fds[2] = {{done.get(), POLLIN, 0}, {end_request::waitFd(), POLLIN, 0}};
        const bool ending = end_request::raised();
        ::poll(fds, fds[1].fd >= 0 && !ending ? 2 : 1, ending ? kRetryMs : -1);
        if ((fds[0].revents & POLLIN) != 0) {
            answered = !end_request::raised();
            break;
        }
        if (end_request::raised() && thread.load() != 0) endChildrenOf(thread.load());
    }
    dialog.join();
    if (!answered) return std::nullopt;
    return answer;
}

}  // namespace tx
