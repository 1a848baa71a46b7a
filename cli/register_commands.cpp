#include "cli/register_commands.h"

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "chip/batch_replay.h"
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

int Board_Failure(const std::string& what) {
    return Failed(what, Exit_Board_Failed);
}

// Output is collected and written in chunks of this size: printing a line per step through
// stdio would cost more than the bus, and one buffer for a whole file would grow without end.
constexpr std::size_t Output_Chunk = 64 * 1024;

// Runs the steps; stops at the first failed transaction, at a stop request and when the
// output cannot be written (the reader went away).
int Run_Steps(const std::string& path, const std::vector<BatchStep>& steps) {
    std::string out;
    int mismatches = 0;
    char line[64];
    std::size_t done = 0;
    for (const BatchStep& step : steps) {
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
        BatchStepResult result;
        if (auto failed = Run_Batch_Step(path, step, &result)) {
            Write_Output(out);
            return Board_Failure(*failed);
        }
        if (step.kind == BatchStep::Kind::Read) {
            const int n =
                std::snprintf(line, sizeof line, "rdreg %u => %u\n", step.address, result.value);
            out.append(line, static_cast<std::size_t>(n));
        } else if (result.mismatch) {
            ++mismatches;
            Tell(Mismatch_Text(path, step, result.read_back));
        }
    }
    Write_Output(out);
    if (mismatches == 0) return Exit_Ok;
    return Board_Failure(Mismatches_Text(mismatches));
}

// A register dump is a few kilobytes.
constexpr std::size_t Max_Dump_Bytes = 1u << 20;

std::optional<RegisterArgument> Register_Argument(const std::string& text) {
    std::string error;
    auto target = ::Register_Argument(text, &error);
    if (!target) Tell(error);
    return target;
}

}  // namespace

int Run_Write(const std::string& register_text, const std::string& value_text) {
    const auto target = Register_Argument(register_text);
    if (!target) return Exit_Bad_Usage;
    if (auto refused = Refuse_Write(*target)) return Failed(*refused, Exit_Bad_Usage);
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
    if (auto refused = Refuse_Read(*target)) return Failed(*refused, Exit_Bad_Usage);
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
    std::string note;
    if (auto problem = Read_Batch_File(path, options.ignore_torn_end, &steps, &note))
        return Failed(*problem, Exit_Bad_Usage);
    if (!note.empty()) Tell(note);
    if (auto failed = Open_Board()) return Failed(*failed);
    Start_Replay(options.verify);
    int status = Run_Steps(path, steps);
    if (auto failed = End_Replay(); failed && status == Exit_Ok) status = Board_Failure(*failed);
    if (status == Exit_Ok && !options.quiet)
        Tell(path + ": " + std::to_string(steps.size()) + " register accesses");
    return status;
}
