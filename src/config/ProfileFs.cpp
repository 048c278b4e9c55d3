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
#else
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

class FdWriter final : public ProfileWriter {
public:
    explicit FdWriter(int fd) : fd_(fd) {}
    ~FdWriter() override
    {
        if (fd_ >= 0)
            ::close(fd_);
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
    return std::make_unique<FdWriter>(fd);
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
