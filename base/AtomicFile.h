#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace qx {

// A file that could not be read or written; the message names the file and
// says why.
class EFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The system calls a whole-file write goes through. Tests replace single
// calls to make each step fail in turn.
struct TFileCalls {
    int (*Open)(const char* path, int flags, mode_t mode);
    ssize_t (*Write)(int fd, const void* data, size_t size);
    int (*Sync)(int fd);
    int (*Close)(int fd);
    int (*Rename)(const char* from, const char* to);
    int (*Unlink)(const char* path);
};

const TFileCalls& SystemFileCalls();

// Replaces the file at `path` with `bytes` so that a crash or a failure at any
// point leaves either the old file or the new one whole: the bytes go to a
// temporary file in the same folder, which is flushed to the disk, renamed
// over the old file, and the folder itself is flushed. On failure the
// temporary file is removed and EFileError says which step failed.
void WriteFileAtomically(const std::string& path, std::string_view bytes, const TFileCalls& calls = SystemFileCalls());

// The whole file; EFileError when it cannot be read or is larger than
// `maxBytes` (a hostile file must not exhaust memory).
std::string ReadWholeFile(const std::string& path, size_t maxBytes = size_t{1} << 30);

} // namespace qx
