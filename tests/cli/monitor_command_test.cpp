// `osdex monitor` as a user runs it: the frame of a saved board with its overlay and offsets
// over each video source, and bad channels, sources and files refused before the port is
// opened.
#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>
#include <fstream>

#include "run_osdex.h"

namespace {

constexpr QRgb Bar_White = 0xFFBFBFBF;  // the first colour bar, 75 %
constexpr QRgb White = 0xFFFFFFFF;      // level 15
constexpr QRgb Black = 0xFF000000;

class OsdexMonitor : public ::testing::Test {
protected:
    std::string Path(const char* name) const { return folder.filePath(name).toStdString(); }
    int Run(std::vector<std::string> args) {
        args.insert(args.begin(), "--port=sim:" + Path("board.osdex"));
        const OsdexRun run = Run_Osdex_Program(args);
        EXPECT_EQ(run.err, "");
        return run.status;
    }
    QImage Frame(std::vector<std::string> args) {
        args.insert(args.begin(), {"monitor", "1", Path("frame.png")});
        EXPECT_EQ(Run(args), 0);
        return QImage(QString::fromStdString(Path("frame.png")));
    }
    QTemporaryDir folder;
};

TEST_F(OsdexMonitor, TheFrameShowsTheSavedBoardsOverlayMovedByItsOffsets) {
    ASSERT_EQ(Run({"memory", "erase", "1", "15"}), 0);
    ASSERT_EQ(Run({"write", "23", "136"}), 0);  // HOFFSET of channel 1: 8 right
    const QImage frame = Frame({});
    ASSERT_EQ(frame.size(), QSize(712, 512));
    EXPECT_EQ(frame.pixel(7, 100), Bar_White);  // the colour bars show left of the overlay
    EXPECT_EQ(frame.pixel(8, 100), White);
    EXPECT_EQ(frame.pixel(711, 511), White);
    ASSERT_EQ(Run({"write", "21", "2"}), 0);  // BLANK
    EXPECT_EQ(Frame({}).pixel(8, 100), Bar_White);
}

TEST_F(OsdexMonitor, EachSourceLiesUnderTheOverlay) {
    EXPECT_EQ(Frame({"--source", "bars"}).pixel(0, 0), Bar_White);
    const QImage ramp = Frame({"--source", "ramp"});
    EXPECT_EQ(ramp.pixel(0, 0), Black);
    EXPECT_EQ(ramp.pixel(711, 0), White);
    EXPECT_EQ(Frame({"--source", "black"}).pixel(356, 256), Black);

    QImage picture(2, 1, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(255, 0, 0));
    picture.setPixel(1, 0, qRgb(0, 0, 255));
    ASSERT_TRUE(picture.save(QString::fromStdString(Path("camera.bmp")), "BMP"));
    const QImage camera = Frame({"--source", Path("camera.bmp")});
    EXPECT_EQ(camera.pixel(0, 511), 0xFFFF0000);  // scaled to the whole frame
    EXPECT_EQ(camera.pixel(711, 0), 0xFF0000FF);
}

TEST_F(OsdexMonitor, BadArgumentsAreRefusedBeforeThePortIsOpened) {
    { std::ofstream(Path("cut.bmp"), std::ios::binary) << "BM and nothing more"; }
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"monitor", "8", Path("x.png")}, "bad channel \"8\""},
        {{"monitor", "0", Path("x.png"), "--source", Path("absent.bmp")}, "does not exist"},
        {{"monitor", "0", Path("x.png"), "--source", Path("cut.bmp")}, "Cannot load"},
        {{"monitor", "0", Path("none/x.png")}, "cannot write"},
        {{"monitor", "0", folder.path().toStdString()}, "not a regular file"},
    };
    for (auto [args, message] : cases) {
        args.insert(args.begin(), "--port=/dev/parport-osdex-test-absent");
        const OsdexRun run = Run_Osdex_Program(args);
        EXPECT_EQ(run.status, 2) << message << ": " << run.err;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    }
    // Without a simulated board there is no frame to show.
    for (const char* port : {"--port=none", "--port=unplugged"})
        EXPECT_EQ(Run_Osdex_Program({port, "monitor", "0", Path("x.png")}).status, 1) << port;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("x.png"))));
}

}  // namespace
