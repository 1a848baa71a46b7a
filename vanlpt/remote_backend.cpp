#include "vanlpt/remote_backend.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>

#include "vanlpt/device_calls.h"
#include "vanlpt/report.h"
#include "vanlpt/vanlpt.h"

namespace vanlpt {

namespace {

constexpr std::size_t kSendAt = 32 * 1024;  // bytes held back before they go out anyway
constexpr std::size_t kFrameBytes = VANLPT_FRAME_WIDTH * VANLPT_FRAME_HEIGHT * 4;

std::string User_Name() {
    const std::string name = This_User_Name();
    return name.empty() ? std::to_string(geteuid()) : name;
}

std::string Program_Name() {
    const std::string name = This_Program_Name();
    return name.empty() ? "unknown" : name;
}

// A name in a line is one word.
std::string One_Word(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c <= ' ' || c == 127; }, '_');
    return text;
}

bool Is_Ok(std::string_view answer) {
    return answer == "ok" || answer.starts_with("ok ");
}

// The error line's sentence, without "error " and a leading busy=N.
std::string Error_Text(std::string_view answer) {
    if (answer.starts_with("error")) answer.remove_prefix(5);
    while (!answer.empty() && answer.front() == ' ') answer.remove_prefix(1);
    if (answer.starts_with("busy=")) {
        const std::size_t space = answer.find(' ');
        answer = space == std::string_view::npos ? std::string_view() : answer.substr(space + 1);
    }
    return answer.empty() ? "the board server refused it" : std::string(answer);
}

// The words of an answer after "ok".
std::vector<std::string_view> Words(std::string_view answer) {
    std::vector<std::string_view> words;
    while (!answer.empty()) {
        const std::size_t space = answer.find(' ');
        if (space != 0) words.push_back(answer.substr(0, space));
        if (space == std::string_view::npos) break;
        answer.remove_prefix(space + 1);
    }
    if (!words.empty()) words.erase(words.begin());
    return words;
}

bool To_Number(std::string_view text, long* value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, *value);
    return ec == std::errc() && ptr == end;
}

long Last_Number(std::string_view answer) {
    long value = -1;
    const auto words = Words(answer);
    if (words.empty() || !To_Number(words.back(), &value)) return -1;
    return value;
}

// "error step=K busy=H REASON": the index of transaction K (counted from 1 on the wire), and
// the answer without its step for Error_Text.
std::size_t Failed_Step(std::string* answer, std::size_t count) {
    constexpr std::string_view prefix = "error step=";
    if (!answer->starts_with(prefix)) return 0;
    const std::size_t space = answer->find(' ', prefix.size());
    long step = 0;
    To_Number(std::string_view(*answer).substr(prefix.size(), space - prefix.size()), &step);
    *answer = "error " + (space == std::string::npos ? "" : answer->substr(space + 1));
    return step >= 1 && static_cast<std::size_t>(step) <= count ? static_cast<std::size_t>(step - 1)
                                                                : 0;
}

const char* Register_Word(PortRegister reg) {
    switch (reg) {
        case PortRegister::Data:
            return "data";
        case PortRegister::Status:
            return "status";
        case PortRegister::Control:
            return "control";
    }
    return "data";
}

// server[:NAME]: the one socket in the default folder, or the one named.
bool Default_Socket(std::string_view target, std::string* endpoint, std::string* error) {
    const std::string folder = Default_Server_Folder();
    if (target.starts_with("server:")) {
        *endpoint = "unix:" + folder + "/" + std::string(target.substr(7)) + ".sock";
        return true;
    }
    std::vector<std::string> sockets;
    for (const std::string& name : System_Device_Calls().List_Folder(folder))
        if (name.size() > 5 && name.ends_with(".sock")) sockets.push_back(name);
    std::sort(sockets.begin(), sockets.end());
    if (sockets.size() == 1) {
        *endpoint = "unix:" + folder + "/" + sockets[0];
        return true;
    }
    if (sockets.empty()) {
        *error = "no board server runs here (no socket in " + Printable(folder) +
                 "): start one with osdex serve";
        return false;
    }
    std::string names;
    for (const std::string& s : sockets)
        names += (names.empty() ? "" : ", ") + Printable(s.substr(0, s.size() - 5));
    *error = "several board servers run here (" + names +
             "): name one, e.g. server:" + Printable(sockets[0].substr(0, sockets[0].size() - 5));
    return false;
}

}  // namespace

std::string Default_Server_Folder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/') return std::string(runtime) + "/osdex";
    return "/tmp/osdex-" + std::to_string(getuid());
}

RemoteBackend::RemoteBackend(const PortTarget& target, unsigned wait_ms)
    : target_(target.device), wait_ms_(wait_ms) {
    if (!target_.starts_with("server")) endpoint_ = target_;
}

std::string RemoteBackend::Where() const {
    return Printable(endpoint_.empty() ? target_ : endpoint_);
}

std::string RemoteBackend::Describe() const {
    std::string text = "board server at " + Where();
    if (!served_.empty()) text += " serving " + served_;
    return text;
}

void RemoteBackend::Lost(const std::string& reason) {
    if (fault_.empty())
        fault_ = "the board server at " + Where() + " is gone (" + reason +
                 "); start it again and select the port again";
    stream_.Close();
    out_.clear();
    deferred_.failed += std::count(unanswered_.begin(), unanswered_.end(), Expect::Write);
    if (deferred_.last_error.empty()) deferred_.last_error = fault_;
    unanswered_.clear();
}

// The greeting names the protocol, how long a quiet client keeps the board, whether the
// board has the simulated extras, and what it is.
bool RemoteBackend::Connect(std::string* error) {
    if (stream_.Is_Open()) return true;
    fault_.clear();
    if (target_.starts_with("server") && !Default_Socket(target_, &endpoint_, error)) return false;
    Endpoint endpoint;
    std::string reason;
    if (!Parse_Endpoint(endpoint_, &endpoint) || !stream_.Connect(endpoint, &reason)) {
        *error = "no board server answers at " + Where() + " (" + reason +
                 "): start one there with osdex serve";
        return false;
    }
    std::string greeting;
    const std::string expected = "osdex-board " + std::to_string(VANLPT_BOARD_PROTOCOL) + " ";
    if (!stream_.Read_Line(&greeting, &reason) || !greeting.starts_with(expected)) {
        *error = Where() + " is no board server of protocol " +
                 std::to_string(VANLPT_BOARD_PROTOCOL) + " (it said " + Quoted(greeting) + ")";
        stream_.Close();
        return false;
    }
    const auto words = Words(greeting);
    long idle = 0;
    if (words.size() >= 3 && words[1].starts_with("idle=")) To_Number(words[1].substr(5), &idle);
    idle_ms_ = static_cast<unsigned>(std::max(idle, 0L));
    has_extras_ = words.size() >= 3 && words[2] == "extras";
    served_ = words.size() >= 4 ? Printable(greeting.substr(
                                      static_cast<std::size_t>(words[3].data() - greeting.data())))
                                : "";
    bus_sent_ = false;
    std::string answer;
    const std::string hello = "client " + One_Word(Program_Name()) + " " +
                              std::to_string(getpid()) + " " + One_Word(User_Name());
    if (!Ask(hello, &answer) || !Ask("wait " + std::to_string(wait_ms_), &answer)) {
        *error = fault_;
        return false;
    }
    return true;
}

void RemoteBackend::Disconnect() {
    stream_.Close();
    out_.clear();
    unanswered_.clear();
}

bool RemoteBackend::Open(const BusSettings& bus, std::string* error) {
    if (!fault_.empty()) Disconnect();
    if (!Connect(error)) return false;
    Configure(bus);
    std::string answer;
    if (!Ask("select", &answer) || !Is_Ok(answer)) {
        *error = Is_Ok(answer) ? fault_ : Error_Text(answer);
        return false;
    }
    return true;
}

void RemoteBackend::Close() {
    held_ = false;
    if (!stream_.Is_Open()) return;
    std::string answer;
    Ask("release", &answer);
}

void RemoteBackend::Configure(const BusSettings& bus) {
    if (bus == bus_) return;
    bus_ = bus;
    bus_sent_ = false;
}

void RemoteBackend::Send_Bus() {
    if (bus_sent_) return;
    std::string line = "bus";
    for (const PinRole& role : bus_.roles)
        line += " " + std::to_string(role.pin) + ":" + std::to_string(role.active_level);
    line += " " + std::to_string(bus_.timeout) + " " + std::to_string(bus_.enable_mask);
    Queue(Expect::Plain, line);
    bus_sent_ = true;
}

void RemoteBackend::Queue(Expect expect, const std::string& line) {
    if (!stream_.Is_Open()) return;
    out_ += line;
    out_ += '\n';
    ++requests_;
    unanswered_.push_back(expect);
    last_sent_ = std::chrono::steady_clock::now();
    if (unanswered_.size() >= kWindow) {
        // Both sides would block on full buffers if the answers were left to pile up.
        if (!Send_Queued()) return;
        while (unanswered_.size() > kWindow / 2 && Collect_Answer()) {
        }
    } else if (out_.size() >= kSendAt) {
        Send_Queued();
    }
}

bool RemoteBackend::Send_Queued() {
    if (out_.empty()) return stream_.Is_Open();
    std::string reason;
    if (!stream_.Write_All(out_, &reason)) {
        Lost(reason);
        return false;
    }
    out_.clear();
    return true;
}

void RemoteBackend::Note_Busy(std::string_view answer) {
    for (std::string_view word : Words(answer)) {
        long polls = 0;
        if (word.starts_with("busy=") && To_Number(word.substr(5), &polls))
            highest_ = std::max(highest_, static_cast<unsigned long>(polls));
    }
}

// Reads the answer to the oldest unanswered line.
bool RemoteBackend::Collect_Answer() {
    std::string answer, reason;
    if (!stream_.Read_Line(&answer, &reason)) {
        Lost(reason);
        return false;
    }
    const Expect expect = unanswered_.front();
    unanswered_.pop_front();
    if (answer.starts_with("error ") || answer == "error") {
        // Pins and raw registers have no failure to report; a write's is counted.
        if (expect != Expect::Write) return true;
        if (answer.starts_with("error busy=")) Note_Busy("error " + answer.substr(6));
        if (deferred_.failed++ == 0) deferred_.last_error = Error_Text(answer);
        return true;
    }
    if (expect == Expect::Write) Note_Busy(answer);
    return true;
}

void RemoteBackend::Drain() {
    if (Send_Queued())
        while (!unanswered_.empty() && Collect_Answer()) {
        }
}

Deferred RemoteBackend::Flush() {
    Drain();
    Deferred done = deferred_;
    deferred_ = {};
    return done;
}

bool RemoteBackend::Ask(const std::string& line, std::string* answer, std::string_view payload) {
    answer->clear();
    if (!stream_.Is_Open()) {
        *answer = "error " + (fault_.empty() ? std::string("not connected") : fault_);
        return false;
    }
    // What was held back goes first; its failures stay for the next Flush.
    Drain();
    std::string reason;
    ++requests_;
    last_sent_ = std::chrono::steady_clock::now();
    if (!stream_.Write_All(line + "\n", &reason) ||
        (!payload.empty() && !stream_.Write_All(payload, &reason)) ||
        !stream_.Read_Line(answer, &reason)) {
        Lost(reason);
        *answer = "error " + fault_;
        return false;
    }
    return true;
}

bool RemoteBackend::Ask_Number(const std::string& line, long* value, std::string* error) {
    std::string answer;
    Ask(line, &answer);
    *value = Is_Ok(answer) ? Last_Number(answer) : -1;
    if (*value >= 0) return true;
    *error = Error_Text(answer);
    return false;
}

std::uint8_t RemoteBackend::Get(PortRegister reg) {
    long value = 0;
    std::string error;
    return Ask_Number(std::string("get ") + Register_Word(reg), &value, &error)
               ? static_cast<std::uint8_t>(value)
               : 0;
}

void RemoteBackend::Set(PortRegister reg, std::uint8_t value) {
    if (reg == PortRegister::Status) return;
    Queue(Expect::Plain, std::string("set ") + Register_Word(reg) + " " + std::to_string(value));
}

void RemoteBackend::Set_Register(unsigned offset, std::uint8_t value) {
    Queue(Expect::Plain, "setreg " + std::to_string(offset) + " " + std::to_string(value));
}

void RemoteBackend::Set_Data_Enable(bool drive) {
    Send_Bus();  // the data-enable mask travels with the bus settings
    Queue(Expect::Plain, drive ? "drive 1" : "drive 0");
}

int RemoteBackend::Read_Pin(int pin) {
    long value = 0;
    std::string error;
    return Ask_Number("pin " + std::to_string(pin), &value, &error) && value == 1 ? 1 : 0;
}

void RemoteBackend::Write_Pin(int pin, int level) {
    Queue(Expect::Plain, "pin " + std::to_string(pin) + " " + (level != 0 ? "1" : "0"));
}

bool RemoteBackend::Write(std::uint8_t address, std::uint8_t data, std::string* error) {
    if (!stream_.Is_Open()) {
        *error = fault_.empty() ? "no port selected: call Select_LPT_123 first" : fault_;
        return false;
    }
    Send_Bus();
    Queue(Expect::Write, "wrreg " + std::to_string(address) + " " + std::to_string(data));
    return true;
}

bool RemoteBackend::Read(std::uint8_t address, std::uint8_t* data, std::string* error) {
    if (data == nullptr) {
        *error = "register read without a place for the value";
        return false;
    }
    if (!stream_.Is_Open()) {
        *error = fault_.empty() ? "no port selected: call Select_LPT_123 first" : fault_;
        return false;
    }
    Send_Bus();
    std::string answer;
    Ask("rdreg " + std::to_string(address), &answer);
    Note_Busy(answer.starts_with("error busy=") ? "error " + answer.substr(6) : answer);
    const long value = Is_Ok(answer) ? Last_Number(answer) : -1;
    if (value < 0 || value > 255) {
        *error = Error_Text(answer);
        return false;
    }
    *data = static_cast<std::uint8_t>(value);
    return true;
}

bool RemoteBackend::Run(Vanlpt_Transaction* list, std::size_t count, std::size_t* done,
                        std::string* error) {
    *done = 0;
    if (!stream_.Is_Open()) {
        *error = fault_.empty() ? "no port selected: call Select_LPT_123 first" : fault_;
        return false;
    }
    Send_Bus();
    while (*done < count) {
        std::size_t ran = 0;
        const std::size_t part = std::min(count - *done, kRunChunk);
        const bool ok = Run_Chunk(list + *done, part, &ran, error);
        *done += ran;
        if (!ok) return false;
    }
    return true;
}

// Three bytes a transaction (read flag, address, data); the answer carries the values read,
// in order, as its payload.
bool RemoteBackend::Run_Chunk(Vanlpt_Transaction* list, std::size_t count, std::size_t* done,
                              std::string* error) {
    std::string payload;
    payload.reserve(count * 3);
    std::size_t reads = 0;
    for (std::size_t i = 0; i < count; ++i) {
        payload += static_cast<char>(list[i].read ? 1 : 0);
        payload += static_cast<char>(list[i].address);
        payload += static_cast<char>(list[i].read ? 0 : list[i].data);
        reads += list[i].read ? 1 : 0;
    }
    std::string answer, reason;
    const bool answered = Ask("cycles " + std::to_string(payload.size()), &answer, payload);
    Note_Busy(answer);
    if (!answered || !Is_Ok(answer)) {
        *done = Failed_Step(&answer, count);
        *error = Error_Text(answer);
        return false;
    }
    const long sent = Last_Number(answer);
    if (sent < 0 || static_cast<std::size_t>(sent) != reads) {
        Lost("it answered " + Quoted(answer) + " to " + std::to_string(reads) + " reads");
        *error = fault_;
        return false;
    }
    std::string values(reads, '\0');
    if (reads > 0 && !stream_.Read_Bytes(values.data(), reads, &reason)) {
        Lost(reason);
        *error = fault_;
        return false;
    }
    std::size_t next = 0;
    for (std::size_t i = 0; i < count; ++i)
        if (list[i].read) list[i].data = static_cast<std::uint8_t>(values[next++]);
    *done = count;
    return true;
}

unsigned long RemoteBackend::Take_Highest_Count() {
    const unsigned long highest = highest_;
    highest_ = 0;
    return highest;
}

// While this client has surely kept the board (it sent something less than half the
// server's idle time ago, and the server counts from when it answered), nobody else can
// have changed it; otherwise the server is asked, which also takes the board.
unsigned long RemoteBackend::Foreign_Changes() {
    if (!stream_.Is_Open() || held_) return foreign_;
    const auto quiet = std::chrono::steady_clock::now() - last_sent_;
    if (quiet < std::chrono::milliseconds(idle_ms_) / 2) return foreign_;
    long value = 0;
    std::string error;
    if (Ask_Number("changes", &value, &error)) foreign_ = static_cast<unsigned long>(value);
    return foreign_;
}

std::string RemoteBackend::Hold() {
    if (!stream_.Is_Open()) return fault_.empty() ? "no port selected" : fault_;
    std::string answer, error;
    if (!Ask("hold", &answer) || !Is_Ok(answer)) return Error_Text(answer);
    held_ = true;
    long value = 0;
    if (Ask_Number("changes", &value, &error)) foreign_ = static_cast<unsigned long>(value);
    return "";
}

void RemoteBackend::Release() {
    if (!held_ || !stream_.Is_Open()) return;
    held_ = false;
    Queue(Expect::Plain, "release");
    // Held back, it would keep the board from the others for as long as this one is quiet.
    Send_Queued();
}

SimulatedExtras* RemoteBackend::Extras() {
    std::string error;
    if (!Connect(&error)) {
        if (fault_.empty()) fault_ = error;
        return nullptr;
    }
    return has_extras_ ? this : nullptr;
}

std::string RemoteBackend::Shutdown() {
    if (stream_.Is_Open()) Flush();
    Disconnect();
    return "";
}

std::string RemoteBackend::Channel_Frame(int channel, unsigned frame_number, std::uint32_t* pixels,
                                         int* changed) {
    if (channel < 0 || channel >= 8)
        return "there is no channel " + std::to_string(channel) + ": the channels are 0 to 7";
    if (pixels == nullptr) return "no pixels to put the frame into";
    std::string answer, reason;
    if (!Ask("frame " + std::to_string(channel) + " " + std::to_string(frame_number), &answer) ||
        !Is_Ok(answer))
        return Error_Text(answer);
    const auto words = Words(answer);
    long bytes = -1, fresh = 0;
    if (words.size() != 2 || !To_Number(words[0], &bytes) || !To_Number(words[1], &fresh) ||
        (bytes != 0 && static_cast<std::size_t>(bytes) != kFrameBytes)) {
        Lost("it answered " + Quoted(answer));
        return fault_;
    }
    std::vector<std::uint32_t>& frame = frames_[channel];
    if (bytes > 0) {
        frame.resize(kFrameBytes / 4);
        if (!stream_.Read_Bytes(frame.data(), kFrameBytes, &reason)) {
            Lost(reason);
            return fault_;
        }
    }
    if (frame.empty())
        return "the board server sent no frame of channel " + std::to_string(channel);
    std::copy(frame.begin(), frame.end(), pixels);
    if (changed) *changed = fresh != 0 ? 1 : 0;
    return "";
}

std::string RemoteBackend::Set_Video_Source(int channel, int source, const std::uint32_t* picture,
                                            int width, int height) {
    std::string line = "video " + std::to_string(channel) + " " + std::to_string(source);
    std::string_view payload;
    if (source == VANLPT_VIDEO_PICTURE) {
        if (picture == nullptr) return "a picture source needs its pixels";
        if (width <= 0 || height <= 0 || std::int64_t{width} * height > (1 << 26))
            return "a picture of " + std::to_string(width) + " x " + std::to_string(height) +
                   " pixels cannot be a video source (1 to 2^26 pixels)";
        const std::size_t bytes = static_cast<std::size_t>(width) * height * 4;
        line += " " + std::to_string(width) + " " + std::to_string(height) + " " +
                std::to_string(bytes);
        payload = {reinterpret_cast<const char*>(picture), bytes};
    }
    std::string answer;
    Ask(line, &answer, payload);
    return Is_Ok(answer) ? "" : Error_Text(answer);
}

int RemoteBackend::Video_Source(int channel, std::string* error) {
    long value = -1;
    if (!Ask_Number("video " + std::to_string(channel), &value, error)) return -1;
    return static_cast<int>(value);
}

std::string RemoteBackend::Set_Fault(int fault, unsigned value) {
    std::string answer;
    Ask("fault " + std::to_string(fault) + " " + std::to_string(value), &answer);
    return Is_Ok(answer) ? "" : Error_Text(answer);
}

std::string RemoteBackend::Fault_Value(int fault, unsigned* value) {
    if (value == nullptr) return "no place for the fault's value";
    long number = -1;
    std::string error;
    if (!Ask_Number("fault " + std::to_string(fault), &number, &error)) return error;
    *value = static_cast<unsigned>(number);
    return "";
}

void RemoteBackend::Clear_Faults() {
    if (!stream_.Is_Open()) return;
    std::string answer;
    Ask("faults clear", &answer);
}

bool RemoteBackend::Routing(unsigned char enabled[16], unsigned char input[16],
                            unsigned char gain[16]) {
    std::string answer;
    if (!Ask("routing", &answer) || !Is_Ok(answer)) return false;
    const auto words = Words(answer);
    if (words.size() != 16) return false;
    for (std::size_t o = 0; o < 16; ++o) {
        long e = 0, i = 0, g = 0;
        const std::string_view w = words[o];
        const std::size_t a = w.find(':'), b = w.rfind(':');
        if (a == b || !To_Number(w.substr(0, a), &e) ||
            !To_Number(w.substr(a + 1, b - a - 1), &i) || !To_Number(w.substr(b + 1), &g))
            return false;
        enabled[o] = static_cast<unsigned char>(e);
        input[o] = static_cast<unsigned char>(i);
        gain[o] = static_cast<unsigned char>(g);
    }
    return true;
}

}  // namespace vanlpt
