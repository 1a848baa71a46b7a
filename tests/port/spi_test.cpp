// The bit-banged SPI master against the crosspoint's shift register on the simulated board.
#include "port/spi.h"
#include "shell/services.h"

#include <cmath>
#include <random>

#include "port/loopback_hunt.h"
#include "port/port_ops.h"
#include "port_fixture.h"
#include "shell/text_format.h"
#include "tests/support/user_locale.h"

namespace {

class SpiTest : public PortTest {
protected:
    void SetUp() override {
        PortTest::SetUp();
        Port_State.Hunt_Called = true;
        ASSERT_NE(Select_LPT_Port(1), 0);
        // The crosspoint wiring the main window sets at start-up.
        Port_State.SPI_Clock_Pin = 4;
        Port_State.SPI_MOSI_Pin = 5;
        Port_State.SPI_MISO_Pin = 13;
        Port_State.SPI_CS_Pin = 17;
        Port_State.SPI_CPOL = 1;
        Port_State.SPI_Clock_kHz = 4.0f;  // half-period 0: no waiting
    }

    // The last n bits the crosspoint shifted in, first one first.
    static std::vector<int> Received(int n) {
        const auto& bits = Board().Crosspoint().Shift_Register();
        std::vector<int> out;
        for (int i = n - 1; i >= 0; --i) out.push_back(bits[i] ? 1 : 0);
        return out;
    }

    // The bits a word puts on the line, in order.
    static std::vector<int> Sent(std::uint8_t word, int nbits, bool msb_first) {
        std::vector<int> out;
        for (int i = 0; i < nbits; ++i)
            out.push_back((word >> (msb_first ? nbits - 1 - i : i)) & 1);
        return out;
    }
};

TEST(SpiRate, HalfPeriodsOfTheRateList) {
    const float rates[] = {4.0f,  0.5f,  0.4f,  0.3f,   0.2f,   0.1f,
                           0.05f, 0.02f, 0.01f, 0.005f, 0.002f, 0.001f};
    const unsigned halves[] = {0, 1, 1, 1, 2, 5, 10, 25, 50, 100, 249, 499};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(SPI_Half_Period_ms(rates[i]), halves[i]) << rates[i];
    // No meaningful period: the slowest entry, never an overflow or an endless wait.
    EXPECT_EQ(SPI_Half_Period_ms(0.0000001f), 499u);
    EXPECT_EQ(SPI_Half_Period_ms(1e-30f), 499u);
    EXPECT_EQ(SPI_Half_Period_ms(0.0f), 499u);
    EXPECT_EQ(SPI_Half_Period_ms(-1.0f), 499u);
    EXPECT_EQ(SPI_Half_Period_ms(std::nanf("")), 499u);
    EXPECT_EQ(SPI_Half_Period_ms(INFINITY), 0u);

    EXPECT_FLOAT_EQ(SPI_Rate_From_Text("0.500"), 0.5f);
    EXPECT_FLOAT_EQ(SPI_Rate_From_Text("2.5 kHz"), 2.5f);
    EXPECT_TRUE(std::isnan(SPI_Rate_From_Text("fast")));
    EXPECT_TRUE(std::isnan(SPI_Rate_From_Text("")));
}

TEST_F(SpiTest, RatesAndNumberTextsUseADecimalPointInACommaLocale) {
    const GermanUserLocale german;
    ASSERT_TRUE(german.Active()) << "de_DE.UTF-8 is missing: run scripts/install-deps.sh";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.2f", 0.5);
    ASSERT_STREQ(probe, "0,50");  // the C library itself now writes a comma
    EXPECT_FLOAT_EQ(SPI_Rate_From_Text("0.500"), 0.5f);
    EXPECT_FLOAT_EQ(SPI_Rate_From_Text("0.1 kHz"), 0.1f);
    EXPECT_FLOAT_EQ(SPI_Rate_From_Text("0,5"), 0.0f);  // the comma is no decimal sign here
    EXPECT_EQ(Format_Text("%1.3f", 0.25), "0.250");
    EXPECT_EQ(Format_Text("%.2f %%", 33.333), "33.33 %");
    std::snprintf(probe, sizeof probe, "%.2f", 0.5);
    EXPECT_STREQ(probe, "0,50");  // the user's locale is back after each text
}

TEST_F(SpiTest, BadRatesWaitABoundedTime) {
    for (float rate : {0.0f, -3.0f, std::nanf(""), 0.0000001f}) {
        Port_State.SPI_Clock_kHz = rate;
        clock.Set(0);
        Generic_SPI_Transfer(0x5A, 1);
        EXPECT_EQ(clock.Peek(), 2u * (499u + 1u)) << rate;  // two half-periods per bit
    }
}

TEST_F(SpiTest, AllModesOrdersInversionsAndWidthsReachTheCrosspoint) {
    std::mt19937 rng(7);
    for (int cpol : {0, 1}) {
        for (int cpha : {0, 1}) {
            for (bool msb : {true, false}) {
                for (bool invert : {false, true}) {
                    for (int nbits = 1; nbits <= 8; ++nbits) {
                        Port_State.SPI_CPOL = cpol;
                        Port_State.SPI_CPHA = cpha;
                        Port_State.SPI_MSB_First = msb;
                        Port_State.SPI_Invert_MOSI = invert;
                        const std::uint8_t word = static_cast<std::uint8_t>(rng());
                        DirectWritePrinterPin(4, cpol);  // clock idle before the frame
                        SPI_CS_Assert();
                        Generic_SPI_Transfer(word, nbits);
                        SPI_CS_Release();
                        const std::uint8_t line = invert ? static_cast<std::uint8_t>(~word) : word;
                        EXPECT_EQ(Received(nbits), Sent(line, nbits, msb))
                            << "cpol " << cpol << " cpha " << cpha << " msb " << msb << " invert "
                            << invert << " bits " << nbits;
                        EXPECT_EQ(Board().Pin_Level(4), cpol == 1);  // ends at idle
                    }
                }
            }
        }
    }
}

TEST_F(SpiTest, MisoTiedToMosiReturnsTheWord) {
    Port_State.SPI_MOSI_Pin = 9;  // the board's loopback: pin 10 follows pin 9
    Port_State.SPI_MISO_Pin = 10;
    DirectWritePrinterPin(4, 1);
    EXPECT_EQ(Generic_SPI_Transfer(0xA5, 8), 0xA5);
    EXPECT_TRUE(Board().Pin_Level(4));
    Port_State.SPI_MSB_First = false;
    EXPECT_EQ(Generic_SPI_Transfer(0x3C, 8), 0x3C);
    EXPECT_EQ(Generic_SPI_Transfer(0x3C, 4), 0x0C);
    Port_State.SPI_CPHA = 1;
    Port_State.SPI_MSB_First = true;
    EXPECT_EQ(Generic_SPI_Transfer(0x96, 8), 0x96);
}

TEST_F(SpiTest, LsbFirstSendsBitZeroFirst) {
    Port_State.SPI_MSB_First = false;
    DirectWritePrinterPin(4, 1);
    SPI_CS_Assert();
    Generic_SPI_Transfer(0x0C, 4);
    SPI_CS_Release();
    EXPECT_EQ(Received(4), (std::vector<int>{0, 0, 1, 1}));
}

TEST_F(SpiTest, InvertedMisoComplementsAllEightBits) {
    Port_State.SPI_MISO_Pin = 12;  // the crosspoint's AOUT stays low
    Port_State.SPI_Invert_MISO = true;
    EXPECT_EQ(Generic_SPI_Transfer(0x00, 7), 0xFF);
}

TEST_F(SpiTest, ChipSelectAndTheByteLoop) {
    SPI_CS_Assert();
    EXPECT_FALSE(Board().Pin_Level(17));
    SPI_CS_Release();
    EXPECT_TRUE(Board().Pin_Level(17));
    Port_State.SPI_CS_Active_High = true;
    SPI_CS_Assert();
    EXPECT_TRUE(Board().Pin_Level(17));
    SPI_CS_Release();
    EXPECT_FALSE(Board().Pin_Level(17));

    const std::uint64_t before = Port().Io_Operations();
    Generic_SPI_Transfer_Bytes(0, nullptr, 8);
    EXPECT_EQ(Port().Io_Operations(), before);

    Port_State.SPI_MOSI_Pin = 9;
    Port_State.SPI_MISO_Pin = 10;
    std::uint8_t bytes[] = {0x12, 0x34, 0x56};
    Generic_SPI_Transfer_Bytes(3, bytes, 8);
    EXPECT_EQ(bytes[0], 0x12);
    EXPECT_EQ(bytes[2], 0x56);
    Generic_SPI_Transfer_Bytes(2, bytes, 4);
    EXPECT_EQ(bytes[0], 0x02);  // four bits echoed back
    EXPECT_EQ(bytes[1], 0x04);
    EXPECT_EQ(bytes[2], 0x56);  // beyond the count: untouched
}

TEST_F(SpiTest, ModeFieldsAreReducedAndWordsLogged) {
    FakeLogView view;
    Program_Services().activity_log_view = &view;
    Port_State.Log_Mask = Log_Med;
    Port_State.SPI_CPOL = 3;
    Port_State.SPI_CPHA = 2;
    Port_State.SPI_MOSI_Pin = 9;
    Port_State.SPI_MISO_Pin = 10;
    Generic_SPI_Transfer(0xA5, 8);
    EXPECT_EQ(Port_State.SPI_CPOL, 1);
    EXPECT_EQ(Port_State.SPI_CPHA, 0);
    ASSERT_EQ(view.memo.size(), 2u);
    EXPECT_EQ(view.memo[0].substr(30), "\tGeneric_SPI_Transfer(mosi=0xA5, 8 bits)");
    EXPECT_EQ(view.memo[1].substr(30), "\tGeneric_SPI_Transfer: returning miso=0xA5");
    Port_State.Log_Mask = Log_Low | Log_High;
    Generic_SPI_Transfer(0x01, 8);
    EXPECT_EQ(view.memo.size(), 2u);
}

TEST_F(SpiTest, WidthsOutsideOneToEightAreClamped) {
    Port_State.SPI_MOSI_Pin = 9;
    Port_State.SPI_MISO_Pin = 10;
    EXPECT_EQ(Generic_SPI_Transfer(0xA5, 12), 0xA5);
    EXPECT_EQ(Generic_SPI_Transfer(0xA5, 0), 0x01);  // one bit
    EXPECT_EQ(Generic_SPI_Transfer(0xA4, -5), 0x00);
}

}  // namespace
