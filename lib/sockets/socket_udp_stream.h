// A UDP socket as a stream: writes build the next datagram, reads consume the last one received.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "socket_address.h"
#include "socket_fd.h"
#include "tx_stream.h"

namespace tx {

class UdpStream final : public TxStream {
public:
    // A datagram socket bound to any local address and the port (0: any free port); null when
    // the socket cannot be made or bound, or the port lies outside 0..65535.
    static std::unique_ptr<UdpStream> open(int32_t port);

    explicit UdpStream(SocketFd socket);
    ~UdpStream() override;

    int32_t read(uint8_t* buffer, int32_t size) override;
    int32_t write(const uint8_t* buffer, int32_t size) override;
    int32_t avail() override;
    int32_t eof() override;
    // Writes build the next datagram whether or not a received one is used up: a copy into the
    // stream goes on while it has not failed.
    bool writable() override { return state_ == 0; }

    // Waits up to millis for a datagram and makes it the one that reads consume. Returns the
    // sender's address, or 0 on a time-out (nothing changes) or a failure (state -1).
    uint32_t receive(int32_t millis);
    // Sends everything written since the last send as one datagram (port 0: this stream's own
    // port). A failed send keeps the bytes and puts the stream into state -1.
    void send(uint32_t ip, int32_t port);

    Endpoint local() const { return local_; }
    Endpoint messageSource() const { return source_; }
    Endpoint destination() const { return destination_; }
    // 0 while usable, -1 once a receive or send has failed.
    int32_t state() const { return state_; }

private:
    SocketFd socket_;
    std::vector<uint8_t> in_;
    size_t readPosition_ = 0;
    std::vector<uint8_t> out_;
    Endpoint local_;
    Endpoint source_;
    Endpoint destination_;
    int32_t state_ = 0;
};

}  // namespace tx
