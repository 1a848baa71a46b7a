// The board server's request parser and arbitration: any bytes from any of three clients, in
// any pieces, with time passing between them, are answered or refused without a crash, and
// the board is only ever held by a client that is still there.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cli/board_server.h"
#include "vanlpt/vanlpt.h"
#include "vanlpt/vanlpt_testing.h"

namespace {

bool Board_Ready() {
    vanlpt::testing::Reset_Library("1=sim");
    return Select_LPT_123(1) != 0;
}

}  // namespace

// Input: pieces of [client byte][length byte][that many bytes]; the client byte's high bits
// let time pass first, and 0xFF removes the client (a disconnect).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = Board_Ready();
    if (!ready) std::abort();
    std::int64_t now = 0;
    BoardServer server([&now] { return now; }, 30, "LPT1: simulated board", true);
    int clients[3] = {server.Add_Client({}), server.Add_Client({}), server.Add_Client({42, "ann"})};
    std::size_t at = 0;
    while (at + 2 <= size) {
        const std::uint8_t who = data[at];
        const std::size_t length = std::min<std::size_t>(data[at + 1], size - at - 2);
        const std::string_view bytes(reinterpret_cast<const char*>(data + at + 2), length);
        at += 2 + length;
        int& client = clients[who % 3];
        now += (who >> 2) * 7;
        server.Tick();
        if (who == 0xFF) {
            server.Remove_Client(client);
            client = server.Add_Client({});
            continue;
        }
        server.Receive(client, bytes);
        server.Take_Output(client);
        const int holder = server.Holder();
        if (holder != 0 && holder != clients[0] && holder != clients[1] && holder != clients[2])
            std::abort();
    }
    return 0;
}
