// A connected TCP socket as a stream: reads wait for the bytes asked for, writes send at once.
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
    SocketFd socket_;
    const SocketTimeouts& timeouts_;
    Endpoint local_;
    int32_t state_ = 0;
};

}  // namespace tx
