#include "vanlpt/real_port_backend.h"

#include "vanlpt/report.h"

namespace vanlpt {

RawPort* RealPortBackend::Open_Port(std::string* error) {
    std::string note;
    port_ = opener_(error, &note);
    if (!note.empty()) Report_Once(note);
    return port_.get();
}

}  // namespace vanlpt
