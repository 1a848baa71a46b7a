// The bookkeeping of the register diagnostics.
#include "chip/register_diagnostics.h"

#include <algorithm>
#include <cctype>
#include <climits>

#include "chip/register_bus.h"
#include "shell/text_format.h"

namespace {

double Failure_Rate(std::int32_t errors, std::int32_t attempts) {
    return attempts == 0 ? 0.0 : errors * 100.0 / attempts;
}

// A decimal number as a lab user types it; values beyond the int range stop at its ends.
long long Leading_Integer(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX) value = INT_MAX + 1LL;  // stays past the end without overflowing
    }
    value = negative ? -value : value;
    return std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, value));
}

}  // namespace

std::string Register_Statistics_Text() {
    static constexpr const char* format =
        "num_reg_writes: %d\r\nnum_reg_reads: %d\r\n num_write_verify_errors: %d\r\n write "
        "verify failure rate %.2f %%\r\n num_read_verify_errors: %d\r\n read verify failure "
        "rate %.2f %%\r\n verify_error_address: 0x%X %s\r\n verify_error_data: 0x%X\r\n "
        "verify_error_readback: 0x%X\r\nnum_busy_timeout_errors: %d\r\n "
        "max_busy_timeout_count: %d";
    return Format_Text(format, num_reg_writes, num_reg_reads, num_write_verify_errors,
                       Failure_Rate(num_write_verify_errors, num_reg_writes),
                       num_read_verify_errors, Failure_Rate(num_read_verify_errors, num_reg_reads),
                       static_cast<unsigned>(verify_error_address), verify_error_name.c_str(),
                       static_cast<unsigned>(verify_error_data),
                       static_cast<unsigned>(verify_error_readback), num_busy_timeout_errors,
                       max_busy_timeout_count);
}

bool Repeated_Write_Raised_First_Error(std::uint8_t address, std::uint8_t data) {
    // One persistent mismatch counts Write_Retries + 1 errors in one write, so the first
    // error is a rise from 0, not a count of exactly 1.
    const std::int32_t errors_before = num_write_verify_errors;
    Write_Register(address, data);
    return errors_before == 0 && num_write_verify_errors >= 1;
}

void Repeated_Read(std::uint8_t address, std::uint8_t expected) {
    const std::uint8_t read = Read_Register(address);
    if (read == expected) return;
    ++num_read_verify_errors;
    verify_error_address = address;
    verify_error_name = Register_Names[address & 15];
    verify_error_data = expected;
    verify_error_readback = read;
}

void Clear_Transaction_Counts() {
    num_reg_writes = num_reg_reads = num_write_verify_errors = num_read_verify_errors = 0;
}

std::uint32_t Busy_Timeout_From_Text(const std::string& text) {
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(Leading_Integer(text)));
}
