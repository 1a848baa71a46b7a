// Module steps, memory report and the dialogs the lower layers ask through.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/clock.h"
#include "shell/dialogs.h"
#include "shell/hex_text.h"
#include "shell/memory_status.h"
#include "shell/module_steps.h"
#include "shell/platform.h"
#include "shell/services.h"

namespace {

TEST(ModuleSteps, WorkRunsOnceAtTheOuterStepsInLinkOrder) {
    std::vector<std::string> trace;
    Set_Module_Work(Module::Drawing, {[&] { trace.push_back("drawing start"); },
                                      [&] { trace.push_back("drawing end"); }});
    Set_Module_Work(Module::Unitcg, {[&] { trace.push_back("unitcg start"); },
                                     [&] { trace.push_back("unitcg end"); }});
    Run_Module_Start_Steps();
    EXPECT_EQ(Hex_Prefix(), "0x");
    Module_Start(Module::Drawing);  // nested: no second construction
    Module_End(Module::Drawing);
    EXPECT_EQ(Module_Nesting(Module::Drawing), 1);
    Run_Module_End_Steps();
    EXPECT_EQ(Hex_Prefix(), "");
    EXPECT_EQ(trace, (std::vector<std::string>{"drawing start", "unitcg start", "unitcg end",
                                               "drawing end"}));
    Module_End(Module::Drawing);  // unbalanced end: nothing happens
    EXPECT_EQ(Module_Nesting(Module::Drawing), 0);
    EXPECT_EQ(trace.size(), 4u);

    // Work registered after its module started still gets its start.
    Module_Start(Module::Unit3);
    bool started = false;
    Set_Module_Work(Module::Unit3, {[&] { started = true; }, nullptr});
    EXPECT_TRUE(started);
    Module_End(Module::Unit3);
    Set_Module_Work(Module::Drawing, {});
    Set_Module_Work(Module::Unitcg, {});
    Set_Module_Work(Module::Unit3, {});
}

TEST(MemoryStatus, ReportTexts) {
    MemoryStatus status;
    status.Memory_Load = 37;
    status.Avail_Phys = 6ull << 30;  // beyond 32 bits
    status.Avail_Page_File = (3ull << 20) + 1023;
    status.Avail_Virtual = 128ull << 40;
    EXPECT_EQ(Memory_Report_Text(status),
              "Memory load: 63 % available\nPhysical memory available: 6291456 kB\n"
              "Pagefile memory available: 3 MB\nVirtual  memory available: 134217728 MB");
    MemoryStatus start = status;
    start.Avail_Phys = 2047;
    EXPECT_EQ(Memory_Check_Text(status, start),
              "Physical memory: 6291456 kB (1 kB at start)\nPagefile memory: 3 MB (3 MB at "
              "start)\nVirtual  memory: 134217728 MB (134217728 MB at start)");
}

TEST(MemoryStatus, ReadFromProcTexts) {
    const std::string meminfo =
        "MemTotal:       1000000 kB\nMemFree:          10 kB\nMemAvailable:    250000 kB\n"
        "SwapTotal:       4096 kB\nSwapFree:        2048 kB\n";
    const MemoryStatus s =
        Memory_Status_From_Texts(meminfo, "Name:\tx\nVmSize:\t  1024 kB\n", 1ull << 30);
    EXPECT_EQ(s.Memory_Load, 75u);
    EXPECT_EQ(s.Avail_Phys, 250000ull * 1024);
    EXPECT_EQ(s.Avail_Page_File, 2048ull * 1024);
    EXPECT_EQ(s.Avail_Virtual, (1ull << 30) - (1ull << 20));

    const MemoryStatus empty = Memory_Status_From_Texts("", "", 0);
    EXPECT_EQ(empty.Memory_Load, 0u);
    EXPECT_EQ(empty.Avail_Virtual, 0u);

    const MemoryStatus live = Query_Memory_Status();
    EXPECT_LE(live.Memory_Load, 100u);
    EXPECT_GT(live.Avail_Phys, 0u);
}

TEST(MemoryStatus, StartReportIsOneOkBoxWithTheSnapshot) {
    ScriptedDialogs dialogs;
    Program_Services().dialogs = &dialogs;
    Report_Start_Memory();
    Program_Services().dialogs = nullptr;
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, "Vantor Evaluation Kit");
    EXPECT_EQ(dialogs.messages[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(dialogs.messages[0].text, Memory_Report_Text(Start_Memory_Snapshot()));
    EXPECT_EQ(dialogs.messages[0].text.rfind("Memory load: ", 0), 0u);
}

// Without windows, a question is printed and answered with its default button, and no file
// is ever chosen, so a headless run never takes a destructive answer by accident.
TEST(Dialogs, ConsoleFallbackTakesTheDefault) {
    Program_Services().dialogs = nullptr;
    EXPECT_EQ(Show_Message("c", "console", MsgIcon::None, MsgButtons::YesNo, MsgResult::No),
              MsgResult::No);
    EXPECT_EQ(Current_Dialogs().Save_File({}), std::nullopt);
    EXPECT_EQ(Current_Dialogs().Open_File({}), std::nullopt);
}

}  // namespace

TEST(Services, AScopedRecordReplacesEveryServiceAndPutsTheOuterOneBack) {
    ScriptedDialogs outer_dialogs;
    VirtualClock outer_clock;
    outer_clock.Set(500);
    Services outer_record;
    outer_record.dialogs = &outer_dialogs;
    outer_record.clock = &outer_clock;
    ScopedServices outer(outer_record);
    {
        VirtualClock inner_clock;
        inner_clock.Set(7);
        Services inner_record;
        inner_record.clock = &inner_clock;
        inner_record.os_family = OsFamily::NT;
        ScopedServices inner(inner_record);
        EXPECT_EQ(Clock_Milliseconds(), 7u);
        EXPECT_EQ(Current_Os_Family(), OsFamily::NT);
        // Members the inner record leaves empty are the system's own, not the outer ones.
        EXPECT_NE(&Current_Dialogs(), &outer_dialogs);
    }
    EXPECT_EQ(Clock_Milliseconds(), 500u);
    EXPECT_EQ(&Current_Dialogs(), &outer_dialogs);
    EXPECT_EQ(Current_Os_Family(), OsFamily::Non_NT);
}
