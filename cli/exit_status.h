// Exit statuses of every `osdex` command; a stop by SIGTERM or SIGINT exits with 128 + the
// signal.
#pragma once

inline constexpr int Exit_Ok = 0;
inline constexpr int Exit_Board_Failed = 1;  // the port, a bus transaction or the output failed
inline constexpr int Exit_Bad_Usage = 2;     // bad arguments or input file; nothing was sent
