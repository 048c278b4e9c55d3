#include "OutputFolder.h"

#include <cerrno>

#ifndef _WIN32
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace cli {

namespace {

#ifdef _WIN32

// On Windows the folder is named by its path, through the preferences' file system, which
// reaches any name through the system's wide-character calls.
class PathFolder final : public OutputFolder {
public:
    explicit PathFolder(std::string folder) : folder_(std::move(folder)) {}

    ProfileFileState Stat(const std::string& name) override { return RealFs().Stat(Path(name)); }
    std::unique_ptr<ProfileWriter> CreateHeld(const std::string& name, int& err) override
    {
        return RealFs().CreateNew(Path(name), err);
    }
    bool Rename(const std::string& from, const std::string& to, int& err) override
    {
        return RealFs().Rename(Path(from), Path(to), err);
    }
    std::vector<std::string> List() override
    {
        return RealFs().List(folder_.empty() ? "." : folder_);
    }
    void RemoveAbandoned(const std::string& name) override
    {
        RealFs().RemoveAbandoned(Path(name));
    }
    void CopyAttributes(const ProfileFileState& from, const std::string& name) override
    {
        RealFs().CopyAttributes(from, Path(name));
    }

private:
    std::string Path(const std::string& name) const { return folder_ + name; }
    std::string folder_; // empty, or ending with its separator
};

#else

// A file being written; its descriptor is also its hold (a shared lock), kept until the writer
// is destroyed, after Close() too, so that the file stays held until it has its name.
class HeldWriter final : public ProfileWriter {
public:
    explicit HeldWriter(int fd) : fd_(fd) {}
    ~HeldWriter() override { ::close(fd_); }
    HeldWriter(const HeldWriter&) = delete;
    HeldWriter& operator=(const HeldWriter&) = delete;

    bool Write(const char* data, std::size_t size) override
    {
        while (size > 0) {
            const ssize_t n = ::write(fd_, data, size);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return Failed();
            data += n;
            size -= std::size_t(n);
        }
        return true;
    }
    bool Close() override { return ::fsync(fd_) == 0 || errno == EINVAL || Failed(); }
    int Error() const override { return error_; }

private:
    bool Failed()
    {
        error_ = errno;
        return false;
    }

    int fd_;
    int error_ = 0;
};

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The folder held by a descriptor; every name is looked up inside it.
class FdFolder final : public OutputFolder {
public:
    explicit FdFolder(int fd) : fd_(fd) {}
    ~FdFolder() override { ::close(fd_); }
    FdFolder(const FdFolder&) = delete;
    FdFolder& operator=(const FdFolder&) = delete;

    int Fd() const { return fd_; }

    ProfileFileState Stat(const std::string& name) override
    {
        ProfileFileState state;
        struct stat st {};
        if (::fstatat(fd_, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            return state;
        state.Exists = true;
        state.IsRegular = S_ISREG(st.st_mode);
        state.Mode = unsigned(st.st_mode) & 07777u;
        state.Uid = long(st.st_uid);
        state.Gid = long(st.st_gid);
        state.Writable = ::faccessat(fd_, name.c_str(), W_OK, AT_EACCESS) == 0;
        return state;
    }

    std::unique_ptr<ProfileWriter> CreateHeld(const std::string& name, int& err) override
    {
        const int fd = ::openat(fd_, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW |
                                                       O_CLOEXEC, 0666);
        if (fd < 0) {
            err = errno;
            return nullptr;
        }
        // A clean-up may take the file in the moment between its creation and the hold, and
        // remove it: the name no longer leads to the file held, which then counts as taken.
        struct stat held {}, named {};
        if (::flock(fd, LOCK_SH | LOCK_NB) != 0 || ::fstat(fd, &held) != 0 ||
            ::fstatat(fd_, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
            !SameFile(held, named)) {
            ::close(fd);
            err = EEXIST;
            return nullptr;
        }
        return std::make_unique<HeldWriter>(fd);
    }

    bool Rename(const std::string& from, const std::string& to, int& err) override
    {
        if (::renameat(fd_, from.c_str(), fd_, to.c_str()) == 0)
            return true;
        err = errno;
        return false;
    }

    std::vector<std::string> List() override
    {
        std::vector<std::string> names;
        const int fd = ::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        DIR* dir = fd < 0 ? nullptr : ::fdopendir(fd);
        if (dir == nullptr) {
            if (fd >= 0)
                ::close(fd);
            return names;
        }
        while (const dirent* entry = ::readdir(dir))
            names.emplace_back(entry->d_name);
        ::closedir(dir);
        return names;
    }

    void RemoveAbandoned(const std::string& name) override
    {
        const int fd = ::openat(fd_, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return;
        // Only a regular file that no live writer holds, and only while the name leads to it.
        struct stat held {}, named {};
        if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(fd_, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            SameFile(held, named))
            ::unlinkat(fd_, name.c_str(), 0);
        ::close(fd);
    }

    void CopyAttributes(const ProfileFileState& from, const std::string& name) override
    {
        const char* n = name.c_str();
        // Only a privileged user may give the file away; the group alone may still be kept.
        if (::fchownat(fd_, n, uid_t(from.Uid), gid_t(from.Gid), AT_SYMLINK_NOFOLLOW) != 0)
            (void)!::fchownat(fd_, n, uid_t(-1), gid_t(from.Gid), AT_SYMLINK_NOFOLLOW);
        ::fchmodat(fd_, n, mode_t(from.Mode), 0);
    }

private:
    int fd_;
};

// The text of a link; empty with errno set on failure.
std::string ReadLink(int dir, const std::string& name)
{
    std::string text(256, '\0');
    for (;;) {
        const ssize_t n = ::readlinkat(dir, name.c_str(), text.data(), text.size());
        if (n < 0)
            return {};
        if (std::size_t(n) < text.size())
            return text.substr(0, std::size_t(n));
        text.resize(text.size() * 2);
    }
}

#endif

} // namespace

#ifdef _WIN32

std::unique_ptr<OutputFolder> OpenOutputFolder(const std::string& path, std::string& name,
                                               int& err)
{
    const std::string target = RealFs().Resolve(path);
    const std::size_t nameAt = target.find_last_of("\\/:") + 1; // npos + 1 == 0
    name = target.substr(nameAt);
    if (name.empty()) {
        err = EISDIR;
        return nullptr;
    }
    return std::make_unique<PathFolder>(target.substr(0, nameAt));
}

#else

std::unique_ptr<OutputFolder> OpenOutputFolder(const std::string& path, std::string& name,
                                               int& err)
{
    std::unique_ptr<FdFolder> folder;
    std::string rest = path;
    // As many links as the system follows in one path.
    for (int link = 0; link <= 40; ++link) {
        const std::size_t slash = rest.rfind('/');
        const std::string folderPath = slash == std::string::npos ? "."
                                       : slash == 0               ? "/"
                                                                  : rest.substr(0, slash);
        name = rest.substr(slash + 1); // npos + 1 == 0
        // A link's relative text starts from the folder that holds the link.
        const int fd = ::openat(folder ? folder->Fd() : AT_FDCWD, folderPath.c_str(),
                                O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            err = errno;
            return nullptr;
        }
        folder = std::make_unique<FdFolder>(fd);
        if (name.empty() || name == "." || name == "..") {
            err = EISDIR;
            return nullptr;
        }
        struct stat st {}, in {};
        if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(st.st_mode))
            return folder;
        if (::fstat(fd, &in) != 0) {
            err = errno;
            return nullptr;
        }
        const bool shared = (in.st_mode & S_ISVTX) != 0 && (in.st_mode & S_IWOTH) != 0;
        if (shared && st.st_uid != ::geteuid() && st.st_uid != in.st_uid) {
            err = EACCES;
            return nullptr;
        }
        rest = ReadLink(fd, name);
        if (rest.empty()) {
            err = errno != 0 ? errno : ENOENT;
            return nullptr;
        }
    }
    err = ELOOP;
    return nullptr;
}

#endif

} // namespace cli
