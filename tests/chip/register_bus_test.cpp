// Register transactions against the simulated board: what the cache lets through, the
// auto-increment model, verification and retries, failures, the trace and the batch file.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "chip/register_map.h"
#include "chip_fixture.h"
#include "port/activity_log.h"
#include "shell/dialogs.h"
#include "shell/line_file.h"
#include "shell/services.h"
#include "tests/support/full_disk.h"

namespace {

using RegisterBusTest = ChipTest;

TEST_F(RegisterBusTest, CacheDropsRepeatedWritesButNeverTriggers) {
    Write_Register(34, 5);
    Read_Register(40);
    Write_Register(34, 5);  // dropped: no count, no last-access record
    EXPECT_EQ(Board_Writes(), 1u);
    EXPECT_EQ(num_reg_writes, 1);
    EXPECT_EQ(Last_Reg_Address, 40);

    Write_Register(6, 2);
    Write_Register(6, 2);
    Write_Register(MReg::MWRITE, 0);
    Write_Register(MReg::MWRITE, 0);
    EXPECT_EQ(Board_Writes(), 5u);

    Cache_Enabled = 0;
    Write_Register(34, 5);
    Write_Register(34, 5);
    EXPECT_EQ(Board_Writes(), 7u);
    EXPECT_EQ(Chip().Register(34), 5);
}

TEST_F(RegisterBusTest, HorizontalIncrementAdvancesCachedColumn) {
    Write_Register(5, Status_HINC);
    Write_Register(2, 10);
    Write_Register(6, Command_Write_Quad);
    EXPECT_EQ(Register_Cache.Cache_Value[2], 11);
    EXPECT_EQ(Register_Cache.Cache_Valid[2], 1);
    EXPECT_EQ(Chip().Quad_Column(0), 11u);

    const auto before = Board_Writes();
    Write_Register(2, 11);
    EXPECT_EQ(Board_Writes(), before);
    Write_Register(2, 10);
    EXPECT_EQ(Board_Writes(), before + 1);
}

TEST_F(RegisterBusTest, VerticalIncrementCarriesIntoLineHighAndWrapsLikeTheChip) {
    Write_Register(MReg::CONTROL, Status_VINC);
    Write_Register(MReg::QPLINEH, 0);
    Write_Register(MReg::QPLINEL, 255);
    Write_Register(MReg::MWRITE, 0);
    EXPECT_EQ(Register_Cache.Cache_Value[MReg::QPLINEH], 1);
    EXPECT_EQ(Register_Cache.Cache_Value[MReg::QPLINEL], 0);
    EXPECT_EQ(Chip().Quad_Line(8), 256u);

    // Line 511 advances to line 0, as the chip's 9-bit line does.
    Write_Register(MReg::QPLINEL, 255);
    Write_Register(MReg::MWRITE, 0);
    EXPECT_EQ(Chip().Quad_Line(8), 0u);
    const auto before = Board_Writes();
    Write_Register(MReg::QPLINEH, 0);
    Write_Register(MReg::QPLINEL, 0);
    EXPECT_EQ(Board_Writes(), before);
}

TEST_F(RegisterBusTest, LineCarryIsModelledOnlyWhenBothHalvesAreKnown) {
    Write_Register(MReg::CONTROL, Status_VINC);
    Write_Register(MReg::QPLINEH, 0);
    Write_Register(MReg::QPLINEL, 10);
    // A QPLINEL write that timed out is forgotten; the chip in fact holds 255.
    Chip().Set_Stuck_Busy(true);
    Set_DUT_BUSY_Timeout(50);
    Write_Register(MReg::QPLINEL, 200);
    EXPECT_EQ(num_busy_timeout_errors, 1);
    Chip().Set_Stuck_Busy(false);
    Chip().Set_Register(MReg::QPLINEL, 255);
    Write_Register(MReg::MWRITE, 0);  // the chip carries into line 256
    EXPECT_EQ(Chip().Quad_Line(8), 256u);
    // The carry is unknown, so QPLINEH 0 must reach the chip.
    Write_Register(MReg::QPLINEH, 0);
    Write_Register(MReg::QPLINEL, 0);
    EXPECT_EQ(Chip().Quad_Line(8), 0u);
}

TEST_F(RegisterBusTest, UnknownIncrementControlForgetsThePosition) {
    // STATUS never written since the cache was emptied: the chip may advance or not.
    Chip().Set_Register(5, Status_HINC);
    Write_Register(2, 10);
    Write_Register(6, Command_Write_Quad);
    EXPECT_EQ(Register_Cache.Cache_Valid[2], 0);
    EXPECT_EQ(Chip().Quad_Column(0), 11u);
    const auto before = Board_Writes();
    Write_Register(2, 10);  // must reach the chip, which is at 11
    EXPECT_EQ(Board_Writes(), before + 1);
    EXPECT_EQ(Chip().Quad_Column(0), 10u);
}

TEST_F(RegisterBusTest, ReadQuadCommandForgetsQuadData) {
    Write_Register(5, 0);
    Write_Register(0, 0x50);
    Write_Register(1, 0x00);
    Write_Register(6, Command_Read_Quad);  // QPH/QPL now hold the addressed quad (0)
    EXPECT_EQ(Register_Cache.Cache_Valid[0], 0);
    EXPECT_EQ(Register_Cache.Cache_Valid[1], 0);
    const auto before = Board_Writes();
    Write_Register(0, 0x50);
    EXPECT_EQ(Board_Writes(), before + 1);
    EXPECT_EQ(Chip().Register(0), 0x50);
}

TEST_F(RegisterBusTest, SwitchingTheCacheBackOnStartsAllInvalid) {
    Write_Register(34, 5);
    Cache_Enabled = 0;
    Write_Register(34, 7);
    Cache_Enabled = 1;
    const auto before = Board_Writes();
    Write_Register(34, 5);
    EXPECT_EQ(Board_Writes(), before + 1);
    EXPECT_EQ(Chip().Register(34), 5);
    Write_Register(35, 0);  // every other entry was forgotten too
    EXPECT_EQ(Board_Writes(), before + 2);

    Init_DUT_Bus();  // empties the cache as well
    Write_Register(35, 0);
    EXPECT_EQ(Board_Writes(), before + 3);
}

TEST_F(RegisterBusTest, VerificationMasksAndRetriesWithFlippedReadBits) {
    Verify_Writes = 1;
    board_->Set_Read_Flip_Mask(0x01);

    // STATUS ignores bit 0: verified at once.
    Write_Register(21, Status_BLANK);
    EXPECT_EQ(num_reg_writes, 1);
    EXPECT_EQ(num_write_verify_errors, 0);

    // Any other register: Write_Retries + 1 attempts, as many errors.
    Write_Register(39, 0x40);
    EXPECT_EQ(num_reg_writes, 1 + 4);
    EXPECT_EQ(num_write_verify_errors, 4);
    EXPECT_EQ(verify_error_address, 39);
    EXPECT_EQ(verify_error_data, 0x40);
    EXPECT_EQ(verify_error_readback, 0x41);
    EXPECT_EQ(verify_error_name, "HOFFSET/CONTROL");

    Write_Retries = 0;
    Write_Register(40, 0x10);
    EXPECT_EQ(num_reg_writes, 6);

    // A register that failed verification is sent again next time, not dropped.
    Write_Register(40, 0x10);
    EXPECT_EQ(num_reg_writes, 7);

    // Triggers are never read back.
    const auto reads = num_reg_reads;
    Write_Register(6, Command_Write_Quad);
    Write_Register(MReg::MWRITE, 0);
    EXPECT_EQ(num_reg_reads, reads);

    // A negative retry count does not loop on.
    Write_Retries = -5;
    Write_Register(41, 0x10);
    EXPECT_EQ(num_reg_writes, 10);
}

TEST_F(RegisterBusTest, FailedTransactionsAreCountedAndReadAsZero) {
    Write_Register(34, 9);
    Chip().Set_Stuck_Busy(true);
    Set_DUT_BUSY_Timeout(50);
    EXPECT_EQ(Read_Register(34), 0);
    EXPECT_EQ(num_busy_timeout_errors, 1);
    EXPECT_EQ(Last_Reg_Address, 34);
    EXPECT_EQ(Last_Reg_Data, 0);

    // Stuck busy: every write ends at the time-out; the one that failed is not trusted.
    Write_Register(35, 3);
    EXPECT_EQ(num_busy_timeout_errors, 2);
    Chip().Set_Stuck_Busy(false);
    const auto before = num_reg_writes;
    Write_Register(35, 3);
    EXPECT_EQ(num_reg_writes, before + 1);

    // At the bus set-up's time-out a stuck line still ends every transaction.
    Init_DUT_Bus();
    Chip().Set_Stuck_Busy(true);
    for (int i = 0; i < 10; ++i) Write_Register(static_cast<std::uint8_t>(i + 40), 1);
    EXPECT_EQ(num_busy_timeout_errors, 12);
}

class RecordingLogView : public ActivityLogView {
public:
    int Memo_Line_Count() const override { return static_cast<int>(lines.size()); }
    void Memo_Delete_First_Lines(int count) override {
        lines.erase(lines.begin(), lines.begin() + count);
    }
    void Memo_Add_Line(const std::string& line) override { lines.push_back(line); }
    std::string Pin_Caption(int) const override { return ""; }
    std::string Level_Text() const override { return "high"; }
    std::vector<std::string> lines;
};

TEST_F(RegisterBusTest, HighDetailTraceOfWritesAndReads) {
    RecordingLogView view;
    Program_Services().activity_log_view = &view;
    Write_Register(0x27, 0xFF);  // traced only with the high category on
    Port_State.Log_Mask = Log_High;
    Write_Register(0x27, 0x0B);
    Read_Register(0x27);
    Port_State.Log_Mask = Log_Low | Log_Med;
    Write_Register(0x27, 0x0C);
    Program_Services().activity_log_view = nullptr;

    ASSERT_EQ(view.lines.size(), 2u);
    EXPECT_EQ(view.lines[0].substr(30), "Write_Register(27, 0B)");
    EXPECT_EQ(view.lines[1].substr(30), "Read_Register(27) => 0B");
}

// Runs each test of the batch file in a directory of its own.
class BatchFileTest : public ChipTest {
protected:
    void SetUp() override {
        ChipTest::SetUp();
        dir_ = std::filesystem::temp_directory_path() /
               ("chip_batch_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
        old_dir_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_);
        Drawing_Module_Start();
        Program_Services().dialogs = &dialogs_;
    }
    void TearDown() override {
        Close_Register_Batch_File();
        Drawing_Module_End();
        Program_Services().dialogs = nullptr;
        std::filesystem::current_path(old_dir_);
        std::filesystem::remove_all(dir_);
        ChipTest::TearDown();
    }
    static std::string Contents() {
        std::ifstream in(Batch_File_Name, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::filesystem::path dir_, old_dir_;
    ScriptedDialogs dialogs_;
};

TEST_F(BatchFileTest, ReceivesEveryCallInOrderAfterEarlierContent) {
    { std::ofstream(Batch_File_Name, std::ios::binary) << "earlier\r\n"; }
    ASSERT_TRUE(Open_Register_Batch_File());
    EXPECT_EQ(Batch_Enabled, 1);
    Write_Register(34, 5);
    Write_Register(34, 5);  // dropped by the cache, recorded all the same
    Read_Register(133);
    Verify_Writes = 1;
    Write_Register(255, 200);  // with its verifying read-back
    Close_Register_Batch_File();
    Write_Register(34, 6);  // after closing: not recorded
    EXPECT_EQ(Batch_Enabled, 0);

    EXPECT_EQ(Contents(),
              "earlier\r\nwrreg 34 5\r\nwrreg 34 5\r\nrdreg 133\r\nwrreg 255 200\r\n"
              "rdreg 255\r\n");
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(BatchFileTest, AFileThatCannotBeOpenedIsReportedAndNotRecorded) {
    std::filesystem::create_directory(Batch_File_Name);  // a directory in the file's place
    EXPECT_FALSE(Open_Register_Batch_File());
    EXPECT_EQ(Batch_Enabled, 0);
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_NE(dialogs_.messages[0].text.find("regtest.bat"), std::string::npos);
    Write_Register(34, 5);  // goes on without a batch
    EXPECT_EQ(Chip().Register(34), 5);
}

TEST_F(BatchFileTest, AFileInUseOrNoRegularFileIsRefusedWithItsReason) {
    Line_File holder;  // the batch file of a second instance
    holder.Line_File_Open(Batch_File_Name);
    ASSERT_TRUE(holder.Has_Handle());
    EXPECT_FALSE(Open_Register_Batch_File());
    holder.Line_File_Close();
    std::filesystem::remove(Batch_File_Name);
    ASSERT_EQ(::mkfifo(Batch_File_Name, 0666), 0);
    EXPECT_FALSE(Open_Register_Batch_File());  // returns: the pipe has no reader
    EXPECT_EQ(Batch_Enabled, 0);

    ASSERT_EQ(dialogs_.messages.size(), 2u);
    EXPECT_EQ(dialogs_.messages[0].caption, "Osdex Evaluation Kit");
    EXPECT_EQ(dialogs_.messages[0].text,
              "The register batch file \"regtest.bat\" could not be opened: it is in use by "
              "another program. No register batch is being recorded.");
    EXPECT_NE(dialogs_.messages[1].text.find("not a regular file"), std::string::npos);
}

// A full disk: the file ends on its last whole line (a replay would refuse a torn one), one
// message names the file and the system's reason, and recording is off.
TEST_F(BatchFileTest, AFullDiskStopsTheRecordingWithOneMessage) {
    ASSERT_TRUE(Open_Register_Batch_File());
    {
        FullDiskAfter full(1);
        Write_Register(34, 5);
        Write_Register(130, 177);  // half of the line fits
        Write_Register(40, 6);
        Read_Register(133);
    }
    EXPECT_EQ(Batch_Enabled, 0);
    EXPECT_EQ(Contents(), "wrreg 34 5\r\n");
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].caption, "Osdex Evaluation Kit");
    EXPECT_EQ(dialogs_.messages[0].text,
              "Writing the register batch file regtest.bat failed: No space left on device. "
              "Recording is switched off.");
    EXPECT_EQ(Chip().Register(40), 6);  // the bus goes on without the batch

    Write_Register(36, 7);  // room again: still off until switched on
    EXPECT_EQ(Contents(), "wrreg 34 5\r\n");
    ASSERT_TRUE(Open_Register_Batch_File());
    Write_Register(36, 8);
    EXPECT_EQ(Contents(), "wrreg 34 5\r\nwrreg 36 8\r\n");
}

TEST(RegisterMap, SharingSourceAndRegisterClasses) {
    EXPECT_EQ(Shrsrc_Encode(2, Channel_Bank(5)), 8);
    EXPECT_EQ(Shrsrc_Encode(2, Channel_Bank(4)), 4);
    EXPECT_EQ(Shrsrc_Encode(4, Channel_Bank(7)), 128);
    EXPECT_EQ(Shrsrc_Decode(0x30), 3);
    EXPECT_EQ(Shrsrc_Decode(0x41), 4);
    int triggers = 0, statuses = 0;
    for (int a = 0; a < 256; ++a) {
        triggers += Is_Trigger_Address(static_cast<std::uint8_t>(a));
        statuses += Is_Channel_Status_Address(static_cast<std::uint8_t>(a));
    }
    EXPECT_EQ(triggers, 9);
    EXPECT_EQ(statuses, 8);
}

}  // namespace

namespace {

// The same transactions, one by one or as one run: a quad stream with the increment on, a
// repeated write the cache drops, and reads.
template <typename Write, typename Read>
void Quad_Stream(Write write, Read read) {
    write(5, Status_HINC);
    write(3, 0);
    write(4, 7);
    write(2, 0);
    for (int q = 0; q < 3; ++q) {
        write(0, static_cast<std::uint8_t>(0x10 + q));
        write(1, 0x22);
        write(6, Command_Write_Quad);
        read(2);
    }
    write(4, 7);
    read(1);
}

struct BusRecord {
    std::string batch;
    std::int32_t writes, reads, failures;
    std::uint8_t last_address, last_data;
    std::vector<std::uint8_t> values;
    std::vector<std::uint8_t> cache_valid, cache_value;
    bool operator==(const BusRecord&) const = default;
};

}  // namespace

class RegisterRunTest : public BatchFileTest {
protected:
    BusRecord Record(std::vector<std::uint8_t> values) {
        Close_Register_Batch_File();
        BusRecord r{Contents(),
                    num_reg_writes,
                    num_reg_reads,
                    num_busy_timeout_errors,
                    Last_Reg_Address,
                    Last_Reg_Data,
                    std::move(values),
                    {},
                    {}};
        for (int a = 0; a < 256; ++a) {
            r.cache_valid.push_back(Register_Cache.Cache_Valid[a]);
            if (Register_Cache.Cache_Valid[a])
                r.cache_value.push_back(Register_Cache.Cache_Value[a]);
        }
        return r;
    }
    void Start_Afresh() {
        std::filesystem::remove(Batch_File_Name);
        Init_DUT_Bus();
        Clear_Register_Statistics();
        ASSERT_TRUE(Open_Register_Batch_File());
    }
};

TEST_F(RegisterRunTest, ARunKeepsTheBooksOfSingleCallsAndReadsTheSameValues) {
    Start_Afresh();
    std::vector<std::uint8_t> one_by_one;
    Quad_Stream(Write_Register, [&](std::uint8_t a) { one_by_one.push_back(Read_Register(a)); });
    const BusRecord single = Record(one_by_one);
    const auto board_writes = Board_Writes();

    Start_Afresh();
    Reset_Board_Counters();
    Register_Run run;
    Quad_Stream([&](std::uint8_t a, std::uint8_t d) { run.Write(a, d); },
                [&](std::uint8_t a) { run.Read(a); });
    EXPECT_TRUE(run.Send());
    EXPECT_EQ(Record(run.Values()), single);
    EXPECT_EQ(Board_Writes(), board_writes);  // the same writes dropped by the cache
    EXPECT_EQ(single.values, (std::vector<std::uint8_t>{1, 2, 3, 0x22}));
}

TEST_F(RegisterRunTest, AFailedRunIsCountedOnceNamesTheTransactionAndForgetsTheCache) {
    Start_Afresh();
    Write_Register(40, 1);
    Chip().Set_Stuck_Busy(true);
    Set_DUT_BUSY_Timeout(50);
    Clear_Register_Statistics();
    Register_Run run;
    run.Write(41, 2);
    run.Read(40);
    run.Write(42, 3);
    EXPECT_FALSE(run.Send());
    EXPECT_EQ(num_busy_timeout_errors, 1);
    EXPECT_EQ(num_reg_writes, 1);  // the one that failed; nothing after it was sent
    EXPECT_EQ(num_reg_reads, 0);
    EXPECT_EQ(run.Values(), std::vector<std::uint8_t>{0});
    EXPECT_NE(std::string(Vanlpt_Last_Error()).find("transaction 1 of 3 (wrreg 41 2) failed: "),
              std::string::npos)
        << Vanlpt_Last_Error();
    EXPECT_FALSE(Register_Cache_Value(40).has_value());
    EXPECT_FALSE(Register_Cache_Value(42).has_value());
}

TEST_F(RegisterRunTest, WithVerificationEachWriteIsReadBackAsASingleCallWould) {
    Start_Afresh();
    Verify_Writes = 1;
    Register_Run run;
    run.Write(34, 5);
    run.Read(34);
    EXPECT_TRUE(run.Send());
    EXPECT_EQ(run.Values(), std::vector<std::uint8_t>{5});
    EXPECT_EQ(Record({}).batch, "wrreg 34 5\r\nrdreg 34\r\nrdreg 34\r\n");
}
