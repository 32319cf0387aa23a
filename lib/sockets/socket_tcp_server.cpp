#include "socket_tcp_server.h"

#include <sys/socket.h>

#include <cerrno>

#include "socket_address.h"

namespace tx {
namespace {

// Errors that concern one connection that went away before it was taken, or a momentary lack
// of resources: the server itself stays usable.
bool passingAcceptError(int error) {
    switch (error) {
        case EAGAIN:
#if EWOULDBLOCK != EAGAIN
        case EWOULDBLOCK:
#endif
        case ECONNABORTED:
        case EPROTO:
        case ENOPROTOOPT:
        case ENETDOWN:
        case ENETUNREACH:
        case EHOSTDOWN:
        case EHOSTUNREACH:
        case ENONET:
        case EOPNOTSUPP:
        case EPERM:
        case EMFILE:
        case ENFILE:
        case ENOBUFS:
        case ENOMEM:
            return true;
        default:
            return false;
    }
}

}  // namespace

std::unique_ptr<TcpServer> TcpServer::listenOn(int32_t port, const SocketTimeouts& timeouts) {
    // Non-blocking, so an accept after the wait never hangs on a connection that went away.
    SocketFd socket(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!socket.valid()) return nullptr;
    // A restarted server gets its port back while old connections still linger in TIME_WAIT.
    const int on = 1;
    ::setsockopt(socket.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (!bindAnyAddress(socket.get(), port) || ::listen(socket.get(), 5) != 0) return nullptr;
    return std::make_unique<TcpServer>(std::move(socket), timeouts);
}

TcpServer::TcpServer(SocketFd listening, const SocketTimeouts& timeouts)
    : socket_(std::move(listening)), timeouts_(timeouts) {}

TcpServer::~TcpServer() {
    accepted_.clear();
    if (state_ == -1) dontLinger(socket_);
}

TcpStream* TcpServer::accept() {
    if (state_ != 0) return nullptr;
    switch (waitReadable(socket_.get(), timeouts_.tcpAccept)) {
        case Readiness::TimedOut:
            return nullptr;
        case Readiness::Failed:
            state_ = -1;
            return nullptr;
        case Readiness::Ready:
            break;
    }
    int fd;
    do {
        fd = ::accept4(socket_.get(), nullptr, nullptr, SOCK_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (!passingAcceptError(errno)) state_ = -1;
        return nullptr;
    }
    // Without a handle the program could never name the stream: it is closed again.
    const uint32_t handle = accepted_.insert(std::make_unique<TcpStream>(SocketFd(fd), timeouts_));
    return accepted_.find(handle);
}

bool TcpServer::closeAccepted(uint32_t handle) {
    return accepted_.erase(handle);
}

int32_t TcpServer::port() const {
    return localEndpoint(socket_.get()).port;
}

}  // namespace tx
