#include "LinuxSys.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/auxv.h>
#include <sys/ioctl.h>
#include <unistd.h>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define TAMSEL_HAS_PORT_INSTRUCTIONS 1
#else
#define TAMSEL_HAS_PORT_INSTRUCTIONS 0
#endif

namespace port {

namespace {
// A call interrupted by a signal is simply made again.
template <typename Call>
long Retry(Call call)
{
    long result;
    do
        result = call();
    while (result < 0 && errno == EINTR);
    return result < 0 ? -long(errno) : result;
}
} // namespace

int PosixLinuxSys::Open(const std::string& path, int flags)
{
    return int(Retry([&] { return long(::open(path.c_str(), flags | O_CLOEXEC)); }));
}

void PosixLinuxSys::Close(int fd) { ::close(fd); }

int PosixLinuxSys::Ioctl(int fd, unsigned long request, void* argument)
{
    return ::ioctl(fd, request, argument) < 0 ? -errno : 0;
}

long PosixLinuxSys::Pread(int fd, void* buffer, std::size_t size, long offset)
{
    return Retry([&] { return long(::pread(fd, buffer, size, off_t(offset))); });
}

long PosixLinuxSys::Pwrite(int fd, const void* buffer, std::size_t size, long offset)
{
    return Retry([&] { return long(::pwrite(fd, buffer, size, off_t(offset))); });
}

#if TAMSEL_HAS_PORT_INSTRUCTIONS
int PosixLinuxSys::Ioperm(unsigned long from, unsigned long count, int on)
{
    return ::ioperm(from, count, on) == 0 ? 0 : -errno;
}
bool PosixLinuxSys::HasPortInstructions() { return true; }
std::uint8_t PosixLinuxSys::InByte(std::uint16_t port) { return inb(port); }
void PosixLinuxSys::OutByte(std::uint16_t port, std::uint8_t value) { outb(value, port); }
#else
int PosixLinuxSys::Ioperm(unsigned long, unsigned long, int) { return -ENOSYS; }
bool PosixLinuxSys::HasPortInstructions() { return false; }
std::uint8_t PosixLinuxSys::InByte(std::uint16_t) { return 0; }
void PosixLinuxSys::OutByte(std::uint16_t, std::uint8_t) {}
#endif

std::optional<std::string> PosixLinuxSys::ReadText(const std::string& path)
{
    int fd = Open(path, O_RDONLY);
    if (fd < 0)
        return std::nullopt;
    // These files are a few bytes long; a bound keeps a strange file from costing memory.
    constexpr std::size_t kLimit = 64 * 1024;
    std::string text;
    char chunk[4096];
    for (;;) {
        long n = Retry([&] { return long(::read(fd, chunk, sizeof chunk)); });
        if (n < 0) {
            Close(fd);
            return std::nullopt;
        }
        if (n == 0 || text.size() >= kLimit)
            break;
        text.append(chunk, std::size_t(n));
    }
    Close(fd);
    return text;
}

std::vector<std::string> PosixLinuxSys::ListDir(const std::string& path)
{
    std::vector<std::string> names;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(path.c_str()), ::closedir);
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir.get())) {
        std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(std::move(name));
    }
    return names;
}

bool PosixLinuxSys::SecureExecution() { return ::getauxval(AT_SECURE) != 0; }

unsigned PosixLinuxSys::RealUserId() { return unsigned(::getuid()); }

} // namespace port
