// The channel window's time stamp: a box with the current time (optionally the date too),
// drawn on the picture and uploaded into the channel's display memory once a second. The tick
// keeps the channel's quad registers and STATUS as the user left them, although the upload
// uses them.
#include "ui/channel_window/time_stamp.h"

#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <array>
#include <cstdint>

#include "chip/display_memory.h"
#include "chip/drawing_primitives.h"
#include "chip/luma.h"
#include "chip/register_bus.h"
#include "chip/register_map.h"
#include "shell/clock.h"
#include "shell/event_pump.h"
#include "ui/channel_window/channel_window.h"
#include "ui/text_dialog/text_dialog.h"
#include "ui/widgets/picture_view.h"

namespace {

// The locale's long time format without its time-zone parts ("t", "tt", ...).
QString Long_Time_Format(const QLocale& locale) {
    QString format = locale.timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (QChar c : format) {
        if (c == '\'') quoted = !quoted;
        if (!quoted && c == 't') continue;
        result += c;
    }
    return result.simplified();
}

// The registers the tick saves before its upload and restores after it, in this order.
constexpr std::array<std::uint8_t, 6> Saved_Registers = {Reg::STATUS,  Reg::QPH,     Reg::QPL,
                                                         Reg::QPLINEH, Reg::QPLINEL, Reg::QPHORIZ};

// The text the box is first sized for.
constexpr const char* Time_Stamp_Sample = "88:88 AM";

}  // namespace

QString Time_Stamp_Text(const QDateTime& when, bool with_date, const QLocale& locale) {
    const QString time = locale.toString(when.time(), Long_Time_Format(locale));
    if (!with_date) return time;
    return locale.toString(when.date(), QLocale::ShortFormat) + ' ' + time;
}

QDateTime Time_Stamp_Now() {
    return QDateTime::fromMSecsSinceEpoch(Clock_Epoch_Milliseconds());
}

bool Upload_Box_To_Channel(std::uint8_t bank, Canvas& picture, int left, int top, int right,
                           int bottom) {
    // The chip has no memory beyond the picture, and a box that crosses an edge must not wrap
    // onto the other side of display memory. The upload starts at the quad nearest its x0,
    // which would leave the first pixels of an unaligned box out.
    const int x0 = std::max(left, 0) / Pixels_Per_Quad * Pixels_Per_Quad;
    const int y0 = std::max(top, 0);
    const int x1 = std::min(right, picture.Width() - 1);
    const int y1 = std::min(bottom, picture.Height() - 1);
    if (x0 > x1 || y0 > y1) return true;
    return Upload_Picture(bank, &picture, x0, y0, x1, y1);
}

// ---------------------------------------------------------------------------------------------
// The window's part.

namespace {

QString Current_Time_Stamp_Text(const TOsdexFormCH0& window) {
    return Time_Stamp_Text(Time_Stamp_Now(), window.ToolButtonDate->isChecked());
}

void Use_Font(Canvas& picture, const TextFont& font) {
    picture.Set_Font(To_QFont(font));
    picture.Set_Font_Color(font.Color);
}

bool Upload_Box(TOsdexFormCH0& window) {
    const auto& box = window.TimeStampBox;
    return Upload_Box_To_Channel(static_cast<std::uint8_t>(window.RegisterBase), window.Picture,
                                 box.Left, box.Top, box.Right, box.Bottom);
}

void Set_Box_Around_Text(TOsdexFormCH0& window, const QString& text) {
    const int border = window.TimeStampBorder;
    window.TimeStampBox.Left = window.TimeStampX - border;
    window.TimeStampBox.Top = window.TimeStampY - border;
    window.TimeStampBox.Right = window.TimeStampX + window.Picture.Text_Width(text) + border;
    window.TimeStampBox.Bottom = window.TimeStampY + window.Picture.Text_Height(text) + border;
}

}  // namespace

void TOsdexFormCH0::Connect_Time_Stamp() {
    connect(Timer1, &QTimer::timeout, this, &TOsdexFormCH0::Timer1Timer);
    connect(ToolButtonTimeStampRun, &QToolButton::clicked, this,
            &TOsdexFormCH0::ToolButtonTimeStampRunClick);
    connect(ToolButtonTimeStampFont, &QToolButton::clicked, this,
            &TOsdexFormCH0::ToolButtonTimeStampFontClick);
}

void TOsdexFormCH0::Reset_Time_Stamp_On_Show() {
    // The stamp moves to its default place below; a drawn one goes first, or its old box would
    // stay in display memory where no later erase reaches it. A running stamp keeps running.
    if (TimeStampDrawn) {
        EraseTimeStamp();
        TimeStampDrawn = false;
    }

    // The font starts from the text dialog's font each time the window shows.
    if (CGForm) TimeStampFont = CGForm->EditText_Font();
    TimeStampFont.Set_Size(-12);
    TimeStampFont.Name = "Courier New";
    TimeStampWhiteBackground = false;
    TimeStampBorder = 5;
    TimeStampX = 50;
    TimeStampY = 50;
    // Measured with the picture's drawing font, not the time-stamp font.
    Set_Box_Around_Text(*this, Time_Stamp_Sample);
}

void TOsdexFormCH0::Timer1Timer() {
    Timer1->stop();
    Process_Pending_Events();
    // A stop that ran among those events has erased the stamp; drawing it again now would
    // leave a stopped time stamp on the screen.
    if (!TimeStampRunning) return;

    const QString text = Current_Time_Stamp_Text(*this);
    Use_Font(Picture, TimeStampFont);

    // The box only grows, so a shorter text is drawn over the whole area of a longer one.
    const int w = TimeStampX + Picture.Text_Width(text) + TimeStampBorder;
    const int h = TimeStampY + Picture.Text_Height(text) + TimeStampBorder;
    if (w >= TimeStampBox.Right) TimeStampBox.Right = w;
    if (h >= TimeStampBox.Bottom) TimeStampBox.Bottom = h;

    Picture.Set_Brush_Color(TimeStampWhiteBackground ? White_Color : Black_Color);
    Picture.Set_Brush_Style(Canvas::Brush_Style::Solid);
    Picture.Rectangle(TimeStampBox.Left, TimeStampBox.Top, TimeStampBox.Right, TimeStampBox.Bottom);
    Picture.Text_Out(TimeStampX, TimeStampY, text);
    Image1->Show_Changes();

    std::array<std::uint8_t, Saved_Registers.size()> saved{};
    for (std::size_t i = 0; i < Saved_Registers.size(); ++i)
        saved[i] = Read_Register(static_cast<std::uint8_t>(RegisterBase | Saved_Registers[i]));
    Upload_Box(*this);
    for (std::size_t i = 0; i < Saved_Registers.size(); ++i)
        Write_Register(static_cast<std::uint8_t>(RegisterBase | Saved_Registers[i]), saved[i]);

    TimeStampDrawn = true;
    if (TimeStampRunning) Timer1->start();
}

void TOsdexFormCH0::EraseTimeStamp() {
    Picture.Set_Pen_Color(Transparent_Color);
    Picture.Set_Brush_Color(Transparent_Color);
    Picture.Set_Brush_Style(Canvas::Brush_Style::Solid);
    Picture.Rectangle(TimeStampBox.Left, TimeStampBox.Top, TimeStampBox.Right, TimeStampBox.Bottom);
    Image1->Show_Changes();
    Upload_Box(*this);
}

void TOsdexFormCH0::PlaceTimeStamp(int x, int y) {
    TimeStampX = x;
    TimeStampY = y;
    // Sized for the sample text in the picture's current font; the ticks let it grow.
    Set_Box_Around_Text(*this, Time_Stamp_Sample);
    TimeStampRunning = true;
    Timer1Timer();
    ToolButtonTimeStampRun->setChecked(true);
    Timer1->start();
}

void TOsdexFormCH0::StopTimeStamp() {
    Timer1->stop();
    if (TimeStampRunning) {
        TimeStampRunning = false;
        if (TimeStampDrawn) {
            EraseTimeStamp();
            TimeStampDrawn = false;
        }
        ToolButtonDate->setChecked(false);
    }
    if (TimeStampRunning) Timer1->start();
}

void TOsdexFormCH0::StartTimeStamp() {
    Timer1->stop();
    if (!TimeStampRunning) {
        TimeStampRunning = true;
        Timer1Timer();
    }
    if (TimeStampRunning) Timer1->start();
}

void TOsdexFormCH0::TimeStampToolPress() {
    Timer1->stop();
    if (TimeStampDrawn) {
        EraseTimeStamp();
        TimeStampDrawn = false;
    }
}

void TOsdexFormCH0::ToolButtonTimeStampRunClick() {
    if (ToolButtonTimeStampRun->isChecked())
        StartTimeStamp();
    else
        StopTimeStamp();
}

void TOsdexFormCH0::ToolButtonTimeStampFontClick() {
    Timer1->stop();
    if (!CGForm) {
        if (TimeStampRunning) Timer1->start();
        return;
    }
    const QString text = Current_Time_Stamp_Text(*this);
    const TextFont kept_font = CGForm->EditText_Font();
    const std::string kept_text = CGForm->Text();

    CGForm->Set_EditText_Font(TimeStampFont);
    CGForm->Set_Border_Size(TimeStampBorder);
    CGForm->Set_Text(text.toStdString());
    const bool accepted = CGForm->exec() == QDialog::Accepted;

    if (accepted) {
        TimeStampFont = CGForm->EditText_Font();
        TimeStampBorder = static_cast<std::int16_t>(CGForm->Border_Size());
        TimeStampWhiteBackground = CGForm->White_Background();
    }
    CGForm->Set_EditText_Font(kept_font);
    CGForm->Set_Text(kept_text);
    if (!accepted) {
        if (TimeStampRunning) Timer1->start();
        return;
    }

    // Here the box may shrink: it fits the text in the newly chosen font. What the old box
    // covered goes first, or its edges would stay on the screen for good.
    if (TimeStampDrawn) {
        EraseTimeStamp();
        TimeStampDrawn = false;
    }
    Use_Font(Picture, TimeStampFont);
    Set_Box_Around_Text(*this, text);
    TimeStampRunning = true;
    Timer1Timer();
    ToolButtonTimeStampRun->setChecked(true);
    Timer1->start();
}
