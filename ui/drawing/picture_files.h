// Picture files of the drawing windows: loading a file into the top-left corner of a picture
// and saving a picture as a bitmap, each with its file dialog. Both windows use these, so the
// file handling, the error messages and the safe replacement of an existing file are the same
// everywhere.
#pragma once

#include <QImage>
#include <QSize>
#include <optional>
#include <string>

#include "chip/picture_decoding.h"

class Canvas;

// Writes the image as a bitmap file, whatever the name's extension. The file is replaced only
// once the new one is complete: a failed save leaves an existing file as it was. Returns the
// reason on failure.
std::optional<std::string> Save_Picture_File(const QImage& image, const std::string& path);

// The load command: asks for a file with the open picture dialog, loads it, cuts it and
// draws it on the picture with its top-left corner at (0, 0); pixels an icon leaves
// transparent keep what the picture showed. Returns the size drawn; nothing when the dialog
// was cancelled or the file could not be loaded (the error is shown, nothing is drawn).
std::optional<QSize> Load_Picture_Into_Corner(Canvas& picture);

// The save command: asks for a name with the save picture dialog and saves the picture as
// a bitmap; a failure is shown. True when the file was written.
bool Save_Picture_With_Dialog(const Canvas& picture);
