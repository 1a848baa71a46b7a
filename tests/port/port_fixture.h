// A fresh port layer on a fresh simulated board for every test: the library reset to
// "1=sim" (LPT2, LPT3 absent), Port_State at its initial values, a virtual clock and
// scripted dialogs.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "board/simulated_board.h"
#include "board/simulated_port.h"
#include "chip/program_state.h"
#include "port/activity_log.h"
#include "port/port_state.h"
#include "shell/clock.h"
#include "shell/dialogs.h"
#include "shell/platform.h"
#include "shell/services.h"
#include "vanlpt/vanlpt.h"
#include "vanlpt/vanlpt_testing.h"

// The diagnostic window's side of the log, kept in memory.
class FakeLogView : public ActivityLogView {
public:
    int Memo_Line_Count() const override { return static_cast<int>(memo.size()); }
    void Memo_Delete_First_Lines(int count) override {
        memo.erase(memo.begin(), memo.begin() + std::min<std::size_t>(count, memo.size()));
    }
    void Memo_Add_Line(const std::string& line) override { memo.push_back(line); }
    std::string Pin_Caption(int pin) const override { return "caption " + std::to_string(pin); }
    std::string Level_Text() const override { return level_text; }
    void Log_Switched_Off(const std::string& label) override { switched_off_label = label; }

    std::vector<std::string> memo;
    std::optional<std::string> switched_off_label;
    std::string level_text = "all";
};

class PortTest : public ::testing::Test {
protected:
    void SetUp() override { Use_Ports("1=sim"); }
    void TearDown() override {
        Program_Services().activity_log_view = nullptr;
        Program_Services().dialogs = nullptr;
        Program_Services().clock = nullptr;
        Program_Services().os_family = std::nullopt;
        Reset_Program_State();
    }

    void Use_Ports(const std::string& mapping) {
        std::string error;
        ASSERT_TRUE(vanlpt::testing::Reset_Library(mapping, &error)) << error;
        Reset_Program_State();
        Program_Services().clock = &clock;
        Program_Services().dialogs = &dialogs;
    }

    static board::SimulatedBoard& Board(int n = 1) { return *vanlpt::testing::Simulated_Board(n); }
    static board::SimulatedPort& Port(int n = 1) { return *vanlpt::testing::Simulated_Port(n); }

    ScopedServices services;  // whatever a test installs goes when it ends
    VirtualClock clock;
    ScriptedDialogs dialogs;
};
