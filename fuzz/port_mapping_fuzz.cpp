// The VANLPT_PORTS parser: any text either applies as a whole or leaves the mapping as it
// was with a message; every target it yields can be described.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "vanlpt/port_mapping.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    vanlpt::PortMapping mapping;
    mapping[0].kind = vanlpt::TargetKind::Simulated;
    const vanlpt::PortMapping before = mapping;
    std::string error;
    if (vanlpt::Apply_Mapping_Text(text, &mapping, &error)) {
        for (const vanlpt::PortTarget& target : mapping)
            if (vanlpt::Describe_Target(target).empty()) std::abort();
        // Applying it again changes nothing more.
        vanlpt::PortMapping again = mapping;
        if (!vanlpt::Apply_Mapping_Text(text, &again, &error) || !(again == mapping)) std::abort();
    } else if (!(mapping == before) || error.empty()) {
        std::abort();
    }
    return 0;
}
