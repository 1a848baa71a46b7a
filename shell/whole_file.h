// Writing a file so that it is either complete or untouched: the bytes go to a new file
// beside it, are pushed to disk, and only then take the old file's place.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Writes bytes as the whole content of path. On failure the old file (if any) is as it was,
// no temporary file is left, and the result is the cause in the system's words ("No space
// left on device", "Permission denied", ...). A path that names a pipe, device or folder is
// refused. An existing file keeps its permissions; a symbolic link stays a link and its
// target gets the content. The bytes go to ".NAME.osdex-tmp" beside the target first: one
// name per target, so a write that is killed leaves at most that one file, which the next
// write reuses; two processes writing one target take turns. Leftovers of the earlier
// naming (NAME.tmp<PID>-<N> of a process that no longer runs) are removed on the way.
std::optional<std::string> Write_Whole_File(const std::string& path, std::string_view bytes);

// Whether Write_Whole_File could write path now, without writing anything: the cause when
// path's folder is missing or may not be written in, or path names a folder, pipe or device.
std::optional<std::string> Check_Whole_File_Writable(const std::string& path);

// Reads the whole content of path into *bytes: regular files only, never blocking on a pipe
// or a device, at most max_bytes. The reason in plain words when it cannot be read.
std::optional<std::string> Read_Whole_File(const std::string& path, std::size_t max_bytes,
                                           std::string* bytes);
