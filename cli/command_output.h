// What every `osdex` command reports and writes the same way: a failure on standard error
// with its exit status, and a picture saved as a PNG file that is complete or untouched.
#pragma once

#include <optional>
#include <string>

class QImage;

struct BoardFailure;

// Prints "osdex: what" on standard error, made printable and bounded.
void Tell(const std::string& what);
// Tells what failed and returns status.
int Failed(const std::string& what, int status);
int Failed(const BoardFailure& failure);

// Writes text to standard output at once; false when that failed (then and later).
bool Write_Output(const std::string& text);

// Pushes out what is left of standard output; a write that failed there (a full disk, a
// reader gone: EPIPE) turns status 0 into 1, with a message.
int Finish_Output(int status);

// Writes image as a PNG file at path through a whole-file write; the reason when it cannot.
std::optional<std::string> Write_Png_File(const std::string& path, const QImage& image);
