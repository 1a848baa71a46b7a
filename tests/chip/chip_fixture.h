// A fresh simulated board behind LPT1 with the chip bus set up, and helpers that compare
// the board's display memory with a picture.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "board/simulated_board.h"
#include "chip/canvas.h"
#include "chip/drawing_primitives.h"
#include "chip/luma.h"
#include "chip/program_state.h"
#include "chip/register_bus.h"
#include "port/port_state.h"
#include "shell/clock.h"
#include "shell/event_pump.h"
#include "shell/services.h"
#include "vanlpt/vanlpt.h"
#include "vanlpt/vanlpt_testing.h"

class ChipTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(vanlpt::testing::Reset_Library("1=sim"));
        Reset_Program_State();
        ASSERT_NE(Select_LPT_123(1), 0);
        Set_Register(0x402, 0x30);  // byte mode, so that reads see the chip
        Port_State.Selected_Port = 1;
        Port_State.Log_Mask = 0;
        board_ = vanlpt::testing::Simulated_Board(1);
        ASSERT_NE(board_, nullptr);
        Cache_Enabled = 1;
        Verify_Writes = 0;
        Batch_Enabled = 0;
        Write_Retries = 3;
        Transparent_Color = Default_Transparent_Color;
        Clear_Quit_Request();
        Program_Services().process_events = nullptr;
        Program_Services().clock = &clock;
        Set_Event_Interval(0);  // tests step the event pump exactly
        Init_DUT_Bus();
        Clear_Register_Statistics();
        board_->Reset_Counters();
    }
    void TearDown() override {
        Set_Event_Interval(Default_Event_Interval_ms);
        Program_Services().clock = nullptr;
        Program_Services().process_events = nullptr;
        Clear_Quit_Request();
        Reset_Program_State();
    }

    board::OsdexChip& Chip() { return board_->Chip(); }
    std::uint64_t Board_Writes() const { return board_->Chip().Counters().register_writes; }
    std::uint64_t Board_Reads() const { return board_->Chip().Counters().register_reads; }
    std::uint64_t Board_Commands() const { return board_->Chip().Counters().memory_commands; }
    void Reset_Board_Counters() { board_->Reset_Counters(); }

    ScopedServices services;  // whatever a test installs goes when it ends
    VirtualClock clock;

    // Number of pixels in [x0, x1) x [y0, y1) where the channel's memory and the picture
    // disagree.
    int Mismatches(int channel, const Canvas& picture, int x0, int y0, int x1, int y1) {
        int bad = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                const unsigned chip = Chip().Pixel(channel, y, x);
                if (Color_To_OSD(picture.Pixel(x, y)) != chip) ++bad;
            }
        }
        return bad;
    }
    // Pixels of the channel's memory that are not level 0.
    int Nonzero_Pixels(int channel) {
        int count = 0;
        for (int y = 0; y < 512; ++y)
            for (int x = 0; x < 712; ++x) count += Chip().Pixel(channel, y, x) != 0;
        return count;
    }

    board::SimulatedBoard* board_ = nullptr;
};
