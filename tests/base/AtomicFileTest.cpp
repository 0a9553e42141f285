#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "base/AtomicFile.h"

namespace qx {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::Test {
protected:
    fs::path dir;
    void SetUp() override {
        dir = fs::temp_directory_path() / ("qx-atomic-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Path(const char* name) const { return (dir / name).string(); }
    size_t FilesInFolder() const { return static_cast<size_t>(std::distance(fs::directory_iterator(dir), {})); }
};

// The step a test makes fail, and how often it has been called.
struct Injected {
    static inline int failOnCall = -1;  // which call of the chosen step fails (0 = the first)
    static inline int calls = 0;
    static bool Fails() { return calls++ == failOnCall; }
};

template <int Step>
TFileCalls FailingAt() {
    TFileCalls calls = SystemFileCalls();
    if constexpr (Step == 0)
        calls.Open = [](const char* p, int f, mode_t m) { return Injected::Fails() ? (errno = EACCES, -1) : ::open(p, f, m); };
    if constexpr (Step == 1)
        calls.Write = [](int fd, const void* d, size_t n) -> ssize_t {
            // A short write first, then the failure: the writer must go on
            // after a short write and stop at the error.
            if (Injected::Fails()) return errno = ENOSPC, -1;
            return ::write(fd, d, n > 3 ? 3 : n);
        };
    if constexpr (Step == 2) calls.Sync = [](int fd) { return Injected::Fails() ? (errno = EIO, -1) : ::fsync(fd); };
    if constexpr (Step == 3) calls.Close = [](int fd) { return Injected::Fails() ? (::close(fd), errno = EIO, -1) : ::close(fd); };
    if constexpr (Step == 4)
        calls.Rename = [](const char* a, const char* b) { return Injected::Fails() ? (errno = EXDEV, -1) : ::rename(a, b); };
    return calls;
}

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(AtomicFileTest, EveryFailingStepLeavesTheOldFileWholeAndNoTemporaryBehind) {
    const std::string path = Path("game.qx");
    const std::string oldText = "the old game", newText = "the new game, somewhat longer";
    const TFileCalls failing[] = {FailingAt<0>(), FailingAt<1>(), FailingAt<2>(), FailingAt<3>(), FailingAt<4>()};
    const char* steps[] = {"creating", "writing", "flushing", "closing", "renaming"};
    const int failingCall[] = {0, 2, 0, 0, 0};  // the writes fail after two short ones
    for (size_t step = 0; step < std::size(failing); ++step) {
        WriteFileAtomically(path, oldText);
        Injected::failOnCall = failingCall[step];
        Injected::calls = 0;
        try {
            WriteFileAtomically(path, newText, failing[step]);
            ADD_FAILURE() << "no error at step " << steps[step];
        } catch (const EFileError& error) {
            EXPECT_NE(std::string(error.what()).find(steps[step]), std::string::npos) << error.what();
            EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
        }
        EXPECT_EQ(Contents(path), oldText) << steps[step];
        EXPECT_EQ(FilesInFolder(), 1u) << steps[step];
    }
}

TEST_F(AtomicFileTest, AFailureOnceTheFileIsInPlaceIsReportedButKeepsTheNewFile) {
    // The second sync is the folder's: the new file is whole by then.
    const std::string path = Path("settings.ini");
    WriteFileAtomically(path, "old");
    Injected::failOnCall = 1;
    Injected::calls = 0;
    EXPECT_THROW(WriteFileAtomically(path, "new", FailingAt<2>()), EFileError);
    EXPECT_EQ(Contents(path), "new");
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(AtomicFileTest, WritesNewFilesAndEmptyOnesAndRefusesMissingFolders) {
    WriteFileAtomically(Path("a"), "");
    EXPECT_EQ(Contents(Path("a")), "");
    const std::string big(3 << 20, 'x');
    WriteFileAtomically(Path("b"), big);
    EXPECT_EQ(ReadWholeFile(Path("b")), big);
    // A write that takes only part of the bytes is carried on until all are in.
    Injected::failOnCall = -1;
    WriteFileAtomically(Path("b"), "short writes all the way", FailingAt<1>());
    EXPECT_EQ(ReadWholeFile(Path("b")), "short writes all the way");
    EXPECT_THROW(WriteFileAtomically((dir / "no" / "such" / "c").string(), "x"), EFileError);
    EXPECT_FALSE(fs::exists(dir / "no"));
}

TEST_F(AtomicFileTest, ReadingRefusesWhatIsNotAWholeRegularFile) {
    EXPECT_THROW(ReadWholeFile(Path("missing")), EFileError);
    EXPECT_THROW(ReadWholeFile(dir.string()), EFileError);
    ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0600), 0);
    EXPECT_THROW(ReadWholeFile(Path("pipe")), EFileError);  // must not block waiting for a writer
    WriteFileAtomically(Path("ten"), "0123456789");
    EXPECT_THROW(ReadWholeFile(Path("ten"), 9), EFileError);
    EXPECT_EQ(ReadWholeFile(Path("ten"), 10), "0123456789");
}

} // namespace
} // namespace qx
