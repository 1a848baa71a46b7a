// `osdex memory` as a user runs it: channels filled with a level, read back as a picture in
// the program's colours, and a picture uploaded again; bad pictures and channels refused
// before the port is opened.
#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>
#include <fstream>

#include "run_osdex.h"

namespace {

class OsdexMemory : public ::testing::Test {
protected:
    std::string Path(const char* name) const { return folder.filePath(name).toStdString(); }
    std::string Board() const { return "--port=sim:" + Path("board.osdex"); }
    int Run(std::vector<std::string> args) {
        args.insert(args.begin(), Board());
        const OsdexRun run = Run_Osdex_Program(args);
        EXPECT_EQ(run.err.find("osdex:"), std::string::npos) << run.err;
        return run.status;
    }
    QTemporaryDir folder;
};

constexpr QRgb Transparent_Blue = 0xFF0000FF;  // level 0 on every picture
constexpr QRgb White = 0xFFFFFFFF;             // level 15

TEST_F(OsdexMemory, ErasedChannelsReadBackAsThePicturesTheWindowsShow) {
    ASSERT_EQ(Run({"memory", "erase", "all", "15"}), 0);
    ASSERT_EQ(Run({"memory", "erase", "0x2"}), 0);  // channel 2, level 0 by default
    ASSERT_EQ(Run({"memory", "save", "1", Path("one.png")}), 0);
    ASSERT_EQ(Run({"memory", "save", "2", Path("two.png")}), 0);
    const QImage one(QString::fromStdString(Path("one.png")));
    const QImage two(QString::fromStdString(Path("two.png")));
    ASSERT_EQ(one.size(), QSize(712, 512));
    EXPECT_EQ(one.pixel(0, 0), White);
    EXPECT_EQ(one.pixel(711, 511), White);
    EXPECT_EQ(two.pixel(0, 0), Transparent_Blue);
    EXPECT_EQ(two.pixel(711, 511), Transparent_Blue);
}

TEST_F(OsdexMemory, ASavedChannelLoadsBackIntoAnotherOneExactly) {
    QImage picture(712, 512, QImage::Format_RGB32);
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 712; ++x) {
            const int v = (x / 16 + y / 8) % 16 * 17;
            picture.setPixel(x, y, qRgb(v, v, v));
        }
    ASSERT_TRUE(picture.save(QString::fromStdString(Path("ramp.bmp")), "BMP"));
    ASSERT_EQ(Run({"memory", "load", "4", Path("ramp.bmp")}), 0);
    ASSERT_EQ(Run({"memory", "save", "4", Path("four.png")}), 0);
    ASSERT_EQ(Run({"memory", "load", "6", Path("four.png")}), 0);
    ASSERT_EQ(Run({"memory", "save", "6", Path("six.png")}), 0);
    const QImage four(QString::fromStdString(Path("four.png")));
    const QImage six(QString::fromStdString(Path("six.png")));
    EXPECT_TRUE(four == six);
    EXPECT_NE(four.pixel(711, 511), Transparent_Blue);  // the last column and line too
}

TEST_F(OsdexMemory, BadPicturesAndChannelsAreRefusedBeforeThePortIsOpened) {
    QImage small(40, 30, QImage::Format_RGB32);
    small.fill(Qt::white);
    ASSERT_TRUE(small.save(QString::fromStdString(Path("small.bmp")), "BMP"));
    std::ifstream in(Path("small.bmp"), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::ofstream(Path("cut.bmp"), std::ios::binary) << bytes.substr(0, bytes.size() - 200);
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"memory", "load", "1", Path("cut.bmp")}, "Cannot load"},
        {{"memory", "load", "1", Path("absent.png")}, "does not exist"},
        {{"memory", "load", "9", Path("small.bmp")}, "bad channel \"9\""},
        {{"memory", "save", "8", Path("x.png")}, "bad channel \"8\""},
        {{"memory", "erase", "every"}, "bad channel \"every\""},
        {{"memory", "erase", "all", "16"}, "bad level \"16\""},
        {{"memory"}, "subcommand"},
    };
    for (auto [args, message] : cases) {
        args.insert(args.begin(), "--port=/dev/parport-osdex-test-absent");
        const OsdexRun run = Run_Osdex_Program(args);
        EXPECT_EQ(run.status, 2) << message << ": " << run.err;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    }
}

}  // namespace
