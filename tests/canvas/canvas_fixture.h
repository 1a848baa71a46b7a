// The program up to its event loop on a fresh simulated board, with mouse drags on a window's
// picture and comparisons of pictures against the board's display memory.
#pragma once

#include <QDir>
#include <QImage>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <string>
#include <vector>

#include "chip/luma.h"
#include "port/activity_log.h"
#include "shell/services.h"
#include "ui/drawing/canvas_tools.h"
#include "ui/text_dialog/text_dialog.h"
#include "ui/widgets/picture_view.h"
#include "ui/widgets/qp_level_picker.h"
#include "ui_fixture.h"

class CanvasTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Start_Program();
    }

    void TearDown() override {
        Program_Services().activity_log_view = nullptr;
        Port_State.Log_Mask = 0;
        UiTest::TearDown();
    }

public:
    using UiTest::dialogs;

    board::OsdexChip& Chip() { return Board().Chip(); }

    // Mouse events sent to the picture itself, at exactly the point given (QTest takes (0, 0)
    // for "the middle", and a move through the cursor would reach whichever window lies on
    // top at that screen position).
    static void Send_Mouse(TDrawingForm* form, QEvent::Type type, QPoint at, Qt::MouseButton button,
                           Qt::MouseButtons held) {
        QWidget* view = form->Image1;
        QMouseEvent event(type, at, view->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(view, &event);
    }
    static void Press(TDrawingForm* form, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        held_ = button;
        Send_Mouse(form, QEvent::MouseButtonPress, at, button, held_);
    }
    static void Move(TDrawingForm* form, QPoint at) {
        Send_Mouse(form, QEvent::MouseMove, at, Qt::NoButton, held_);
    }
    static void Release(TDrawingForm* form, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        held_ = Qt::NoButton;
        Send_Mouse(form, QEvent::MouseButtonRelease, at, button, held_);
    }
    // Press, one move to the end point and release there.
    static void Drag(TDrawingForm* form, QPoint from, QPoint to,
                     Qt::MouseButton button = Qt::LeftButton) {
        Press(form, from, button);
        Move(form, to);
        Release(form, to, button);
    }
    static void Click(TDrawingForm* form, QPoint at) { Drag(form, at, at); }

    // The quad pattern as the user scrolls it into the pickers, leftmost pixel first.
    static void Scroll_Pattern(TDrawingForm* form, int p0, int p1, int p2, int p3) {
        form->ListBoxQP3->Set_Shown_Row(p0);
        form->ListBoxQP2->Set_Shown_Row(p1);
        form->ListBoxQP1->Set_Shown_Row(p2);
        form->ListBoxQP0->Set_Shown_Row(p3);
    }
    static std::vector<int> Selected_Rows(TDrawingForm* form) {
        return {form->ListBoxQP3->Selected_Row(), form->ListBoxQP2->Selected_Row(),
                form->ListBoxQP1->Selected_Row(), form->ListBoxQP0->Selected_Row()};
    }

    // Closes the text and font dialog with OK or Cancel as soon as a tool shows it.
    static void Answer_Text_Dialog(bool ok) {
        auto* answer = new QTimer(CGForm);
        QObject::connect(answer, &QTimer::timeout, CGForm, [answer, ok] {
            if (!CGForm->isVisible()) return;
            (ok ? CGForm->btnOk : CGForm->btnCancel)->click();
            answer->deleteLater();
        });
        answer->start(5);
    }

    // Pixels whose level on the picture differs from the channel's display memory.
    int Mismatches(const Canvas& picture, int channel) {
        int count = 0;
        for (int y = 0; y < Canvas::Picture_Height; ++y) {
            for (int x = 0; x < Canvas::Picture_Width; ++x) {
                if (Color_To_OSD(picture.Pixel(x, y)) != Chip().Pixel(channel, y, x)) ++count;
            }
        }
        return count;
    }
    // Quads of the channel's display memory that are not level 0.
    int Drawn_Quads(int channel) {
        int count = 0;
        for (int line = 0; line < board::kLines; ++line) {
            for (int q = 0; q < board::kQuadsPerLine; ++q)
                count += Chip().Quad(channel, line, q) != 0;
        }
        return count;
    }
    // Pixels of the picture that are not level 0.
    static int Drawn_Pixels(const Canvas& picture) {
        int count = 0;
        for (int y = 0; y < Canvas::Picture_Height; ++y) {
            for (int x = 0; x < Canvas::Picture_Width; ++x)
                count += picture.Pixel(x, y) != Transparent_Color;
        }
        return count;
    }
    // The lines n of every quad column of a channel hold level 0.
    bool Line_Blank(int channel, int line) {
        for (int q = 0; q < board::kQuadsPerLine; ++q) {
            if (Chip().Quad(channel, line, q) != 0) return false;
        }
        return true;
    }

    // A bitmap file whose pixels are the colours of levels in a diagonal pattern.
    std::string Write_Level_Bitmap(const char* name, int width, int height) {
        QImage image(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                image.setPixel(x, y, To_QRgb(OSD_To_Color(Pattern_Level(x, y))));
        }
        const QString path = files_.filePath(name);
        EXPECT_TRUE(image.save(path, "BMP"));
        return path.toStdString();
    }
    static int Pattern_Level(int x, int y) { return (x / 7 + y / 5) % 16; }
    std::string Write_File(const char* name, const QByteArray& bytes) {
        const QString path = files_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path.toStdString();
    }

    QTemporaryDir files_;
    static inline Qt::MouseButtons held_;
};

// Register writes as they reach the bus (after the cache), from the high-detail trace.
class BusWriteRecorder : public ActivityLogView {
public:
    BusWriteRecorder() {
        Program_Services().activity_log_view = this;
        Port_State.Log_Mask = Log_High;
    }
    int Memo_Line_Count() const override { return static_cast<int>(lines_.size()); }
    void Memo_Delete_First_Lines(int count) override {
        lines_.erase(lines_.begin(), lines_.begin() + count);
    }
    void Memo_Add_Line(const std::string& line) override { lines_.push_back(line); }
    std::string Pin_Caption(int) const override { return ""; }
    std::string Level_Text() const override { return "high"; }

    // "Write_Register(86, 05)" for each write, in order.
    std::vector<std::string> Writes() const {
        std::vector<std::string> writes;
        for (const std::string& line : lines_) {
            const auto at = line.find("Write_Register(");
            if (at != std::string::npos) writes.push_back(line.substr(at));
        }
        return writes;
    }
    void Clear() { lines_.clear(); }

private:
    std::vector<std::string> lines_;
};
