// The port library's side of the virtual-machine suite, run inside the guest against the
// kernel's parport, parport_pc, ppdev and lp drivers and QEMU's emulated port at 0x378. The
// emulated port has no board behind it, so the checks look at what such a port shows: the
// data latch read back, floating data pins reading high, the status register answering the
// control pins, the order of the calls the library makes, and the pins it leaves behind.
//
// Every result is one line for run.sh: "CHECK name ok", "CHECK name FAIL why",
// "FIGURE name value unit" (printed, never judged) or "INFO text".
//
//   vm_port_driver bus TARGET BASE        register traffic through the library
//   vm_port_driver pins BASE              the port's pins as the last program left them
//   vm_port_driver hold DEVICE excl|shared  claims the port and keeps it until SIGTERM
//   vm_port_driver as UID GID GROUPS PROGRAM [ARGS...]  runs PROGRAM as that user
#include <grp.h>
#include <linux/ppdev.h>
#include <sys/io.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <fcntl.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/vanlpt/recording_device.h"
#include "vanlpt/device_calls.h"
#include "vanlpt/vanlpt.h"
#include "vanlpt/vanlpt_testing.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void Check(const char* name, bool ok, const std::string& detail = "") {
    if (ok)
        std::printf("CHECK %s ok\n", name);
    else
        std::printf("CHECK %s FAIL %s\n", name, detail.c_str());
}

std::string Hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
}

std::string Joined(const std::vector<std::string>& calls) {
    std::string text;
    for (const std::string& c : calls) text += (text.empty() ? "" : ",") + c;
    return text;
}

// The system's device calls, each one also written down; close() is timed.
class RecordingSystemCalls : public vanlpt::DeviceCalls {
public:
    int Open(const std::string& path) override {
        calls.push_back("open");
        return system_.Open(path);
    }
    int Ioctl(int fd, unsigned long request, void* arg) override {
        const int r = system_.Ioctl(fd, request, arg);
        std::string name = vanlpt_test::RecordingDevice::Name(request);
        if (request == PPWCONTROL) name += " " + Hex(*static_cast<unsigned char*>(arg));
        if (request == PPDATADIR || request == PPSETMODE)
            name += " " + std::to_string(*static_cast<int*>(arg));
        calls.push_back(name);
        ++ioctls;
        return r;
    }
    int Close(int fd) override {
        calls.push_back("close");
        const auto start = Clock::now();
        const int r = system_.Close(fd);
        close_time = Clock::now() - start;
        return r;
    }
    bool Exists(const std::string& path) override { return system_.Exists(path); }

    std::vector<std::string> calls;
    unsigned long ioctls = 0;
    Clock::duration close_time{};

private:
    vanlpt::DeviceCalls& system_ = vanlpt::System_Device_Calls();
};

// Port I/O by address, each write to the control register written down.
class RecordingIo : public vanlpt::IoAccess {
public:
    explicit RecordingIo(unsigned base) : base_(base) {}
    int Ioperm(unsigned long from, unsigned long count, bool on) override {
        return system_->Ioperm(from, count, on);
    }
    std::uint8_t Inb(unsigned address) override {
        ++accesses;
        return system_->Inb(address);
    }
    void Outb(std::uint8_t value, unsigned address) override {
        ++accesses;
        if (address == base_ + 2) control_writes.push_back(value);
        if (address == base_ + 0x402) ecr_writes.push_back(value);
        system_->Outb(value, address);
    }

    unsigned long accesses = 0;
    std::vector<std::uint8_t> control_writes;
    std::vector<std::uint8_t> ecr_writes;

private:
    unsigned base_;
    vanlpt::IoAccess* system_ = vanlpt::System_Io_Access();
};

struct Recorders {
    RecordingSystemCalls calls;
    RecordingIo io;
    bool ppdev = true;
    unsigned long Count() const { return ppdev ? calls.ioctls : io.accesses; }
};

void Assign_Bus_Pins() {
    Set_DUT_WR_Pin(1, 0);
    Set_DUT_RD_Pin(16, 0);
    Set_DUT_ADDR_Pin(14, 1);
    Set_DUT_CS_Pin(17, 1);
    Set_DUT_BUSY_Pin(15, 0);
    Set_DUT_BUSY_Timeout(10000);
}

void Check_Data_Pins() {
    Set_Data(0x5A);
    const unsigned latched = Get_Data();
    Set_Data(0xA5);
    const unsigned again = Get_Data();
    Check("data_latch_reads_back", latched == 0x5A && again == 0xA5,
          "read " + Hex(latched) + " and " + Hex(again) + " after writing 5A and A5");
    Set_Data_Enable(0);
    const unsigned floating = Get_Data();
    Set_Data_Enable(1);
    const unsigned driving = Get_Data();
    Check("floating_data_pins_read_high", floating == 0xFF && driving == 0xA5,
          "floating " + Hex(floating) + ", driving again " + Hex(driving));
}

// QEMU's port answers its control pins on the status register: ~INIT (pin 16) low sets BUSY
// (pin 11 low); ~STROBE and ~SELECTIN low with ~INIT high clear it. Both inversions of the
// pin map meet the emulated device here.
void Check_Control_Inversions() {
    DirectWritePrinterPin(16, 1);
    DirectWritePrinterPin(1, 0);
    DirectWritePrinterPin(17, 0);
    const int ready = DirectReadPrinterPin(11);
    const unsigned control = Get_Control() & 0x0F;
    DirectWritePrinterPin(16, 0);
    const int busy = DirectReadPrinterPin(11);
    DirectWritePrinterPin(1, 1);
    DirectWritePrinterPin(16, 1);
    DirectWritePrinterPin(17, 1);
    Check("control_inversions", control == 0x0D && ready == 1 && busy == 0,
          "control " + Hex(control) + " (want 0D), pin 11 " + std::to_string(ready) + "/" +
              std::to_string(busy) + " (want 1/0)");
}

bool Changes_Direction_With_Pins(std::uint8_t before, std::uint8_t after) {
    const std::uint8_t changed = before ^ after;
    return (changed & 0x20) != 0 && (changed & 0x0F) != 0;
}

// The data pins float before ~RD falls and drive again only after it has risen.
void Check_Read_Order(Recorders& r, std::uint8_t control_before) {
    if (r.ppdev) {
        const std::vector<std::string>& c = r.calls.calls;
        std::size_t float_at = c.size(), rd_low_at = c.size(), rd_high_at = 0, drive_at = 0;
        for (std::size_t i = 0; i < c.size(); ++i) {
            if (c[i] == "PPDATADIR 1" && float_at == c.size()) float_at = i;
            if (c[i] == "PPDATADIR 0") drive_at = i;
            if (c[i].rfind("PPWCONTROL ", 0) != 0) continue;
            const unsigned value = std::strtoul(c[i].c_str() + 11, nullptr, 16);
            if ((value & 0x04) == 0 && rd_low_at == c.size()) rd_low_at = i;
            if ((value & 0x04) != 0 && rd_low_at < i) rd_high_at = i;
        }
        Check("read_floats_before_rd_and_drives_after",
              float_at < rd_low_at && rd_low_at < rd_high_at && rd_high_at < drive_at, Joined(c));
        return;
    }
    std::uint8_t previous = control_before;
    std::string bad;
    for (std::uint8_t value : r.io.control_writes) {
        if (Changes_Direction_With_Pins(previous, value))
            bad += Hex(previous) + "->" + Hex(value) + " ";
        previous = value;
    }
    Check("read_turns_data_pins_apart_from_strobes", bad.empty(), "in one write: " + bad);
}

void Check_Ecr_Modes(Recorders& r) {
    r.calls.calls.clear();
    r.io.ecr_writes.clear();
    Set_Register(0x402, 0x34);
    Set_Register(0x402, 0x00);
    Set_Register(0x0A, 0x30);
    if (r.ppdev) {
        const std::string c = Joined(r.calls.calls);
        Check("ecr_writes_become_port_modes", c == "PPSETMODE 1,PPSETMODE 256,PPSETMODE 1", c);
    } else {
        Check("ecr_writes_reach_base_plus_402", r.io.ecr_writes.size() == 2,
              std::to_string(r.io.ecr_writes.size()) + " writes at base+0x402");
    }
}

void Register_Figures(Recorders& r) {
    const char* unit = r.ppdev ? "ioctls" : "port-accesses";
    unsigned long before = r.Count();
    const int wrote = Try_DUT_Register_Write(7, 0x5A);
    std::printf("FIGURE per_register_write %lu %s\n", r.Count() - before, unit);
    Check("register_write_completes", wrote != 0, Vanlpt_Last_Error());

    const std::uint8_t control_before = static_cast<std::uint8_t>(Get_Control());
    r.calls.calls.clear();
    r.io.control_writes.clear();
    before = r.Count();
    unsigned char value = 0;
    const int read = Try_DUT_Register_Read(7, &value);
    std::printf("FIGURE per_register_read %lu %s\n", r.Count() - before, unit);
    Check("register_read_sees_floating_pins", read != 0 && value == 0xFF,
          "read " + Hex(value) + ": " + Vanlpt_Last_Error());
    Check_Read_Order(r, control_before);
    Check("cycle_leaves_cs_high", DirectReadPrinterPin(17) == 1);

    constexpr int kRounds = 2000;
    const auto start = Clock::now();
    for (int i = 0; i < kRounds; ++i) {
        Try_DUT_Register_Write(7, static_cast<unsigned char>(i));
        Try_DUT_Register_Read(7, &value);
    }
    const double ms = Milliseconds(Clock::now() - start);
    std::printf("FIGURE transactions_per_second %.0f register-transactions/s\n",
                2 * kRounds / (ms / 1000.0));
}

// The control pins as the port shows them to anyone reading its registers directly.
bool Read_Pins(unsigned base, std::uint8_t* control, std::uint8_t* data) {
    if (ioperm(base, 3, 1) != 0) return false;
    *data = inb(static_cast<unsigned short>(base));
    *control = inb(static_cast<unsigned short>(base + 2));
    ioperm(base, 3, 0);
    return true;
}

void Check_Release(Recorders& r, unsigned base) {
    r.calls.calls.clear();
    Vanlpt_Shutdown();
    if (r.ppdev) {
        std::printf("FIGURE close_time %.3f ms\n", Milliseconds(r.calls.close_time));
        const std::string c = Joined(r.calls.calls);
        const std::size_t compat = c.find("PPSETMODE 256"), release = c.find("PPRELEASE");
        Check("released_in_compatibility_mode", compat < release && release != std::string::npos,
              c);
    }
    std::uint8_t control = 0, data = 0;
    if (!Read_Pins(base, &control, &data)) {
        std::puts("INFO no direct look at the pins");
        return;
    }
    // ~SELECTIN is inverted: bit 3 clear is pin 17 high (CS raised, crosspoint ~CE high).
    Check("pin17_high_after_release", (control & 0x08) == 0, "control " + Hex(control));
    Check("data_pins_drive_after_release", (control & 0x20) == 0, "control " + Hex(control));
}

int Run_Bus(const std::string& target, unsigned base) {
    Recorders r{{}, RecordingIo(base), target.rfind("io:", 0) != 0};
    std::string error;
    if (!vanlpt::testing::Reset_Library("1=" + target + ",2=none,3=none", &error)) {
        std::printf("CHECK mapping FAIL %s\n", error.c_str());
        return 1;
    }
    vanlpt::testing::Use_Device_Calls(&r.calls, &r.io);
    const int selected = Select_LPT_123(1);
    Check("select", selected != 0, Vanlpt_Last_Error());
    if (!selected) return 1;
    if (r.ppdev) {
        const std::string c = Joined(r.calls.calls);
        std::printf("INFO open sequence %s\n", c.c_str());
        Check("open_claims_alone_in_byte_mode",
              c.rfind("open,PPEXCL,PPCLAIM,PPGETMODES,PPSETMODE 1", 0) == 0, c);
    }
    Check_Data_Pins();
    Check_Control_Inversions();
    Check_Ecr_Modes(r);
    Assign_Bus_Pins();
    Register_Figures(r);
    Check_Release(r, base);
    return 0;
}

int Run_Pins(unsigned base) {
    std::uint8_t control = 0, data = 0;
    if (!Read_Pins(base, &control, &data)) {
        std::printf("CHECK pins FAIL ioperm: %s\n", std::strerror(errno));
        return 1;
    }
    std::printf("PINS control=%s data=%s pin17=%d\n", Hex(control).c_str(), Hex(data).c_str(),
                (control & 0x08) == 0 ? 1 : 0);
    return 0;
}

void Stop(int) {}

int Run_Hold(const std::string& device, bool exclusive) {
    const int fd = open(device.c_str(), O_RDWR);
    if (fd < 0) return std::printf("HOLD failed open: %s\n", std::strerror(errno)), 1;
    if (exclusive && ioctl(fd, PPEXCL) != 0)
        return std::printf("HOLD failed PPEXCL: %s\n", std::strerror(errno)), 1;
    if (ioctl(fd, PPCLAIM) != 0)
        return std::printf("HOLD failed PPCLAIM: %s\n", std::strerror(errno)), 1;
    std::printf("HOLDING %s\n", exclusive ? "excl" : "shared");
    std::fflush(stdout);
    std::signal(SIGTERM, Stop);
    pause();
    ioctl(fd, PPRELEASE);
    close(fd);
    return 0;
}

// A user without the guest's root rights: its own groups, no capabilities.
int Run_As(char** argv) {
    const uid_t uid = static_cast<uid_t>(std::atoi(argv[0]));
    const gid_t gid = static_cast<gid_t>(std::atoi(argv[1]));
    std::vector<gid_t> groups;
    for (const char* g = argv[2]; *g != '\0' && *g != '-';) {
        groups.push_back(static_cast<gid_t>(std::strtoul(g, nullptr, 10)));
        g = std::strchr(g, ',');
        if (g == nullptr) break;
        ++g;
    }
    if (setgroups(groups.size(), groups.data()) != 0 || setgid(gid) != 0 || setuid(uid) != 0) {
        std::perror("vm_port_driver as");
        return 126;
    }
    execv(argv[3], argv + 3);
    std::perror(argv[3]);
    return 127;
}

}  // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IOLBF, 0);
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "bus" && argc == 4) return Run_Bus(argv[2], std::strtoul(argv[3], nullptr, 0));
    if (command == "pins" && argc == 3) return Run_Pins(std::strtoul(argv[2], nullptr, 0));
    if (command == "hold" && argc == 4) return Run_Hold(argv[2], std::string(argv[3]) == "excl");
    if (command == "as" && argc >= 6) return Run_As(argv + 2);
    std::fputs(
        "usage: vm_port_driver bus TARGET BASE | pins BASE | hold DEVICE excl|shared | as "
        "UID GID GROUPS PROGRAM [ARGS...]\n",
        stderr);
    return 2;
}
