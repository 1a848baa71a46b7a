#include "chip/batch_replay.h"

#include "chip/board_session.h"
#include "chip/register_bus.h"
#include "shell/whole_file.h"
#include "vanlpt/vanlpt.h"

namespace {

// A batch file of a whole session is large, but not this large.
constexpr std::size_t Max_Batch_Bytes = 1u << 30;

std::string Where(const std::string& path, int line) {
    return path + ":" + std::to_string(line) + ": ";
}

std::uint8_t saved_verify = 0;
std::int32_t saved_retries = 0;
bool batched = false;  // the replay runs as one register batch

}  // namespace

std::optional<std::string> Read_Batch_File(const std::string& path, bool ignore_torn_end,
                                           std::vector<BatchStep>* steps, std::string* note) {
    note->clear();
    std::string text;
    if (auto problem = Read_Whole_File(path, Max_Batch_Bytes, &text))
        return "cannot read " + path + ": " + *problem;
    BatchParseError error;
    if (Parse_Register_Batch(text, steps, &error)) return std::nullopt;
    const std::string where = Where(path, error.line);
    if (!error.torn_end) return where + error.problem + "; nothing was sent";
    if (!ignore_torn_end)
        return where +
               "the last line is torn (it has no line end, as when writing the file was cut "
               "off): " +
               error.problem + "; nothing was sent. --ignore-torn-end runs the lines before it";
    const std::string torn_problem = error.problem;
    if (!Parse_Register_Batch(Without_Torn_End(text), steps, &error))
        return Where(path, error.line) + error.problem + "; nothing was sent";
    *note = where + "the torn last line is left out: " + torn_problem;
    return std::nullopt;
}

void Start_Replay(bool verify) {
    saved_verify = Verify_Writes;
    saved_retries = Write_Retries;
    batched = !verify;
    if (batched) {
        Begin_Register_Batch();
        return;
    }
    Verify_Writes = 1;
    Write_Retries = 0;
}

std::optional<std::string> End_Replay() {
    Verify_Writes = saved_verify;
    Write_Retries = saved_retries;
    if (!batched) return std::nullopt;
    batched = false;
    if (End_Register_Batch() == 0) return std::nullopt;
    return std::string("a write failed: ") + Vanlpt_Last_Error();
}

std::optional<std::string> Run_Batch_Step(const std::string& path, const BatchStep& step,
                                          BatchStepResult* result) {
    *result = {};
    if (step.kind == BatchStep::Kind::Read) {
        if (auto failed = Board_Read(step.address, &result->value))
            return Where(path, step.line) + *failed;
        return std::nullopt;
    }
    const std::int32_t verify_errors = num_write_verify_errors;
    if (auto failed = Board_Write(step.address, step.data)) return Where(path, step.line) + *failed;
    if (Verify_Writes && num_write_verify_errors != verify_errors) {
        result->mismatch = true;
        result->read_back = static_cast<std::uint8_t>(verify_error_readback);
    }
    return std::nullopt;
}

std::string Mismatch_Text(const std::string& path, const BatchStep& step, std::uint8_t read_back) {
    return Where(path, step.line) + "wrote " + std::to_string(step.data) + " to register " +
           std::to_string(step.address) + ", read back " + std::to_string(read_back);
}

std::string Mismatches_Text(int mismatches) {
    return std::to_string(mismatches) + " write(s) did not read back as written";
}
