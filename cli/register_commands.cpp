#include "cli/register_commands.h"

#include <cctype>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "chip/board_session.h"
#include "chip/named_registers.h"
#include "chip/register_batch.h"
#include "chip/register_bus.h"
#include "cli/command_output.h"
#include "cli/exit_status.h"
#include "shell/event_pump.h"
#include "shell/message_text.h"
#include "shell/whole_file.h"
#include "vanlpt/vanlpt.h"

namespace {

// A batch file of a whole session is large, but not this large.
constexpr std::size_t Max_Batch_Bytes = 1u << 30;

int Board_Failure(const std::string& what) {
    return Failed(what, Exit_Board_Failed);
}

// Output is collected and written in chunks of this size: printing a line per step through
// stdio would cost more than the bus, and one buffer for a whole file would grow without end.
constexpr std::size_t Output_Chunk = 64 * 1024;

// Runs the steps; stops at the first failed transaction, at a stop request and when the
// output cannot be written (the reader went away).
int Run_Steps(const std::string& path, const std::vector<BatchStep>& steps, bool verify) {
    std::string out;
    int mismatches = 0;
    char line[64];
    std::size_t done = 0;
    for (const BatchStep& step : steps) {
        const auto where = [&] { return path + ":" + std::to_string(step.line) + ": "; };
        if (out.size() >= Output_Chunk) {
            if (!Write_Output(out)) return Exit_Board_Failed;  // told by Finish_Output
            out.clear();
        }
        if (Quit_Requested()) {
            Write_Output(out);
            return Board_Failure(path + ": stopped after " + std::to_string(done) + " of " +
                                 std::to_string(steps.size()) + " register accesses");
        }
        ++done;
        if (step.kind == BatchStep::Kind::Read) {
            std::uint8_t value = 0;
            if (auto failed = Board_Read(step.address, &value)) {
                Write_Output(out);
                return Board_Failure(where() + *failed);
            }
            const int n = std::snprintf(line, sizeof line, "rdreg %u => %u\n", step.address, value);
            out.append(line, static_cast<std::size_t>(n));
            continue;
        }
        const std::int32_t verify_errors = num_write_verify_errors;
        if (auto failed = Board_Write(step.address, step.data)) {
            Write_Output(out);
            return Board_Failure(where() + *failed);
        }
        if (verify && num_write_verify_errors != verify_errors) {
            ++mismatches;
            Tell(where() + "wrote " + std::to_string(step.data) + " to register " +
                 std::to_string(step.address) + ", read back " +
                 std::to_string(static_cast<std::uint8_t>(verify_error_readback)));
        }
    }
    Write_Output(out);
    if (mismatches == 0) return Exit_Ok;
    return Board_Failure(std::to_string(mismatches) + " write(s) did not read back as written");
}

// A register dump is a few kilobytes.
constexpr std::size_t Max_Dump_Bytes = 1u << 20;

// What a register argument names; by_address when it is a number, which is sent as it is.
struct RegisterArgument {
    NamedRegister named;
    bool by_address = false;
};

std::optional<RegisterArgument> Register_Argument(const std::string& text) {
    unsigned address = 0;
    if (Parse_Byte_Number(text, 255, &address)) {
        const auto a = static_cast<std::uint8_t>(address);
        std::string name = Register_Name(a);
        if (name.empty()) name = "register " + std::to_string(a);
        return RegisterArgument{
            {NamedRegister::Kind::Register, name, a, 0, Register_At(a), nullptr}, true};
    }
    if (!text.empty() &&
        (std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '-' || text[0] == '+')) {
        Tell("bad register address " + Quoted_Token(text) +
             ": expected 0..255, decimal or 0x hexadecimal, or a register name");
        return std::nullopt;
    }
    std::string error;
    auto named = Find_Register(text, &error);
    if (!named) {
        Tell(error);
        return std::nullopt;
    }
    return RegisterArgument{*named, false};
}

// The steps of the file, or the exit status of why there are none to run.
int Parse_Batch_File(const std::string& path, const ReplayOptions& options,
                     std::vector<BatchStep>* steps) {
    std::string text;
    if (auto problem = Read_Whole_File(path, Max_Batch_Bytes, &text))
        return Failed("cannot read " + path + ": " + *problem, Exit_Bad_Usage);
    BatchParseError error;
    if (Parse_Register_Batch(text, steps, &error)) return Exit_Ok;
    const std::string where = path + ":" + std::to_string(error.line) + ": ";
    if (!error.torn_end)
        return Failed(where + error.problem + "; nothing was sent", Exit_Bad_Usage);
    if (!options.ignore_torn_end)
        return Failed(where +
                          "the last line is torn (it has no line end, as when writing the "
                          "file was cut off): " +
                          error.problem +
                          "; nothing was sent. --ignore-torn-end runs the lines before it",
                      Exit_Bad_Usage);
    if (!Parse_Register_Batch(Without_Torn_End(text), steps, &error))
        return Failed(where + error.problem + "; nothing was sent", Exit_Bad_Usage);
    Tell(where + "the torn last line is left out: " + error.problem);
    return Exit_Ok;
}

}  // namespace

int Run_Write(const std::string& register_text, const std::string& value_text) {
    const auto target = Register_Argument(register_text);
    if (!target) return Exit_Bad_Usage;
    if (!target->by_address && !target->named.Writable())
        return Failed(target->named.name + " is read-only: the chip reports it", Exit_Bad_Usage);
    unsigned value = 0;
    if (!Parse_Byte_Number(value_text, target->named.Max(), &value))
        return Failed("bad value " + Quoted_Token(value_text) + " for " + target->named.name +
                          ": expected 0.." + std::to_string(target->named.Max()) +
                          ", decimal or 0x hexadecimal",
                      Exit_Bad_Usage);
    if (auto failed = Open_Board()) return Failed(*failed);
    const std::int32_t before = num_busy_timeout_errors;
    Write_Named(target->named, value);
    if (auto failed = Bus_Failure_Since(before)) return Board_Failure(*failed);
    return Exit_Ok;
}

int Run_Read(const std::string& register_text) {
    const auto target = Register_Argument(register_text);
    if (!target) return Exit_Bad_Usage;
    if (!target->by_address && !target->named.Readable())
        return Failed(target->named.name +
                          " is a trigger: a write starts an action, a read "
                          "means nothing",
                      Exit_Bad_Usage);
    if (auto failed = Open_Board()) return Failed(*failed);
    const std::int32_t before = num_busy_timeout_errors;
    const unsigned value = Read_Named(target->named);
    if (auto failed = Bus_Failure_Since(before)) return Board_Failure(*failed);
    Write_Output(std::to_string(value) + "\n");
    return Exit_Ok;
}

int Run_Registers_Dump(bool json) {
    if (auto failed = Open_Board()) return Failed(*failed);
    const std::int32_t before = num_busy_timeout_errors;
    const std::vector<DumpedRegister> dump = Read_Register_Dump();
    if (auto failed = Bus_Failure_Since(before)) return Board_Failure(*failed);
    Write_Output(json ? Format_Register_Dump_Json(dump) : Format_Register_Dump(dump));
    return Exit_Ok;
}

int Run_Registers_Load(const std::string& path, bool quiet) {
    std::string text;
    if (auto problem = Read_Whole_File(path, Max_Dump_Bytes, &text))
        return Failed("cannot read " + path + ": " + *problem, Exit_Bad_Usage);
    std::vector<NamedWrite> writes;
    int skipped = 0;
    std::string problem;
    if (!Parse_Register_Dump(text, &writes, &skipped, &problem))
        return Failed(path + ": " + problem + "; nothing was sent", Exit_Bad_Usage);
    if (auto failed = Open_Board()) return Failed(*failed);
    const std::int32_t before = num_busy_timeout_errors;
    for (const NamedWrite& write : writes) {
        if (Quit_Requested()) break;
        Write_Named(write.named, write.value);
        if (auto failed = Bus_Failure_Since(before))
            return Board_Failure(write.named.name + ": " + *failed);
    }
    if (!quiet)
        Tell(path + ": wrote " + std::to_string(writes.size()) + " register(s), left out " +
             std::to_string(skipped) + " read-only or trigger register(s)");
    return Exit_Ok;
}

int Run_Replay(const std::string& path, const ReplayOptions& options) {
    std::vector<BatchStep> steps;
    if (const int status = Parse_Batch_File(path, options, &steps); status != Exit_Ok)
        return status;
    if (auto failed = Open_Board()) return Failed(*failed);
    if (options.verify) {
        Verify_Writes = 1;
        Write_Retries = 0;  // a mismatch is reported, not hidden by a retry
    }
    // Without read-backs the writes need not wait for their answers (a served board); a
    // read still follows the writes before it, and their failures are told at the end.
    if (!options.verify) Begin_Register_Batch();
    int status = Run_Steps(path, steps, options.verify);
    if (!options.verify && End_Register_Batch() > 0 && status == Exit_Ok)
        status = Board_Failure(path + ": a write failed: " + Vanlpt_Last_Error());
    if (status == Exit_Ok && !options.quiet)
        Tell(path + ": " + std::to_string(steps.size()) + " register accesses");
    return status;
}
