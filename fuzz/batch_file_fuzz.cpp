// The register batch file parser that `osdex replay` runs on whole files. Whatever the text,
// it either names a line that exists or gives steps that say again what the text said:
// printed back the program's way and parsed again, they are the same steps.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "chip/register_batch.h"

namespace {

int Lines_In(std::string_view text) {
    int lines = 0;
    for (char c : text) lines += c == '\n';
    return lines + (text.empty() || text.back() == '\n' ? 0 : 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<BatchStep> steps;
    BatchParseError error;
    if (!Parse_Register_Batch(text, &steps, &error)) {
        if (!steps.empty() || error.line < 1 || error.line > Lines_In(text) ||
            error.problem.empty())
            std::abort();
        return 0;
    }
    std::string again;
    char line[32];
    for (const BatchStep& s : steps) {
        if (s.kind == BatchStep::Kind::Write)
            std::snprintf(line, sizeof line, "wrreg %u %u\r\n", s.address, s.data);
        else
            std::snprintf(line, sizeof line, "rdreg %u\r\n", s.address);
        again += line;
    }
    std::vector<BatchStep> reparsed;
    if (!Parse_Register_Batch(again, &reparsed, &error) || reparsed.size() != steps.size())
        std::abort();
    for (std::size_t i = 0; i < steps.size(); ++i)
        if (reparsed[i].kind != steps[i].kind || reparsed[i].address != steps[i].address ||
            reparsed[i].data != steps[i].data)
            std::abort();
    return 0;
}
