#include "socket_udp_stream.h"

#include <sys/ioctl.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "socket_wait.h"

namespace tx {

std::unique_ptr<UdpStream> UdpStream::open(int32_t port) {
    SocketFd socket(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!socket.valid() || !bindAnyAddress(socket.get(), port)) return nullptr;
    return std::make_unique<UdpStream>(std::move(socket));
}

UdpStream::UdpStream(SocketFd socket) : socket_(std::move(socket)) {
    local_ = localEndpoint(socket_.get());
    source_ = local_;
    destination_ = local_;
}

UdpStream::~UdpStream() {
    if (state_ == -1) dontLinger(socket_);
}

int32_t UdpStream::read(uint8_t* buffer, int32_t size) {
    if (state_ != 0 || size <= 0) return 0;
    const size_t count = std::min(static_cast<size_t>(size), in_.size() - readPosition_);
    if (count != 0) std::memcpy(buffer, in_.data() + readPosition_, count);
    readPosition_ += count;
    return static_cast<int32_t>(count);
}

int32_t UdpStream::write(const uint8_t* buffer, int32_t size) {
    if (state_ != 0 || size <= 0) return 0;
    out_.insert(out_.end(), buffer, buffer + size);
    return size;
}

int32_t UdpStream::avail() {
    if (state_ != 0) return 0;
    return static_cast<int32_t>(in_.size() - readPosition_);
}

int32_t UdpStream::eof() {
    if (state_ != 0) return state_;
    return readPosition_ >= in_.size() ? 1 : 0;
}

uint32_t UdpStream::receive(int32_t millis) {
    if (state_ != 0) return 0;
    switch (waitReadable(socket_.get(), millis)) {
        case Readiness::TimedOut:
            return 0;
        case Readiness::Failed:
            state_ = -1;
            return 0;
        case Readiness::Ready:
            break;
    }
    // For a datagram socket this is the size of the first waiting datagram.
    int waiting = 0;
    if (::ioctl(socket_.get(), FIONREAD, &waiting) != 0 || waiting < 0) {
        state_ = -1;
        return 0;
    }
    in_.resize(static_cast<size_t>(waiting));
    readPosition_ = 0;
    sockaddr_in sender{};
    socklen_t senderLength = sizeof sender;
    ssize_t received;
    do {
        received = ::recvfrom(socket_.get(), in_.data(), in_.size(), MSG_TRUNC,
                              reinterpret_cast<sockaddr*>(&sender), &senderLength);
    } while (received < 0 && errno == EINTR);
    if (received != waiting) {
        // Nothing of a broken datagram stays readable.
        in_.clear();
        state_ = -1;
        return 0;
    }
    source_ = fromSockaddr(sender);
    return source_.ip;
}

void UdpStream::send(uint32_t ip, int32_t port) {
    if (state_ != 0) return;
    if (port == 0) port = local_.port;
    // A port the socket layer cannot express is not silently cut to 16 bits: nothing is sent.
    if (!validPort(port)) return;
    destination_ = Endpoint{ip, port};
    const sockaddr_in address = toSockaddr(destination_);
    ssize_t sent;
    do {
        sent = ::sendto(socket_.get(), out_.data(), out_.size(), MSG_NOSIGNAL,
                        reinterpret_cast<const sockaddr*>(&address), sizeof address);
    } while (sent < 0 && errno == EINTR);
    if (sent == static_cast<ssize_t>(out_.size())) {
        out_.clear();
    } else {
        state_ = -1;
    }
}

}  // namespace tx
