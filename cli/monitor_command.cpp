#include "cli/monitor_command.h"

#include <QImage>
#include <cstdint>
#include <vector>

#include "chip/board_session.h"
#include "chip/canvas.h"
#include "chip/monitor_frame.h"
#include "cli/command_output.h"
#include "cli/exit_status.h"
#include "shell/whole_file.h"

int Run_Monitor(int channel, const std::string& path, const std::string& source_text) {
    VideoSourceChoice source;
    if (auto problem = Resolve_Video_Source(source_text, &source))
        return Failed(*problem, Exit_Bad_Usage);
    if (auto cause = Check_Whole_File_Writable(path))
        return Failed("cannot write " + path + ": " + *cause, Exit_Bad_Usage);
    if (auto failed = Open_Board()) return Failed(*failed);
    std::vector<std::uint32_t> frame(Monitor_Frame_Pixels);
    if (auto failed = Show_Video_Source(channel, source)) return Failed(*failed, Exit_Board_Failed);
    if (auto failed = Monitor_Frame(channel, frame.data()))
        return Failed(*failed, Exit_Board_Failed);
    // The frame's 0xFFRRGGBB words are the picture's RGB32 pixels as they lie in memory.
    const QImage picture(reinterpret_cast<const uchar*>(frame.data()), Canvas::Picture_Width,
                         Canvas::Picture_Height, QImage::Format_RGB32);
    if (auto cause = Write_Png_File(path, picture))
        return Failed("cannot write " + path + ": " + *cause, Exit_Board_Failed);
    return Exit_Ok;
}
