#include "vanlpt/local_port_backend.h"

namespace vanlpt {

RawPort* LocalPortBackend::Open_Port(std::string* error) {
    if (port_ == nullptr) *error = "";
    return port_;
}

bool LocalPortBackend::Open(const BusSettings& bus, std::string* error) {
    RawPort* port = Open_Port(error);
    if (port == nullptr) return false;
    lines_.Attach(port);
    Configure(bus);
    return true;
}

void LocalPortBackend::Close() {
    if (Park_On_Close() && lines_.Port()) engine_.Park();
    lines_.Attach(nullptr);
    Close_Port();
}

const char* LocalPortBackend::Fault() const {
    return lines_.Port() ? lines_.Port()->Fault() : nullptr;
}

void LocalPortBackend::Configure(const BusSettings& bus) {
    for (BusRole role : {BusRole::Wr, BusRole::Rd, BusRole::Addr, BusRole::Cs, BusRole::Busy})
        engine_.Set_Role(role, bus.Role(role).pin, bus.Role(role).active_level);
    engine_.Set_Busy_Timeout(bus.timeout);
    lines_.Set_Data_Enable_Mask(bus.enable_mask);
}

std::uint8_t LocalPortBackend::Get(PortRegister reg) {
    switch (reg) {
        case PortRegister::Data:
            return lines_.Get_Data();
        case PortRegister::Status:
            return lines_.Get_Status();
        case PortRegister::Control:
            return lines_.Get_Control();
    }
    return 0;
}

void LocalPortBackend::Set(PortRegister reg, std::uint8_t value) {
    if (reg == PortRegister::Data) lines_.Set_Data(value);
    if (reg == PortRegister::Control) lines_.Set_Control(value);
}

void LocalPortBackend::Set_Register(unsigned offset, std::uint8_t value) {
    lines_.Set_Register(offset, value);
}

bool LocalPortBackend::Write(std::uint8_t address, std::uint8_t data, std::string* error) {
    if (engine_.Write(address, data)) return true;
    *error = engine_.Last_Error();
    return false;
}

bool LocalPortBackend::Read(std::uint8_t address, std::uint8_t* data, std::string* error) {
    if (engine_.Read(address, data)) return true;
    *error = engine_.Last_Error();
    return false;
}

unsigned long LocalPortBackend::Take_Highest_Count() {
    const unsigned long highest = engine_.Highest_Count();
    engine_.Clear_Highest_Count();
    return highest;
}

}  // namespace vanlpt
