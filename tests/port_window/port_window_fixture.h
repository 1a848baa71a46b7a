// The diagnostic window on a fresh simulated board behind LPT1, with scripted dialogs and a
// virtual clock, and a port that counts every register access the window causes.
#pragma once

#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QTabWidget>
#include <QTimer>

#include <memory>

#include "board/simulated_board.h"
#include "board/simulated_port.h"
#include "chip/program_state.h"
#include "port/activity_log.h"
#include "port/loopback_hunt.h"
#include "port/port_state.h"
#include "port/window/port_window.h"
#include "shell/clock.h"
#include "shell/dialogs.h"
#include "shell/event_pump.h"
#include "shell/services.h"
#include "vanlpt/vanlpt.h"
#include "vanlpt/vanlpt_testing.h"

// Passes every access on to the simulated port and counts reads and writes.
class CountingPort : public vanlpt::RawPort {
public:
    explicit CountingPort(board::SimulatedPort& port) : port_(port) {}
    std::uint8_t Read_Data() override {
        ++reads;
        return port_.Read_Data();
    }
    void Write_Data(std::uint8_t value) override {
        ++writes;
        port_.Write_Data(value);
    }
    std::uint8_t Read_Status() override {
        ++reads;
        return port_.Read_Status();
    }
    std::uint8_t Read_Control() override {
        ++reads;
        return port_.Read_Control();
    }
    void Write_Control(std::uint8_t value) override {
        ++writes;
        port_.Write_Control(value);
    }
    void Write_Register(unsigned offset, std::uint8_t value) override {
        ++writes;
        port_.Write_Register(offset, value);
    }

    int reads = 0;
    int writes = 0;

private:
    board::SimulatedPort& port_;
};

class PortWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(vanlpt::testing::Reset_Library("1=sim"));
        Reset_Program_State();
        Program_Services().dialogs = &dialogs;
        Program_Services().clock = &clock;
        Clear_Quit_Request();
        counting = std::make_unique<CountingPort>(*vanlpt::testing::Simulated_Port(1));
        vanlpt::testing::Install_Raw_Port(1, counting.get());
        ASSERT_NE(Select_LPT_Port(1), 0);
        form = std::make_unique<TLptConForm>();
        form->Timer1->stop();  // the tests run the refresh themselves
    }

    void TearDown() override {
        form.reset();
        Close_Activity_Log_File();
        vanlpt::testing::Install_Raw_Port(1, nullptr);
        Program_Services().process_events = nullptr;
        Clear_Quit_Request();
        Program_Services().clock = nullptr;
        Program_Services().dialogs = nullptr;
        Reset_Program_State();
    }

    void Show_Page(QWidget* page) {
        form->show();
        form->PageControl1->setCurrentWidget(page);
        QApplication::processEvents();
    }

    board::SimulatedBoard& Board() { return *vanlpt::testing::Simulated_Board(1); }

    ScopedServices services;  // whatever a test installs goes when it ends
    ScriptedDialogs dialogs;
    VirtualClock clock;
    std::unique_ptr<CountingPort> counting;
    std::unique_ptr<TLptConForm> form;
};
