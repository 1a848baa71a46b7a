// Picture loading with the upload behind it: the bytes of a picture file are decoded as the
// load commands do; a picture that decodes is drawn on a picture and its top-left corner
// uploaded to two channels of the simulated board, whose display memory must then hold the
// picture's levels. Inputs are capped and only a small corner is uploaded, to stay fast.
#include <QByteArray>
#include <QGuiApplication>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "board/simulated_board.h"
#include "chip/canvas.h"
#include "chip/drawing_primitives.h"
#include "chip/luma.h"
#include "chip/picture_decoding.h"
#include "chip/register_bus.h"
#include "port/port_state.h"
#include "vanlpt/vanlpt.h"
#include "vanlpt/vanlpt_testing.h"

namespace {

constexpr std::size_t Max_Input = 64 * 1024;
constexpr int Upload_Width = 24;
constexpr int Upload_Height = 6;
constexpr std::uint8_t Channels = 0x81;

board::SimulatedBoard* board_ = nullptr;

void Start_Board() {
    vanlpt::testing::Reset_Library("1=sim");
    Select_LPT_123(1);
    Set_Register(0x402, 0x30);  // byte mode, so that reads see the chip
    Port_State.Selected_Port = 1;
    Port_State.Log_Mask = 0;
    Cache_Enabled = 1;
    Verify_Writes = 0;
    Init_DUT_Bus();
    board_ = vanlpt::testing::Simulated_Board(1);
}

void Check_Upload(const Canvas& picture, int width, int height) {
    for (int channel : {0, 7})
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (board_->Chip().Pixel(channel, y, x) != Color_To_OSD(picture.Pixel(x, y)))
                    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(*argc, *argv);  // fonts of the canvas; lives for the whole run
    Start_Board();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > Max_Input) return 0;
    const DecodedPicture decoded =
        Decode_Picture(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (decoded.image.isNull()) {
        if (decoded.problem.empty()) std::abort();  // a refusal always says why
        return 0;
    }
    const int width = std::min(decoded.image.width(), Upload_Width);
    const int height = std::min(decoded.image.height(), Upload_Height);
    Canvas picture;
    picture.Draw(0, 0, decoded.image.copy(0, 0, width, height));
    Upload_Picture_Multi(Channels, &picture, 0, 0, width, height);
    Check_Upload(picture, width, height);
    return 0;
}
