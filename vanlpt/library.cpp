// The port library's process-wide state and its C interface: the selected port, the
// shadowed pins over it, the bus engine, and the backend behind each of LPT1..LPT3.
// Single-threaded like its callers.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <string>

#include "board/simulated_board.h"
#include "board/simulated_port.h"
#include "vanlpt/board_state_file.h"
#include "vanlpt/bus_engine.h"
#include "vanlpt/device_calls.h"
#include "vanlpt/direct_io_port.h"
#include "vanlpt/port_doctor.h"
#include "vanlpt/port_lines.h"
#include "vanlpt/port_mapping.h"
#include "vanlpt/ppdev_port.h"
#include "vanlpt/report.h"
#include "vanlpt/simulated_faults.h"
#include "vanlpt/simulated_raw_port.h"
#include "vanlpt/simulated_video.h"
#include "vanlpt/vanlpt.h"
#include "vanlpt/vanlpt_testing.h"

namespace vanlpt {

namespace {

// One of LPT1..LPT3: its target and, when simulated, the board on its cable.
struct Slot {
    PortTarget target;
    std::unique_ptr<board::SimulatedBoard> board;
    std::unique_ptr<board::SimulatedPort> sim_port;
    std::unique_ptr<SimulatedRawPort> sim_raw;
    RawPort* custom = nullptr;                   // installed by a test, not owned
    std::string fell_back_from;                  // the real port the simulated board stands in for
    std::unique_ptr<BoardStateFile> state_file;  // sim:FILE: locked while in use
    std::string unusable;      // why this simulated board cannot be used (its state file)
    bool input_error = false;  // ... because of what the file holds
    // sim:FILE: what the file holds, or what could not go into it (1.4 MB: only for a file).
    std::unique_ptr<BoardState> kept;
    std::string save_error;  // why `kept` is not in the file; "" when it is
};

struct Library {
    std::array<Slot, kPortCount> slots;
    bool mapping_ready = false;
    DeviceCalls* calls = &System_Device_Calls();
    IoAccess* io = System_Io_Access();
    std::unique_ptr<RawPort> real;  // the opened real port, when one is selected
    int selected = 0;
    PortLines lines;
    BusEngine engine{lines};
    std::string error;
    std::string open_failure;     // why the last real port did not open, without its LPTn
    std::string mapping_problem;  // what is wrong with VANLPT_PORTS; "" when it is good
    unsigned lock_wait_ms = 0;    // for sim:FILE targets without a ?wait= of their own
};

// Never destroyed: module end steps of the program may still reach the port while static
// objects go away. The kernel releases a claimed ppdev port when the process ends.
Library& Lib() {
    static Library* library = new Library;
    return *library;
}

std::string Lpt(int n) {
    return "LPT" + std::to_string(n);
}

bool Is_Real(TargetKind kind) {
    return kind == TargetKind::Ppdev || kind == TargetKind::DirectIo;
}

// Every way a real port is made usable, for the end of each report about one.
constexpr const char* kRealPortAdvice =
    "For a real port: load the ppdev driver (sudo modprobe ppdev), unload the printer driver "
    "that holds the port (sudo rmmod lp), and join group lp (sudo usermod -aG lp $USER, then "
    "log in again). Direct I/O (VANLPT_PORTS=1=io:0x378) needs root or CAP_SYS_RAWIO and a "
    "kernel without lockdown (Secure Boot off).";

void Deselect() {
    Library& L = Lib();
    if (L.real) L.engine.Park();  // a real port is let go of with CS raised, the bus idle
    L.lines.Attach(nullptr);
    L.real.reset();
    L.selected = 0;
}

// A simulated board appears on the cable powered up, as when the board is switched on.
void Build_Simulation(Slot& slot, bool with_board) {
    if (with_board) {
        slot.board = std::make_unique<board::SimulatedBoard>();
        slot.board->Power_Up();
    }
    slot.sim_port = std::make_unique<board::SimulatedPort>(slot.board.get());
    slot.sim_raw = std::make_unique<SimulatedRawPort>(*slot.sim_port);
}

// Writes a board kept in a file back when it differs from what the file holds. A failure is
// reported once, and the same state is not tried again.
void Save_State_File(Slot& slot) {
    if (!slot.state_file || !slot.board || !slot.unusable.empty()) return;
    if (slot.kept && Board_Holds(*slot.board, *slot.kept)) return;
    auto now = std::make_unique<BoardState>(Capture_Board_State(*slot.board));
    std::string error;
    slot.save_error.clear();
    if (!slot.state_file->Save(*now, &error)) {
        slot.save_error = error + "; the board's state of this run is lost";
        Report_Once(slot.save_error);
    }
    slot.kept = std::move(now);
}

// The boards kept in files go back to their files when the process ends normally.
void Save_State_Files();

// A board from a state file starts as the file left it, and the file stays locked to this
// process; a file that is in use or damaged makes the port unusable rather than lose it.
void Load_State_File(Slot& slot) {
    static const bool saved_at_exit = std::atexit(Save_State_Files) == 0;
    (void)saved_at_exit;
    const int own_wait = slot.target.lock_wait_ms;
    const unsigned wait = own_wait >= 0 ? static_cast<unsigned>(own_wait) : Lib().lock_wait_ms;
    std::string error;
    slot.state_file = BoardStateFile::Lock(slot.target.device, &error, wait);
    bool bad_input = false;
    auto loaded = std::make_unique<BoardState>();
    if (slot.state_file && slot.state_file->Load(loaded.get(), &error, &bad_input)) {
        Apply_Board_State(*loaded, slot.board.get());
        // What the board makes of the file (a file from a tool may hold bits no register
        // keeps), so that a run that changes nothing writes nothing.
        if (!Board_Holds(*slot.board, *loaded)) *loaded = Capture_Board_State(*slot.board);
        slot.kept = std::move(loaded);
        return;
    }
    slot.unusable = error;
    slot.input_error = bad_input;
    slot.state_file.reset();
}

// The slot's board file is let go: the lock released, nothing of it remembered.
void Forget_State_File(Slot& slot) {
    slot.state_file.reset();
    slot.unusable.clear();
    slot.input_error = false;
    slot.kept.reset();
    slot.save_error.clear();
}

// A port that stays simulated keeps its board (and what the board holds) unless `fresh`;
// a board file that could not be used is tried again.
void Set_Target(Slot& slot, const PortTarget& target, bool fresh) {
    bool keep = !fresh && slot.sim_raw != nullptr && slot.unusable.empty() &&
                slot.target.kind == target.kind && slot.target.device == target.device;
    if (keep) {
        slot.target = target;
        return;
    }
    Save_State_File(slot);
    slot.target = target;
    slot.fell_back_from.clear();  // a new target stands in for nothing
    Forget_State_File(slot);
    slot.sim_raw.reset();
    slot.sim_port.reset();
    slot.board.reset();
    if (target.kind == TargetKind::Simulated) Build_Simulation(slot, true);
    if (target.kind == TargetKind::Unplugged) Build_Simulation(slot, false);
    if (target.kind == TargetKind::Simulated && !target.device.empty()) Load_State_File(slot);
}

void Set_Mapping(const PortMapping& mapping, bool fresh) {
    Deselect();
    Library& L = Lib();
    for (int i = 0; i < kPortCount; ++i) Set_Target(L.slots[i], mapping[i], fresh);
    L.mapping_ready = true;
}

void Save_State_Files() {
    for (Slot& slot : Lib().slots) Save_State_File(slot);
}

PortMapping Current_Mapping() {
    PortMapping mapping;
    for (int i = 0; i < kPortCount; ++i) mapping[i] = Lib().slots[i].target;
    return mapping;
}

// The default mapping with the environment's entries over it. A bad entry is reported once
// and maps no port at all: the default could send the program's writes to a real port the
// user meant to keep out of it.
void Ensure_Mapping() {
    Library& L = Lib();
    if (L.mapping_ready) return;
    PortMapping mapping = Default_Port_Mapping(*L.calls);
    L.mapping_problem.clear();
    if (const char* text = std::getenv(kPortsVariable)) {
        std::string error;
        if (!Apply_Mapping_Text(text, &mapping, &error)) {
            L.mapping_problem = error +
                                "; no port is mapped (LPT1, LPT2 and LPT3 are none) "
                                "until " +
                                kPortsVariable + " is mended or unset";
            Report_Once(L.mapping_problem);
            mapping = PortMapping{};
        }
    }
    Set_Mapping(mapping, true);
}

RawPort* Open_Real(int n) {
    Library& L = Lib();
    Slot& slot = L.slots[n - 1];
    std::string error, note;
    if (slot.target.kind == TargetKind::Ppdev) {
        L.real = PpdevPort::Open(slot.target.device, *L.calls, &error, &note);
    } else {
        L.real = DirectIoPort::Open(slot.target.base, L.io, &error);
    }
    if (!note.empty()) Report_Once(note);
    if (L.real) return L.real.get();
    if (slot.target.simulated_fallback) {
        // The real port was only the default guess: run on the simulated board for the
        // rest of the run, and say why once.
        Report_Once(Lpt(n) + ": the parallel port " + Describe_Target(slot.target) +
                    " cannot be used: " + error +
                    ".\nThe simulated evaluation board stands in "
                    "for " +
                    Lpt(n) + " instead: what the program sends reaches no real board.\n" +
                    kRealPortAdvice);
        const std::string device = Describe_Target(slot.target);
        PortTarget sim;
        sim.kind = TargetKind::Simulated;
        Set_Target(slot, sim, true);
        slot.fell_back_from = device;
        return slot.sim_raw.get();
    }
    L.open_failure = error;
    L.error = Lpt(n) + ": " + error;
    return nullptr;
}

RawPort* Open_Slot(int n) {
    Library& L = Lib();
    Slot& slot = L.slots[n - 1];
    if (slot.custom) return slot.custom;
    switch (slot.target.kind) {
        case TargetKind::Simulated:
            if (!slot.unusable.empty()) {
                L.error = Lpt(n) + ": " + slot.unusable;
                return nullptr;
            }
            return slot.sim_raw.get();
        case TargetKind::Unplugged:
            return slot.sim_raw.get();
        case TargetKind::Ppdev:
        case TargetKind::DirectIo:
            return Open_Real(n);
        case TargetKind::None:
            break;
    }
    if (!L.mapping_problem.empty())
        L.error = Lpt(n) + " has no port behind it: " + L.mapping_problem;
    else
        L.error = Lpt(n) + " has no port behind it (no /dev/parport" + std::to_string(n - 1) +
                  "; set " + kPortsVariable + " to map ports, see docs/port-backends.md)";
    return nullptr;
}

Slot* Slot_At(int n) {
    if (n < 1 || n > kPortCount) return nullptr;
    Ensure_Mapping();
    return &Lib().slots[n - 1];
}

// Tries each real port that is not in use, so that what keeps one from working is reported
// before the program relies on it.
void Try_Real_Ports() {
    Library& L = Lib();
    for (int n = 1; n <= kPortCount; ++n) {
        Slot& slot = L.slots[n - 1];
        if (!slot.unusable.empty()) Report_Once(Lpt(n) + ": " + slot.unusable + ".");
        if (n == L.selected || slot.custom || !Is_Real(slot.target.kind)) continue;
        const int selected = L.selected;
        Deselect();
        const std::string target = Describe_Target(slot.target);
        if (Open_Slot(n) == nullptr) {
            Report_Once(Lpt(n) + ": the port mapped to it (" + target +
                        ") cannot be used: " + L.open_failure + ".\n" + Lpt(n) +
                        " has no board in this run.\n" + kRealPortAdvice);
        }
        Deselect();
        if (selected != 0) Select_LPT_123(selected);
    }
}

std::string Port_Summary(int n) {
    const Slot& slot = Lib().slots[n - 1];
    std::string text = Lpt(n) + ": ";
    if (slot.custom) return text + "test port";
    switch (slot.target.kind) {
        case TargetKind::None:
            return text + "none";
        case TargetKind::Simulated:
            text += Describe_Target(slot.target);
            if (!slot.fell_back_from.empty())
                text += " (" + slot.fell_back_from + " could not be used)";
            return text;
        case TargetKind::Unplugged:
            return text + "simulated port, no board on the cable";
        case TargetKind::Ppdev:
            return text + Describe_Target(slot.target) + " (ppdev)";
        case TargetKind::DirectIo:
            return text + Describe_Target(slot.target);
    }
    return text + "none";
}

// The simulated board behind LPT1, for the extras only a simulated board has; nullptr with
// the library's error saying why not.
board::SimulatedBoard* Simulated_LPT1(const char* needed_for) {
    Library& L = Lib();
    Ensure_Mapping();
    Slot& slot = L.slots[0];
    if (!slot.unusable.empty()) {
        L.error = "LPT1: " + slot.unusable;
        return nullptr;
    }
    if (slot.board && !slot.custom) return slot.board.get();
    L.error = Port_Summary(1) + " is no simulated board, and only a simulated board has " +
              needed_for + " (set " + kPortsVariable + "=1=sim or osdex --port sim)";
    return nullptr;
}

// 1 when the extra went through, else 0 with its reason kept.
int Extra_Result(const std::string& problem) {
    if (problem.empty()) return 1;
    Lib().error = problem;
    return 0;
}

std::string Version_Text() {
    std::string text = "vanlpt 1.0 for Linux (simulated board, ppdev";
    if (System_Io_Access() != nullptr) text += ", direct I/O";
    return text + ")";
}

}  // namespace

namespace testing {

bool Apply_Port_Mapping(const std::string& mapping, std::string* error) {
    Ensure_Mapping();
    PortMapping result = Current_Mapping();
    std::string reason;
    bool ok = Apply_Mapping_Text(mapping, &result, &reason);
    if (error) *error = reason;
    if (ok) Set_Mapping(result, false);
    return ok;
}

bool Reset_Library(const std::string& mapping, std::string* error) {
    Library& L = Lib();
    Deselect();
    for (Slot& slot : L.slots) {
        slot.custom = nullptr;
        Save_State_File(slot);  // as a normal end of the run would
        Forget_State_File(slot);
    }
    L.mapping_problem.clear();
    L.lock_wait_ms = 0;
    Set_Report_Program_Name("");
    L.calls = &System_Device_Calls();
    L.io = System_Io_Access();
    L.lines = PortLines{};
    L.engine.Reset();
    L.error.clear();
    Forget_Reports();
    PortMapping result;
    std::string reason;
    bool ok = Apply_Mapping_Text(mapping, &result, &reason);
    if (error) *error = reason;
    Set_Mapping(ok ? result : PortMapping{}, true);
    return ok;
}

void Reload_Mapping_From_Environment() {
    Lib().mapping_ready = false;
    Ensure_Mapping();
}

board::SimulatedBoard* Simulated_Board(int n) {
    Slot* slot = Slot_At(n);
    return slot ? slot->board.get() : nullptr;
}

board::SimulatedPort* Simulated_Port(int n) {
    Slot* slot = Slot_At(n);
    return slot ? slot->sim_port.get() : nullptr;
}

void Install_Raw_Port(int n, RawPort* port) {
    Slot* slot = Slot_At(n);
    if (slot == nullptr) return;
    Deselect();
    slot->custom = port;
}

void Use_Device_Calls(DeviceCalls* calls, IoAccess* io) {
    Deselect();
    Lib().calls = calls ? calls : &System_Device_Calls();
    Lib().io = io ? io : System_Io_Access();
}

}  // namespace testing

}  // namespace vanlpt

using vanlpt::Lib;

extern "C" {

int Select_LPT_123(int n) {
    vanlpt::Library& L = Lib();
    L.error.clear();
    if (n < 1 || n > vanlpt::kPortCount) {
        vanlpt::Deselect();
        L.error = "there is no LPT" + std::to_string(n) + ": the ports are LPT1, LPT2 and LPT3";
        return 0;
    }
    vanlpt::Ensure_Mapping();
    // Keep the claim and pins, unless the port has failed: then try it afresh.
    if (L.selected == n && L.lines.Port() != nullptr && L.lines.Port()->Fault() == nullptr)
        return 1;
    vanlpt::Deselect();
    vanlpt::RawPort* port = vanlpt::Open_Slot(n);
    if (port == nullptr) return 0;
    L.lines.Attach(port);
    L.selected = n;
    return 1;
}

void Set_Register(unsigned offset, unsigned char value) {
    Lib().lines.Set_Register(offset, value);
}
unsigned char Get_Data(void) {
    return Lib().lines.Get_Data();
}
unsigned char Get_Status(void) {
    return Lib().lines.Get_Status();
}
unsigned char Get_Control(void) {
    return Lib().lines.Get_Control();
}
void Set_Data(unsigned char value) {
    Lib().lines.Set_Data(value);
}
void Set_Control(unsigned char value) {
    Lib().lines.Set_Control(value);
}

void Set_Data_Enable(int enable) {
    Lib().lines.Set_Data_Enable(enable != 0);
}
unsigned char Get_Data_Enable_Mask(void) {
    return Lib().lines.Data_Enable_Mask();
}
void Set_Data_Enable_Mask(unsigned char mask) {
    Lib().lines.Set_Data_Enable_Mask(mask);
}

int DirectReadPrinterPin(int pin) {
    return Lib().lines.Read_Pin(pin);
}
void DirectWritePrinterPin(int pin, int level) {
    Lib().lines.Write_Pin(pin, level);
}

const char* Get_VANLPT_DLL_Version(void) {
    static const std::string text = vanlpt::Version_Text();
    return text.c_str();
}

void Set_DUT_WR_Pin(int pin, int level) {
    Lib().engine.Set_Role(vanlpt::BusRole::Wr, pin, level);
}
void Set_DUT_RD_Pin(int pin, int level) {
    Lib().engine.Set_Role(vanlpt::BusRole::Rd, pin, level);
}
void Set_DUT_ADDR_Pin(int pin, int level) {
    Lib().engine.Set_Role(vanlpt::BusRole::Addr, pin, level);
}
void Set_DUT_CS_Pin(int pin, int level) {
    Lib().engine.Set_Role(vanlpt::BusRole::Cs, pin, level);
}
void Set_DUT_BUSY_Pin(int pin, int level) {
    Lib().engine.Set_Role(vanlpt::BusRole::Busy, pin, level);
}
// The busy wait always polls the level of RDY/~BUSY; there is no edge mode to switch from.
void Set_DUT_BUSY_LevelSync(void) {}

void Set_DUT_BUSY_Timeout(unsigned long polls) {
    Lib().engine.Set_Busy_Timeout(polls);
}
unsigned long Get_DUT_BUSY_Timeout(void) {
    return Lib().engine.Busy_Timeout();
}
void Clear_DUT_BUSY_Highest_Count(void) {
    Lib().engine.Clear_Highest_Count();
}
unsigned long Get_DUT_BUSY_Highest_Count(void) {
    return Lib().engine.Highest_Count();
}

int Try_DUT_Register_Write(unsigned char address, unsigned char data) {
    vanlpt::Library& L = Lib();
    if (L.engine.Write(address, data)) return 1;
    L.error = L.engine.Last_Error();
    return 0;
}

int Try_DUT_Register_Read(unsigned char address, unsigned char* data) {
    vanlpt::Library& L = Lib();
    if (L.engine.Read(address, data)) return 1;
    L.error = L.engine.Last_Error();
    return 0;
}

const char* Vanlpt_Last_Error(void) {
    return Lib().error.c_str();
}

const char* Vanlpt_Check_Ports(void) {
    static std::string text;
    vanlpt::Ensure_Mapping();
    vanlpt::Try_Real_Ports();
    text.clear();
    for (const std::string& report : vanlpt::Take_Reports())
        text += (text.empty() ? "" : "\n\n") + report;
    return text.c_str();
}

int Vanlpt_Map_Port(int n, const char* target) {
    vanlpt::Library& L = Lib();
    L.error.clear();
    vanlpt::Ensure_Mapping();
    vanlpt::PortMapping mapping = vanlpt::Current_Mapping();
    std::string error;
    const std::string entry = std::to_string(n) + "=" + (target ? target : "");
    if (!vanlpt::Apply_Mapping_Text(entry, &mapping, &error)) {
        L.error = error;
        return 0;
    }
    L.mapping_problem.clear();  // the user chose this port
    vanlpt::Set_Mapping(mapping, false);
    return 1;
}

int Vanlpt_Crosspoint_Routing(unsigned char enabled[16], unsigned char input[16],
                              unsigned char gain[16]) {
    vanlpt::Library& L = Lib();
    if (L.selected == 0) return 0;
    const vanlpt::Slot& slot = L.slots[L.selected - 1];
    if (slot.custom || !slot.board || L.lines.Port() != slot.sim_raw.get()) return 0;
    for (int o = 0; o < board::kCrosspointOutputs; ++o) {
        const board::CrosspointRoute r = slot.board->Crosspoint().Route(o);
        enabled[o] = r.enabled ? 1 : 0;
        input[o] = static_cast<unsigned char>(r.input);
        gain[o] = static_cast<unsigned char>(r.gain);
    }
    return 1;
}

const char* Vanlpt_Doctor_Report(int real_port_wanted, int* problems, int* unusable) {
    static std::string text;
    vanlpt::Ensure_Mapping();
    vanlpt::Doctor_Scope scope;
    scope.real_port_wanted = real_port_wanted != 0;
    for (const vanlpt::Slot& slot : Lib().slots) {
        if (slot.target.kind == vanlpt::TargetKind::Ppdev)
            scope.devices.push_back(slot.target.device);
        if (slot.target.kind == vanlpt::TargetKind::DirectIo)
            scope.io_bases.push_back(slot.target.base);
    }
    const vanlpt::Doctor_Report report =
        vanlpt::Diagnose_Real_Ports(*Lib().calls, Lib().io, vanlpt::Read_System_Facts(), scope);
    text.clear();
    for (const std::string& line : report.lines) text += line + "\n";
    if (problems) *problems = report.problems;
    if (unusable) *unusable = report.unusable;
    return text.c_str();
}

int Vanlpt_Shutdown(void) {
    vanlpt::Library& L = Lib();
    vanlpt::Deselect();
    Vanlpt_Clear_Simulated_Faults();
    vanlpt::Save_State_Files();
    std::string lost;
    for (const vanlpt::Slot& slot : L.slots)
        if (!slot.save_error.empty()) lost += (lost.empty() ? "" : "\n") + slot.save_error;
    if (lost.empty()) return 1;
    L.error = lost;
    return 0;
}

void Vanlpt_Set_Lock_Wait(unsigned milliseconds) {
    Lib().lock_wait_ms = std::min(milliseconds, vanlpt::kMaxLockWaitMs);
}

const char* Vanlpt_Mapping_Problem(void) {
    vanlpt::Ensure_Mapping();
    return Lib().mapping_problem.c_str();
}

int Vanlpt_Port_Input_Error(int n) {
    vanlpt::Library& L = Lib();
    if (n < 1 || n > vanlpt::kPortCount) return 0;
    vanlpt::Ensure_Mapping();
    const vanlpt::Slot& slot = L.slots[n - 1];
    if (!slot.input_error || slot.custom) return 0;
    L.error = vanlpt::Lpt(n) + ": " + slot.unusable;
    return 1;
}

void Vanlpt_Set_Program_Name(const char* name) {
    vanlpt::Set_Report_Program_Name(name ? name : "");
}

const char* Vanlpt_Port_Description(int n) {
    static std::string text;
    if (n < 1 || n > vanlpt::kPortCount) return "";
    vanlpt::Ensure_Mapping();
    text = vanlpt::Port_Summary(n);
    return text.c_str();
}

constexpr const char* kVideoOutput = "a video output the library can show";
constexpr const char* kFaults = "faults to switch";

int Vanlpt_Channel_Frame(int channel, unsigned frame_number, uint32_t* pixels, int* changed) {
    board::SimulatedBoard* model = vanlpt::Simulated_LPT1(kVideoOutput);
    if (model == nullptr) return 0;
    return vanlpt::Extra_Result(
        vanlpt::Fetch_Channel_Frame(*model, channel, frame_number, pixels, changed));
}

int Vanlpt_Set_Video_Source(int channel, int source, const uint32_t* picture, int width,
                            int height) {
    board::SimulatedBoard* model = vanlpt::Simulated_LPT1(kVideoOutput);
    if (model == nullptr) return 0;
    return vanlpt::Extra_Result(
        vanlpt::Set_Video_Source(*model, channel, source, picture, width, height));
}

int Vanlpt_Video_Source(int channel) {
    board::SimulatedBoard* model = vanlpt::Simulated_LPT1(kVideoOutput);
    if (model == nullptr) return -1;
    const int source = vanlpt::Video_Source_Of(*model, channel);
    if (source < 0) Lib().error = "there is no channel " + std::to_string(channel);
    return source;
}

int Vanlpt_Set_Simulated_Fault(int fault, unsigned value) {
    board::SimulatedBoard* model = vanlpt::Simulated_LPT1(kFaults);
    if (model == nullptr) return 0;
    return vanlpt::Extra_Result(vanlpt::Set_Simulated_Fault(*model, fault, value));
}

int Vanlpt_Simulated_Fault(int fault, unsigned* value) {
    board::SimulatedBoard* model = vanlpt::Simulated_LPT1(kFaults);
    if (model == nullptr) return 0;
    return vanlpt::Extra_Result(vanlpt::Get_Simulated_Fault(*model, fault, value));
}

void Vanlpt_Clear_Simulated_Faults(void) {
    for (vanlpt::Slot& slot : Lib().slots)
        if (slot.board) slot.board->Clear_Faults();
}

}  // extern "C"
