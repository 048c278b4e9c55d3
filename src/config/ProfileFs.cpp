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
    if (std::filesystem::is_symlink(path, ec)) {
        auto target = std::filesystem::canonical(path, ec);
        if (!ec)
            return target.string();
    }
    return path;
}

ProfileFileState RealProfileFs::Stat(const std::string& path)
{
    ProfileFileState state;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return state;
    state.Exists = true;
    state.IsRegular = S_ISREG(st.st_mode);
    state.Mode = static_cast<unsigned>(st.st_mode) & 07777u;
    state.Uid = static_cast<long>(st.st_uid);
    state.Gid = static_cast<long>(st.st_gid);
    state.Writable = ::access(path.c_str(), W_OK) == 0;
    return state;
}

std::unique_ptr<ProfileReader> RealProfileFs::OpenRead(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_BINARY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    return std::make_unique<FdReader>(fd);
}

std::unique_ptr<ProfileWriter> RealProfileFs::CreateNew(const std::string& path, int& err)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_BINARY | O_CLOEXEC, 0666);
    if (fd < 0) {
        err = errno;
        return nullptr;
    }
#ifdef _WIN32
    // A second handle marks the file as held: it lets the file be renamed, but no other
    // process open it alone, until the writer is destroyed or its process ends.
    HANDLE hold = ::CreateFileA(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return std::make_unique<FdWriter>(fd, hold);
#else
    // A shared lock marks the file as held; the kernel drops it when the process ends, however
    // it ends.
    ::flock(fd, LOCK_SH);
    return std::make_unique<FdWriter>(fd, ::fcntl(fd, F_DUPFD_CLOEXEC, 0));
#endif
}

std::unique_ptr<ProfileWriter> RealProfileFs::OpenTruncate(const std::string& path, int& err)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_BINARY | O_CLOEXEC);
    if (fd < 0) {
        err = errno;
        return nullptr;
    }
    return std::make_unique<FdWriter>(fd);
}

bool RealProfileFs::Rename(const std::string& from, const std::string& to, int& err)
{
    std::error_code ec;
    std::filesystem::rename(from, to, ec); // replaces an existing target on both platforms
    if (ec) {
        err = ec.value();
        return false;
    }
    return true;
}

void RealProfileFs::Remove(const std::string& path) { ::unlink(path.c_str()); }

std::vector<std::string> RealProfileFs::List(const std::string& dir)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    return names;
}

void RealProfileFs::RemoveAbandoned(const std::string& path)
{
#ifdef _WIN32
    // Opening it alone fails while any other handle is open; closing then deletes it.
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
        return;
    HANDLE alone = ::CreateFileA(path.c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
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
#ifndef _WIN32
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 &&
        (static_cast<long>(st.st_uid) != from.Uid || static_cast<long>(st.st_gid) != from.Gid)) {
        // Only a privileged user may give the file away; the group alone may still be kept.
        if (::chown(path.c_str(), static_cast<uid_t>(from.Uid), static_cast<gid_t>(from.Gid)) != 0)
            (void)!::chown(path.c_str(), static_cast<uid_t>(-1), static_cast<gid_t>(from.Gid));
    }
#endif
    ::chmod(path.c_str(), static_cast<mode_t>(from.Mode));
}

ProfileFs& RealFs()
{
    static RealProfileFs fs;
    return fs;
}

std::string ProfileErrorText(int err) { return std::strerror(err); }
