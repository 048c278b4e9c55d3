#pragma once
// The handful of Linux system calls that reach a parallel port: device files (ppdev's
// /dev/parportN and /dev/port), ioctl, one-byte pread/pwrite, ioperm and the x86 port
// instructions, plus the small text files and directories that describe the kernel's ports.
// LinuxOs makes every such call through this interface so that tests can replace the kernel.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace port {

class LinuxSys {
public:
    virtual ~LinuxSys() = default;

    // Each call returns a negative errno value on failure, as the kernel does. A call cut short
    // by a signal is made again, except Ioctl: a request that sleeps (ppdev's claim) returns
    // -EINTR then, so that its caller can stop waiting.
    virtual int Open(const std::string& path, int flags) = 0;             // descriptor
    virtual void Close(int fd) = 0;
    virtual int Ioctl(int fd, unsigned long request, void* argument) = 0;  // 0 on success
    virtual long Pread(int fd, void* buffer, std::size_t size, long offset) = 0;
    virtual long Pwrite(int fd, const void* buffer, std::size_t size, long offset) = 0;
    virtual int Ioperm(unsigned long from, unsigned long count, int on) = 0;

    // The processor's byte port instructions; callable only after a granted Ioperm and only
    // when HasPortInstructions() is true.
    virtual bool HasPortInstructions() = 0;
    virtual std::uint8_t InByte(std::uint16_t port) = 0;
    virtual void OutByte(std::uint16_t port, std::uint8_t value) = 0;

    // The whole content of a small text file (under /proc or /sys), or nothing when it cannot
    // be read; the names in a directory, without "." and "..", empty when it cannot be listed.
    virtual std::optional<std::string> ReadText(const std::string& path) = 0;
    virtual std::vector<std::string> ListDir(const std::string& path) = 0;

    // Whether the kernel started the program with the secure-execution flag (its rights came
    // with its file: a file capability or set-user-id), and the real user who started it.
    virtual bool SecureExecution() = 0;
    virtual unsigned RealUserId() = 0;
};

// The real calls.
class PosixLinuxSys : public LinuxSys {
public:
    int Open(const std::string& path, int flags) override;
    void Close(int fd) override;
    int Ioctl(int fd, unsigned long request, void* argument) override;
    long Pread(int fd, void* buffer, std::size_t size, long offset) override;
    long Pwrite(int fd, const void* buffer, std::size_t size, long offset) override;
    int Ioperm(unsigned long from, unsigned long count, int on) override;
    bool HasPortInstructions() override;
    std::uint8_t InByte(std::uint16_t port) override;
    void OutByte(std::uint16_t port, std::uint8_t value) override;
    std::optional<std::string> ReadText(const std::string& path) override;
    std::vector<std::string> ListDir(const std::string& path) override;
    bool SecureExecution() override;
    unsigned RealUserId() override;
};

} // namespace port
