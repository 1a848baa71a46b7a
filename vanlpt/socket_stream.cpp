#include "vanlpt/socket_stream.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>

namespace vanlpt {

namespace {

constexpr std::size_t kChunk = 64 * 1024;

bool Parse_Port(std::string_view text, unsigned* port) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, *port);
    return ec == std::errc() && ptr == end && *port >= 1 && *port <= 65535;
}

std::string System_Reason(int error) {
    return std::strerror(error);
}

int Connect_Unix(const std::string& path, std::string* error) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        *error = "the socket's path is longer than the system allows (" +
                 std::to_string(sizeof address.sun_path - 1) + " bytes)";
        return -1;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        *error = System_Reason(errno);
        if (fd >= 0) close(fd);
        return -1;
    }
    return fd;
}

int Connect_Tcp(const Endpoint& endpoint, std::string* error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string host = endpoint.host.empty() ? "localhost" : endpoint.host;
    const std::string port = std::to_string(endpoint.port);
    if (const int e = getaddrinfo(host.c_str(), port.c_str(), &hints, &found); e != 0) {
        *error = gai_strerror(e);
        return -1;
    }
    int fd = -1;
    for (addrinfo* a = found; a != nullptr && fd < 0; a = a->ai_next) {
        fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd >= 0 && connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
            *error = System_Reason(errno);
            close(fd);
            fd = -1;
        }
    }
    freeaddrinfo(found);
    if (fd >= 0) {
        // Lines are small and each may wait for its answer.
        const int one = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    }
    return fd;
}

}  // namespace

bool Parse_Endpoint(std::string_view text, Endpoint* endpoint) {
    *endpoint = Endpoint{};
    if (text.starts_with("unix:")) {
        endpoint->path = std::string(text.substr(5));
        return !endpoint->path.empty();
    }
    if (!text.starts_with("tcp:")) return false;
    text.remove_prefix(4);
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos) return false;
    std::string_view host = text.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    if (host.find(':') != std::string_view::npos && text[0] != '[') return false;
    endpoint->tcp = true;
    endpoint->host = std::string(host);
    return Parse_Port(text.substr(colon + 1), &endpoint->port);
}

SocketStream::~SocketStream() {
    Close();
}

bool SocketStream::Connect(const Endpoint& endpoint, std::string* error) {
    Close();
    fd_ = endpoint.tcp ? Connect_Tcp(endpoint, error) : Connect_Unix(endpoint.path, error);
    return fd_ >= 0;
}

void SocketStream::Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    buffer_.clear();
    start_ = 0;
}

bool SocketStream::Write_All(std::string_view bytes, std::string* error) {
    while (!bytes.empty()) {
        const ssize_t n = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            *error = System_Reason(errno);
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool SocketStream::Fill(std::string* error) {
    if (start_ > 0 && start_ == buffer_.size()) {
        buffer_.clear();
        start_ = 0;
    } else if (start_ > kChunk) {
        buffer_.erase(0, start_);
        start_ = 0;
    }
    char chunk[kChunk];
    ssize_t n;
    do {
        n = recv(fd_, chunk, sizeof chunk, 0);
    } while (n < 0 && errno == EINTR);
    if (n > 0) {
        buffer_.append(chunk, static_cast<std::size_t>(n));
        return true;
    }
    *error = n == 0 ? "it closed the connection" : System_Reason(errno);
    return false;
}

bool SocketStream::Read_Line(std::string* line, std::string* error) {
    std::size_t end;
    while ((end = buffer_.find('\n', start_)) == std::string::npos)
        if (!Fill(error)) return false;
    line->assign(buffer_, start_, end - start_);
    if (!line->empty() && line->back() == '\r') line->pop_back();
    start_ = end + 1;
    return true;
}

bool SocketStream::Read_Bytes(void* into, std::size_t count, std::string* error) {
    auto* out = static_cast<char*>(into);
    while (count > 0) {
        if (start_ == buffer_.size() && !Fill(error)) return false;
        const std::size_t take = std::min(count, buffer_.size() - start_);
        std::memcpy(out, buffer_.data() + start_, take);
        out += take;
        start_ += take;
        count -= take;
    }
    return true;
}

}  // namespace vanlpt
