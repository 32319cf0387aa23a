// A connected TCP socket as a stream: reads wait for the bytes asked for, writes send at once.
// Small reads are served from a receive buffer, so a line read byte by byte costs a system call
// per buffer refill rather than two per byte.
#pragma once

#include <cstdint>
#include <memory>

#include "socket_address.h"
#include "socket_fd.h"
#include "socket_wait.h"
#include "tx_stream.h"

namespace tx {

class TcpStream final : public TxStream {
public:
    // Connects to ip:port, first binding to localPort when it is not 0. Blocks as long as the
    // system takes to connect or give up; null on any failure.
    static std::unique_ptr<TcpStream> connect(uint32_t ip, int32_t port, int32_t localPort,
                                              const SocketTimeouts& timeouts);

    // Takes a connected socket; its waits follow the time-outs, which must outlive the stream.
    TcpStream(SocketFd socket, const SocketTimeouts& timeouts);
    ~TcpStream() override;

    // Waits until size bytes have arrived, each wait bounded by the read time-out; fewer when the
    // peer closes (state 1), or a wait times out or the connection fails (state -1).
    int32_t read(uint8_t* buffer, int32_t size) override;
    // Sends the bytes. When the peer stops taking them, each wait for room is bounded by the
    // read time-out; running out of it fails the stream and returns what was sent.
    int32_t write(const uint8_t* buffer, int32_t size) override;
    int32_t avail() override;
    int32_t eof() override;

    Endpoint local() const { return local_; }
    // 0 open, 1 closed by the peer, -1 failed.
    int32_t state() const { return state_; }

private:
    static constexpr int32_t kReceiveBufferSize = 64 * 1024;

    // Moves up to size buffered bytes to buffer; returns how many.
    int32_t takeBuffered(uint8_t* buffer, int32_t size);
    int32_t buffered() const { return end_ - begin_; }

    SocketFd socket_;
    const SocketTimeouts& timeouts_;
    Endpoint local_;
    int32_t state_ = 0;
    // Bytes received but not yet read: [begin_, end_) of received_ (allocated on first use).
    std::unique_ptr<uint8_t[]> received_;
    int32_t begin_ = 0;
    int32_t end_ = 0;
};

}  // namespace tx
