// The board check of the script-facing board session: the loopback must follow pin 9 through a
// pattern, so that a port whose own signals move pin 10 is not taken for a board.
#include "chip/board_session.h"

#include <gtest/gtest.h>

#include "vanlpt/raw_port.h"
#include "vanlpt/vanlpt_testing.h"

namespace {

// An empty port whose ACK line (pin 10) flips each time its status is read, as QEMU's
// emulated port does; RDY (pin 15) reads ready.
class FlippingAckPort : public vanlpt::RawPort {
public:
    std::uint8_t Read_Data() override { return data_; }
    void Write_Data(std::uint8_t value) override { data_ = value; }
    std::uint8_t Read_Status() override {
        ack_ = !ack_;
        return static_cast<std::uint8_t>(0x08 | (ack_ ? 0x00 : 0x40));
    }
    std::uint8_t Read_Control() override { return control_; }
    void Write_Control(std::uint8_t value) override { control_ = value; }
    void Write_Register(unsigned, std::uint8_t) override {}

private:
    std::uint8_t data_ = 0, control_ = 0x04;
    bool ack_ = true;
};

TEST(BoardSession, APortWhosePin10FlipsOnItsOwnIsNoBoard) {
    ASSERT_TRUE(vanlpt::testing::Reset_Library("1=unplugged,2=none,3=none"));
    FlippingAckPort port;
    vanlpt::testing::Install_Raw_Port(1, &port);
    const std::optional<BoardFailure> failed = Open_Board();
    ASSERT_TRUE(failed.has_value());
    EXPECT_NE(failed->message.find("no board answers"), std::string::npos) << failed->message;
    EXPECT_NE(failed->fix.find("connect and power the board"), std::string::npos);

    vanlpt::testing::Reset_Library("1=sim,2=none,3=none");
    EXPECT_FALSE(Open_Board().has_value());  // the simulated board's loopback follows
    vanlpt::testing::Reset_Library();
}

}  // namespace
