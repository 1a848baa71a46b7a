// Port_State: the port layer's one process-wide record. The windows read and write its
// fields directly.
#pragma once

#include <cstdint>

class ActivityLogFile;  // port/activity_log.h

struct TPort_State {
    int Selected_Port = 0;  // 0 = no port, 1..3 = LPT1..LPT3
    bool Hunt_Called = false;
    int Loopback_Settle_ms = 0;
    bool ECP_Byte_Mode = false;
    bool ECR_At_0A = true;
    bool ECR_At_402 = true;
    std::uint16_t Log_Mask = 0;           // 1 low, 2 med, 4 high
    ActivityLogFile* Log_File = nullptr;  // the open activity log file, or none
    int Loopback_Out_Pin = 0;
    int Loopback_In_Pin = 0;
    int SPI_Clock_Pin = 0;
    int SPI_MOSI_Pin = 0;
    int SPI_MISO_Pin = 0;
    int SPI_CS_Pin = 0;
    bool SPI_CS_Active_High = false;
    bool SPI_MSB_First = true;
    bool SPI_Invert_MOSI = false;
    bool SPI_Invert_MISO = false;
    int SPI_CPOL = 0;
    int SPI_CPHA = 0;
    float SPI_Clock_kHz = 0.5f;
};

extern TPort_State Port_State;

// The evaluation board's wiring as the program's start-up sets it: the loopback from pin 9
// to pin 10, and the crosspoint's serial lines (clock 4, data 5, DATAOUT 13, ~CE 17 active
// low, CPOL 1, CPHA 0) at 0.5 kHz.
inline constexpr int Board_Loopback_Out_Pin = 9;
inline constexpr int Board_Loopback_In_Pin = 10;
void Set_Board_Wiring_Defaults();

// Activity-log category bits of Log_Mask.
inline constexpr std::uint16_t Log_Low = 1;   // raw port writes
inline constexpr std::uint16_t Log_Med = 2;   // SPI words, pin-page refresh
inline constexpr std::uint16_t Log_High = 4;  // register transactions, crosspoint commands
