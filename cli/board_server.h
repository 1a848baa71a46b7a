// BoardServer: one board shared by many clients over the board server's text protocol
// (docs/board-server.md). It is a plain caller of the port library, as every other program
// is: LPT1 is mapped and selected as for any osdex command, and each request line runs
// through vanlpt.h. Sockets are not its business: the caller feeds it the bytes each client
// sent and sends what it has to say, so the arbitration can be driven without sockets.
//
// No interleaving: a client that runs a transaction holds the board until it has been quiet
// for the idle time, or, after "hold", until "release"; meanwhile other clients' requests
// wait in the order they came. A client that goes away lets go of everything. Time comes
// from the clock the caller gives, so tests decide when the idle time has passed.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "chip/register_bus.h"
#include "vanlpt/vanlpt.h"

// Who is at the other end, as the socket tells it (pid and user of a Unix socket's peer;
// -1 and "" when not known).
struct PeerIdentity {
    long pid = -1;
    std::string user;
};

class BoardServer {
public:
    using Clock = std::function<std::int64_t()>;  // milliseconds, never going back

    // idle_ms: how long a quiet client keeps the board. served: what the board is, for the
    // greeting ("LPT1: simulated board").
    BoardServer(Clock now, unsigned idle_ms, std::string served, bool extras);

    int Add_Client(const PeerIdentity& peer);
    // Bytes from a client; its requests run as far as the board allows.
    void Receive(int client, std::string_view bytes);
    void Remove_Client(int client);
    // What to send to the client, taken.
    std::string Take_Output(int client);
    // The client is to be disconnected once its output is sent (quit, a line too long).
    bool Closing(int client) const;
    // Lets time pass: a quiet holder lets go, a wait runs out, waiting requests run.
    void Tick();
    // When Tick has something to do next (milliseconds on the clock); -1: only on input.
    std::int64_t Next_Deadline() const;
    // The client holding the board, 0 when none; who holds it, in words.
    int Holder() const { return holder_; }
    std::string Holder_Text() const;

private:
    struct Bus {
        // A client that sets none gets the board's own wiring, so that a person can type
        // register requests at once.
        BoardBusWiring wiring = Board_Bus_Wiring;
        unsigned mask = 0x20;
        bool operator==(const Bus&) const = default;
    };
    struct Client {
        std::string in;
        std::string out;
        std::string program = "unknown";
        std::string user;
        long pid = -1;
        bool peer_known = false;
        Bus bus;
        unsigned wait_ms = 0;  // 0: no end
        bool waiting = false;
        std::int64_t waiting_since = 0;
        bool refused = false;  // its wait ran out: board requests fail until its input is done
        bool held = false;     // "hold" until "release"
        bool closing = false;
        unsigned long changes_at_start = 0;
        unsigned long own_changes = 0;
        std::array<unsigned long, 8> frame_seen{};  // generation + 1 of the frame it has
    };
    struct Request;

    void Process(int id);
    bool Next_Request(Client& c, Request* request);
    bool Needs_Board(const Request& request) const;
    std::string Run(int id, Client& c, const Request& request);
    void Grant(int id);
    void Let_Go(int id);
    void Serve_Waiting();
    void Apply_Bus(const Bus& bus);
    std::string Refusal(const Client& c) const;
    void Changed(Client& c);

    std::string Transaction(Client& c, const std::vector<std::string>& words);
    std::string Pins(Client& c, const std::vector<std::string>& words);
    std::string Run_List(Client& c, std::vector<Vanlpt_Transaction>& list);
    std::string Batch(Client& c, const std::string& payload);
    std::string Cycles(Client& c, const std::string& payload);
    std::string Frame(Client& c, const std::vector<std::string>& words);
    std::string Video(const std::vector<std::string>& words, const std::string& payload);
    std::string Fault(const std::vector<std::string>& words);
    std::string Routing();
    std::string Set_Bus(Client& c, const std::vector<std::string>& words);
    std::string Identify(Client& c, const std::vector<std::string>& words);

    Clock now_;
    unsigned idle_ms_;
    std::string served_;
    bool extras_;
    std::map<int, Client> clients_;
    int next_id_ = 1;
    int holder_ = 0;
    std::int64_t last_activity_ = 0;
    std::string holder_since_;
    std::deque<int> queue_;  // clients waiting for the board, in order
    bool bus_applied_ = false;
    Bus applied_;
    unsigned long changes_ = 0;
    std::array<unsigned long, 8> frame_generation_{};
    std::array<std::vector<std::uint32_t>, 8> frames_;
};
