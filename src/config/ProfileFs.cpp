#include "ProfileFs.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <sys/file.h>
#include <unistd.h>
#endif

#ifndef O_BINARY
#define O_BINARY 0
#endif
#ifndef O_CLOEXEC
#define O_CLOEXEC 0
#endif

namespace {

namespace fs = std::filesystem;

// Paths are UTF-8 texts, as the toolkit gives them; on Windows they reach the system through
// its wide-character calls, so that any name the file system holds can be used. A text that is
// not UTF-8 is taken in the system's 8-bit code page.
fs::path NativePath(const std::string& utf8)
{
    try {
        return fs::path(std::u8string(utf8.begin(), utf8.end()));
    } catch (const std::exception&) {
        return fs::path(utf8);
    }
}

std::string Utf8(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

#ifdef _WIN32
using StatBuffer = struct _stat64;
int SysStat(const fs::path& p, StatBuffer& st) { return ::_wstat64(p.c_str(), &st); }
bool SysWritable(const fs::path& p) { return ::_waccess(p.c_str(), 2) == 0; }
int SysOpen(const fs::path& p, int flags, int mode = 0) { return ::_wopen(p.c_str(), flags, mode); }
void SysChmod(const fs::path& p, unsigned mode) { ::_wchmod(p.c_str(), int(mode)); }
void SysUnlink(const fs::path& p) { ::_wunlink(p.c_str()); }
#else
using StatBuffer = struct stat;
int SysStat(const fs::path& p, StatBuffer& st) { return ::stat(p.c_str(), &st); }
bool SysWritable(const fs::path& p) { return ::access(p.c_str(), W_OK) == 0; }
int SysOpen(const fs::path& p, int flags, int mode = 0) { return ::open(p.c_str(), flags, mode); }
void SysChmod(const fs::path& p, unsigned mode) { ::chmod(p.c_str(), static_cast<mode_t>(mode)); }
void SysUnlink(const fs::path& p) { ::unlink(p.c_str()); }
#endif

class FdReader final : public ProfileReader {
public:
    explicit FdReader(int fd) : fd_(fd) {}
    ~FdReader() override { ::close(fd_); }
    FdReader(const FdReader&) = delete;
    FdReader& operator=(const FdReader&) = delete;

    std::size_t Read(char* buffer, std::size_t size) override
    {
        if (failed_)
            return 0;
        for (;;) {
            auto n = ::read(fd_, buffer, static_cast<unsigned>(size));
            if (n >= 0)
                return static_cast<std::size_t>(n);
            if (errno != EINTR) {
                failed_ = true;
                return 0;
            }
        }
    }
    bool Failed() const override { return failed_; }

private:
    int fd_;
    bool failed_ = false;
};

#ifdef _WIN32
using Hold = HANDLE;
const Hold kNoHold = INVALID_HANDLE_VALUE;
void Release(Hold hold) { ::CloseHandle(hold); }
#else
using Hold = int;
const Hold kNoHold = -1;
void Release(Hold hold) { ::close(hold); }
#endif

class FdWriter final : public ProfileWriter {
public:
    // `hold`: a second handle of the same file, kept until destruction, that marks the file
    // as being written after Close() too.
    explicit FdWriter(int fd, Hold hold = kNoHold) : fd_(fd), hold_(hold) {}
    ~FdWriter() override
    {
        if (fd_ >= 0)
            ::close(fd_);
        if (hold_ != kNoHold)
            Release(hold_);
    }
    FdWriter(const FdWriter&) = delete;
    FdWriter& operator=(const FdWriter&) = delete;

    bool Write(const char* data, std::size_t size) override
    {
        while (size > 0) {
            auto n = ::write(fd_, data, static_cast<unsigned>(size));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                error_ = errno;
                return false;
            }
            data += n;
            size -= static_cast<std::size_t>(n);
        }
        return true;
    }

    bool Close() override
    {
        bool ok = true;
#ifdef _WIN32
        if (::_commit(fd_) != 0) {
#else
        if (::fsync(fd_) != 0 && errno != EINVAL) {
#endif
            error_ = errno;
            ok = false;
        }
        if (::close(fd_) != 0 && ok) {
            error_ = errno;
            ok = false;
        }
        fd_ = -1;
        return ok;
    }
    int Error() const override { return error_; }

private:
    int fd_;
    Hold hold_;
    int error_ = 0;
};

} // namespace

std::string RealProfileFs::Resolve(const std::string& path)
{
    std::error_code ec;
    const fs::path native = NativePath(path);
    if (fs::is_symlink(native, ec)) {
        auto target = fs::canonical(native, ec);
        if (!ec)
            return Utf8(target);
    }
    return path;
}

ProfileFileState RealProfileFs::Stat(const std::string& path)
{
    ProfileFileState state;
    const fs::path native = NativePath(path);
    StatBuffer st {};
    if (SysStat(native, st) != 0)
        return state;
    state.Exists = true;
    state.IsRegular = S_ISREG(st.st_mode);
    state.Mode = static_cast<unsigned>(st.st_mode) & 07777u;
    state.Uid = static_cast<long>(st.st_uid);
    state.Gid = static_cast<long>(st.st_gid);
    state.Writable = SysWritable(native);
    return state;
}

std::unique_ptr<ProfileReader> RealProfileFs::OpenRead(const std::string& path)
{
    int fd = SysOpen(NativePath(path), O_RDONLY | O_BINARY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    return std::make_unique<FdReader>(fd);
}

std::unique_ptr<ProfileWriter> RealProfileFs::CreateNew(const std::string& path, int& err)
{
    const fs::path native = NativePath(path);
#ifdef _WIN32
    int fd = SysOpen(native, O_WRONLY | O_CREAT | O_EXCL | O_BINARY | O_CLOEXEC, 0666);
    if (fd < 0) {
        err = errno;
        return nullptr;
    }
    // A second handle marks the file as held: it lets the file be renamed, but no other
    // process open it alone, until the writer is destroyed or its process ends. The first
    // handle holds it the same way until then.
    HANDLE hold = ::CreateFileW(native.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return std::make_unique<FdWriter>(fd, hold);
#else
    for (int attempt = 0; attempt < 8; ++attempt) {
        int fd = SysOpen(native, O_WRONLY | O_CREAT | O_EXCL | O_BINARY | O_CLOEXEC, 0666);
        if (fd < 0) {
            err = errno;
            return nullptr;
        }
        // A shared lock marks the file as held; the kernel drops it when the process ends,
        // however it ends. Another writer's clean-up may have taken the file in the moment
        // between its creation and this lock, and removed it: the name then no longer leads
        // to it, and the file is made again. Where the file system has no such locks, the
        // clean-up cannot take the file either.
        int locked;
        while ((locked = ::flock(fd, LOCK_SH)) != 0 && errno == EINTR) {
        }
        struct stat held {}, named {};
        if (locked != 0 || (::fstat(fd, &held) == 0 && ::lstat(native.c_str(), &named) == 0 &&
                            held.st_dev == named.st_dev && held.st_ino == named.st_ino))
            return std::make_unique<FdWriter>(fd, ::fcntl(fd, F_DUPFD_CLOEXEC, 0));
        ::close(fd);
    }
    err = EAGAIN;
    return nullptr;
#endif
}

#ifdef _WIN32
namespace {

// A lock file beside the target, locked while a write runs. The last holder removes it: it
// opens the file alone, which succeeds only when no other process has it open, and the file
// goes as that handle closes. One killed while it holds the lock leaves the file for the
// next writer, which removes it in turn.
class HeldLockFile final : public ProfileWriteLock {
public:
    HeldLockFile(HANDLE handle, fs::path path) : handle_(handle), path_(std::move(path)) {}
    ~HeldLockFile() override
    {
        OVERLAPPED at {};
        ::UnlockFileEx(handle_, 0, 1, 0, &at);
        ::CloseHandle(handle_);
        HANDLE alone = ::CreateFileW(path_.c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (alone != INVALID_HANDLE_VALUE)
            ::CloseHandle(alone);
    }
    HeldLockFile(const HeldLockFile&) = delete;
    HeldLockFile& operator=(const HeldLockFile&) = delete;

private:
    HANDLE handle_;
    fs::path path_;
};

} // namespace

std::unique_ptr<ProfileWriteLock> RealProfileFs::LockWrites(const std::string& path)
{
    const fs::path lock = NativePath(path + ".lock");
    // Another holder removing the file refuses it for a moment (shared access refused, or a
    // deletion pending); a folder that takes no new file refuses it for good.
    for (int attempt = 0; attempt < 200; ++attempt) {
        HANDLE handle = ::CreateFileW(lock.c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            OVERLAPPED at {};
            if (::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at))
                return std::make_unique<HeldLockFile>(handle, lock);
            ::CloseHandle(handle);
            return nullptr;
        }
        // A file pending deletion refuses every access, the question of its attributes too.
        const DWORD error = ::GetLastError();
        const bool passing = error == ERROR_SHARING_VIOLATION ||
                             (error == ERROR_ACCESS_DENIED &&
                              (::GetFileAttributesW(lock.c_str()) != INVALID_FILE_ATTRIBUTES ||
                               ::GetLastError() == ERROR_ACCESS_DENIED));
        if (!passing)
            return nullptr;
        ::Sleep(1);
    }
    return nullptr;
}

unsigned long CurrentProcessId() { return static_cast<unsigned long>(::_getpid()); }
#else
namespace {

class DirectoryLock final : public ProfileWriteLock {
public:
    explicit DirectoryLock(int fd) : fd_(fd) {}
    ~DirectoryLock() override { ::close(fd_); }
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;

private:
    int fd_;
};

} // namespace

// The lock lies on the file's directory, which every rename of the file leaves in place, so
// that no lock file is ever left beside it.
std::unique_ptr<ProfileWriteLock> RealProfileFs::LockWrites(const std::string& path)
{
    fs::path dir = NativePath(path).parent_path();
    if (dir.empty())
        dir = ".";
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            ::close(fd);
            return nullptr;
        }
    }
    return std::make_unique<DirectoryLock>(fd);
}

unsigned long CurrentProcessId() { return static_cast<unsigned long>(::getpid()); }
#endif

std::unique_ptr<ProfileWriter> RealProfileFs::OpenTruncate(const std::string& path, int& err)
{
    int fd = SysOpen(NativePath(path), O_WRONLY | O_TRUNC | O_BINARY | O_CLOEXEC);
    if (fd < 0) {
        err = errno;
        return nullptr;
    }
    return std::make_unique<FdWriter>(fd);
}

bool RealProfileFs::Rename(const std::string& from, const std::string& to, int& err)
{
    std::error_code ec;
    fs::rename(NativePath(from), NativePath(to), ec); // replaces an existing target on both platforms
    if (ec) {
        err = ec.value();
        return false;
    }
    return true;
}

void RealProfileFs::Remove(const std::string& path) { SysUnlink(NativePath(path)); }

std::vector<std::string> RealProfileFs::List(const std::string& dir)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(NativePath(dir), ec), end; !ec && it != end; it.increment(ec))
        names.push_back(Utf8(it->path().filename()));
    return names;
}

void RealProfileFs::RemoveAbandoned(const std::string& path)
{
#ifdef _WIN32
    // Opening it alone fails while any other handle is open; closing then deletes it.
    const fs::path native = NativePath(path);
    const DWORD attributes = ::GetFileAttributesW(native.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
        return;
    HANDLE alone = ::CreateFileW(native.c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (alone != INVALID_HANDLE_VALUE)
        ::CloseHandle(alone);
#else
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat held {}, named {};
    // Only a regular file that no live writer holds, and only while the name still leads to it.
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::lstat(path.c_str(), &named) == 0 && named.st_dev == held.st_dev &&
        named.st_ino == held.st_ino)
        ::unlink(path.c_str());
    ::close(fd);
#endif
}

void RealProfileFs::CopyAttributes(const ProfileFileState& from, const std::string& path)
{
    if (!from.Exists)
        return;
    const fs::path native = NativePath(path);
#ifndef _WIN32
    struct stat st {};
    if (::stat(native.c_str(), &st) == 0 &&
        (static_cast<long>(st.st_uid) != from.Uid || static_cast<long>(st.st_gid) != from.Gid)) {
        // Only a privileged user may give the file away; the group alone may still be kept.
        if (::chown(native.c_str(), static_cast<uid_t>(from.Uid), static_cast<gid_t>(from.Gid)) != 0)
            (void)!::chown(native.c_str(), static_cast<uid_t>(-1), static_cast<gid_t>(from.Gid));
    }
#endif
    SysChmod(native, from.Mode);
}

ProfileFs& RealFs()
{
    static RealProfileFs fs;
    return fs;
}

std::string ProfileErrorText(int err) { return std::strerror(err); }
