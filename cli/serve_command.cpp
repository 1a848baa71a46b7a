#include "cli/serve_command.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <map>
#include <optional>

#include "chip/board_session.h"
#include "chip/register_batch.h"
#include "cli/board_server.h"
#include "cli/command_output.h"
#include "cli/exit_status.h"
#include "cli/stop_signals.h"
#include "shell/message_text.h"
#include "vanlpt/vanlpt.h"

namespace {

constexpr std::size_t Read_Chunk = 64 * 1024;
// A client whose answers pile up this high is not read from until it takes them.
constexpr std::size_t Max_Unsent = 8u << 20;
constexpr std::size_t Max_Unread = (64u << 20) + VANLPT_BOARD_LINE_MAX;

struct Listener {
    int fd = -1;
    std::string text;       // unix:PATH or tcp:HOST:PORT, as told
    std::string unix_path;  // removed at the end
};

struct Connection {
    int id = 0;
    std::string out;
};

std::string Reason() {
    return std::strerror(errno);
}

std::int64_t Now_Ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

struct Address {
    bool tcp = false;
    std::string path, host, port;
};

// unix:PATH or tcp:HOST:PORT (an empty HOST is the loopback, * every interface).
std::optional<Address> Parse_Listen(const std::string& text) {
    Address a;
    if (text.rfind("unix:", 0) == 0 && text.size() > 5) {
        a.path = text.substr(5);
        return a;
    }
    const std::size_t colon = text.rfind(':');
    if (text.rfind("tcp:", 0) != 0 || colon <= 3) return std::nullopt;
    a.tcp = true;
    a.host = text.substr(4, colon - 4);
    if (a.host.size() >= 2 && a.host.front() == '[' && a.host.back() == ']')
        a.host = a.host.substr(1, a.host.size() - 2);
    a.port = text.substr(colon + 1);
    unsigned port = 0;
    if (!Parse_Byte_Number(a.port, 65535, &port) || port == 0) return std::nullopt;
    return a;
}

bool Is_Loopback(const sockaddr* address) {
    if (address->sa_family == AF_INET) {
        const auto* v4 = reinterpret_cast<const sockaddr_in*>(address);
        return (ntohl(v4->sin_addr.s_addr) >> 24) == 127;
    }
    if (address->sa_family == AF_INET6) {
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(address);
        return IN6_IS_ADDR_LOOPBACK(&v6->sin6_addr);
    }
    return false;
}

// The addresses a TCP listener binds; every one must be loopback unless allowed.
addrinfo* Resolve(const Address& a, std::string* error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    const char* host = a.host == "*" ? nullptr : (a.host.empty() ? "localhost" : a.host.c_str());
    addrinfo* found = nullptr;
    if (const int e = getaddrinfo(host, a.port.c_str(), &hints, &found); e != 0) {
        *error = gai_strerror(e);
        return nullptr;
    }
    return found;
}

std::optional<std::string> Check_Remote(const std::vector<Address>& addresses, bool allowed) {
    for (const Address& a : addresses) {
        if (!a.tcp) continue;
        std::string error;
        addrinfo* found = Resolve(a, &error);
        if (found == nullptr) return "cannot listen on tcp:" + a.host + ":" + a.port + ": " + error;
        bool loopback = a.host != "*";
        for (addrinfo* i = found; i != nullptr; i = i->ai_next)
            loopback = loopback && Is_Loopback(i->ai_addr);
        freeaddrinfo(found);
        if (!loopback && !allowed)
            return "tcp:" + a.host + ":" + a.port +
                   " can be reached from other machines, and the board server has no "
                   "authentication of its own: anyone who reaches it drives the board. Add "
                   "--allow-remote to serve it there anyway, or listen on the loopback "
                   "(tcp::PORT) and reach it from afar through ssh -L";
    }
    return std::nullopt;
}

int Listen_Tcp(const Address& a, std::string* error) {
    addrinfo* found = Resolve(a, error);
    if (found == nullptr) return -1;
    int fd = -1;
    for (addrinfo* i = found; i != nullptr && fd < 0; i = i->ai_next) {
        fd = socket(i->ai_family, i->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, i->ai_protocol);
        const int one = 1;
        if (fd >= 0) setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        if (fd >= 0 && (bind(fd, i->ai_addr, i->ai_addrlen) != 0 || listen(fd, 16) != 0)) {
            *error = Reason();
            close(fd);
            fd = -1;
        }
    }
    freeaddrinfo(found);
    return fd;
}

// A socket file left by a server that is gone is taken over; a live server's, or a file
// that is no socket, is left alone.
std::optional<std::string> Clear_Stale_Socket(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) return std::nullopt;
    if (!S_ISSOCK(info.st_mode))
        return Quoted_Token(path) + " exists and is no socket; name another place to listen";
    const int probe = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const bool live = connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(probe);
    if (live) return "another board server listens at unix:" + path;
    unlink(path.c_str());
    return std::nullopt;
}

int Listen_Unix(const std::string& path, bool group, std::string* error) {
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path) {
        *error = "the path is longer than a socket's path may be (" +
                 std::to_string(sizeof address.sun_path - 1) + " bytes)";
        return -1;
    }
    if (auto problem = Clear_Stale_Socket(path)) {
        *error = *problem;
        return -1;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    // Made with the mode it keeps, so that nobody else can connect in between.
    const mode_t mode = group ? 0660 : 0600;
    const mode_t old_mask = umask(0777 & ~mode);
    const bool bound =
        fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    umask(old_mask);
    if (!bound || chmod(path.c_str(), mode) != 0 || listen(fd, 16) != 0) {
        *error = Reason();
        if (fd >= 0) close(fd);
        return -1;
    }
    return fd;
}

// The server folder is this user's alone (or its group's, with --group): a folder in /tmp
// that someone else made, or a link, is refused.
std::optional<std::string> Make_Server_Folder(const std::string& folder, bool group) {
    const mode_t mode = group ? 0750 : 0700;
    if (mkdir(folder.c_str(), mode) != 0 && errno != EEXIST)
        return "cannot make " + folder + ": " + Reason();
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0) return "cannot use " + folder + ": " + Reason();
    if (!S_ISDIR(info.st_mode) || info.st_uid != getuid())
        return folder + " is not a folder of yours; remove it or listen elsewhere (--listen)";
    if (chmod(folder.c_str(), mode) != 0)
        return "cannot set the mode of " + folder + ": " + Reason();
    return std::nullopt;
}

PeerIdentity Peer_Of(int fd) {
    PeerIdentity peer;
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0 || credentials.pid <= 0)
        return peer;
    peer.pid = credentials.pid;
    const passwd* entry = getpwuid(credentials.uid);
    peer.user = entry && entry->pw_name ? entry->pw_name : std::to_string(credentials.uid);
    return peer;
}

class ServeLoop {
public:
    ServeLoop(std::vector<Listener> listeners, BoardServer& server)
        : listeners_(std::move(listeners)), server_(server) {}
    ~ServeLoop();
    void Run();

private:
    void Accept(const Listener& listener);
    void Read_From(int fd);
    void Send_To(int fd);
    void Drop(int fd);

    std::vector<Listener> listeners_;
    BoardServer& server_;
    std::map<int, Connection> connections_;  // by socket
};

ServeLoop::~ServeLoop() {
    while (!connections_.empty()) Drop(connections_.begin()->first);
    for (const Listener& l : listeners_) {
        close(l.fd);
        if (!l.unix_path.empty()) unlink(l.unix_path.c_str());
    }
}

void ServeLoop::Accept(const Listener& listener) {
    const int fd = accept4(listener.fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) return;
    const PeerIdentity peer = listener.unix_path.empty() ? PeerIdentity{} : Peer_Of(fd);
    connections_[fd].id = server_.Add_Client(peer);
}

void ServeLoop::Drop(int fd) {
    server_.Remove_Client(connections_.at(fd).id);
    connections_.erase(fd);
    close(fd);
}

void ServeLoop::Read_From(int fd) {
    char chunk[Read_Chunk];
    const ssize_t n = recv(fd, chunk, sizeof chunk, 0);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
    if (n <= 0) return Drop(fd);  // gone: whatever it held is let go
    server_.Receive(connections_.at(fd).id, std::string_view(chunk, static_cast<std::size_t>(n)));
}

void ServeLoop::Send_To(int fd) {
    Connection& c = connections_.at(fd);
    c.out += server_.Take_Output(c.id);
    while (!c.out.empty()) {
        const ssize_t n = send(fd, c.out.data(), c.out.size(), MSG_NOSIGNAL);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) break;
        if (n <= 0) return Drop(fd);
        c.out.erase(0, static_cast<std::size_t>(n));
    }
    if (c.out.empty() && server_.Closing(c.id)) Drop(fd);
}

void ServeLoop::Run() {
    sigset_t stops, open_mask;
    sigemptyset(&stops);
    sigaddset(&stops, SIGTERM);
    sigaddset(&stops, SIGINT);
    // A stop signal is taken only inside ppoll, so that none slips in before the wait.
    sigprocmask(SIG_BLOCK, &stops, &open_mask);
    while (Stop_Signal() == 0) {
        std::vector<pollfd> fds;
        for (const Listener& l : listeners_) fds.push_back({l.fd, POLLIN, 0});
        for (const auto& [fd, c] : connections_) {
            short events = c.out.empty() ? 0 : POLLOUT;
            if (c.out.size() < Max_Unsent) events |= POLLIN;
            fds.push_back({fd, events, 0});
        }
        const std::int64_t deadline = server_.Next_Deadline();
        timespec wait{};
        const std::int64_t ms = deadline < 0 ? -1 : std::max<std::int64_t>(0, deadline - Now_Ms());
        wait.tv_sec = ms / 1000;
        wait.tv_nsec = (ms % 1000) * 1000000;
        if (ppoll(fds.data(), fds.size(), ms < 0 ? nullptr : &wait, &open_mask) < 0 &&
            errno != EINTR)
            break;
        for (std::size_t i = 0; i < listeners_.size(); ++i)
            if (fds[i].revents & POLLIN) Accept(listeners_[i]);
        for (std::size_t i = listeners_.size(); i < fds.size(); ++i) {
            if (!connections_.contains(fds[i].fd)) continue;
            if (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) Read_From(fds[i].fd);
        }
        server_.Tick();
        std::vector<int> open;
        for (const auto& [fd, c] : connections_) open.push_back(fd);
        for (const int fd : open)
            if (connections_.contains(fd)) Send_To(fd);
    }
    sigprocmask(SIG_SETMASK, &open_mask, nullptr);
}

// The listeners asked for, or the default socket; a message when one cannot be made.
std::optional<std::string> Open_Listeners(const std::vector<Address>& addresses, bool group,
                                          std::vector<Listener>* listeners) {
    for (const Address& a : addresses) {
        Listener l;
        std::string error;
        if (a.tcp) {
            l.fd = Listen_Tcp(a, &error);
            l.text =
                "tcp:" + (a.host.find(':') != std::string::npos ? "[" + a.host + "]" : a.host) +
                ":" + a.port;
        } else {
            l.fd = Listen_Unix(a.path, group, &error);
            l.text = "unix:" + a.path;
            l.unix_path = a.path;
        }
        if (l.fd < 0) return "cannot listen at " + l.text + ": " + error;
        listeners->push_back(l);
    }
    return std::nullopt;
}

}  // namespace

int Run_Serve(const ServeOptions& options) {
    std::vector<Address> addresses;
    for (const std::string& text : options.listen) {
        auto a = Parse_Listen(text);
        if (!a)
            return Failed("bad --listen " + Quoted_Token(text) +
                              ": expected unix:PATH or tcp:HOST:PORT (tcp::7010 is the loopback)",
                          Exit_Bad_Usage);
        addresses.push_back(*a);
    }
    if (auto refused = Check_Remote(addresses, options.allow_remote))
        return Failed(*refused, Exit_Bad_Usage);
    if (auto failed = Map_Board()) return Failed(*failed);
    if (std::string(Vanlpt_Port_Name(1)) == "remote")
        return Failed("LPT1 is itself a served board (" + std::string(Vanlpt_Port_Description(1)) +
                          "); serve the board of this machine instead",
                      Exit_Bad_Usage);
    if (!Select_LPT_123(1))
        return Failed(std::string("cannot open LPT1 to serve it: ") + Vanlpt_Last_Error(),
                      Exit_Board_Failed);
    if (addresses.empty()) {
        const std::string folder = Vanlpt_Server_Folder();
        if (auto problem = Make_Server_Folder(folder, options.group))
            return Failed(*problem, Exit_Board_Failed);
        Address a;
        a.path = folder + "/" + Vanlpt_Port_Name(1) + ".sock";
        addresses.push_back(a);
    }
    std::vector<Listener> listeners;
    if (auto problem = Open_Listeners(addresses, options.group, &listeners)) {
        for (const Listener& l : listeners) close(l.fd);
        return Failed(*problem, Exit_Board_Failed);
    }
    unsigned char enabled[16], input[16], gain[16];
    const bool extras = Vanlpt_Crosspoint_Routing(enabled, input, gain) != 0;
    BoardServer server(Now_Ms, options.idle_ms, Vanlpt_Port_Description(1), extras);
    for (const Listener& l : listeners) Tell("listening at " + l.text);
    Tell("serving " + std::string(Vanlpt_Port_Description(1)));
    ServeLoop(std::move(listeners), server).Run();
    if (const int signal = Take_Stop_Signal())
        Tell(std::string("stopped by SIG") + sigabbrev_np(signal) + "; the board server ends");
    return Exit_Ok;
}
