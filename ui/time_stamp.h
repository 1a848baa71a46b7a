// The text of the channel windows' time stamp and the moment it shows. The text follows the
// user's locale; the moment comes from the system's wall clock unless a source is installed,
// so tests and benchmarks can run the time stamp on the program's replaceable clock.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <cstdint>
#include <functional>

class Canvas;

// The time in the locale's long time format (without a time-zone name, which the overlay has
// no room for); with_date puts the short date and a blank before it.
QString Time_Stamp_Text(const QDateTime& when, bool with_date, const QLocale& locale = QLocale());

// The moment the next tick shows.
QDateTime Time_Stamp_Now();
// Installs the source of Time_Stamp_Now; an empty function restores the wall clock.
void Set_Time_Stamp_Source(std::function<QDateTime()> source);
// A source that follows the program's clock (Current_Clock): `at_zero` plus its milliseconds,
// so a VirtualClock drives the time stamp.
void Use_Program_Clock_For_Time_Stamp(const QDateTime& at_zero);

// Uploads a box of a channel window's picture into that channel (bank 16 n): cut to the
// picture, and from the start of the quad holding its left edge so that none of the box is
// left out of display memory. False when the upload stopped for the quit request.
bool Upload_Box_To_Channel(std::uint8_t bank, Canvas& picture, int left, int top, int right,
                           int bottom);
