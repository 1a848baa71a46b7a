// The windows on a fresh simulated board with scripted dialogs, a virtual clock (the hunt's
// settle waits take no time) and a process exit that throws instead of ending the test run.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "board/simulated_board.h"
#include "chip/program_state.h"
#include "chip/register_bus.h"
#include "port/port_state.h"
#include "shell/clock.h"
#include "shell/dialogs.h"
#include "shell/event_pump.h"
#include "shell/services.h"
#include "ui/app/application.h"
#include "ui/app/forms.h"
#include "ui/channel_window/channel_window.h"
#include "ui/main_window/main_window.h"
#include "vanlpt/vanlpt_testing.h"

struct ProcessEnded {
    int code;
};

[[noreturn]] inline void Throw_Process_Ended(int code) {
    throw ProcessEnded{code};
}

// A window that was never shown and never given a window state has no native window; on X11
// one that has would be mapped (taking clicks) while Qt still calls it hidden.
inline ::testing::AssertionResult Still_Unmapped(const QWidget* window) {
    if (window->isVisible()) return ::testing::AssertionFailure() << "visible";
    if (window->testAttribute(Qt::WA_WState_Created) || window->windowHandle())
        return ::testing::AssertionFailure() << "has a native window";
    if (window->windowState() != Qt::WindowNoState)
        return ::testing::AssertionFailure() << "window state " << window->windowState();
    return ::testing::AssertionSuccess();
}

class UiTest : public ::testing::Test {
protected:
    void SetUp() override { Start_With_Board("1=sim"); }

    void Start_With_Board(const char* mapping) {
        ASSERT_TRUE(vanlpt::testing::Reset_Library(mapping));
        Reset_Program_State();
        Program_Services().dialogs = &dialogs;
        Program_Services().clock = &clock;
        Clear_Quit_Request();
        Program_Services().process_exit = Throw_Process_Ended;
    }

    void TearDown() override {
        Destroy_All_Windows();
        Program_Services().process_exit = nullptr;
        Clear_Quit_Request();
        Program_Services().clock = nullptr;
        Program_Services().dialogs = nullptr;
        Reset_Program_State();
    }

    // The start-up of the program up to the event loop, and the main window's first show.
    void Start_Program() {
        Show_Memory_Report();
        Create_Application_Windows();
        OsdexForm->show();
        QApplication::processEvents();
    }

    board::SimulatedBoard& Board() { return *vanlpt::testing::Simulated_Board(1); }

    ScopedServices services;  // whatever a test installs goes when it ends
    ScriptedDialogs dialogs;
    VirtualClock clock;
};
