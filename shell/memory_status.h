// The machine's memory state as the start-up report and the memory check show it. Values
// are 64-bit, so machines with more than 4 GB report correctly.
#pragma once

#include <cstdint>
#include <string>

struct MemoryStatus {
    std::uint32_t Memory_Load = 0;      // percent of physical memory in use, 0..100
    std::uint64_t Avail_Phys = 0;       // bytes of physical memory available
    std::uint64_t Avail_Page_File = 0;  // bytes of swap space free
    std::uint64_t Avail_Virtual = 0;    // bytes of this process's address space unused
};

// Caption of the start-up memory report box.
inline constexpr const char* Memory_Report_Caption = "Vantor Evaluation Kit";

// A fresh snapshot from /proc/meminfo and /proc/self/status (sysinfo when those cannot
// be read).
MemoryStatus Query_Memory_Status();

// The snapshot built from the texts of /proc/meminfo and /proc/self/status and the size of
// the process's usable address space. Missing fields count as 0.
MemoryStatus Memory_Status_From_Texts(const std::string& meminfo, const std::string& self_status,
                                      std::uint64_t address_space);

// The snapshot taken once at start and kept for the whole run.
void Take_Start_Memory_Snapshot();
const MemoryStatus& Start_Memory_Snapshot();

// Start-up step: takes the start snapshot and shows its report in a modal OK box captioned
// Memory_Report_Caption, through the current dialogs.
void Report_Start_Memory();

// "Memory load: 63 % available\nPhysical memory available: ... kB\n..." (start-up box).
std::string Memory_Report_Text(const MemoryStatus& status);

// "Physical memory: ... kB (... kB at start)\n..." (the memory check of the Help menu).
std::string Memory_Check_Text(const MemoryStatus& now, const MemoryStatus& start);
