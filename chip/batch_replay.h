// A register batch file run against the board, for every script-facing user (`osdex replay`,
// the Python module): the file read and checked as a whole before anything is sent, then its
// steps one by one, each reporting its own failure. Nothing here prints.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "chip/register_batch.h"

// Reads and parses the batch file at path. The message when it cannot be run, which is
// always the caller's input ("FILE:N: problem; nothing was sent"). With ignore_torn_end, a
// last line that was cut off is left out and *note says so; otherwise it is refused.
std::optional<std::string> Read_Batch_File(const std::string& path, bool ignore_torn_end,
                                           std::vector<BatchStep>* steps, std::string* note);

// Sets the register bus up for a replay: with verify, every write is read back once and a
// mismatch is reported rather than hidden by a retry; without it, the writes run as one batch
// (a served board need not answer each before the next is sent; a read still follows the
// writes before it). End_Replay puts the options back and ends the batch: the reason when a
// write of it failed and was not told yet.
void Start_Replay(bool verify);
std::optional<std::string> End_Replay();

struct BatchStepResult {
    std::uint8_t value = 0;      // a read: what the chip returned
    bool mismatch = false;       // a write under verify that did not read back as written
    std::uint8_t read_back = 0;  // with mismatch: what it read back
};

// Runs one step. The library's reason, prefixed with "FILE:N: ", when the transaction failed.
std::optional<std::string> Run_Batch_Step(const std::string& path, const BatchStep& step,
                                          BatchStepResult* result);

// "FILE:N: wrote D to register A, read back R", for a mismatch of a step.
std::string Mismatch_Text(const std::string& path, const BatchStep& step, std::uint8_t read_back);
// The failure that ends a replay with mismatches.
std::string Mismatches_Text(int mismatches);
