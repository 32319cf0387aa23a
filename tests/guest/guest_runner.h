// Runs guest programs in-process through the runtime interface, and records what they report.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "guest_machine.h"
#include "linker.h"
#include "recording_debugger.h"
#include "runtime_interface.h"
#include "test_files.h"

namespace tx::test {

struct GuestRun {
    LinkResult link;
    RunOutcome outcome = RunOutcome::Ended;
    RecordingDebugger debugger;
};

// The first runtime error the run reported, or "".
inline std::string firstError(const GuestRun& run) {
    return run.debugger.errors.empty() ? "" : run.debugger.errors.front();
}

// Links the image of a program from tests/guest/programs into a fresh guest and executes it
// with a recording debugger.
inline GuestRun runGuest(const std::string& program, const std::string& arguments = "",
                         bool debug = false) {
    const std::vector<uint8_t> image = fileBytes(TERVEX_GUEST_DIR "/" + program + ".tmi");
    GuestRun run;
    GuestMachine machine;
    RuntimeInterface& runtime = runtimeGetRuntime();
    run.link = link(runtime, image, machine);
    if (run.link.status != LinkResult::Status::Linked) return run;
    run.outcome = runtime.execute(ProgramEntry{&machine, run.link.entry}, arguments.c_str(),
                                  &run.debugger, debug, 0);
    return run;
}

// The 1001 lines endless.c writes to TX_ENDLESS_FILE before it blocks, as they must be on disk
// after the end.
inline std::string endlessFileText() {
    std::string text;
    for (int i = 0; i < 1000; ++i) text += std::to_string(i) + "\r\n";
    return text + "complete\r\n";
}

// A bound, unlistened TCP socket: connections to its port are refused while it is open.
class PortHolder {
public:
    PortHolder() : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~PortHolder() { release(); }
    PortHolder(const PortHolder&) = delete;
    PortHolder& operator=(const PortHolder&) = delete;

    int port() const { return port_; }
    // Frees the port for a guest to take.
    void release() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
    int port_ = 0;
};

}  // namespace tx::test
