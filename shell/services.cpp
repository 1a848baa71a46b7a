// The one record of replaceable services.
#include "shell/services.h"

#include <cstdlib>

Services& Program_Services() {
    static Services services;
    return services;
}

void End_Process(int code) {
    if (ProcessExitFunction exit = Program_Services().process_exit) exit(code);
    // Without running exit handlers or destructors, so that nothing is flushed or written.
    std::_Exit(code);
}
