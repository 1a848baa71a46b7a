// The board as `osdex` reaches it: LPT1 selected and the chip bus set up as the windows'
// start-up does it (pins, busy time-out 10000), without the hunt, the crosspoint reset or
// any register write of its own. Failures of the port or the bus come back as messages that
// say what to do; the caller turns them into exit status 1.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Exit statuses of every command.
inline constexpr int Exit_Ok = 0;
inline constexpr int Exit_Board_Failed = 1;  // the port or a bus transaction failed
inline constexpr int Exit_Bad_Usage = 2;     // bad arguments or input file; nothing was sent

// Points LPT1 at a port-library target (sim, unplugged, none, /dev/parportN, io:0x378) for
// this run; an empty target keeps the library's own mapping. Error text when it is no target.
std::optional<std::string> Map_LPT1(const std::string& target);

// Selects LPT1 and sets up the chip bus; the error text when the port cannot be used.
std::optional<std::string> Open_Board();

// Register transactions that report their failure: the library's reason, or nothing.
std::optional<std::string> Board_Write(std::uint8_t address, std::uint8_t data);
std::optional<std::string> Board_Read(std::uint8_t address, std::uint8_t* value);
