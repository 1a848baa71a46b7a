// Failure reports and PNG files of the commands.
#include "cli/command_output.h"

#include <QBuffer>
#include <QImage>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "chip/board_session.h"
#include "cli/exit_status.h"
#include "shell/message_text.h"
#include "shell/whole_file.h"

void Tell(const std::string& what) {
    std::cerr << "osdex: " << Printable_Message(what) << '\n';
}

int Failed(const std::string& what, int status) {
    Tell(what);
    return status;
}

int Failed(const BoardFailure& failure) {
    const int status = failure.bad_input ? Exit_Bad_Usage : Exit_Board_Failed;
    // The port library has printed this one on standard error already.
    if (failure.told) return Failed("nothing was sent", status);
    return Failed(failure.message, status);
}

namespace {

int output_error = 0;  // errno of the first failed write to standard output

// errno must be 0 before the writes this looks at: a write that fails in fwrite leaves its
// cause there and the flush after it nothing new.
bool Output_Flushed() {
    if (output_error != 0) return false;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
    output_error = errno != 0 ? errno : EIO;
    return false;
}

}  // namespace

bool Write_Output(const std::string& text) {
    if (output_error != 0) return false;
    errno = 0;
    std::fwrite(text.data(), 1, text.size(), stdout);
    return Output_Flushed();
}

int Finish_Output(int status) {
    errno = 0;
    if (Output_Flushed()) return status;
    const std::string cause = std::strerror(output_error);
    std::clearerr(stdout);
    const int failed = Failed("cannot write the output: " + cause, Exit_Board_Failed);
    return status == Exit_Ok ? failed : status;
}

std::optional<std::string> Write_Png_File(const std::string& path, const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return std::string("the picture cannot be made");
    return Write_Whole_File(path, std::string_view(png.constData(), png.size()));
}
