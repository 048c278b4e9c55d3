#include "LinuxOs.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define TAMSEL_HAS_PORT_INSTRUCTIONS 1
#else
#define TAMSEL_HAS_PORT_INSTRUCTIONS 0
#endif

namespace port {

std::string LinuxOs::ExecutablePath()
{
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return {};
    return std::string(buffer, std::size_t(n));
}

void LinuxOs::Grant(std::uint16_t port, unsigned size)
{
    bool all = true;
    for (unsigned i = 0; i < size && port + i < 65536; ++i)
        all = all && granted_.test(port + i);
    if (all)
        return;
#if TAMSEL_HAS_PORT_INSTRUCTIONS
    if (ioperm(port, size, 1) == 0) {
        for (unsigned i = 0; i < size && port + i < 65536; ++i)
            granted_.set(port + i);
        return;
    }
    int error = errno;
    if (!explained_ && diagnostics_ != nullptr) {
        explained_ = true;
        std::fprintf(diagnostics_,
                     "tamsel: access to I/O port 0x%X refused (%s); run as root or grant "
                     "CAP_SYS_RAWIO (sudo setcap cap_sys_rawio+ep tamsel)\n",
                     unsigned(port), std::strerror(error));
    }
    throw PortAccessError(std::string("ioperm refused: ") + std::strerror(error));
#else
    if (!explained_ && diagnostics_ != nullptr) {
        explained_ = true;
        std::fprintf(diagnostics_,
                     "tamsel: this processor has no port instructions; I/O ports cannot be "
                     "reached directly\n");
    }
    throw PortAccessError("no port instructions on this processor");
#endif
}

#if TAMSEL_HAS_PORT_INSTRUCTIONS
std::uint8_t LinuxOs::InByte(std::uint16_t p) { Grant(p, 1); return inb(p); }
std::uint16_t LinuxOs::InWord(std::uint16_t p) { Grant(p, 2); return inw(p); }
std::uint32_t LinuxOs::InDword(std::uint16_t p) { Grant(p, 4); return inl(p); }
void LinuxOs::OutByte(std::uint16_t p, std::uint8_t v) { Grant(p, 1); outb(v, p); }
void LinuxOs::OutWord(std::uint16_t p, std::uint16_t v) { Grant(p, 2); outw(v, p); }
void LinuxOs::OutDword(std::uint16_t p, std::uint32_t v) { Grant(p, 4); outl(v, p); }
#else
std::uint8_t LinuxOs::InByte(std::uint16_t p) { Grant(p, 1); return 0; }
std::uint16_t LinuxOs::InWord(std::uint16_t p) { Grant(p, 2); return 0; }
std::uint32_t LinuxOs::InDword(std::uint16_t p) { Grant(p, 4); return 0; }
void LinuxOs::OutByte(std::uint16_t p, std::uint8_t) { Grant(p, 1); }
void LinuxOs::OutWord(std::uint16_t p, std::uint16_t) { Grant(p, 2); }
void LinuxOs::OutDword(std::uint16_t p, std::uint32_t) { Grant(p, 4); }
#endif

} // namespace port
