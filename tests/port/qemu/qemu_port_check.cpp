// A check of the Linux port access against a real kernel, meant to run as root inside a virtual
// machine whose emulated parallel port sits at 0x378 with parport_pc and ppdev loaded (the data
// register reads back the latch in output mode and 0xFF in input mode). It goes through the
// same code as tamsel: each of ppdev, /dev/port and ioperm in turn, the refusals of an
// unprivileged user, the claim and its release, and the kernel log. Built as a static
// executable; never run by the test suite.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <optional>
#include <time.h>
#include <linux/ppdev.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "LinuxOs.h"
#include "ParportProc.h"
#include "zlportio.h"

namespace {

int passed = 0, failed = 0;

void Check(const char* what, bool ok, const std::string& detail = {})
{
    (ok ? passed : failed)++;
    std::printf("CHECK %-58s %s%s%s\n", what, ok ? "ok" : "FAIL", detail.empty() ? "" : "  ",
                detail.c_str());
    std::fflush(stdout);
}

std::string Hex(unsigned v)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X", v);
    return text;
}

// The real calls, but the device files named here refuse to open.
class RefusingSys : public port::PosixLinuxSys {
public:
    explicit RefusingSys(std::vector<std::string> refused) : refused_(std::move(refused)) {}
    int Open(const std::string& path, int flags) override
    {
        for (const std::string& prefix : refused_)
            if (path.rfind(prefix, 0) == 0)
                return -EACCES;
        return PosixLinuxSys::Open(path, flags);
    }

private:
    std::vector<std::string> refused_;
};

// The real calls, but devices/active always reads "none": the port looks free at the check,
// as when another program takes it between the check and the claim. Raw access is refused,
// as to a user who is not root, so that a refused claim is explained.
class BlindSys : public RefusingSys {
public:
    BlindSys() : RefusingSys({"/dev/port"}) {}
    int Ioperm(unsigned long, unsigned long, int) override { return -EPERM; }
    std::optional<std::string> ReadText(const std::string& path) override
    {
        if (path.size() >= 15 && path.compare(path.size() - 15, 15, "/devices/active") == 0)
            return std::string("none\n");
        return PosixLinuxSys::ReadText(path);
    }
};

// A child process that claims /dev/parport0 (exclusively when asked), signals through a pipe
// that it holds the port, and keeps it until its other pipe closes; it then releases the port
// through a request, so that the release itself shows that ppdev serves requests again.
struct Holder {
    pid_t pid = -1;
    int stop = -1;
    explicit Holder(bool exclusive)
    {
        int ready[2], quit[2];
        if (pipe(ready) != 0 || pipe(quit) != 0)
            return;
        pid = fork();
        if (pid == 0) {
            close(ready[0]);
            close(quit[1]);
            int fd = open("/dev/parport0", O_RDWR);
            bool ok = fd >= 0 && (!exclusive || ioctl(fd, PPEXCL) == 0) &&
                      ioctl(fd, PPCLAIM) == 0;
            char c = ok ? 'y' : 'n';
            if (write(ready[1], &c, 1) != 1)
                _exit(3);
            if (read(quit[0], &c, 1) < 0)
                _exit(3);
            _exit(ok && ioctl(fd, PPRELEASE) == 0 ? 0 : 1);
        }
        close(ready[1]);
        close(quit[0]);
        stop = quit[1];
        char c = 'n';
        if (read(ready[0], &c, 1) != 1 || c != 'y')
            Check("holder claimed the port", false);
        close(ready[0]);
    }
    // True when the holder released the port through its request.
    bool Finish()
    {
        close(stop);
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
};

// Claims the port through LinuxOs while a holder keeps it, and returns the diagnostics.
std::string ClaimWhileHeld(bool exclusive, port::LinuxOs::Method& method, long& ms)
{
    Holder holder(exclusive);
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&text, &size);
    {
        BlindSys sys;
        port::LinuxOs os(sys, out);
        struct timespec a, b;
        clock_gettime(CLOCK_MONOTONIC, &a);
        os.ReportPortAccess({0x378});
        clock_gettime(CLOCK_MONOTONIC, &b);
        ms = (b.tv_sec - a.tv_sec) * 1000 + (b.tv_nsec - a.tv_nsec) / 1000000;
        method = os.MethodFor(0x378);
    }
    std::fclose(out);
    std::string said(text, size);
    std::free(text);
    Check("holder released the port afterwards", holder.Finish());
    return said;
}

const char* MethodName(port::LinuxOs::Method m)
{
    switch (m) {
    case port::LinuxOs::Method::Ppdev: return "ppdev";
    case port::LinuxOs::Method::DevPort: return "/dev/port";
    case port::LinuxOs::Method::PortInstructions: return "ioperm";
    case port::LinuxOs::Method::None: break;
    }
    return "none";
}

// The register accesses of detection, a write action and a read cycle, through the port I/O
// client as the program makes them.
void Exercise(const char* label, port::LinuxOs& os, port::LinuxOs::Method expected)
{
    std::printf("-- %s\n", label);
    Check("method for 0x378", os.MethodFor(0x378) == expected, MethodName(os.MethodFor(0x378)));
    port::UseOs(os);
    PortIoReset();
    PortIoStartup();
    try {
        PortWrite(0x37A, pwByte, 0x00);
        PortWrite(0x378, pwByte, 0x55);
        unsigned v = PortRead(0x378, pwByte);
        Check("detection: 0x55 written reads back", v == 0x55, Hex(v));
        PortWrite(0x37A, pwByte, 0x00);
        PortWrite(0x378, pwByte, 0xA6);
        PortWrite(0x37A, pwByte, 0x0E);
        v = PortRead(0x378, pwByte);
        Check("write action: data 0xA6 then control 0x0E", v == 0xA6, Hex(v));
        unsigned status = PortRead(0x379, pwByte);
        PortWrite(0x37A, pwByte, 0x20);
        unsigned input = PortRead(0x378, pwByte);
        PortWrite(0x37A, pwByte, 0x00);
        unsigned output = PortRead(0x378, pwByte);
        Check("read cycle: status read", true, Hex(status));
        Check("read cycle: input mode reads 0xFF", input == 0xFF, Hex(input));
        Check("read cycle: output mode again reads the latch", output == 0xA6, Hex(output));
        v = PortRead(0x378, pwWord);
        Check("word read at 0x378 = data | status << 8", v == (0xA6u | status << 8), Hex(v));
    } catch (const port::PortAccessError& e) {
        Check("no access error", false, e.what());
    }
    PortIoReset();
}

std::string ActiveNow()
{
    port::PosixLinuxSys sys;
    std::string holder = port::ActiveDriver(sys, 0);
    return holder.empty() ? "none" : holder;
}

// The kernel log since the last call, as read from /dev/kmsg.
std::string NewKernelLog(int fd)
{
    std::string text;
    char record[2048];
    for (;;) {
        ssize_t n = read(fd, record, sizeof record);
        if (n > 0)
            text.append(record, std::size_t(n));
        else if (n < 0 && errno == EPIPE)
            continue; // records overwritten meanwhile
        else
            break;
    }
    return text;
}

} // namespace

int main()
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    int kmsg = open("/dev/kmsg", O_RDONLY | O_NONBLOCK);
    if (kmsg >= 0) {
        lseek(kmsg, 0, SEEK_END);
    }

    {
        std::printf("-- start-up report, root, addresses 0x378 0x278 0xD010\n");
        port::LinuxOs os(stdout);
        os.ReportPortAccess({0x378, 0x278, 0xD010});
        Check("0x378 through ppdev", os.MethodFor(0x378) == port::LinuxOs::Method::Ppdev);
        Check("0x278 through /dev/port", os.MethodFor(0x278) == port::LinuxOs::Method::DevPort);
        Check("claimed while in use", ActiveNow() == "ppdev0", ActiveNow());
        Exercise("ppdev", os, port::LinuxOs::Method::Ppdev);

        // The hardware itself, through /dev/port, sees what ppdev wrote.
        RefusingSys raw({"/dev/parport"});
        port::LinuxOs direct(raw, stdout);
        port::UseOs(os);
        PortIoReset();
        PortIoStartup();
        PortWrite(0x378, pwByte, 0x3C);
        PortWrite(0x37A, pwByte, 0x2B);
        unsigned data = direct.InByte(0x378);
        unsigned control = direct.InByte(0x37A);
        Check("ppdev input mode seen by /dev/port: data 0xFF", data == 0xFF, Hex(data));
        Check("ppdev control 0x2B seen by /dev/port (bits 0-3, 5)", (control & 0x2F) == 0x2B,
              Hex(control));
        PortWrite(0x37A, pwByte, 0x0B);
        data = direct.InByte(0x378);
        control = direct.InByte(0x37A);
        Check("ppdev output mode seen by /dev/port: data 0x3C", data == 0x3C, Hex(data));
        Check("ppdev control 0x0B seen by /dev/port", (control & 0x2F) == 0x0B, Hex(control));
        PortIoReset();
    }
    Check("released at the end", ActiveNow() == "none", ActiveNow());

    {
        RefusingSys sys({"/dev/parport"});
        port::LinuxOs os(sys, stdout);
        Exercise("/dev/port (ppdev refused)", os, port::LinuxOs::Method::DevPort);
    }
    {
        RefusingSys sys({"/dev/parport", "/dev/port"});
        port::LinuxOs os(sys, stdout);
        Exercise("ioperm (ppdev and /dev/port refused)", os,
                 port::LinuxOs::Method::PortInstructions);
    }

    if (kmsg >= 0) {
        std::string log = NewKernelLog(kmsg);
        Check("kernel log has no \"use data_reverse\" warning",
              log.find("data_reverse") == std::string::npos);
        // Counter-check: the direction bit given to PPWCONTROL does log the warning.
        int fd = open("/dev/parport0", O_RDWR);
        unsigned char bad = 0x20;
        int back = 0;
        bool done = fd >= 0 && ioctl(fd, PPCLAIM) == 0 && ioctl(fd, PPWCONTROL, &bad) == 0 &&
                    ioctl(fd, PPDATADIR, &back) == 0 && ioctl(fd, PPRELEASE) == 0;
        if (fd >= 0)
            close(fd);
        log = NewKernelLog(kmsg);
        Check("counter-check: PPWCONTROL 0x20 logs it", done && log.find("data_reverse") !=
                                                                  std::string::npos);
    }

    {
        std::printf("-- claim while another program holds the port, unseen at the check\n");
        port::LinuxOs::Method method;
        long ms = 0;
        std::string said = ClaimWhileHeld(false, method, ms);
        std::fputs(said.c_str(), stdout);
        Check("claim gives up after the wait", ms >= 1000 && ms < 2000, std::to_string(ms));
        Check("refused", method == port::LinuxOs::Method::None);
        Check("reason: held and not released within 1 s",
              said.find("parport0 is held by another program or driver and was not released "
                        "within 1 s") !=
                  std::string::npos);

        std::printf("-- claim while another program holds the port exclusively\n");
        said = ClaimWhileHeld(true, method, ms);
        std::fputs(said.c_str(), stdout);
        Check("claim refused at once", ms < 500, std::to_string(ms));
        Check("reason: cannot take another user (ENXIO)",
              said.find("parport0 cannot take another user (No such device or address)") !=
                  std::string::npos);

        port::LinuxOs os(stdout);
        Check("free again: ppdev", os.MethodFor(0x378) == port::LinuxOs::Method::Ppdev);
        RefusingSys raw({"/dev/parport"});
        port::LinuxOs direct(raw, stdout);
        unsigned control = direct.InByte(0x37A);
        port::PosixLinuxSys sys;
        auto irq = sys.ReadText("/proc/sys/dev/parport/parport0/irq");
        std::string irqText = irq ? *irq : "?";
        while (!irqText.empty() && irqText.back() == '\n')
            irqText.pop_back();
        Check(("after the claim, control bit 4 (irq " + irqText + ")").c_str(), true, Hex(control));
    }

    std::printf("-- unprivileged user (uid 65534, no groups)\n");
    pid_t child = fork();
    if (child == 0) {
        gid_t none[1] = {65534};
        if (setgroups(1, none) != 0 || setgid(65534) != 0 || setuid(65534) != 0)
            _exit(2);
        port::LinuxOs os(stdout);
        os.ReportPortAccess({0x378, 0x278});
        bool refused = false;
        try {
            os.InByte(0x378);
        } catch (const port::PortAccessError& e) {
            refused = true;
            std::printf("PortAccessError: %s\n", e.what());
        }
        port::UseOs(os);
        PortIoReset();
        PortIoStartup();
        // The port model catches the error; the client lets it through.
        _exit(refused && os.MethodFor(0x278) == port::LinuxOs::Method::None ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    Check("unprivileged: refused with reasons", WIFEXITED(status) && WEXITSTATUS(status) == 0);

    std::printf("qemu-port-check: %d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
