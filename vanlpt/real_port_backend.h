// RealPortBackend: a PC parallel port of this machine, through the kernel's ppdev driver
// (/dev/parportN) or direct I/O (io:0x378). The port is opened and claimed when selected
// and let go when another port is selected.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "vanlpt/local_port_backend.h"

namespace vanlpt {

class RealPortBackend : public LocalPortBackend {
public:
    // Opens the port: nullptr with *error saying what to do; *note for a port that works
    // with a limit worth telling.
    using Opener = std::function<std::unique_ptr<RawPort>(std::string* error, std::string* note)>;

    RealPortBackend(std::string description, std::string name, Opener opener)
        : LocalPortBackend(nullptr, std::move(description), std::move(name)),
          opener_(std::move(opener)) {}

    bool Checked_At_Start() const override { return true; }

protected:
    RawPort* Open_Port(std::string* error) override;
    void Close_Port() override { port_.reset(); }
    bool Park_On_Close() const override { return true; }

private:
    Opener opener_;
    std::unique_ptr<RawPort> port_;
};

}  // namespace vanlpt
