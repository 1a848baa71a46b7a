#include "cli/register_commands.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "chip/register_batch.h"
#include "chip/register_bus.h"
#include "cli/board_session.h"
#include "cli/command_output.h"
#include "shell/whole_file.h"

namespace {

// A batch file of a whole session is large, but not this large.
constexpr std::size_t Max_Batch_Bytes = 1u << 30;

int Board_Failure(const std::string& what) {
    return Failed(what, Exit_Board_Failed);
}

// Runs the steps; stops at the first failed transaction. Output lines are collected in one
// buffer: printing a line per step through iostreams would cost more than the bus.
int Run_Steps(const std::string& path, const std::vector<BatchStep>& steps, bool verify) {
    std::string out;
    int mismatches = 0;
    char line[64];
    for (const BatchStep& step : steps) {
        const auto where = [&] { return path + ":" + std::to_string(step.line) + ": "; };
        if (step.kind == BatchStep::Kind::Read) {
            std::uint8_t value = 0;
            if (auto failed = Board_Read(step.address, &value)) {
                std::fputs(out.c_str(), stdout);
                return Board_Failure(where() + *failed);
            }
            const int n = std::snprintf(line, sizeof line, "rdreg %u => %u\n", step.address, value);
            out.append(line, static_cast<std::size_t>(n));
            continue;
        }
        const std::int32_t verify_errors = num_write_verify_errors;
        if (auto failed = Board_Write(step.address, step.data)) {
            std::fputs(out.c_str(), stdout);
            return Board_Failure(where() + *failed);
        }
        if (verify && num_write_verify_errors != verify_errors) {
            ++mismatches;
            std::cerr << where() << "wrote " << unsigned(step.data) << " to register "
                      << unsigned(step.address) << ", read back "
                      << unsigned(static_cast<std::uint8_t>(verify_error_readback)) << '\n';
        }
    }
    std::fputs(out.c_str(), stdout);
    if (mismatches == 0) return Exit_Ok;
    return Board_Failure(std::to_string(mismatches) + " write(s) did not read back as written");
}

}  // namespace

int Run_Write(std::uint8_t address, std::uint8_t data) {
    if (auto failed = Open_Board()) return Board_Failure(*failed);
    if (auto failed = Board_Write(address, data)) return Board_Failure(*failed);
    return Exit_Ok;
}

int Run_Read(std::uint8_t address) {
    if (auto failed = Open_Board()) return Board_Failure(*failed);
    std::uint8_t value = 0;
    if (auto failed = Board_Read(address, &value)) return Board_Failure(*failed);
    std::printf("%u\n", value);
    return Exit_Ok;
}

int Run_Replay(const std::string& path, bool verify, bool quiet) {
    std::string text;
    if (auto problem = Read_Whole_File(path, Max_Batch_Bytes, &text)) {
        std::cerr << "osdex: cannot read " << path << ": " << *problem << '\n';
        return Exit_Bad_Usage;
    }
    std::vector<BatchStep> steps;
    BatchParseError error;
    if (!Parse_Register_Batch(text, &steps, &error)) {
        std::cerr << path << ":" << error.line << ": " << error.problem << '\n';
        return Exit_Bad_Usage;
    }
    if (auto failed = Open_Board()) return Board_Failure(*failed);
    if (verify) {
        Verify_Writes = 1;
        Write_Retries = 0;  // a mismatch is reported, not hidden by a retry
    }
    const int status = Run_Steps(path, steps, verify);
    if (status == Exit_Ok && !quiet)
        std::cerr << "osdex: " << path << ": " << steps.size() << " register accesses\n";
    return status;
}
