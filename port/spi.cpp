// Bit-banged SPI transfer.
#include "port/spi.h"

#include <cmath>
#include <cstdlib>

#include "port/activity_log.h"
#include "port/port_ops.h"
#include "port/port_state.h"
#include "shell/c_numbers.h"
#include "shell/text_format.h"
#include "vanlpt/vanlpt.h"

namespace {

struct Lines {
    std::uint8_t idle;
    std::uint8_t active;
    unsigned half;
};

bool Logging_Words() {
    return (Port_State.Log_Mask & Log_Med) != 0;
}

void Clock(std::uint8_t level) {
    DirectWritePrinterPin(Port_State.SPI_Clock_Pin, level);
}
void Mosi(std::uint8_t level) {
    DirectWritePrinterPin(Port_State.SPI_MOSI_Pin, level);
}
int Miso() {
    return DirectReadPrinterPin(Port_State.SPI_MISO_Pin);
}

// One word, nbits bits, bit nbits-1 or bit 0 first. With CPHA 0 every bit starts by setting
// the clock to idle; with CPHA 1 the first bit finds the clock as it was. The MOSI level is
// what the shifted word masks out: the top bit's value (e.g. 0x40) MSB first, 1 LSB first;
// the library takes any nonzero level as high.
std::uint8_t Shift_Word(std::uint8_t data, int nbits, const Lines& l, bool cpha, bool msb_first) {
    const std::uint8_t top = static_cast<std::uint8_t>(1u << (nbits - 1));
    std::uint8_t result = 0;
    for (int i = 0; i < nbits; ++i) {
        const int bit = msb_first ? nbits - 1 - i : i;
        const bool one = (data >> bit) & 1;
        if (!cpha) Clock(l.idle);
        Mosi(one ? (msb_first ? top : 1) : 0);
        if (cpha) Clock(l.active);
        Delay_ms(l.half);
        if (Miso() != 0) result = static_cast<std::uint8_t>(result | (1u << bit));
        Clock(cpha ? l.idle : l.active);
        Delay_ms(l.half);
        if (!cpha) Clock(l.idle);
    }
    return result;
}

}  // namespace

unsigned SPI_Half_Period_ms(float kHz) {
    // Zero, negative and NaN rates have no period; they run at the slowest rate rather than
    // waiting for ever or overflowing the conversion.
    if (!(kHz > 0.0f)) return SPI_Slowest_Half_ms;
    const float half = 0.5f / kHz;
    if (!(half < static_cast<float>(SPI_Slowest_Half_ms))) return SPI_Slowest_Half_ms;
    return static_cast<unsigned>(half);
}

float SPI_Rate_From_Text(const std::string& text) {
    const char* begin = text.c_str();
    char* end = nullptr;
    const float rate = static_cast<float>(C_Leading_Double(begin, &end));
    return end == begin ? std::nanf("") : rate;
}

std::uint8_t Generic_SPI_Transfer(std::uint8_t mosi, int nbits) {
    nbits = nbits < 1 ? 1 : (nbits > 8 ? 8 : nbits);
    Port_State.SPI_CPOL &= 1;
    Port_State.SPI_CPHA &= 1;
    const std::uint8_t idle = static_cast<std::uint8_t>(Port_State.SPI_CPOL);
    const Lines lines{idle, static_cast<std::uint8_t>(1 - idle),
                      SPI_Half_Period_ms(Port_State.SPI_Clock_kHz)};
    if (Logging_Words()) {
        Log_Port_Activity(Format_Text("\tGeneric_SPI_Transfer(mosi=0x%X, %d bits)", mosi, nbits));
    }

    const std::uint8_t data = Port_State.SPI_Invert_MOSI ? static_cast<std::uint8_t>(~mosi) : mosi;
    const bool cpha = Port_State.SPI_CPHA != 0;
    std::uint8_t result = Shift_Word(data, nbits, lines, cpha, Port_State.SPI_MSB_First);
    if (Port_State.SPI_Invert_MISO) result = static_cast<std::uint8_t>(~result);

    if (Logging_Words()) {
        Log_Port_Activity(Format_Text("\tGeneric_SPI_Transfer: returning miso=0x%X", result));
    }
    return result;
}

void Generic_SPI_Transfer_Bytes(std::uint8_t count, std::uint8_t* bytes, int nbits) {
    for (std::uint8_t i = 0; i < count; ++i) bytes[i] = Generic_SPI_Transfer(bytes[i], nbits);
}

void SPI_CS_Assert() {
    DirectWritePrinterPin(Port_State.SPI_CS_Pin, Port_State.SPI_CS_Active_High ? 1 : 0);
}

void SPI_CS_Release() {
    DirectWritePrinterPin(Port_State.SPI_CS_Pin, Port_State.SPI_CS_Active_High ? 0 : 1);
}
