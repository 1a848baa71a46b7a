#include "cli/board_server.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <ctime>
#include <fstream>
#include <utility>

#include "chip/register_batch.h"
#include "chip/register_table.h"
#include "shell/message_text.h"
#include "vanlpt/vanlpt.h"

namespace {

// A bulk request carries at most this much: a board picture of 2^24 pixels, a long batch.
constexpr std::size_t Max_Payload = 64u << 20;
constexpr std::size_t Frame_Bytes = VANLPT_FRAME_WIDTH * VANLPT_FRAME_HEIGHT * 4;
constexpr std::size_t Max_Name = 40;

const char* const Help_Line =
    "ok requests: wrreg A D, rdreg A, batch BYTES, cycles BYTES, get data|status|control, set "
    "data|control V, "
    "setreg OFFSET V, drive 0|1, pin P [L], bus WR RD ADDR CS BUSY TIMEOUT MASK, select, hold, "
    "release, who, wait MS, changes, frame CH N, video CH [S [W H BYTES]], fault F [V], "
    "faults clear, routing, client PROGRAM PID USER, help, quit";

std::vector<std::string> Split_Words(std::string_view line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) words.emplace_back(line.substr(start, i - start));
    }
    return words;
}

// A register by address or by the name of a whole register.
bool Register_Address(const std::string& text, std::uint8_t* address, std::string* error) {
    unsigned value = 0;
    if (Parse_Byte_Number(text, 255, &value)) {
        *address = static_cast<std::uint8_t>(value);
        return true;
    }
    const auto named = Find_Register(text, error);
    if (!named) return false;
    if (named->kind != NamedRegister::Kind::Register) {
        *error = named->name + " is not a whole register: name the register or give its address";
        return false;
    }
    *address = named->address;
    return true;
}

std::string Error(const std::string& text) {
    return "error " + Printable_Message(text) + "\n";
}

std::string Bad(const std::vector<std::string>& words, const char* form) {
    return Error("bad request " + Quoted_Token(words.empty() ? "" : words[0]) + ": expected " +
                 form);
}

std::string Date_Now() {
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

// A name from a client: one word of plain characters, bounded.
std::string Clean_Name(std::string_view text) {
    std::string name;
    for (const char c : text.substr(0, Max_Name))
        name += (std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_')
                    ? c
                    : '_';
    return name.empty() ? "unknown" : name;
}

// What a local peer's process is called (its comm name), for "who holds the board".
std::string Program_Of(long pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return Clean_Name(name);
}

}  // namespace

struct BoardServer::Request {
    std::vector<std::string> words;
    std::string payload;
    std::size_t end = 0;  // where the next request starts in the client's input
    bool too_long = false;
};

BoardServer::BoardServer(Clock now, unsigned idle_ms, std::string served, bool extras)
    : now_(std::move(now)), idle_ms_(idle_ms), served_(std::move(served)), extras_(extras) {}

int BoardServer::Add_Client(const PeerIdentity& peer) {
    const int id = next_id_++;
    Client& c = clients_[id];
    c.pid = peer.pid;
    c.user = peer.user;
    c.peer_known = peer.pid >= 0;
    if (c.peer_known) c.program = Program_Of(peer.pid);
    c.changes_at_start = changes_;
    c.out = "osdex-board " + std::to_string(VANLPT_BOARD_PROTOCOL) +
            " idle=" + std::to_string(idle_ms_) + (extras_ ? " extras " : " noextras ") + served_ +
            "\n";
    return id;
}

void BoardServer::Receive(int client, std::string_view bytes) {
    auto found = clients_.find(client);
    if (found == clients_.end() || found->second.closing) return;
    found->second.in.append(bytes);
    if (!found->second.waiting) Process(client);
}

void BoardServer::Remove_Client(int client) {
    queue_.erase(std::remove(queue_.begin(), queue_.end(), client), queue_.end());
    clients_.erase(client);
    if (holder_ == client) Let_Go(client);
}

std::string BoardServer::Take_Output(int client) {
    auto found = clients_.find(client);
    if (found == clients_.end()) return "";
    return std::exchange(found->second.out, std::string());
}

bool BoardServer::Closing(int client) const {
    auto found = clients_.find(client);
    return found == clients_.end() || found->second.closing;
}

std::string BoardServer::Holder_Text() const {
    auto found = clients_.find(holder_);
    if (found == clients_.end()) return "nobody";
    const Client& c = found->second;
    std::string text = c.program + " (";
    if (c.pid >= 0) text += "pid " + std::to_string(c.pid) + ", ";
    if (!c.user.empty()) text += "user " + c.user + ", ";
    return text + "since " + holder_since_ + ")";
}

// The next whole request of the client's input, with its payload; false while it has not
// all arrived. A line longer than the protocol allows ends the connection.
bool BoardServer::Next_Request(Client& c, Request* request) {
    const std::size_t end = c.in.find('\n');
    if (end == std::string::npos || end > VANLPT_BOARD_LINE_MAX) {
        request->too_long = end != std::string::npos || c.in.size() > VANLPT_BOARD_LINE_MAX;
        return request->too_long;
    }
    std::string_view line(c.in.data(), end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    request->words = Split_Words(line);
    request->end = end + 1;
    const auto& w = request->words;
    // Bulk requests name their payload's size last: batch BYTES, cycles BYTES,
    // video CH 4 W H BYTES.
    const bool bulk = (w.size() == 2 && (w[0] == "batch" || w[0] == "cycles")) ||
                      (w.size() == 6 && w[0] == "video");
    unsigned long size = 0;
    if (bulk) {
        const std::string& count = w.back();
        if (count.empty() || count.size() > 10 ||
            count.find_first_not_of("0123456789") != std::string::npos ||
            (size = std::stoul(count)) > Max_Payload) {
            request->too_long = true;
            return true;
        }
        if (c.in.size() - request->end < size) return false;
        request->payload = c.in.substr(request->end, size);
        request->end += size;
    }
    return true;
}

bool BoardServer::Needs_Board(const Request& request) const {
    static const char* const board_verbs[] = {"select", "wrreg",  "rdreg", "get",
                                              "set",    "setreg", "drive", "pin",
                                              "batch",  "cycles", "hold",  "changes"};
    if (request.words.empty()) return false;
    for (const char* verb : board_verbs)
        if (request.words[0] == verb) return true;
    return false;
}

void BoardServer::Process(int id) {
    Client& c = clients_.at(id);
    while (!c.closing) {
        Request request;
        if (!Next_Request(c, &request)) break;
        if (request.too_long) {
            c.out += Error("a request longer than " + std::to_string(VANLPT_BOARD_LINE_MAX) +
                           " bytes, or a payload larger than " + std::to_string(Max_Payload) +
                           " bytes; closing the connection");
            c.closing = true;
            break;
        }
        const bool board = Needs_Board(request);
        if (board && holder_ != 0 && holder_ != id) {
            if (!c.refused) {
                if (!c.waiting) {
                    c.waiting = true;
                    c.waiting_since = now_();
                    queue_.push_back(id);
                }
                break;
            }
            c.out += Refusal(c);
        } else {
            if (board && holder_ == 0) Grant(id);
            c.out += Run(id, c, request);
            if (board) last_activity_ = now_();
        }
        c.in.erase(0, request.end);
    }
    if (c.in.find('\n') == std::string::npos) c.refused = false;
}

void BoardServer::Grant(int id) {
    holder_ = id;
    holder_since_ = Date_Now();
    queue_.erase(std::remove(queue_.begin(), queue_.end(), id), queue_.end());
    clients_.at(id).waiting = false;
}

void BoardServer::Let_Go(int id) {
    if (holder_ != id) return;
    holder_ = 0;
    Serve_Waiting();
}

void BoardServer::Serve_Waiting() {
    while (holder_ == 0 && !queue_.empty()) {
        const int id = queue_.front();
        queue_.pop_front();
        clients_.at(id).waiting = false;
        Process(id);
    }
}

std::string BoardServer::Refusal(const Client& c) const {
    char waited[32];
    std::snprintf(waited, sizeof waited, "%.1f", c.wait_ms / 1000.0);
    return Error(std::string("the board is still held after waiting ") + waited + " s, by " +
                 Holder_Text());
}

void BoardServer::Tick() {
    const std::int64_t now = now_();
    const std::deque<int> waiting = queue_;
    for (const int id : waiting) {
        Client& c = clients_.at(id);
        if (c.wait_ms == 0 || now - c.waiting_since < c.wait_ms) continue;
        queue_.erase(std::remove(queue_.begin(), queue_.end(), id), queue_.end());
        c.waiting = false;
        c.refused = true;
        Process(id);
    }
    if (holder_ != 0) {
        const Client& h = clients_.at(holder_);
        if (!h.held && !h.waiting && now - last_activity_ >= idle_ms_ &&
            h.in.find('\n') == std::string::npos)
            Let_Go(holder_);
    }
    Serve_Waiting();
}

std::int64_t BoardServer::Next_Deadline() const {
    std::int64_t next = -1;
    const auto sooner = [&next](std::int64_t t) { next = next < 0 ? t : std::min(next, t); };
    if (holder_ != 0 && !clients_.at(holder_).held) sooner(last_activity_ + idle_ms_);
    for (const int id : queue_) {
        const Client& c = clients_.at(id);
        if (c.wait_ms > 0) sooner(c.waiting_since + c.wait_ms);
    }
    return next;
}

void BoardServer::Changed(Client& c) {
    ++changes_;
    ++c.own_changes;
}

void BoardServer::Apply_Bus(const Bus& bus) {
    if (bus_applied_ && applied_ == bus) return;
    Apply_Bus_Wiring(bus.wiring);
    Set_Data_Enable_Mask(static_cast<unsigned char>(bus.mask));
    applied_ = bus;
    bus_applied_ = true;
}

std::string BoardServer::Run(int id, Client& c, const Request& request) {
    const std::vector<std::string>& w = request.words;
    if (w.empty()) return Error("an empty request: send help for the list");
    const std::string& verb = w[0];
    if (verb == "wrreg" || verb == "rdreg") return Transaction(c, w);
    if (verb == "get" || verb == "set" || verb == "setreg" || verb == "drive" || verb == "pin")
        return Pins(c, w);
    if (verb == "batch") return Batch(c, request.payload);
    if (verb == "cycles") return Cycles(c, request.payload);
    if (verb == "select") {
        if (w.size() != 1) return Bad(w, "select");
        if (!Select_LPT_123(1)) return Error(Vanlpt_Last_Error());
        return std::string("ok ") + Vanlpt_Port_Description(1) + "\n";
    }
    if (verb == "hold") {
        c.held = true;
        return "ok held\n";
    }
    if (verb == "release") {
        c.held = false;
        if (holder_ == id) Let_Go(id);
        return "ok released\n";
    }
    if (verb == "changes")
        return "ok " + std::to_string(changes_ - c.changes_at_start - c.own_changes) + "\n";
    if (verb == "who") return "ok " + std::string(holder_ ? "held by " : "") + Holder_Text() + "\n";
    if (verb == "wait") {
        unsigned ms = 0;
        if (w.size() != 2 || !Parse_Byte_Number(w[1], 86400000, &ms))
            return Bad(w, "wait MILLISECONDS");
        c.wait_ms = ms;
        return "ok\n";
    }
    if (verb == "bus") return Set_Bus(c, w);
    if (verb == "client") return Identify(c, w);
    if (verb == "frame") return Frame(c, w);
    if (verb == "video") return Video(w, request.payload);
    if (verb == "fault" || verb == "faults") return Fault(w);
    if (verb == "routing") return Routing();
    if (verb == "help") return std::string(Help_Line) + "\n";
    if (verb == "quit") {
        c.closing = true;
        return "ok bye\n";
    }
    return Error("unknown request " + Quoted_Token(verb) + ": send help for the list");
}

std::string BoardServer::Transaction(Client& c, const std::vector<std::string>& w) {
    const bool write = w[0] == "wrreg";
    if (w.size() != (write ? 3u : 2u))
        return Bad(w, write ? "wrreg ADDRESS DATA" : "rdreg ADDRESS");
    std::uint8_t address = 0;
    std::string problem;
    if (!Register_Address(w[1], &address, &problem)) return Error(problem);
    unsigned data = 0;
    if (write && !Parse_Byte_Number(w[2], 255, &data))
        return Error("bad data " + Quoted_Token(w[2]) +
                     ": expected 0..255, decimal or 0x hexadecimal");
    Apply_Bus(c.bus);
    Clear_DUT_BUSY_Highest_Count();
    std::uint8_t value = 0;
    const bool ok = write ? Try_DUT_Register_Write(address, static_cast<std::uint8_t>(data)) != 0
                          : Try_DUT_Register_Read(address, &value) != 0;
    const std::string busy = "busy=" + std::to_string(Get_DUT_BUSY_Highest_Count());
    if (write) Changed(c);
    if (!ok) return "error " + busy + " " + Printable_Message(Vanlpt_Last_Error()) + "\n";
    return "ok " + busy + (write ? "" : " " + std::to_string(value)) + "\n";
}

std::string BoardServer::Pins(Client& c, const std::vector<std::string>& w) {
    const std::string& verb = w[0];
    unsigned a = 0, b = 0;
    Apply_Bus(c.bus);
    if (verb == "get") {
        if (w.size() != 2) return Bad(w, "get data|status|control");
        if (w[1] == "data") return "ok " + std::to_string(Get_Data()) + "\n";
        if (w[1] == "status") return "ok " + std::to_string(Get_Status()) + "\n";
        if (w[1] == "control") return "ok " + std::to_string(Get_Control()) + "\n";
        return Bad(w, "get data|status|control");
    }
    if (verb == "set") {
        if (w.size() != 3 || !Parse_Byte_Number(w[2], 255, &a) ||
            (w[1] != "data" && w[1] != "control"))
            return Bad(w, "set data|control VALUE");
        (w[1] == "data" ? Set_Data : Set_Control)(static_cast<unsigned char>(a));
    } else if (verb == "setreg") {
        if (w.size() != 3 || !Parse_Byte_Number(w[1], 0xFFFF, &a) ||
            !Parse_Byte_Number(w[2], 255, &b))
            return Bad(w, "setreg OFFSET VALUE");
        Set_Register(a, static_cast<unsigned char>(b));
    } else if (verb == "drive") {
        if (w.size() != 2 || !Parse_Byte_Number(w[1], 1, &a)) return Bad(w, "drive 0|1");
        Set_Data_Enable(static_cast<int>(a));
    } else {
        if ((w.size() != 2 && w.size() != 3) || !Parse_Byte_Number(w[1], 255, &a) ||
            (w.size() == 3 && !Parse_Byte_Number(w[2], 1, &b)))
            return Bad(w, "pin PIN [LEVEL]");
        if (w.size() == 2)
            return "ok " + std::to_string(DirectReadPrinterPin(static_cast<int>(a))) + "\n";
        DirectWritePrinterPin(static_cast<int>(a), static_cast<int>(b));
    }
    Changed(c);
    return "ok\n";
}

// Runs the list to its end or its first failure, the values read into it. "" when all ran,
// else the error line that names the failed transaction (counted from 1).
std::string BoardServer::Run_List(Client& c, std::vector<Vanlpt_Transaction>& list) {
    Apply_Bus(c.bus);
    Clear_DUT_BUSY_Highest_Count();
    for (std::size_t i = 0; i < list.size(); ++i) {
        Vanlpt_Transaction& t = list[i];
        const bool ok = t.read != 0 ? Try_DUT_Register_Read(t.address, &t.data) != 0
                                    : Try_DUT_Register_Write(t.address, t.data) != 0;
        if (t.read == 0) Changed(c);
        if (!ok)
            return "error step=" + std::to_string(i + 1) +
                   " busy=" + std::to_string(Get_DUT_BUSY_Highest_Count()) + " " +
                   Printable_Message(Vanlpt_Last_Error()) + "\n";
    }
    return "";
}

// A whole batch file in one request: it runs to its end or its first failure.
std::string BoardServer::Batch(Client& c, const std::string& payload) {
    std::vector<BatchStep> steps;
    BatchParseError parse_error;
    if (!Parse_Register_Batch(payload, &steps, &parse_error))
        return Error("line " + std::to_string(parse_error.line) +
                     " of the batch: " + parse_error.problem + "; nothing was sent");
    std::vector<Vanlpt_Transaction> list;
    for (const BatchStep& step : steps)
        list.push_back({static_cast<unsigned char>(step.kind == BatchStep::Kind::Read),
                        step.address, step.data});
    if (std::string failed = Run_List(c, list); !failed.empty()) return failed;
    std::string reads;
    for (const Vanlpt_Transaction& t : list)
        if (t.read) reads += (reads.empty() ? " read=" : ",") + std::to_string(t.data);
    return "ok ran=" + std::to_string(list.size()) +
           " busy=" + std::to_string(Get_DUT_BUSY_Highest_Count()) + reads + "\n";
}

// A list of transactions in three bytes each (read flag, address, data), checked whole
// first; the values read go back as the answer's payload, one byte each, in order.
std::string BoardServer::Cycles(Client& c, const std::string& payload) {
    if (payload.size() % 3 != 0)
        return Error(
            "a cycles payload is three bytes a transaction (read flag, address, data), "
            "and " +
            std::to_string(payload.size()) + " bytes are not; nothing was sent");
    std::vector<Vanlpt_Transaction> list(payload.size() / 3);
    for (std::size_t i = 0; i < list.size(); ++i) {
        const auto kind = static_cast<unsigned char>(payload[3 * i]);
        if (kind > 1)
            return Error("transaction " + std::to_string(i + 1) + " of the cycles has the flag " +
                         std::to_string(kind) + ": 0 writes, 1 reads; nothing was sent");
        list[i] = {kind, static_cast<unsigned char>(payload[3 * i + 1]),
                   static_cast<unsigned char>(kind ? 0 : payload[3 * i + 2])};
    }
    if (std::string failed = Run_List(c, list); !failed.empty()) return failed;
    std::string values;
    for (const Vanlpt_Transaction& t : list)
        if (t.read) values += static_cast<char>(t.data);
    return "ok ran=" + std::to_string(list.size()) +
           " busy=" + std::to_string(Get_DUT_BUSY_Highest_Count()) + " " +
           std::to_string(values.size()) + "\n" + values;
}

// A channel's frame goes out only when this client has not seen it yet.
std::string BoardServer::Frame(Client& c, const std::vector<std::string>& w) {
    unsigned channel = 0, number = 0;
    if (w.size() != 3 || !Parse_Byte_Number(w[1], 7, &channel) ||
        !Parse_Byte_Number(w[2], 0xFFFFFFFFu, &number))
        return Bad(w, "frame CHANNEL(0..7) FRAME-NUMBER");
    std::vector<std::uint32_t>& frame = frames_[channel];
    frame.resize(Frame_Bytes / 4);
    int changed = 0;
    if (!Vanlpt_Channel_Frame(static_cast<int>(channel), number, frame.data(), &changed))
        return Error(Vanlpt_Last_Error());
    if (changed) ++frame_generation_[channel];
    if (c.frame_seen[channel] == frame_generation_[channel] + 1) return "ok 0 0\n";
    c.frame_seen[channel] = frame_generation_[channel] + 1;
    std::string answer = "ok " + std::to_string(Frame_Bytes) + " 1\n";
    answer.append(reinterpret_cast<const char*>(frame.data()), Frame_Bytes);
    return answer;
}

std::string BoardServer::Video(const std::vector<std::string>& w, const std::string& payload) {
    unsigned channel = 0, source = 0, width = 0, height = 0;
    if (w.size() < 2 || !Parse_Byte_Number(w[1], 255, &channel))
        return Bad(w, "video CHANNEL [SOURCE [WIDTH HEIGHT BYTES]]");
    if (w.size() == 2) {
        const int now = Vanlpt_Video_Source(static_cast<int>(channel));
        if (now < 0) return Error(Vanlpt_Last_Error());
        return "ok " + std::to_string(now) + "\n";
    }
    if ((w.size() != 3 && w.size() != 6) || !Parse_Byte_Number(w[2], 255, &source))
        return Bad(w, "video CHANNEL [SOURCE [WIDTH HEIGHT BYTES]]");
    std::vector<std::uint32_t> picture;
    if (w.size() == 6) {
        if (!Parse_Byte_Number(w[3], 1u << 26, &width) ||
            !Parse_Byte_Number(w[4], 1u << 26, &height) ||
            std::uint64_t{width} * height * 4 != payload.size())
            return Error("a picture of WIDTH x HEIGHT pixels is WIDTH * HEIGHT * 4 bytes");
        picture.resize(payload.size() / 4);
        std::memcpy(picture.data(), payload.data(), payload.size());
    }
    if (!Vanlpt_Set_Video_Source(static_cast<int>(channel), static_cast<int>(source),
                                 picture.empty() ? nullptr : picture.data(),
                                 static_cast<int>(width), static_cast<int>(height)))
        return Error(Vanlpt_Last_Error());
    return "ok\n";
}

std::string BoardServer::Fault(const std::vector<std::string>& w) {
    if (w[0] == "faults") {
        if (w.size() != 2 || w[1] != "clear") return Bad(w, "faults clear");
        Vanlpt_Clear_Simulated_Faults();
        return "ok\n";
    }
    unsigned fault = 0, value = 0;
    if ((w.size() != 2 && w.size() != 3) || !Parse_Byte_Number(w[1], 255, &fault) ||
        (w.size() == 3 && !Parse_Byte_Number(w[2], 255, &value)))
        return Bad(w, "fault FAULT [VALUE]");
    if (w.size() == 3) {
        if (!Vanlpt_Set_Simulated_Fault(static_cast<int>(fault), value))
            return Error(Vanlpt_Last_Error());
        return "ok\n";
    }
    if (!Vanlpt_Simulated_Fault(static_cast<int>(fault), &value)) return Error(Vanlpt_Last_Error());
    return "ok " + std::to_string(value) + "\n";
}

std::string BoardServer::Routing() {
    unsigned char enabled[16], input[16], gain[16];
    if (!Vanlpt_Crosspoint_Routing(enabled, input, gain))
        return Error(
            "the crosspoint routing of this board is not known (a real board's cannot be read)");
    std::string answer = "ok";
    for (int o = 0; o < 16; ++o)
        answer += " " + std::to_string(enabled[o]) + ":" + std::to_string(input[o]) + ":" +
                  std::to_string(gain[o]);
    return answer + "\n";
}

std::string BoardServer::Set_Bus(Client& c, const std::vector<std::string>& w) {
    constexpr const char* form = "bus WR RD ADDR CS BUSY TIMEOUT MASK, each role PIN:LEVEL";
    if (w.size() != 8) return Bad(w, form);
    Bus bus;
    BusPin* roles[] = {&bus.wiring.wr, &bus.wiring.rd, &bus.wiring.addr, &bus.wiring.cs,
                       &bus.wiring.busy};
    for (int r = 0; r < 5; ++r) {
        const std::string& role = w[1 + r];
        const std::size_t colon = role.find(':');
        unsigned pin = 0, level = 0;
        if (colon == std::string::npos || !Parse_Byte_Number(role.substr(0, colon), 25, &pin) ||
            !Parse_Byte_Number(role.substr(colon + 1), 1, &level))
            return Bad(w, form);
        *roles[r] = {static_cast<int>(pin), static_cast<int>(level)};
    }
    unsigned timeout = 0;
    if (!Parse_Byte_Number(w[6], 0xFFFFFFFFu, &timeout) || !Parse_Byte_Number(w[7], 255, &bus.mask))
        return Bad(w, form);
    bus.wiring.busy_timeout = timeout;
    c.bus = bus;
    return "ok\n";
}

std::string BoardServer::Identify(Client& c, const std::vector<std::string>& w) {
    unsigned pid = 0;
    if (w.size() != 4 || !Parse_Byte_Number(w[2], 0x7FFFFFFF, &pid))
        return Bad(w, "client PROGRAM PID USER");
    c.program = Clean_Name(w[1]);
    // A Unix socket says who is at the other end; only TCP peers are taken at their word.
    if (!c.peer_known) {
        c.pid = pid;
        c.user = Clean_Name(w[3]);
    }
    return "ok\n";
}
