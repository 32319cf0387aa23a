#include "guest_runner.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "guest_machine.h"

namespace tx::test {

std::string guestImagePath(const std::string& program) {
    return std::string(TERVEX_GUEST_DIR) + "/" + program + ".tmi";
}

GuestRun runGuest(const std::string& program, const std::string& arguments, bool debug) {
    std::ifstream file(guestImagePath(program), std::ios::binary);
    const std::vector<uint8_t> image((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    GuestRun run;
    GuestMachine machine;
    RuntimeInterface& runtime = runtimeGetRuntime();
    run.link = link(runtime, image, machine);
    if (run.link.status != LinkResult::Status::Linked) return run;
    run.outcome = runtime.execute(ProgramEntry{&machine, run.link.entry}, arguments.c_str(),
                                  &run.debugger, debug, 0);
    return run;
}

std::string endlessFileText() {
    std::string text;
    for (int i = 0; i < 1000; ++i) text += std::to_string(i) + "\r\n";
    return text + "complete\r\n";
}

PortHolder::PortHolder() : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
}

void PortHolder::release() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

ProcessResult runProcess(const std::string& commandLine) {
    ProcessResult result;
    char errPath[] = "/tmp/tervex-stderr-XXXXXX";
    const int fd = mkstemp(errPath);
    if (fd < 0) return result;
    close(fd);
    const int status = std::system((commandLine + " 2>" + errPath).c_str());
    std::ifstream err(errPath);
    result.standardError.assign(std::istreambuf_iterator<char>(err), {});
    std::remove(errPath);
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    return result;
}

}  // namespace tx::test
