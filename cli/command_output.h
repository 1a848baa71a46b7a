// What every `osdex` command reports and writes the same way: a failure on standard error
// with its exit status, and a picture saved as a PNG file that is complete or untouched.
#pragma once

#include <optional>
#include <string>

class QImage;

// Prints "osdex: what" on standard error and returns status.
int Failed(const std::string& what, int status);

// Writes image as a PNG file at path through a whole-file write; the reason when it cannot.
std::optional<std::string> Write_Png_File(const std::string& path, const QImage& image);
