// Unit1's crosspoint commands.
#include "port/xelor_commands.h"

#include "port/activity_log.h"
#include "port/port_ops.h"
#include "port/port_state.h"
#include "port/spi.h"
#include "shell/dialogs.h"
#include "shell/text_format.h"
#include "vanlpt/vanlpt.h"

namespace {

constexpr int Pin_Reset = 2;
constexpr int Pin_Not_Update = 3;
constexpr int Pin_Mode = 6;
constexpr int Pin_Not_Enable = 17;

constexpr int Mode_Single_Update = 0;
constexpr int Mode_Full_Init = 1;

constexpr int Update_Word_Bits = 8;
constexpr int Init_Field_Bits = 7;

unsigned Input_Bits(const XelorOutput& setting) {
    return static_cast<unsigned>(setting.input) & 0x1Fu;
}
unsigned Gain_Bit(const XelorOutput& setting) {
    return setting.gain == 2 ? 1u : 0u;
}

bool High_Detail_Logging() {
    return (Port_State.Log_Mask & Log_High) != 0;
}

void Trace(const std::string& message) {
    if (High_Detail_Logging()) Log_Port_Activity(message);
}

// Latch high, MODE set, ~CE low; the words; then a low pulse on ~Update loads them.
void Send_Sequence(int mode, std::uint8_t* buffer, std::uint8_t count, int nbits) {
    DirectWritePrinterPin(Pin_Not_Update, 1);
    DirectWritePrinterPin(Pin_Mode, mode);
    DirectWritePrinterPin(Pin_Not_Enable, 0);
    Delay_ms(1);
    Generic_SPI_Transfer_Bytes(count, buffer, nbits);
    Delay_ms(1);
    DirectWritePrinterPin(Pin_Not_Update, 0);
    Delay_ms(1);
    DirectWritePrinterPin(Pin_Not_Update, 1);
}

void Show_Alert(const char* caption, const std::string& text) {
    Show_Message(caption, text, MsgIcon::None, MsgButtons::Ok, MsgResult::Ok);
}

}  // namespace

XelorUpdateWord Xelor_Update_Word(int output, const XelorOutput& setting, unsigned address) {
    const unsigned o = static_cast<unsigned>(output) & 0x0Fu;
    const unsigned first = ((address & 0x0Fu) << 3) | (o >> 1);
    const unsigned second = ((o & 1u) << 7) | ((setting.enabled ? 1u : 0u) << 6) |
                            (Gain_Bit(setting) << 5) | Input_Bits(setting);
    return {static_cast<std::uint8_t>(first), static_cast<std::uint8_t>(second)};
}

std::uint8_t Xelor_Init_Field(const XelorOutput& setting) {
    return static_cast<std::uint8_t>(((setting.enabled ? 1u : 0u) << 6) | (Gain_Bit(setting) << 5) |
                                     Input_Bits(setting));
}

XelorInitFields Xelor_Init_Fields(const std::array<XelorOutput, Xelor_Outputs>& outputs) {
    XelorInitFields fields{};
    for (int k = 0; k < Xelor_Outputs; ++k)
        fields[k] = Xelor_Init_Field(outputs[Xelor_Outputs - 1 - k]);
    return fields;
}

std::string Xelor_Pending_Update_Text(int output, const XelorOutput& setting) {
    if (setting.enabled)
        return Format_Text("OUT%2.2d: enable IN%2.2d, Av=%d V/V", output, setting.input,
                           setting.gain);
    return Format_Text("OUT%2.2d: disable, Av=%d V/V", output, setting.gain);
}

std::string Xelor_Update_Alert_Text(const XelorUpdateWord& word, int output,
                                    const XelorOutput& setting) {
    if (setting.enabled)
        return Format_Text("[%2.2X%2.2X] OUT%2.2d: enabled IN%2.2d, Av=%d V/V", word[0], word[1],
                           output, setting.input, setting.gain);
    return Format_Text("[%2.2X%2.2X] OUT%2.2d: disabled, Av=%d V/V", word[0], word[1], output,
                       setting.gain);
}

std::string Xelor_Init_Alert_Text(const std::array<XelorOutput, Xelor_Outputs>& outputs) {
    std::string text;
    for (int k = 0; k < Xelor_Outputs; ++k) {
        const XelorOutput& setting = outputs[Xelor_Outputs - 1 - k];
        if (!setting.enabled)
            text += "---- ";
        else
            text += Format_Text(setting.gain == 2 ? "IN%2.2d " : "in%2.2d ", setting.input);
    }
    return text;
}

void Xelor_Do_Send_Update(int output, const XelorOutput& setting, unsigned address,
                          bool show_alert) {
    XelorUpdateWord word = Xelor_Update_Word(output, setting, address);
    if (show_alert) Show_Alert("Xelor SendUpdate", Xelor_Update_Alert_Text(word, output, setting));
    if (High_Detail_Logging())
        Log_Port_Activity(Format_Text("\tXelor DoSendUpdate (0x%X, 0x%X)", word[0], word[1]));
    Send_Sequence(Mode_Single_Update, word.data(), static_cast<std::uint8_t>(word.size()),
                  Update_Word_Bits);
    Trace("\tXelor DoSendUpdate done.");
}

void Xelor_Send_112_Bits(const std::array<XelorOutput, Xelor_Outputs>& outputs, bool show_alert) {
    XelorInitFields fields = Xelor_Init_Fields(outputs);
    if (show_alert) Show_Alert("Xelor btnFullCmdStringClick", Xelor_Init_Alert_Text(outputs));
    if (High_Detail_Logging()) {
        std::string message = "\tXelor Send112bits (";
        for (int k = 0; k < Xelor_Outputs; ++k)
            message += Format_Text(k == 0 ? "0x%X" : ", 0x%X", fields[k]);
        Log_Port_Activity(message + ")");
    }
    Send_Sequence(Mode_Full_Init, fields.data(), static_cast<std::uint8_t>(fields.size()),
                  Init_Field_Bits);
    Trace("\tXelor Send112bits done.");
}

void Xelor_Reset() {
    Trace("\tXelor Reset");
    DirectWritePrinterPin(Pin_Not_Update, 1);
    DirectWritePrinterPin(Pin_Mode, 1);
    DirectWritePrinterPin(Pin_Not_Enable, 0);
    DirectWritePrinterPin(Port_State.SPI_Clock_Pin, Port_State.SPI_CPOL);
    DirectWritePrinterPin(Pin_Reset, 0);
    Delay_ms(100);
    DirectWritePrinterPin(Pin_Reset, 1);
    Delay_ms(100);
}
