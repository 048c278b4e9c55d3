#pragma once
// Temporary directories, whole-file reads and writes, a file system that refuses on demand, and
// the kernel's own refusals to an unprivileged user.
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <sstream>
#include <string>

#include "ProfileFs.h"

#ifdef _WIN32
#include <process.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

// A fresh directory removed with everything in it at the end of the test.
class TempDir {
public:
    TempDir()
    {
        std::random_device random;
        for (int attempt = 0; attempt < 100; ++attempt) {
            auto candidate = std::filesystem::temp_directory_path() /
                             ("tamsel-cfg-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate)) {
                path_ = candidate.string();
                break;
            }
        }
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    // Names of the directory's entries, sorted.
    std::set<std::string> Entries() const
    {
        std::set<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(path_))
            names.insert(e.path().filename().string());
        return names;
    }

private:
    std::string path_;
};

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

// The real file system, with refusals a test switches on: files reported as not writable (and
// refused in place), directories that take no new file, and writes that fail past a size; and
// a step of a write at which the process is killed, as a crash or a power cut stops it.
class RefusingFs : public RealProfileFs {
public:
    std::set<std::string> ReadOnlyFiles;
    std::set<std::string> NoNewFileDirs;
    std::size_t FailWritesPast = std::size_t(-1); // bytes one writer may take before failing
    int WriteError = ENOSPC;
    int InPlaceWrites = 0;
    enum class Step { Never, Created, Written, Synced, Renaming } DieAt = Step::Never;

    void DieIf(Step step) const
    {
        if (step != DieAt)
            return;
#ifdef SIGKILL
        std::raise(SIGKILL);
#endif
        std::_Exit(137);
    }
    bool Rename(const std::string& from, const std::string& to, int& err) override
    {
        DieIf(Step::Renaming);
        return RealProfileFs::Rename(from, to, err);
    }

    ProfileFileState Stat(const std::string& path) override
    {
        auto state = RealProfileFs::Stat(path);
        if (ReadOnlyFiles.count(path))
            state.Writable = false;
        return state;
    }
    std::unique_ptr<ProfileWriter> CreateNew(const std::string& path, int& err) override
    {
        if (NoNewFileDirs.count(std::filesystem::path(path).parent_path().string())) {
            err = EACCES;
            return nullptr;
        }
        auto writer = Wrap(RealProfileFs::CreateNew(path, err));
        DieIf(Step::Created);
        return writer;
    }
    std::unique_ptr<ProfileWriter> OpenTruncate(const std::string& path, int& err) override
    {
        if (ReadOnlyFiles.count(path)) {
            err = EACCES;
            return nullptr;
        }
        ++InPlaceWrites;
        return Wrap(RealProfileFs::OpenTruncate(path, err));
    }

private:
    class LimitedWriter final : public ProfileWriter {
    public:
        LimitedWriter(std::unique_ptr<ProfileWriter> inner, const RefusingFs& fs)
            : inner_(std::move(inner)), fs_(fs), left_(fs.FailWritesPast), error_(fs.WriteError)
        {
        }
        bool Write(const char* data, std::size_t size) override
        {
            if (size > left_) {
                inner_->Write(data, left_); // part of the data reaches the disk, as on a full disk
                left_ = 0;
                failed_ = true;
                return false;
            }
            left_ -= size;
            const bool ok = inner_->Write(data, size);
            fs_.DieIf(Step::Written);
            return ok;
        }
        bool Close() override
        {
            const bool ok = inner_->Close();
            fs_.DieIf(Step::Synced);
            return ok;
        }
        int Error() const override { return failed_ ? error_ : inner_->Error(); }

    private:
        std::unique_ptr<ProfileWriter> inner_;
        const RefusingFs& fs_;
        std::size_t left_;
        int error_;
        bool failed_ = false;
    };

    std::unique_ptr<ProfileWriter> Wrap(std::unique_ptr<ProfileWriter> w)
    {
        if (!w)
            return w;
        return std::make_unique<LimitedWriter>(std::move(w), *this);
    }
};

#ifndef _WIN32
// Runs body in a child process under an unprivileged user, so that the kernel's own
// permission checks apply even when the tests run as root. Returns body's result; 99 when the
// child cannot become that user, 98 when it does not end by exiting.
template <typename Body> int AsUnprivilegedUser(Body body)
{
    pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(99);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}
#endif

// Runs this test program again, alone, for one test (disabled ones too) with `role` in the
// environment variable TAMSEL_TEST_ROLE.
class TestCopy {
public:
    TestCopy(const std::string& test, const std::string& role)
    {
        const std::string filter = "--gtest_filter=" + test;
        const char* args[] = {"test", filter.c_str(), "--gtest_also_run_disabled_tests", nullptr};
#ifdef _WIN32
        ::_putenv_s("TAMSEL_TEST_ROLE", role.c_str());
        process_ = ::_spawnv(_P_NOWAIT, _pgmptr, args);
#else
        ::setenv("TAMSEL_TEST_ROLE", role.c_str(), 1);
        ::posix_spawn(&process_, "/proc/self/exe", nullptr, nullptr, const_cast<char**>(args),
                      environ);
#endif
    }
    // Its exit status; not 0 when it could not start or a signal ended it.
    int Wait()
    {
        int status = -1;
#ifdef _WIN32
        ::_cwait(&status, process_, 0);
        return status;
#else
        return ::waitpid(process_, &status, 0) == process_ && WIFEXITED(status)
                   ? WEXITSTATUS(status)
                   : -1;
#endif
    }

private:
#ifdef _WIN32
    intptr_t process_ = -1;
#else
    pid_t process_ = -1;
#endif
};

// The role this copy of the test program was started for, empty in the first.
inline std::string TestRole()
{
    const char* role = std::getenv("TAMSEL_TEST_ROLE");
    return role ? role : "";
}
