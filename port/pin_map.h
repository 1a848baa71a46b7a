// The 25-pin connector as this system uses it: which pins the pin lists offer, what each
// pin is called, and how register bits map to pin levels.
#pragma once

#include <array>
#include <cstdint>
#include <string>

inline constexpr int Connector_Pins = 25;
inline constexpr int Port_Pins = 17;  // pins 18..25 are ground

// Pins offered by the pin-choice lists, in list order; index 0 is "none".
inline constexpr std::array<int, 13> Output_Pin_Table = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 14, 16, 17};
inline constexpr std::array<int, 6> Input_Pin_Table = {0, 10, 11, 12, 13, 15};

// The label of a pin, "1) Osdex ~WR" .. "25) ground". Throws std::out_of_range for a
// number that is no connector pin.
std::string Pin_Label(int pin);

// The caption a pin check box has before the labels are set: "1) unused output",
// "10) unused input", "18) ground". Throws std::out_of_range like Pin_Label.
std::string Initial_Pin_Caption(int pin);

bool Is_Output_Pin(int pin);  // 1..9, 14, 16, 17
bool Is_Input_Pin(int pin);   // 10..13, 15

// The logic level (0 or 1) of pins 1..17 given the raw data, status and control registers.
// Throws std::out_of_range for other pins (ground pins have no level).
int Pin_Level(int pin, std::uint8_t data, std::uint8_t status, std::uint8_t control);

// True when the data pins 2..9 float: control AND the data-enable mask is nonzero.
bool Data_Pins_Float(std::uint8_t control, std::uint8_t enable_mask);

// The pin of a pin-list entry text: its leading decimal number, 0 for "none" or text
// without a number.
int Pin_From_List_Text(const std::string& text);

// The index of a pin in a table, or -1 when the table does not offer it.
template <std::size_t N>
int Pin_Table_Index(const std::array<int, N>& table, int pin) {
    for (std::size_t i = 0; i < N; ++i) {
        if (table[i] == pin) return static_cast<int>(i);
    }
    return -1;
}
