#include "base/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

namespace qx {

namespace {

int SystemOpen(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
ssize_t SystemWrite(int fd, const void* data, size_t size) { return ::write(fd, data, size); }
int SystemSync(int fd) { return ::fsync(fd); }
int SystemClose(int fd) { return ::close(fd); }
int SystemRename(const char* from, const char* to) { return ::rename(from, to); }
int SystemUnlink(const char* path) { return ::unlink(path); }

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

[[noreturn]] void Fail(const std::string& path, const char* step, int error) {
    throw EFileError("Cannot save " + path + ": " + step + " failed (" + std::strerror(error) + ")");
}

// A name beside the target that no other writer picks at the same moment.
std::string TemporaryName(const std::string& path) {
    static thread_local std::mt19937_64 generator{std::random_device{}()};
    return path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(generator() % 1000000007u);
}

} // namespace

const TFileCalls& SystemFileCalls() {
    static const TFileCalls calls{SystemOpen, SystemWrite, SystemSync, SystemClose, SystemRename, SystemUnlink};
    return calls;
}

void WriteFileAtomically(const std::string& path, std::string_view bytes, const TFileCalls& calls) {
    const std::string temporary = TemporaryName(path);
    const int fd = calls.Open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) Fail(path, "creating a temporary file", errno);

    auto abandon = [&](const char* step, int error) {
        calls.Close(fd);
        calls.Unlink(temporary.c_str());
        Fail(path, step, error);
    };
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = calls.Write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) abandon("writing", n < 0 ? errno : ENOSPC);
        written += static_cast<size_t>(n);
    }
    if (calls.Sync(fd) != 0) abandon("flushing to disk", errno);
    if (calls.Close(fd) != 0) {
        const int error = errno;
        calls.Unlink(temporary.c_str());
        Fail(path, "closing", error);
    }
    if (calls.Rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        calls.Unlink(temporary.c_str());
        Fail(path, "renaming", error);
    }
    // The rename itself lasts only once the folder is on the disk. The new
    // file is whole already, so a failure here is reported but undoes nothing.
    const int folder = calls.Open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (folder < 0) Fail(path, "opening its folder", errno);
    const int synced = calls.Sync(folder);
    const int error = errno;
    calls.Close(folder);
    if (synced != 0) Fail(path, "flushing its folder", error);
}

std::string ReadWholeFile(const std::string& path, size_t maxBytes) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error) throw EFileError("Cannot read " + path + ": " + error.message());
    // A folder, a FIFO or a device would fail, block or never end.
    if (!std::filesystem::is_regular_file(status)) throw EFileError("Cannot read " + path + ": not a regular file");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw EFileError("Cannot read " + path + ": " + std::strerror(errno));
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0) throw EFileError("Cannot read " + path + ": its size cannot be found");
    if (static_cast<uint64_t>(size) > maxBytes) throw EFileError("Cannot read " + path + ": the file is too large");
    in.seekg(0, std::ios::beg);
    std::string bytes(static_cast<size_t>(size), '\0');
    if (!in.read(bytes.data(), size)) throw EFileError("Cannot read " + path + ": " + std::strerror(errno));
    return bytes;
}

} // namespace qx
