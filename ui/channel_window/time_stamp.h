// The text of the channel windows' time stamp and the moment it shows. The text follows the
// user's locale; the moment comes from the program's clock, so a virtual clock drives the
// time stamp in tests and benchmarks.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <cstdint>

class Canvas;

// The time in the locale's long time format (without a time-zone name, which the overlay has
// no room for); with_date puts the short date and a blank before it.
QString Time_Stamp_Text(const QDateTime& when, bool with_date, const QLocale& locale = QLocale());

// The moment the next tick shows, in local time.
QDateTime Time_Stamp_Now();

// Uploads a box of a channel window's picture into that channel (bank 16 n): cut to the
// picture, and from the start of the quad holding its left edge so that none of the box is
// left out of display memory. False when the upload stopped for the quit request.
bool Upload_Box_To_Channel(std::uint8_t bank, Canvas& picture, int left, int top, int right,
                           int bottom);
