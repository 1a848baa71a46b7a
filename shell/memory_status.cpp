// Memory status on Linux.
#include "shell/memory_status.h"

#include <sys/resource.h>
#include <sys/sysinfo.h>

#include <fstream>
#include <sstream>

#include "shell/dialogs.h"

namespace {

// User address space of a 64-bit Linux process (47 bits) when no limit is set.
constexpr std::uint64_t Default_Address_Space = std::uint64_t{1} << 47;

MemoryStatus start_snapshot;

std::string Read_Text(const char* path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The value in kB of a "Name:   1234 kB" line, in bytes; 0 when the line is missing.
std::uint64_t Field_Bytes(const std::string& text, const std::string& name) {
    const std::string key = "\n" + name + ":";
    const std::string padded = "\n" + text;
    const std::size_t at = padded.find(key);
    if (at == std::string::npos) return 0;
    std::istringstream line(padded.substr(at + key.size()));
    std::uint64_t kb = 0;
    line >> kb;
    return kb * 1024;
}

std::uint64_t Address_Space() {
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        return limit.rlim_cur;
    }
    return Default_Address_Space;
}

std::uint32_t Load_Percent(std::uint64_t total, std::uint64_t available) {
    if (total == 0 || available >= total) return 0;
    return static_cast<std::uint32_t>((total - available) * 100 / total);
}

MemoryStatus From_Sysinfo() {
    MemoryStatus status;
    struct sysinfo info {};
    if (sysinfo(&info) != 0) return status;
    const std::uint64_t unit = info.mem_unit ? info.mem_unit : 1;
    const std::uint64_t total = info.totalram * unit;
    status.Avail_Phys = (std::uint64_t{info.freeram} + info.bufferram) * unit;
    status.Avail_Page_File = std::uint64_t{info.freeswap} * unit;
    status.Memory_Load = Load_Percent(total, status.Avail_Phys);
    status.Avail_Virtual = Address_Space();
    return status;
}

std::string Shifted(std::uint64_t bytes, int shift) {
    return std::to_string(bytes >> shift);
}

}  // namespace

MemoryStatus Memory_Status_From_Texts(const std::string& meminfo, const std::string& self_status,
                                      std::uint64_t address_space) {
    MemoryStatus status;
    const std::uint64_t total = Field_Bytes(meminfo, "MemTotal");
    status.Avail_Phys = Field_Bytes(meminfo, "MemAvailable");
    status.Avail_Page_File = Field_Bytes(meminfo, "SwapFree");
    status.Memory_Load = Load_Percent(total, status.Avail_Phys);
    const std::uint64_t used = Field_Bytes(self_status, "VmSize");
    status.Avail_Virtual = used < address_space ? address_space - used : 0;
    return status;
}

MemoryStatus Query_Memory_Status() {
    const std::string meminfo = Read_Text("/proc/meminfo");
    if (meminfo.find("MemAvailable:") == std::string::npos) return From_Sysinfo();
    return Memory_Status_From_Texts(meminfo, Read_Text("/proc/self/status"), Address_Space());
}

void Take_Start_Memory_Snapshot() {
    start_snapshot = Query_Memory_Status();
}

const MemoryStatus& Start_Memory_Snapshot() {
    return start_snapshot;
}

void Report_Start_Memory() {
    Take_Start_Memory_Snapshot();
    Show_Message(Memory_Report_Caption, Memory_Report_Text(start_snapshot), MsgIcon::None,
                 MsgButtons::Ok);
}

std::string Memory_Report_Text(const MemoryStatus& status) {
    return "Memory load: " + std::to_string(100 - static_cast<int>(status.Memory_Load)) +
           " % available\nPhysical memory available: " + Shifted(status.Avail_Phys, 10) +
           " kB\nPagefile memory available: " + Shifted(status.Avail_Page_File, 20) +
           " MB\nVirtual  memory available: " + Shifted(status.Avail_Virtual, 20) + " MB";
}

std::string Memory_Check_Text(const MemoryStatus& now, const MemoryStatus& start) {
    return "Physical memory: " + Shifted(now.Avail_Phys, 10) + " kB (" +
           Shifted(start.Avail_Phys, 10) +
           " kB at start)\nPagefile memory: " + Shifted(now.Avail_Page_File, 20) + " MB (" +
           Shifted(start.Avail_Page_File, 20) +
           " MB at start)\nVirtual  memory: " + Shifted(now.Avail_Virtual, 20) + " MB (" +
           Shifted(start.Avail_Virtual, 20) + " MB at start)";
}
