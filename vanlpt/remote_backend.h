// RemoteBackend: a board that another process serves (osdex serve), reached over a Unix or
// TCP socket with the board server's text protocol (docs/board-server.md). Each library call
// is one line. Calls that return nothing (register writes, pins, raw registers) are sent
// without waiting for their answers, at most kWindow unanswered at a time; anything that
// returns a value first collects the answers of everything sent before it. A server that
// goes away is a fault: every later transaction fails with that reason until the port is
// selected again, which connects afresh.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "vanlpt/backend.h"
#include "vanlpt/socket_stream.h"

namespace vanlpt {

class RemoteBackend : public Backend, private SimulatedExtras {
public:
    // Unanswered lines at most; the answers are collected before more are sent.
    static constexpr std::size_t kWindow = 512;
    // Transactions of a list sent in one request: well below the server's largest payload.
    static constexpr std::size_t kRunChunk = 1u << 20;

    // target.device: unix:PATH, tcp:HOST:PORT, or server[:NAME] for the default socket.
    RemoteBackend(const PortTarget& target, unsigned wait_ms);

    std::string Describe() const override;
    // Request lines sent so far, for tests and figures.
    unsigned long Requests() const { return requests_; }
    std::string Name() const override { return "remote"; }
    bool Checked_At_Start() const override { return true; }

    bool Open(const BusSettings& bus, std::string* error) override;
    void Close() override;
    const char* Fault() const override { return fault_.empty() ? nullptr : fault_.c_str(); }
    void Configure(const BusSettings& bus) override;

    std::uint8_t Get(PortRegister reg) override;
    void Set(PortRegister reg, std::uint8_t value) override;
    void Set_Register(unsigned offset, std::uint8_t value) override;
    void Set_Data_Enable(bool drive) override;
    int Read_Pin(int pin) override;
    void Write_Pin(int pin, int level) override;

    bool Write(std::uint8_t address, std::uint8_t data, std::string* error) override;
    bool Read(std::uint8_t address, std::uint8_t* data, std::string* error) override;
    // The list goes as one request per kRunChunk transactions (docs/board-server.md, cycles).
    bool Run(Vanlpt_Transaction* list, std::size_t count, std::size_t* done,
             std::string* error) override;
    Deferred Flush() override;
    unsigned long Take_Highest_Count() override;
    unsigned long Foreign_Changes() override;

    std::string Hold() override;
    void Release() override;
    SimulatedExtras* Extras() override;
    std::string Shutdown() override;

private:
    enum class Expect : std::uint8_t { Write, Plain };

    bool Connect(std::string* error);
    void Disconnect();
    void Lost(const std::string& reason);
    std::string Where() const;
    // The bus settings go out before the next line that runs a cycle.
    void Send_Bus();
    void Queue(Expect expect, const std::string& line);
    bool Send_Queued();
    bool Collect_Answer();
    void Drain();
    // Sends line after everything held back and returns its answer; false when the server
    // is gone (*answer then says why, as an error line does).
    bool Ask(const std::string& line, std::string* answer, std::string_view payload = {});
    bool Ask_Number(const std::string& line, long* value, std::string* error);
    void Note_Busy(std::string_view answer);
    bool Run_Chunk(Vanlpt_Transaction* list, std::size_t count, std::size_t* done,
                   std::string* error);

    std::string Channel_Frame(int channel, unsigned frame_number, std::uint32_t* pixels,
                              int* changed) override;
    std::string Set_Video_Source(int channel, int source, const std::uint32_t* picture, int width,
                                 int height) override;
    int Video_Source(int channel, std::string* error) override;
    std::string Set_Fault(int fault, unsigned value) override;
    std::string Fault_Value(int fault, unsigned* value) override;
    void Clear_Faults() override;
    bool Routing(unsigned char enabled[16], unsigned char input[16],
                 unsigned char gain[16]) override;

    std::string target_;
    unsigned wait_ms_;
    std::string endpoint_;  // where it connected, or would
    SocketStream stream_;
    std::string served_;  // what the server said it serves
    bool has_extras_ = false;
    unsigned idle_ms_ = 0;  // how long the server lets a quiet client keep the board
    std::string fault_;
    BusSettings bus_;
    bool bus_sent_ = false;
    std::string out_;
    std::deque<Expect> unanswered_;
    Deferred deferred_;
    unsigned long highest_ = 0;
    unsigned long foreign_ = 0;
    unsigned long requests_ = 0;
    bool held_ = false;  // held on purpose until released
    std::chrono::steady_clock::time_point last_sent_{};
    std::vector<std::uint32_t> frames_[8];  // the last frame of each channel, as sent
};

}  // namespace vanlpt

namespace vanlpt {

// Where board servers put their sockets by default: $XDG_RUNTIME_DIR/osdex, else
// /tmp/osdex-UID.
std::string Default_Server_Folder();

}  // namespace vanlpt
