// What the windows record in the batch file, `osdex` plays back: a solid rectangle drawn
// into channels 0 and 2 with the batch option on, replayed on a fresh board kept in a file,
// leaves the same display memory in every channel.
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QToolButton>

#include "canvas_fixture.h"
#include "chip/register_bus.h"
#include "tests/cli/run_osdex.h"
#include "vanlpt/board_state.h"

class BatchReplayTest : public CanvasTest {
protected:
    void SetUp() override {
        Drawing_Module_Start();  // the batch file object
        CanvasTest::SetUp();
    }
    void TearDown() override {
        CanvasTest::TearDown();
        Close_Register_Batch_File();
        Drawing_Module_End();
    }
};

TEST_F(BatchReplayTest, ABatchFileTheWindowsRecordedReplaysToTheSameDisplayMemory) {
    QTemporaryDir folder;
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    OsdexForm->cbMWRITE[2]->click();
    OsdexForm->ToolButtonSolidRect->click();
    Scroll_Pattern(OsdexForm, 1, 2, 3, 4);
    OsdexForm->menuDiagnosticRegBatch->trigger();
    ASSERT_TRUE(OsdexForm->menuDiagnosticRegBatch->isChecked());
    Drag(OsdexForm, {10, 20}, {350, 90});
    Scroll_Pattern(OsdexForm, 15, 0, 7, 9);
    Drag(OsdexForm, {300, 60}, {700, 400});
    OsdexForm->menuDiagnosticRegBatch->trigger();
    QDir::setCurrent(previous);

    const std::string board = folder.filePath("replayed.osdex").toStdString();
    const OsdexRun run = Run_Osdex_Program(
        {"--port=sim:" + board, "replay", folder.filePath("regtest.bat").toStdString()});
    ASSERT_EQ(run.status, 0) << run.err;
    vanlpt::BoardState replayed;
    std::string error;
    ASSERT_TRUE(vanlpt::Decode_Board_State(File_Bytes(board), &replayed, &error)) << error;

    int drawn = 0, differing = 0;
    for (int c = 0; c < vanlpt::kStateChannels; ++c)
        for (int line = 0; line < vanlpt::kStateLines; ++line)
            for (int q = 0; q < vanlpt::kStateQuadsPerLine; ++q) {
                const std::uint16_t quad = Chip().Quad(c, line, q);
                drawn += quad != 0;
                differing += quad != replayed.Quad(c, line, q);
            }
    EXPECT_GT(drawn, 2 * 100 * 30);
    EXPECT_EQ(differing, 0);
}
