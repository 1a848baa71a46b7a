// The bit-banged serial master: shifts words of 1..8 bits out on any output pin while
// reading any input pin, with the clock mode, bit order, inversions and rate of Port_State.
#pragma once

#include <cstdint>
#include <string>

// The slowest half-period; also used for a rate that is zero, negative or not a number.
inline constexpr unsigned SPI_Slowest_Half_ms = 499;

// The half clock period in whole milliseconds: 0.5 / kHz in single precision, truncated,
// at most SPI_Slowest_Half_ms.
unsigned SPI_Half_Period_ms(float kHz);

// The rate of a rate-list text: its leading decimal number, NaN when it has none.
float SPI_Rate_From_Text(const std::string& text);

// Shifts one word out and in; nbits outside 1..8 is clamped to that range. Never touches
// the chip-select pin. Logs both ends in the "med" category.
std::uint8_t Generic_SPI_Transfer(std::uint8_t mosi, int nbits);

// Replaces each of the count bytes with the word received while sending it.
void Generic_SPI_Transfer_Bytes(std::uint8_t count, std::uint8_t* bytes, int nbits);

void SPI_CS_Assert();
void SPI_CS_Release();
