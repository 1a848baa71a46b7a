// Picture files on their own: loading by content with clear errors, saving as a bitmap that
// replaces an existing file only when complete, and levels kept through a save and a load.
#include <sys/resource.h>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <csignal>
#include <cstring>

#include "chip/canvas.h"
#include "chip/luma.h"
#include "gtest/gtest.h"
#include "ui/drawing/picture_files.h"

namespace {

void Write_File(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray Read_File(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

TEST(PictureFiles, BadFilesGiveAnErrorThatNamesFileAndReason) {
    QTemporaryDir dir;
    const QString corrupt = dir.filePath("corrupt.bmp");
    Write_File(corrupt, "BM this is not a bitmap at all");
    const QString empty = dir.filePath("empty.bmp");
    Write_File(empty, "");
    const QString huge = dir.filePath("huge.bmp");
    Write_File(huge, "BM");
    QFile(huge).resize(Picture_File_Max_Bytes + 1);  // sparse: takes no room on the disk
    const QString metafile = dir.filePath("drawing.emf");
    Write_File(metafile, QByteArray(64, '\x01'));

    struct Case {
        QString path;
        const char* reason;
    } cases[] = {{corrupt, "not a readable picture"},
                 {empty, "empty"},
                 {huge, "too large"},
                 {metafile, "metafiles are not supported"},
                 {dir.filePath("missing.bmp"), "does not exist"},
                 {dir.path(), "cannot be read"}};
    for (const Case& c : cases) {
        const PictureLoadResult result = Load_Picture_File(c.path.toStdString());
        EXPECT_TRUE(result.image.isNull()) << c.path.toStdString();
        EXPECT_NE(result.error.find(c.path.toStdString()), std::string::npos) << result.error;
        EXPECT_NE(result.error.find(c.reason), std::string::npos) << result.error;
    }
}

TEST(PictureFiles, SavedBitmapKeepsEveryLevelWhateverTheExtension) {
    QTemporaryDir dir;
    Canvas picture;
    for (int x = 0; x < Canvas::Picture_Width; ++x) picture.Set_Pixel(x, 7, OSD_To_Color(x % 16));
    const std::string path = dir.filePath("levels.png").toStdString();
    ASSERT_EQ(Save_Picture_File(picture.Image(), path), std::nullopt);
    EXPECT_TRUE(Read_File(QString::fromStdString(path)).startsWith("BM"));

    const PictureLoadResult loaded = Load_Picture_File(path);
    ASSERT_FALSE(loaded.image.isNull()) << loaded.error;
    ASSERT_EQ(loaded.image.size(), QSize(712, 512));
    for (int x = 0; x < Canvas::Picture_Width; ++x)
        ASSERT_EQ(Color_To_OSD(From_QRgb(loaded.image.pixel(x, 7))), x % 16) << x;
    EXPECT_EQ(Color_To_OSD(From_QRgb(loaded.image.pixel(0, 0))), 0);
}

TEST(PictureFiles, FailedSaveLeavesTheOldFileAndSaysWhy) {
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.bmp");
    Write_File(path, "the old picture");

    // Nothing can be encoded: the old file must survive whole, with no stray temporary.
    const auto error = Save_Picture_File(QImage(), path.toStdString());
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find("keep.bmp"), std::string::npos);
    EXPECT_EQ(Read_File(path), "the old picture");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.bmp"});

    // A folder that does not exist cannot take the file.
    const auto no_folder = Save_Picture_File(QImage(4, 4, QImage::Format_RGB32),
                                             dir.filePath("none/x.bmp").toStdString());
    ASSERT_TRUE(no_folder.has_value());
    EXPECT_NE(no_folder->find("Cannot save"), std::string::npos);
}

// A file-size limit makes the writes fail with EFBIG, as a full disk fails them with ENOSPC.
TEST(PictureFiles, FailedWriteNamesItsCause) {
    QTemporaryDir dir;
    const QString path = dir.filePath("big.bmp");
    Write_File(path, "the old picture");
    rlimit old_limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old_limit;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto error =
        Save_Picture_File(QImage(712, 512, QImage::Format_RGB32), path.toStdString());
    ::setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);

    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find(std::strerror(EFBIG)), std::string::npos) << *error;
    EXPECT_EQ(error->find("canceled"), std::string::npos) << *error;
    EXPECT_EQ(Read_File(path), "the old picture");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"big.bmp"});
}
