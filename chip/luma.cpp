// Level <-> colour mapping and its self test.
#include "chip/luma.h"

#include <cstdio>
#include <string>

#include "shell/dialogs.h"

std::uint32_t Transparent_Color = Default_Transparent_Color;

const char* const Level_Names[16] = {
    "OSDFILL=0 (Transparent)", "OSDFILL=1 (7 IRE)",   "OSDFILL=2 (14 IRE)",
    "OSDFILL=3 (21 IRE)",      "OSDFILL=4 (27 IRE)",  "OSDFILL=5 (34 IRE)",
    "OSDFILL=6 (41 IRE)",      "OSDFILL=7 (47 IRE)",  "OSDFILL=8 (54 IRE)",
    "OSDFILL=9 (60 IRE)",      "OSDFILL=10 (67 IRE)", "OSDFILL=11 (74 IRE)",
    "OSDFILL=12 (80 IRE)",     "OSDFILL=13 (87 IRE)", "OSDFILL=14 (94 IRE)",
    "OSDFILL=15 (100 IRE)"};

std::uint32_t OSD_To_Color(int level) {
    const int l = level & 15;
    if (l == 0) return Transparent_Color;
    double g = (l + 1) * 256 * 0.0625;
    if (g > 255) g = 255;
    if (g < 0) g = 0;
    return static_cast<std::uint32_t>(static_cast<int>(g)) * 0x010101u;
}

std::uint8_t Color_To_OSD(std::uint32_t color) {
    if (color == Transparent_Color) return 0;
    const double y =
        0.299 * Color_Red(color) + 0.587 * Color_Green(color) + 0.114 * Color_Blue(color) + 0.0;
    int v = static_cast<int>(y * 16 * 0.00390625 + 0.5);
    if (v > 16) v = 16;
    if (v < 2) v = 2;
    return static_cast<std::uint8_t>(v - 1);
}

namespace {

constexpr const char* Test_Caption = "Osdex RGB to Luma test";

struct ReferenceRow {
    std::uint32_t color;
    int level;
};

void Show_Test_Box(const std::string& text) {
    Show_Message(Test_Caption, text, MsgIcon::None, MsgButtons::Ok);
}

bool Check_Round_Trips() {
    bool pass = true;
    for (int level = 15; level >= 0; --level) {
        const std::uint32_t c = OSD_To_Color(level);
        const int back = Color_To_OSD(c);
        if (back == level) continue;
        char text[128];
        std::snprintf(text, sizeof text, "FAIL: OSD %d to (%d red, %d green, %d blue) to OSD %d",
                      level, Color_Red(c), Color_Green(c), Color_Blue(c), back);
        Show_Test_Box(text);
        pass = false;
    }
    return pass;
}

bool Check_Reference_Table() {
    ReferenceRow rows[42];
    int n = 0;
    for (int k = 0; k < 32; ++k) rows[n++] = {Make_Color(k, k, k), 1};
    rows[n++] = {Make_Color(0, 0, 0), 1};
    rows[n++] = {Make_Color(128, 128, 128), 7};
    rows[n++] = {Make_Color(192, 192, 192), 11};
    rows[n++] = {Make_Color(255, 255, 255), 15};
    rows[n++] = {Transparent_Color, 0};
    rows[n++] = {Make_Color(255, 0, 0), 4};
    rows[n++] = {Make_Color(128, 0, 0), 1};
    rows[n++] = {Make_Color(0, 128, 0), 4};
    rows[n++] = {Make_Color(128, 128, 0), 6};
    rows[n++] = {Make_Color(0, 255, 255), 10};

    bool pass = true;
    for (const ReferenceRow& row : rows) {
        const int level = Color_To_OSD(row.color);
        if (level == row.level) continue;
        char text[128];
        std::snprintf(
            text, sizeof text, "FAIL: (%d red, %d green, %d blue) is OSD %d, should be OSD %d",
            Color_Red(row.color), Color_Green(row.color), Color_Blue(row.color), level, row.level);
        Show_Test_Box(text);
        pass = false;
    }
    return pass;
}

}  // namespace

bool Test_RGB_To_Luma() {
    const bool round_trips = Check_Round_Trips();
    const bool table = Check_Reference_Table();
    const bool pass = round_trips && table;
    Show_Test_Box(pass ? "PASS" : "FAIL");
    return pass;
}
