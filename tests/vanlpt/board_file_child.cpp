// Another process on a board kept in a file, as the tests of sim:FILE need one. It calls
// itself "holder" in its messages and in the lock file.
//   board_file_child hold FILE    takes the board, prints "held", and lets go of it after a
//                                 short pause when a line arrives on stdin (or stdin ends)
//   board_file_child change FILE  takes the board, changes a register, ends the library's use
//                                 (prints "shutdown R: ERROR") and returns from main
//   board_file_child change-at-exit FILE  the same without ending the library's use: the
//                                 process's exit writes the board back
#include <unistd.h>

#include <cstdio>
#include <string>

#include "board/simulated_board.h"
#include "vanlpt/vanlpt.h"
#include "vanlpt/vanlpt_testing.h"

namespace {

bool Take_Board(const std::string& file) {
    if (Vanlpt_Map_Port(1, ("sim:" + file).c_str()) && Select_LPT_123(1)) return true;
    std::printf("refused: %s\n", Vanlpt_Last_Error());
    return false;
}

int Hold(const std::string& file) {
    if (!Take_Board(file)) return 1;
    std::printf("held\n");
    std::fflush(stdout);
    char line[16];
    (void)!std::fgets(line, sizeof line, stdin);
    usleep(300 * 1000);  // lets a process that is told to wait for the board start waiting
    return Vanlpt_Shutdown() ? 0 : 1;
}

int Change(const std::string& file, bool shut_down) {
    if (!Take_Board(file)) return 1;
    board::SimulatedBoard* board = vanlpt::testing::Simulated_Board(1);
    board->Chip().Set_Register(7, static_cast<std::uint8_t>(board->Chip().Register(7) + 1));
    if (shut_down) {
        const int result = Vanlpt_Shutdown();
        std::printf("shutdown %d: %s\n", result, Vanlpt_Last_Error());
    }
    std::fflush(stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    Vanlpt_Set_Program_Name("holder");
    const std::string mode = argv[1];
    if (mode == "hold") return Hold(argv[2]);
    if (mode == "change") return Change(argv[2], true);
    if (mode == "change-at-exit") return Change(argv[2], false);
    return 2;
}
