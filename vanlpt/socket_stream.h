// SocketStream: a connected stream socket to a board server (Unix or TCP), with what the
// remote backend needs of it: whole writes, and lines and counted bytes read through one
// buffer.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vanlpt {

// Where a board server listens: "unix:PATH" or "tcp:HOST:PORT" (an empty HOST is this
// machine; an IPv6 address in brackets).
struct Endpoint {
    bool tcp = false;
    std::string path;  // unix
    std::string host;  // tcp
    unsigned port = 0;
};

// False for anything but the two forms above.
bool Parse_Endpoint(std::string_view text, Endpoint* endpoint);

class SocketStream {
public:
    SocketStream() = default;
    ~SocketStream();
    SocketStream(const SocketStream&) = delete;
    SocketStream& operator=(const SocketStream&) = delete;

    // Connects; false with *error (the system's reason) when nothing answers there.
    bool Connect(const Endpoint& endpoint, std::string* error);
    void Close();
    bool Is_Open() const { return fd_ >= 0; }

    // False with *error when the peer is gone.
    bool Write_All(std::string_view bytes, std::string* error);
    // One line without its line end; false at the end of the stream or on an error.
    bool Read_Line(std::string* line, std::string* error);
    // Exactly `count` bytes into `into`.
    bool Read_Bytes(void* into, std::size_t count, std::string* error);

private:
    // Waits for more bytes; false when the peer is gone.
    bool Fill(std::string* error);

    int fd_ = -1;
    std::string buffer_;
    std::size_t start_ = 0;  // the unread part of buffer_ begins here
};

}  // namespace vanlpt
