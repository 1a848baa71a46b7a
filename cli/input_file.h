// Reading a file the user names on the command line: only regular files, never blocking on
// a pipe or a device, with a bound on the size so that a wrong name cannot fill memory.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

// The whole content of path into *bytes; the reason in plain words when it cannot be read.
std::optional<std::string> Read_Input_File(const std::string& path, std::size_t max_bytes,
                                           std::string* bytes);
