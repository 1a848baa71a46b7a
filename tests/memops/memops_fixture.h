// The program started on a fresh simulated board, with the diagnostics tick stopped so that
// each test runs the ticks it needs, a scratch folder for files, and the register
// transaction options back at their start values afterwards.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <string>

#include "board/osdex_chip.h"
#include "chip/luma.h"
#include "shell/services.h"
#include "ui_fixture.h"

class MemopsTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        // Long loops let events run, as in the program.
        Program_Services().process_events = [] { QCoreApplication::processEvents(); };
        Drawing_Module_Start();  // the batch file object
        Start_Program();
        OsdexForm->Timer1->stop();
        dialogs.messages.clear();
        Clear_Register_Statistics();
    }

    void TearDown() override {
        UiTest::TearDown();
        Program_Services().process_events = nullptr;
        Cache_Enabled = 1;
        Verify_Writes = 0;
        Write_Retries = 3;
        Redundant_Addressing_Flag = 1;
        Close_Register_Batch_File();
        Drawing_Module_End();
    }

    board::OsdexChip& Chip() { return Board().Chip(); }

    std::string Path(const char* name) const { return scratch.filePath(name).toStdString(); }

    static void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }

    // A level for every pixel, different along both directions.
    static int Pattern_Level(int x, int y) { return (x / 3 + y / 2) % 16; }

    static void Paint_Pattern(Canvas& picture, int width, int height) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                picture.Set_Pixel(x, y, OSD_To_Color(Pattern_Level(x, y)));
    }

    QTemporaryDir scratch;
};
