// The board as a script reaches it (`osdex`, the Python module): LPT1 selected and the chip
// bus set up as the windows' start-up does it (pins, busy time-out 10000), without the hunt,
// the crosspoint reset or any register write of its own, the cache off so that every access
// reaches the chip. Nothing reaches the port library before the caller has checked all of
// its arguments and input files: bad usage opens no port and makes no file. Failures come
// back as messages that say what to do, and whether the fault is the caller's input.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct BoardFailure {
    std::string message;
    bool bad_input = false;  // a bad target, mapping or board file: nothing was sent
    bool told = false;       // the port library has printed the message on standard error
    std::string fix;         // what mends it, for osdex doctor
};

// What LPT1 is to be for this run (sim, sim:FILE, unplugged, none, /dev/parportN, io:0x378;
// empty keeps the library's own mapping) and how long a board file in use by another process
// is waited for. Only remembered: the library hears of it when the board is mapped.
void Choose_Board(const std::string& target, unsigned wait_ms);

// Whether Open_Board keeps a served board for this process alone until Close_Board (a board
// of this process alone needs nothing).
void Hold_Chosen_Board(bool hold);

// Maps the chosen target and checks the environment's mapping and the board file it names:
// a bad target or mapping, or a damaged board file, is bad input. Runs once per choice.
std::optional<BoardFailure> Map_Board();

// The end of the board's use: the port released, a board kept in a file written back when it
// changed, and LPT1 mapped to no port, so that the next choice starts afresh (a fresh
// simulated board). The reason when a board file could not be written back.
std::optional<std::string> Close_Board();

// Maps the board, selects LPT1, sets up the chip bus and checks the board's loopback.
std::optional<BoardFailure> Open_Board();

// A failed transaction shows only as a count in the chip layer's statistics: the library's
// reason when the count moved since failures_before (num_busy_timeout_errors), else nothing.
std::optional<std::string> Bus_Failure_Since(std::int32_t failures_before);

// Register transactions that report their failure: the library's reason, or nothing.
std::optional<std::string> Board_Write(std::uint8_t address, std::uint8_t data);
std::optional<std::string> Board_Read(std::uint8_t address, std::uint8_t* value);
