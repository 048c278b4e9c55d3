#pragma once
// The few file-system operations the private-profile engine needs, behind one small interface
// so that tests can make any of them refuse (permission bits do not stop a privileged user).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct ProfileFileState {
    bool Exists = false;
    bool IsRegular = false;
    bool Writable = false; // the current user may write the file itself
    unsigned Mode = 0;     // permission bits
    long Uid = -1, Gid = -1;
};

class ProfileReader {
public:
    virtual ~ProfileReader() = default;
    // Reads up to size bytes; 0 at the end of the file. Sets Failed() on an error.
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;
    virtual bool Failed() const = 0;
};

class ProfileWriter {
public:
    virtual ~ProfileWriter() = default;
    virtual bool Write(const char* data, std::size_t size) = 0;
    // Flushes the data to the disk and closes; false on an error.
    virtual bool Close() = 0;
    // The system's error number of the last failure.
    virtual int Error() const = 0;
};

// Keeps other processes from writing one file until destroyed; the system drops it when its
// process ends, however it ends, so a killed writer never blocks the next.
class ProfileWriteLock {
public:
    virtual ~ProfileWriteLock() = default;
};

class ProfileFs {
public:
    virtual ~ProfileFs() = default;
    // Follows a symbolic link so that the link itself is never replaced.
    virtual std::string Resolve(const std::string& path) = 0;
    virtual ProfileFileState Stat(const std::string& path) = 0;
    // Null when the file cannot be opened for reading.
    virtual std::unique_ptr<ProfileReader> OpenRead(const std::string& path) = 0;
    // Creates a file that must not exist yet (mode 0666 less the umask); null and err set on
    // failure. The file shows as held by a live writer until the writer is destroyed, even
    // after its Close(), so that another process never takes it for an abandoned one.
    virtual std::unique_ptr<ProfileWriter> CreateNew(const std::string& path, int& err) = 0;
    // Waits until no other process writes path, then holds its writes off until the lock is
    // destroyed; the lock lies on something the file's renames leave in place. Null when the
    // file system offers no such lock: the write then goes on alone.
    virtual std::unique_ptr<ProfileWriteLock> LockWrites(const std::string& path) = 0;
    // Opens an existing file for writing from its start, cutting it to zero length.
    virtual std::unique_ptr<ProfileWriter> OpenTruncate(const std::string& path, int& err) = 0;
    virtual bool Rename(const std::string& from, const std::string& to, int& err) = 0;
    virtual void Remove(const std::string& path) = 0;
    // The names of a directory's entries; none when it cannot be listed.
    virtual std::vector<std::string> List(const std::string& dir) = 0;
    // Removes a file made by CreateNew whose writer is gone (its process ended without
    // destroying it); a file still held, or one that is not a regular file, stays.
    virtual void RemoveAbandoned(const std::string& path) = 0;
    // Gives path the permissions and, when allowed, the owner of the state.
    virtual void CopyAttributes(const ProfileFileState& from, const std::string& path) = 0;
};

// The host's file system.
class RealProfileFs : public ProfileFs {
public:
    std::string Resolve(const std::string& path) override;
    ProfileFileState Stat(const std::string& path) override;
    std::unique_ptr<ProfileReader> OpenRead(const std::string& path) override;
    std::unique_ptr<ProfileWriter> CreateNew(const std::string& path, int& err) override;
    std::unique_ptr<ProfileWriteLock> LockWrites(const std::string& path) override;
    std::unique_ptr<ProfileWriter> OpenTruncate(const std::string& path, int& err) override;
    bool Rename(const std::string& from, const std::string& to, int& err) override;
    void Remove(const std::string& path) override;
    std::vector<std::string> List(const std::string& dir) override;
    void RemoveAbandoned(const std::string& path) override;
    void CopyAttributes(const ProfileFileState& from, const std::string& path) override;
};

// The process-wide real file system.
ProfileFs& RealFs();

// This process's identifier, which tells its temporary files from those of other processes.
unsigned long CurrentProcessId();

// The system's text for an error number.
std::string ProfileErrorText(int err);
