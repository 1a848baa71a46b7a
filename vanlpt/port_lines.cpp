#include "vanlpt/port_lines.h"

#include "vanlpt/pin_map.h"

namespace vanlpt {

void PortLines::Attach(RawPort* port) {
    port_ = port;
    if (port_ == nullptr) return;
    data_ = port_->Read_Data();
    control_ = port_->Read_Control();
}

std::uint8_t PortLines::Get_Data() {
    return port_ ? port_->Read_Data() : 0;
}
std::uint8_t PortLines::Get_Status() {
    return port_ ? port_->Read_Status() : 0;
}
std::uint8_t PortLines::Get_Control() {
    return port_ ? port_->Read_Control() : 0;
}

void PortLines::Set_Data(std::uint8_t value) {
    data_ = value;
    if (port_) port_->Write_Data(value);
}

void PortLines::Set_Control(std::uint8_t value) {
    control_ = value;
    if (port_) port_->Write_Control(value);
}

void PortLines::Set_Register(unsigned offset, std::uint8_t value) {
    // Offsets 0 and 2 are the data and control registers: keep their shadows true.
    if (offset == 0) return Set_Data(value);
    if (offset == 2) return Set_Control(value);
    if (port_) port_->Write_Register(offset, value);
}

std::uint8_t PortLines::With_Data_Drive(std::uint8_t control, bool drive) const {
    return drive ? static_cast<std::uint8_t>(control & ~enable_mask_)
                 : static_cast<std::uint8_t>(control | enable_mask_);
}

void PortLines::Set_Data_Enable(bool drive) {
    Set_Control(With_Data_Drive(control_, drive));
}

int PortLines::Read_Pin(int pin) {
    PinLocation where = Locate_Pin(pin);
    switch (where.reg) {
        case PinRegister::Data:
            return Level_In_Register(where, Get_Data());
        case PinRegister::Status:
            return Level_In_Register(where, Get_Status());
        case PinRegister::Control:
            return Level_In_Register(where, Get_Control());
        case PinRegister::None:
            break;
    }
    return 0;
}

void PortLines::Write_Pin(int pin, int level) {
    PinLocation where = Locate_Pin(pin);
    if (where.reg == PinRegister::Data) Set_Data(With_Level(where, data_, level));
    if (where.reg == PinRegister::Control) Set_Control(With_Level(where, control_, level));
}

}  // namespace vanlpt
