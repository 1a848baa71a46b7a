// The port library's process-wide state and its C interface: the backend behind each of
// LPT1..LPT3, the selected one, and the bus settings every backend runs its cycles with.
// The calls go to the selected backend and never ask what kind it is. Single-threaded like
// its callers.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <string>

#include "vanlpt/backend.h"
#include "vanlpt/backend_table.h"
#include "vanlpt/device_calls.h"
#include "vanlpt/local_port_backend.h"
#include "vanlpt/null_backend.h"
#include "vanlpt/port_doctor.h"
#include "vanlpt/port_mapping.h"
#include "vanlpt/remote_backend.h"
#include "vanlpt/report.h"
#include "vanlpt/vanlpt.h"
#include "vanlpt/vanlpt_testing.h"

namespace vanlpt {

namespace {

// One of LPT1..LPT3: its target and the backend that stands behind it.
struct Slot {
    PortTarget target;
    std::unique_ptr<Backend> backend;
    std::unique_ptr<LocalPortBackend> custom;  // over a test's port, in the backend's place
    std::string fell_back_from;                // the real port the simulated board stands in for
};

struct Library {
    std::array<Slot, kPortCount> slots;
    bool mapping_ready = false;
    DeviceCalls* calls = &System_Device_Calls();
    IoAccess* io = System_Io_Access();
    Backend* active = nullptr;  // the selected port's backend
    int selected = 0;
    BusSettings bus;  // survives a switch of ports, as the caller set it up once
    unsigned long highest = 0;
    int batch_depth = 0;
    Deferred deferred;  // failed writes of the open batch
    std::string error;
    std::string open_failure;     // why the last port did not open, without its LPTn
    std::string mapping_problem;  // what is wrong with VANLPT_PORTS; "" when it is good
    unsigned lock_wait_ms = 0;    // for sim:FILE targets without a ?wait= of their own
};

// Never destroyed: module end steps of the program may still reach the port while static
// objects go away. The kernel releases a claimed ppdev port when the process ends.
Library& Lib() {
    static Library* library = new Library;
    return *library;
}

NullBackend& Nothing() {
    static NullBackend* nothing = new NullBackend;
    return *nothing;
}

// With no port selected, reads give 0 and writes go nowhere.
Backend& Active() {
    Library& L = Lib();
    return L.active ? *L.active : Nothing();
}

Backend& Of(Slot& slot) {
    if (slot.custom) return *slot.custom;
    return slot.backend ? *slot.backend : Nothing();
}
const Backend& Of(const Slot& slot) {
    return Of(const_cast<Slot&>(slot));
}

std::string Lpt(int n) {
    return "LPT" + std::to_string(n);
}

// Every way a real port is made usable, for the end of each report about one.
constexpr const char* kRealPortAdvice =
    "For a real port: load the ppdev driver (sudo modprobe ppdev), unload the printer driver "
    "that holds the port (sudo rmmod lp), and join group lp (sudo usermod -aG lp $USER, then "
    "log in again). Direct I/O (VANLPT_PORTS=1=io:0x378) needs root or CAP_SYS_RAWIO and a "
    "kernel without lockdown (Secure Boot off).";

void Note_Deferred(const Deferred& more) {
    Deferred& d = Lib().deferred;
    if (more.failed == 0) return;
    if (d.failed == 0) d.last_error = more.last_error;
    d.failed += more.failed;
}

void Take_Highest(Backend& backend) {
    Library& L = Lib();
    L.highest = std::max(L.highest, backend.Take_Highest_Count());
}

void Deselect() {
    Library& L = Lib();
    if (L.active) {
        Note_Deferred(L.active->Flush());
        Take_Highest(*L.active);
        L.active->Close();
    }
    L.active = nullptr;
    L.selected = 0;
}

// The boards kept in files go back to their files when the process ends normally. What
// could not be written, a line a board; "" when everything is in its file.
std::string Save_State_Files() {
    std::string lost;
    for (Slot& slot : Lib().slots) {
        if (!slot.backend) continue;
        const std::string error = slot.backend->Shutdown();
        if (!error.empty()) lost += (lost.empty() ? "" : "\n") + error;
    }
    return lost;
}

// Inside a batch, the writes held back go out before anything that reads: a value read after
// a write that failed would pass for one read after it succeeded. False with the library's
// error ("not <what>, as ...") when one of them failed.
bool Flush_Before_Reading(const char* what) {
    Library& L = Lib();
    if (L.batch_depth == 0) return true;
    const Deferred held = Active().Flush();
    Note_Deferred(held);
    if (held.failed == 0) return true;
    L.error = std::string("not ") + what + ", as a write before it failed: " + held.last_error;
    return false;
}

BackendEnv Env() {
    BackendEnv env;
    env.calls = []() -> DeviceCalls& { return *Lib().calls; };
    env.io = [] { return Lib().io; };
    env.lock_wait_ms = Lib().lock_wait_ms;
    return env;
}

// A port that stays simulated keeps its board (and what the board holds) unless `fresh`;
// a board file that could not be used is tried again.
void Set_Target(Slot& slot, const PortTarget& target, bool fresh) {
    static const bool saved_at_exit = std::atexit([] { Save_State_Files(); }) == 0;
    (void)saved_at_exit;
    if (!fresh && slot.backend && slot.backend->Keeps(target)) {
        slot.target = target;
        return;
    }
    if (slot.backend) slot.backend->Shutdown();
    slot.backend.reset();  // lets go of a board file before it may be locked again
    slot.target = target;
    slot.fell_back_from.clear();  // a new target stands in for nothing
    slot.backend = Make_Backend(target, Env());
}

void Set_Mapping(const PortMapping& mapping, bool fresh) {
    Deselect();
    Library& L = Lib();
    for (int i = 0; i < kPortCount; ++i) Set_Target(L.slots[i], mapping[i], fresh);
    L.mapping_ready = true;
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

// The real port was only the default guess: the simulated board stands in for it for the
// rest of the run, which is said once.
Backend* Fall_Back_To_Simulation(int n, const std::string& error) {
    Slot& slot = Lib().slots[n - 1];
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
    std::string ignored;
    return slot.backend->Open(Lib().bus, &ignored) ? slot.backend.get() : nullptr;
}

Backend* Open_Slot(int n) {
    Library& L = Lib();
    Slot& slot = L.slots[n - 1];
    Backend& backend = Of(slot);
    std::string error;
    if (backend.Open(L.bus, &error)) return &backend;
    if (!slot.custom && slot.target.simulated_fallback) return Fall_Back_To_Simulation(n, error);
    L.open_failure = error;
    if (!error.empty())
        L.error = Lpt(n) + ": " + error;
    else if (!L.mapping_problem.empty())
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
        if (const std::string unusable = Of(slot).Unusable(); !unusable.empty())
            Report_Once(Lpt(n) + ": " + unusable + ".");
        if (n == L.selected || slot.custom || !Of(slot).Checked_At_Start()) continue;
        const int selected = L.selected;
        Deselect();
        const std::string target = Describe_Target(slot.target);
        if (Backend* opened = Open_Slot(n)) {
            opened->Close();
        } else {
            Report_Once(Lpt(n) + ": the port mapped to it (" + target +
                        ") cannot be used: " + L.open_failure + ".\n" + Lpt(n) +
                        " has no board in this run.\n" + kRealPortAdvice);
        }
        if (selected != 0) Select_LPT_123(selected);
    }
}

std::string Port_Summary(int n) {
    const Slot& slot = Lib().slots[n - 1];
    std::string text = Lpt(n) + ": " + Of(slot).Describe();
    if (!slot.fell_back_from.empty()) text += " (" + slot.fell_back_from + " could not be used)";
    return text;
}

// The simulated board behind LPT1, for the extras only a simulated board has; nullptr with
// the library's error saying why not.
SimulatedExtras* Simulated_LPT1(const char* needed_for) {
    Library& L = Lib();
    Ensure_Mapping();
    Backend& backend = Of(L.slots[0]);
    if (const std::string unusable = backend.Unusable(); !unusable.empty()) {
        L.error = "LPT1: " + unusable;
        return nullptr;
    }
    if (SimulatedExtras* extras = backend.Extras()) return extras;
    if (const char* fault = backend.Fault()) {
        L.error = "LPT1: " + std::string(fault);
        return nullptr;
    }
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
    return text + ", board server)";
}

// The bus settings changed: the selected port runs its next cycles with them.
void Configure_Bus() {
    Active().Configure(Lib().bus);
}

void Set_Role(BusRole role, int pin, int level) {
    Lib().bus.Role(role) = PinRole{pin, level != 0 ? 1 : 0};
    Configure_Bus();
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
    for (Slot& slot : L.slots) slot.custom.reset();
    Save_State_Files();  // as a normal end of the run would
    for (Slot& slot : L.slots) slot.backend.reset();
    L.mapping_problem.clear();
    L.lock_wait_ms = 0;
    Set_Report_Program_Name("");
    L.calls = &System_Device_Calls();
    L.io = System_Io_Access();
    L.bus = BusSettings{};
    L.highest = 0;
    L.batch_depth = 0;
    L.deferred = {};
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
    return slot && slot->backend ? slot->backend->Simulated_Board() : nullptr;
}

board::SimulatedPort* Simulated_Port(int n) {
    Slot* slot = Slot_At(n);
    return slot && slot->backend ? slot->backend->Simulated_Port() : nullptr;
}

unsigned long Server_Requests(int n) {
    Slot* slot = Slot_At(n);
    const auto* remote = slot ? dynamic_cast<const RemoteBackend*>(slot->backend.get()) : nullptr;
    return remote ? remote->Requests() : 0;
}

void Install_Raw_Port(int n, RawPort* port) {
    Slot* slot = Slot_At(n);
    if (slot == nullptr) return;
    Deselect();
    slot->custom.reset(port ? new LocalPortBackend(port) : nullptr);
}

void Use_Device_Calls(DeviceCalls* calls, IoAccess* io) {
    Deselect();
    Lib().calls = calls ? calls : &System_Device_Calls();
    Lib().io = io ? io : System_Io_Access();
}

}  // namespace testing

}  // namespace vanlpt

using vanlpt::Active;
using vanlpt::Lib;
using vanlpt::PortRegister;

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
    if (L.selected == n && L.active != nullptr && L.active->Fault() == nullptr) return 1;
    vanlpt::Deselect();
    vanlpt::Backend* backend = vanlpt::Open_Slot(n);
    if (backend == nullptr) return 0;
    L.active = backend;
    L.selected = n;
    return 1;
}

void Set_Register(unsigned offset, unsigned char value) {
    Active().Set_Register(offset, value);
}
unsigned char Get_Data(void) {
    return Active().Get(PortRegister::Data);
}
unsigned char Get_Status(void) {
    return Active().Get(PortRegister::Status);
}
unsigned char Get_Control(void) {
    return Active().Get(PortRegister::Control);
}
void Set_Data(unsigned char value) {
    Active().Set(PortRegister::Data, value);
}
void Set_Control(unsigned char value) {
    Active().Set(PortRegister::Control, value);
}

void Set_Data_Enable(int enable) {
    Active().Set_Data_Enable(enable != 0);
}
unsigned char Get_Data_Enable_Mask(void) {
    return Lib().bus.enable_mask;
}
void Set_Data_Enable_Mask(unsigned char mask) {
    Lib().bus.enable_mask = mask;
    vanlpt::Configure_Bus();
}

int DirectReadPrinterPin(int pin) {
    return Active().Read_Pin(pin);
}
void DirectWritePrinterPin(int pin, int level) {
    Active().Write_Pin(pin, level);
}

const char* Get_VANLPT_DLL_Version(void) {
    static const std::string text = vanlpt::Version_Text();
    return text.c_str();
}

void Set_DUT_WR_Pin(int pin, int level) {
    vanlpt::Set_Role(vanlpt::BusRole::Wr, pin, level);
}
void Set_DUT_RD_Pin(int pin, int level) {
    vanlpt::Set_Role(vanlpt::BusRole::Rd, pin, level);
}
void Set_DUT_ADDR_Pin(int pin, int level) {
    vanlpt::Set_Role(vanlpt::BusRole::Addr, pin, level);
}
void Set_DUT_CS_Pin(int pin, int level) {
    vanlpt::Set_Role(vanlpt::BusRole::Cs, pin, level);
}
void Set_DUT_BUSY_Pin(int pin, int level) {
    vanlpt::Set_Role(vanlpt::BusRole::Busy, pin, level);
}
// The busy wait always polls the level of RDY/~BUSY; there is no edge mode to switch from.
void Set_DUT_BUSY_LevelSync(void) {}

void Set_DUT_BUSY_Timeout(unsigned long polls) {
    Lib().bus.timeout = polls;
    vanlpt::Configure_Bus();
}
unsigned long Get_DUT_BUSY_Timeout(void) {
    return Lib().bus.timeout;
}
void Clear_DUT_BUSY_Highest_Count(void) {
    Active().Take_Highest_Count();
    Lib().highest = 0;
}
unsigned long Get_DUT_BUSY_Highest_Count(void) {
    vanlpt::Take_Highest(Active());
    return Lib().highest;
}

int Try_DUT_Register_Write(unsigned char address, unsigned char data) {
    vanlpt::Library& L = Lib();
    std::string error;
    if (!Active().Write(address, data, &error)) {
        L.error = error;
        return 0;
    }
    if (L.batch_depth > 0) return 1;
    // Outside a batch the write's own result is the answer.
    const vanlpt::Deferred held = Active().Flush();
    if (held.failed == 0) return 1;
    L.error = held.last_error;
    return 0;
}

int Try_DUT_Register_Read(unsigned char address, unsigned char* data) {
    vanlpt::Library& L = Lib();
    if (!vanlpt::Flush_Before_Reading("read")) return 0;
    std::string error;
    if (Active().Read(address, data, &error)) return 1;
    L.error = error;
    return 0;
}

void Vanlpt_Begin_Batch(void) {
    vanlpt::Library& L = Lib();
    if (L.batch_depth++ == 0) L.deferred = {};
}

unsigned long Vanlpt_End_Batch(void) {
    vanlpt::Library& L = Lib();
    if (L.batch_depth == 0) return 0;
    vanlpt::Note_Deferred(Active().Flush());
    if (--L.batch_depth > 0) return 0;
    const vanlpt::Deferred done = L.deferred;
    L.deferred = {};
    if (done.failed > 0) L.error = done.last_error;
    return done.failed;
}

unsigned long Vanlpt_Run_Transactions(Vanlpt_Transaction* list, unsigned long count) {
    vanlpt::Library& L = Lib();
    if (list == nullptr && count > 0) {
        L.error = "a list of register transactions without its entries";
        return 0;
    }
    if (!vanlpt::Flush_Before_Reading("run")) return 0;
    std::size_t done = 0;
    std::string error;
    if (Active().Run(list, count, &done, &error) || count == 0) return count;
    done = std::min<std::size_t>(done, count - 1);
    const Vanlpt_Transaction& failed = list[done];
    L.error = "transaction " + std::to_string(done + 1) + " of " + std::to_string(count) + " (" +
              (failed.read ? "rdreg " + std::to_string(failed.address)
                           : "wrreg " + std::to_string(failed.address) + " " +
                                 std::to_string(failed.data)) +
              ") failed: " + error;
    return done;
}

unsigned long Vanlpt_Foreign_Changes(void) {
    vanlpt::Library& L = Lib();
    return L.active ? L.active->Foreign_Changes() : 0;
}

int Vanlpt_Hold_Board(void) {
    const std::string problem = Active().Hold();
    if (problem.empty()) return 1;
    Lib().error = problem;
    return 0;
}

void Vanlpt_Release_Board(void) {
    Active().Release();
}

const char* Vanlpt_Server_Folder(void) {
    static std::string text;
    text = vanlpt::Default_Server_Folder();
    return text.c_str();
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
    vanlpt::SimulatedExtras* extras = Lib().active ? Lib().active->Extras() : nullptr;
    return extras && extras->Routing(enabled, input, gain) ? 1 : 0;
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
    const std::string lost = vanlpt::Save_State_Files();
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
    if (slot.custom || !vanlpt::Of(slot).Input_Error()) return 0;
    L.error = vanlpt::Lpt(n) + ": " + vanlpt::Of(slot).Unusable();
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

const char* Vanlpt_Port_Name(int n) {
    static std::string text;
    if (n < 1 || n > vanlpt::kPortCount) return "";
    vanlpt::Ensure_Mapping();
    text = vanlpt::Of(Lib().slots[n - 1]).Name();
    return text.c_str();
}

constexpr const char* kVideoOutput = "a video output the library can show";
constexpr const char* kFaults = "faults to switch";

int Vanlpt_Channel_Frame(int channel, unsigned frame_number, uint32_t* pixels, int* changed) {
    vanlpt::SimulatedExtras* extras = vanlpt::Simulated_LPT1(kVideoOutput);
    if (extras == nullptr) return 0;
    return vanlpt::Extra_Result(extras->Channel_Frame(channel, frame_number, pixels, changed));
}

int Vanlpt_Set_Video_Source(int channel, int source, const uint32_t* picture, int width,
                            int height) {
    vanlpt::SimulatedExtras* extras = vanlpt::Simulated_LPT1(kVideoOutput);
    if (extras == nullptr) return 0;
    return vanlpt::Extra_Result(extras->Set_Video_Source(channel, source, picture, width, height));
}

int Vanlpt_Video_Source(int channel) {
    vanlpt::SimulatedExtras* extras = vanlpt::Simulated_LPT1(kVideoOutput);
    if (extras == nullptr) return -1;
    std::string error;
    const int source = extras->Video_Source(channel, &error);
    if (source < 0) Lib().error = error;
    return source;
}

int Vanlpt_Set_Simulated_Fault(int fault, unsigned value) {
    vanlpt::SimulatedExtras* extras = vanlpt::Simulated_LPT1(kFaults);
    if (extras == nullptr) return 0;
    return vanlpt::Extra_Result(extras->Set_Fault(fault, value));
}

int Vanlpt_Simulated_Fault(int fault, unsigned* value) {
    vanlpt::SimulatedExtras* extras = vanlpt::Simulated_LPT1(kFaults);
    if (extras == nullptr) return 0;
    return vanlpt::Extra_Result(extras->Fault_Value(fault, value));
}

void Vanlpt_Clear_Simulated_Faults(void) {
    for (vanlpt::Slot& slot : Lib().slots)
        if (slot.backend)
            if (vanlpt::SimulatedExtras* extras = slot.backend->Extras()) extras->Clear_Faults();
}

}  // extern "C"
