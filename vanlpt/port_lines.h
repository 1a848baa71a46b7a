// PortLines: the selected port with a shadow of its data and control registers, so that
// one pin can change without reading the port back first, plus single-pin access in pin
// levels and the data-enable mask. With no port attached reads give 0 and writes go nowhere.
#pragma once

#include <cstdint>

#include "vanlpt/raw_port.h"

namespace vanlpt {

inline constexpr std::uint8_t kDefaultDataEnableMask = kControlDirection;

class PortLines {
public:
    // Takes the port's current data and control registers as the shadows (no pin moves).
    // nullptr detaches. The caller keeps ownership.
    void Attach(RawPort* port);
    RawPort* Port() const { return port_; }

    std::uint8_t Get_Data();
    std::uint8_t Get_Status();
    std::uint8_t Get_Control();
    void Set_Data(std::uint8_t value);
    void Set_Control(std::uint8_t value);
    void Set_Register(unsigned offset, std::uint8_t value);

    std::uint8_t Data_Shadow() const { return data_; }
    std::uint8_t Control_Shadow() const { return control_; }

    void Set_Data_Enable(bool drive);
    std::uint8_t Data_Enable_Mask() const { return enable_mask_; }
    void Set_Data_Enable_Mask(std::uint8_t mask) { enable_mask_ = mask; }
    bool Data_Floating() const { return (control_ & enable_mask_) != 0; }
    // `control` with the data pins set to drive (true) or float (false).
    std::uint8_t With_Data_Drive(std::uint8_t control, bool drive) const;

    int Read_Pin(int pin);               // 0 or 1; pins with no register read 0
    void Write_Pin(int pin, int level);  // input and unknown pins are left alone

private:
    RawPort* port_ = nullptr;
    std::uint8_t data_ = 0;
    std::uint8_t control_ = 0;
    std::uint8_t enable_mask_ = kDefaultDataEnableMask;
};

}  // namespace vanlpt
