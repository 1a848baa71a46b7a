// The Xelor crosspoint's two serial commands and its reset, on the shared connector pins:
// a 16-bit update of one output and a 112-bit initialization of all sixteen. The crosspoint
// window keeps the settings and its labels; these functions build the words, show the
// optional alert, trace and move the pins.
#pragma once

#include <array>
#include <cstdint>
#include <string>

inline constexpr int Xelor_Outputs = 16;

// One output's setting, the unit of both commands. A disabled output carries input -1.
struct XelorOutput {
    bool enabled = false;
    int input = -1;  // only the low five bits reach the crosspoint
    int gain = 1;    // 1 or 2 V/V
};

using XelorUpdateWord = std::array<std::uint8_t, 2>;
using XelorInitFields = std::array<std::uint8_t, Xelor_Outputs>;  // in send order

// The single-update word: 0 A3 A2 A1 A0 o3 o2 o1 | o0 enabled gain2 i4..i0. address holds
// A3..A0 in its low four bits.
XelorUpdateWord Xelor_Update_Word(int output, const XelorOutput& setting, unsigned address);

// A 7-bit field of the full initialization: enabled, gain 2, input.
std::uint8_t Xelor_Init_Field(const XelorOutput& setting);

// The sixteen fields in send order: output 15 first, output 0 last.
XelorInitFields Xelor_Init_Fields(const std::array<XelorOutput, Xelor_Outputs>& outputs);

// Caption of labelPendingUpdate for a changed output.
std::string Xelor_Pending_Update_Text(int output, const XelorOutput& setting);

// The texts of the "Show alert on updates" boxes.
std::string Xelor_Update_Alert_Text(const XelorUpdateWord& word, int output,
                                    const XelorOutput& setting);
std::string Xelor_Init_Alert_Text(const std::array<XelorOutput, Xelor_Outputs>& outputs);

// Builds and sends the single-update word (alert first when show_alert; traced when the
// high-detail log category is on).
void Xelor_Do_Send_Update(int output, const XelorOutput& setting, unsigned address,
                          bool show_alert);

// Builds and sends the full initialization from the sixteen settings.
void Xelor_Send_112_Bits(const std::array<XelorOutput, Xelor_Outputs>& outputs, bool show_alert);

// The reset pulse on pin 2 with ~CE low and MODE high, and the clock at its idle level; the
// window then sends its default routing.
void Xelor_Reset();
