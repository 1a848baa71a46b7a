#include "vanlpt/bus_engine.h"

#include <algorithm>
#include <string>

#include "vanlpt/pin_map.h"

namespace vanlpt {

namespace {

bool Is_Control_Pin(int pin) {
    return Locate_Pin(pin).reg == PinRegister::Control;
}

}  // namespace

void BusEngine::Reset() {
    wr_ = rd_ = addr_ = cs_ = busy_ = PinRole{};
    timeout_ = kDefaultBusyTimeout;
    highest_ = 0;
    error_.clear();
}

void BusEngine::Set_Role(BusRole role, int pin, int active_level) {
    PinRole value{pin, active_level != 0 ? 1 : 0};
    switch (role) {
        case BusRole::Wr:
            wr_ = value;
            break;
        case BusRole::Rd:
            rd_ = value;
            break;
        case BusRole::Addr:
            addr_ = value;
            break;
        case BusRole::Cs:
            cs_ = value;
            break;
        case BusRole::Busy:
            busy_ = value;
            break;
    }
}

PinRole BusEngine::Role(BusRole role) const {
    switch (role) {
        case BusRole::Wr:
            return wr_;
        case BusRole::Rd:
            return rd_;
        case BusRole::Addr:
            return addr_;
        case BusRole::Cs:
            return cs_;
        case BusRole::Busy:
            return busy_;
    }
    return {};
}

// The strobes, ADDR and CS must be control pins (data pins carry the bus itself) and be
// four different pins; RDY/~BUSY must be a status pin.
bool BusEngine::Roles_Usable() const {
    const int out[] = {wr_.pin, rd_.pin, addr_.pin, cs_.pin};
    for (int i = 0; i < 4; ++i) {
        if (!Is_Control_Pin(out[i])) return false;
        for (int j = 0; j < i; ++j)
            if (out[i] == out[j]) return false;
    }
    return Is_Input_Pin(busy_.pin);
}

bool BusEngine::Check_Ready_To_Run() {
    error_.clear();
    if (lines_.Port() == nullptr) {
        error_ = "no port selected: call Select_LPT_123 first";
        return false;
    }
    // A port whose device failed would only wait out the busy time-out on every cycle.
    if (const char* fault = lines_.Port()->Fault()) {
        error_ = fault;
        return false;
    }
    if (!Roles_Usable()) {
        error_ =
            "chip-bus pins not assigned: ~WR, ~RD, ADDR and CS need four different control "
            "pins (1, 14, 16, 17) and RDY/~BUSY a status pin (10..13, 15)";
        return false;
    }
    return true;
}

std::uint8_t BusEngine::With_Role(std::uint8_t control, BusRole role, bool active) const {
    PinRole r = Role(role);
    int level = active ? r.active_level : 1 - r.active_level;
    return With_Level(Locate_Pin(r.pin), control, level);
}

void BusEngine::Put_Control(std::uint8_t control) {
    lines_.Set_Control(control);
}

// `target` (CS active) with the data pins driving. When the data pins float and CS is not
// yet active, CS goes first on its own write so that the data pins cannot start driving
// while the crosspoint is still selected.
void BusEngine::Put_Driving(std::uint8_t target) {
    const std::uint8_t now = lines_.Control_Shadow();
    const bool cs_was_active = With_Role(now, BusRole::Cs, true) == now;
    if (lines_.Data_Floating() && !cs_was_active) Put_Control(target);
    Put_Control(lines_.With_Data_Drive(target, true));
}

// CS active, ADDR in its address phase, both strobes idle, data pins driving.
void BusEngine::Select_Chip_For_Address() {
    std::uint8_t target = With_Role(lines_.Control_Shadow(), BusRole::Cs, true);
    target = With_Role(target, BusRole::Addr, true);
    target = With_Role(target, BusRole::Wr, false);
    Put_Driving(With_Role(target, BusRole::Rd, false));
}

void BusEngine::Park() {
    if (lines_.Port() == nullptr || !Roles_Usable()) return;
    std::uint8_t idle = With_Role(lines_.Control_Shadow(), BusRole::Cs, true);
    idle = With_Role(idle, BusRole::Wr, false);
    idle = With_Role(idle, BusRole::Rd, false);
    if (lines_.With_Data_Drive(idle, true) != lines_.Control_Shadow()) Put_Driving(idle);
}

// The chip latches the address on the rising edge of ~WR.
void BusEngine::Strobe_Address(std::uint8_t address) {
    Select_Chip_For_Address();
    lines_.Set_Data(address);
    Put_Control(With_Role(lines_.Control_Shadow(), BusRole::Wr, true));
    Put_Control(With_Role(lines_.Control_Shadow(), BusRole::Wr, false));
}

bool BusEngine::Wait_Until_Ready() {
    PinLocation where = Locate_Pin(busy_.pin);
    unsigned long limit = std::max(timeout_, 1ul);  // always look at least once
    unsigned long polls = 0;
    bool ready = false;
    while (polls < limit && !ready && lines_.Port()->Fault() == nullptr) {
        ++polls;
        ready = Level_In_Register(where, lines_.Get_Status()) != busy_.active_level;
    }
    highest_ = std::max(highest_, polls);
    if (!ready)
        error_ = "chip stayed busy (RDY/~BUSY) for " + std::to_string(polls) +
                 " polls: is the board connected and powered?";
    return ready;
}

bool BusEngine::Finish(bool ok) {
    if (const char* fault = lines_.Port()->Fault()) {
        error_ = fault;
        return false;
    }
    return ok;
}

bool BusEngine::Write(std::uint8_t address, std::uint8_t data) {
    if (!Check_Ready_To_Run()) return false;
    Strobe_Address(address);
    lines_.Set_Data(data);
    std::uint8_t data_phase = With_Role(lines_.Control_Shadow(), BusRole::Addr, false);
    Put_Control(With_Role(data_phase, BusRole::Wr, true));
    Put_Control(With_Role(lines_.Control_Shadow(), BusRole::Wr, false));  // chip latches
    return Finish(Wait_Until_Ready());
}

bool BusEngine::Read(std::uint8_t address, std::uint8_t* data) {
    if (data == nullptr) {
        error_ = "register read without a place for the value";
        return false;
    }
    if (!Check_Ready_To_Run()) return false;
    Strobe_Address(address);
    std::uint8_t data_phase = With_Role(lines_.Control_Shadow(), BusRole::Addr, false);
    Put_Control(lines_.With_Data_Drive(data_phase, false));
    Put_Control(With_Role(lines_.Control_Shadow(), BusRole::Rd, true));
    bool ready = Wait_Until_Ready();
    std::uint8_t value = ready ? lines_.Get_Data() : 0;
    std::uint8_t idle = With_Role(lines_.Control_Shadow(), BusRole::Rd, false);
    Put_Control(lines_.With_Data_Drive(idle, true));
    bool ok = Finish(ready);
    if (ok) *data = value;
    return ok;
}

}  // namespace vanlpt
