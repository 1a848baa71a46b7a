// The connector pin map.
#include "port/pin_map.h"

#include <cctype>
#include <stdexcept>

namespace {

constexpr std::array<const char*, Port_Pins> Pin_Labels = {
    "1) Osdex ~WR",
    "2) Osdex D0",
    "3) Osdex D1 / Xelor ~Update",
    "4) Osdex D2 / Xelor CLK",
    "5) Osdex D3 / Xelor DIN",
    "6) Osdex D4 / Xelor MODE",
    "7) Osdex D5",
    "8) Osdex D6",
    "9) Osdex D7 / loopback",
    "10) loopback input",
    "11) spare input",
    "12) Xelor AOUT",
    "13) Xelor DATAOUT",
    "14) Osdex ADDR/~DATA",
    "15) Osdex RDY/~BUSY",
    "16) Osdex ~RD",
    "17) Osdex CS / Xelor ~CE",
};

// Register and bit behind each of pins 1..17, and whether the pin inverts the bit.
enum class Reg { Data, Status, Control };
struct PinBit {
    Reg reg;
    int bit;
    bool inverted;
};
constexpr std::array<PinBit, Port_Pins> Pin_Bits = {{
    {Reg::Control, 0, true},   // 1
    {Reg::Data, 0, false},     // 2
    {Reg::Data, 1, false},     // 3
    {Reg::Data, 2, false},     // 4
    {Reg::Data, 3, false},     // 5
    {Reg::Data, 4, false},     // 6
    {Reg::Data, 5, false},     // 7
    {Reg::Data, 6, false},     // 8
    {Reg::Data, 7, false},     // 9
    {Reg::Status, 6, false},   // 10
    {Reg::Status, 7, true},    // 11
    {Reg::Status, 5, false},   // 12
    {Reg::Status, 4, false},   // 13
    {Reg::Control, 1, true},   // 14
    {Reg::Status, 3, false},   // 15
    {Reg::Control, 2, false},  // 16
    {Reg::Control, 3, true},   // 17
}};

void Check_Connector_Pin(int pin) {
    if (pin < 1 || pin > Connector_Pins) {
        throw std::out_of_range("pin " + std::to_string(pin) + " is not a connector pin (1..25)");
    }
}

}  // namespace

std::string Pin_Label(int pin) {
    Check_Connector_Pin(pin);
    if (pin > Port_Pins) return std::to_string(pin) + ") ground";
    return Pin_Labels[pin - 1];
}

std::string Initial_Pin_Caption(int pin) {
    Check_Connector_Pin(pin);
    const std::string number = std::to_string(pin) + ") ";
    if (pin > Port_Pins) return number + "ground";
    return number + (Is_Input_Pin(pin) ? "unused input" : "unused output");
}

bool Is_Output_Pin(int pin) {
    return Pin_Table_Index(Output_Pin_Table, pin) > 0;
}

bool Is_Input_Pin(int pin) {
    return Pin_Table_Index(Input_Pin_Table, pin) > 0;
}

int Pin_Level(int pin, std::uint8_t data, std::uint8_t status, std::uint8_t control) {
    if (pin < 1 || pin > Port_Pins) {
        throw std::out_of_range("pin " + std::to_string(pin) + " has no level (pins 1..17)");
    }
    const PinBit& map = Pin_Bits[pin - 1];
    const std::uint8_t reg =
        map.reg == Reg::Data ? data : (map.reg == Reg::Status ? status : control);
    const int bit = (reg >> map.bit) & 1;
    return map.inverted ? 1 - bit : bit;
}

bool Data_Pins_Float(std::uint8_t control, std::uint8_t enable_mask) {
    return (control & enable_mask) != 0;
}

int Pin_From_List_Text(const std::string& text) {
    int pin = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) break;
        pin = pin * 10 + (c - '0');
        if (pin > 1000) break;  // no connector has that many pins; keeps the int safe
    }
    return pin;
}
