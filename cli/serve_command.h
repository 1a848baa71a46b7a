// `osdex serve`: the board behind LPT1 served to other programs over the board server's text
// protocol (docs/board-server.md), until SIGTERM or SIGINT. By default on a Unix socket in
// the server folder ($XDG_RUNTIME_DIR/osdex, else /tmp/osdex-UID) named after the port
// (sim.sock, bench.sock for sim:bench.osdex, parport0.sock), readable by its owner only.
// TCP only when asked for, and only on this machine's loopback unless allow_remote: the
// server has no authentication of its own.
#pragma once

#include <string>
#include <vector>

struct ServeOptions {
    std::vector<std::string> listen;  // unix:PATH or tcp:HOST:PORT
    bool allow_remote = false;
    bool group = false;  // the group may use the Unix sockets too
    unsigned idle_ms = 30;
};

int Run_Serve(const ServeOptions& options);
