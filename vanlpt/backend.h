// Backend: what stands behind one of LPT1..LPT3, at the level of the library's operations.
// The library keeps one per port and calls it without knowing which it is: the simulated
// board, a real port (ppdev, direct I/O), a board served by another process, or nothing.
// A new kind of port is one Backend and one row of the target table (backend_table.h).
//
// The rule for backends that hold writes back (a served board): anything that returns a
// value (Get, Read_Pin, Read, Close) first sends what is held back.
#pragma once

#include <cstdint>
#include <string>

#include "vanlpt/bus_engine.h"
#include "vanlpt/port_lines.h"
#include "vanlpt/port_mapping.h"
#include "vanlpt/vanlpt.h"

namespace board {
class SimulatedBoard;
class SimulatedPort;
}  // namespace board

namespace vanlpt {

// The chip bus as the caller set it up: it outlives a switch from one port to another.
struct BusSettings {
    PinRole roles[5];  // by BusRole
    unsigned long timeout = kDefaultBusyTimeout;
    std::uint8_t enable_mask = kDefaultDataEnableMask;

    PinRole& Role(BusRole role) { return roles[static_cast<int>(role)]; }
    const PinRole& Role(BusRole role) const { return roles[static_cast<int>(role)]; }
    bool operator==(const BusSettings&) const = default;
};

enum class PortRegister { Data, Status, Control };

// Writes accepted inside a batch that failed when they reached the chip.
struct Deferred {
    unsigned long failed = 0;
    std::string last_error;
};

// What only a simulated board has, wherever it runs: its video output, its faults and its
// crosspoint routing. Failures come back as messages ("" on success).
class SimulatedExtras {
public:
    virtual ~SimulatedExtras() = default;
    virtual std::string Channel_Frame(int channel, unsigned frame_number, std::uint32_t* pixels,
                                      int* changed) = 0;
    virtual std::string Set_Video_Source(int channel, int source, const std::uint32_t* picture,
                                         int width, int height) = 0;
    // The channel's VANLPT_VIDEO_... number; -1 with *error for a bad channel.
    virtual int Video_Source(int channel, std::string* error) = 0;
    virtual std::string Set_Fault(int fault, unsigned value) = 0;
    virtual std::string Fault_Value(int fault, unsigned* value) = 0;
    virtual void Clear_Faults() = 0;
    // Output by output: enabled 0/1, input 0..31, gain 1/2. False when not known.
    virtual bool Routing(unsigned char enabled[16], unsigned char input[16],
                         unsigned char gain[16]) = 0;
};

class Backend {
public:
    virtual ~Backend() = default;

    // What stands behind the port: "simulated board", "/dev/parport0 (ppdev)", ...
    virtual std::string Describe() const = 0;
    // A short name of the target for file names: "sim", "bench", "parport0", "io-0x378".
    virtual std::string Name() const = 0;
    // Whether the start-up check of the ports tries to open it (a real port or a server).
    virtual bool Checked_At_Start() const { return false; }
    // Why the port cannot be used whatever is tried ("" when it can), and whether that is
    // because of what the target names (a damaged board file).
    virtual std::string Unusable() const { return ""; }
    virtual bool Input_Error() const { return false; }

    // Select: claim, attach or connect. False with *error saying why; an empty *error means
    // there is nothing behind the port at all.
    virtual bool Open(const BusSettings& bus, std::string* error) = 0;
    // Deselect: what is held back is sent, then the port is let go.
    virtual void Close() = 0;
    // Why the open port stopped working, or nullptr while it works.
    virtual const char* Fault() const = 0;
    virtual void Configure(const BusSettings& bus) = 0;

    virtual std::uint8_t Get(PortRegister reg) = 0;
    virtual void Set(PortRegister reg, std::uint8_t value) = 0;
    virtual void Set_Register(unsigned offset, std::uint8_t value) = 0;
    virtual void Set_Data_Enable(bool drive) = 0;
    virtual int Read_Pin(int pin) = 0;
    virtual void Write_Pin(int pin, int level) = 0;

    // One register cycle each. Write: true when done, or accepted inside a batch. False with
    // *error on failure. Read flushes first.
    virtual bool Write(std::uint8_t address, std::uint8_t data, std::string* error) = 0;
    virtual bool Read(std::uint8_t address, std::uint8_t* data, std::string* error) = 0;
    // A list of cycles in order, up to the first failure: *done is how many succeeded, and
    // *error says why the next one failed. Ports of this machine run them one by one.
    virtual bool Run(Vanlpt_Transaction* list, std::size_t count, std::size_t* done,
                     std::string* error);
    // Inside a batch a backend may hold writes back; Flush sends them and returns those that
    // failed and were not reported yet.
    virtual Deferred Flush() { return {}; }
    // The highest busy-wait count since the last call, which starts the count afresh.
    virtual unsigned long Take_Highest_Count() = 0;
    // How many changes other users of a shared board made; grows only. 0 for a board that
    // this process alone uses.
    virtual unsigned long Foreign_Changes() { return 0; }

    // Keeps a shared board for this process alone until Release (or Close): "" when it is
    // held, else why not. A board of this process alone needs nothing.
    virtual std::string Hold() { return ""; }
    virtual void Release() {}

    // The board's video, faults and routing; nullptr unless the board is simulated.
    virtual SimulatedExtras* Extras() { return nullptr; }
    // The normal end of the run: a board kept in a file is written back when it changed.
    // The reason when it could not be ("" when it is in its file or has no file).
    virtual std::string Shutdown() { return ""; }
    // A simulated target that the new target names too, and that can stay as it is.
    virtual bool Keeps(const PortTarget& target) const {
        (void)target;
        return false;
    }

    // For tests and tools: the board and port of a simulated target.
    virtual board::SimulatedBoard* Simulated_Board() { return nullptr; }
    virtual board::SimulatedPort* Simulated_Port() { return nullptr; }
};

}  // namespace vanlpt
