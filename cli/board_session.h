// The board as `osdex` reaches it: LPT1 selected and the chip bus set up as the windows'
// start-up does it (pins, busy time-out 10000), without the hunt, the crosspoint reset or
// any register write of its own. Nothing reaches the port library before a command has
// checked all of its arguments and input files: bad usage opens no port and makes no file.
// Failures come back as messages that say what to do, with the exit status they earn.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Exit statuses of every command; a stop by SIGTERM or SIGINT exits with 128 + the signal.
inline constexpr int Exit_Ok = 0;
inline constexpr int Exit_Board_Failed = 1;  // the port, a bus transaction or the output failed
inline constexpr int Exit_Bad_Usage = 2;     // bad arguments or input file; nothing was sent

struct BoardFailure {
    std::string message;
    int status = Exit_Board_Failed;
    std::string fix;  // what mends it, for osdex doctor
};

// What LPT1 is to be for this run (sim, sim:FILE, unplugged, none, /dev/parportN, io:0x378;
// empty keeps the library's own mapping) and how long a board file in use by another process
// is waited for. Only remembered: the library hears of it when the board is mapped.
void Choose_Board(const std::string& target, unsigned wait_ms);

// Maps the chosen target and checks the environment's mapping and the board file it names:
// a bad target or mapping, or a damaged board file, is bad usage. Runs once.
std::optional<BoardFailure> Map_Board();

// Maps the board, selects LPT1, sets up the chip bus and checks the board's loopback.
std::optional<BoardFailure> Open_Board();

// Register transactions that report their failure: the library's reason, or nothing.
std::optional<std::string> Board_Write(std::uint8_t address, std::uint8_t data);
std::optional<std::string> Board_Read(std::uint8_t address, std::uint8_t* value);
