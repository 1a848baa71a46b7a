// OSD levels and the screen colours that stand for them. A level is 4 bits: 0 transparent,
// 1..15 grey steps from 7 to 100 IRE. Colours are 0x00BBGGRR (red in the low byte).
#pragma once

#include <cstdint>

// White and black in the program's colours (0x00BBGGRR).
inline constexpr std::uint32_t White_Color = 0xFFFFFF;
inline constexpr std::uint32_t Black_Color = 0x000000;
inline constexpr std::uint32_t Default_Transparent_Color = 0x00FF0000;  // pure blue
// What a picture returns for a point outside it; maps to level 15.
inline constexpr std::uint32_t Invalid_Color = 0xFFFFFFFF;

// The colour of level 0 on every picture; process-wide.
extern std::uint32_t Transparent_Color;

constexpr std::uint32_t Make_Color(int red, int green, int blue) {
    return static_cast<std::uint32_t>((red & 0xFF) | (green & 0xFF) << 8 | (blue & 0xFF) << 16);
}
constexpr int Color_Red(std::uint32_t color) {
    return color & 0xFF;
}
constexpr int Color_Green(std::uint32_t color) {
    return (color >> 8) & 0xFF;
}
constexpr int Color_Blue(std::uint32_t color) {
    return (color >> 16) & 0xFF;
}

// Colour of a level (its low four bits): Transparent_Color for 0, else the grey 16 (L + 1)
// capped at 255.
std::uint32_t OSD_To_Color(int level);
// Level 0..15 of a colour: 0 only for Transparent_Color itself, else the nearest level by luma
// (at least 1).
std::uint8_t Color_To_OSD(std::uint32_t color);

// Hints of the level buttons: "OSDFILL=0 (Transparent)" .. "OSDFILL=15 (100 IRE)".
extern const char* const Level_Names[16];

// The RGB-to-luma self test of the Diagnostic menu: checks the round trip of every level and
// a reference table, shows a box per failure and then "PASS" or "FAIL" (caption "Osdex RGB to
// Luma test") through Current_Dialogs(). Returns whether it passed.
bool Test_RGB_To_Luma();
