#include "CliCommands.h"

#include <cstdio>
#include <thread>

#include "AccessWatch.h"
#include "AtomicOutput.h"
#include "ChangeSinks.h"
#include "CliText.h"
#include "VcdShow.h"
#include "uLPT.h"
#include "uUserPrefs.h"

namespace cli {

namespace {

// The window the port model reports to: its log lines become plain lines of the output; the
// LPTn action run at the end of detection is the selection it logs.
class CliHost final : public LptHost {
public:
    explicit CliHost(std::ostream& out) : out_(out) {}

    void LogMessage(const std::string& text, TColor) override { out_ << text << '\n'; }
    // The port access itself says why a port is refused, in English, on standard error.
    void LogRefusal(const std::string&, TColor) override {}
    bool InvertStatesChecked() override { return false; }
    void SetDriverLedStandBy(bool) override {}
    void SetDriverLedActive(bool) override {}
    void SetLoopLedStandBy(bool) override {}
    void SetDriverStatusText(const std::string&) override {}
    void RequestLoopStopIfRunning() override {}
    void UpdateMainWindowState() override {}
    void CheckAndExecuteLptAction(int n) override { LptSelectPort(n); }
    void SetLptActionHint(int, const std::string&) override {}
    void Delay(std::uint32_t ms) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }

private:
    std::ostream& out_;
};

std::string HexAddress(std::uint32_t address) { return "0x" + LptHexAddress(address); }

class Run {
public:
    Run(const CliOptions& options, const CliEnv& env, AccessWatch& watch)
        : o_(options), env_(env), out_(*env.Out), err_(*env.Err), watch_(watch),
          files_(env.Files != nullptr ? *env.Files : RealFs())
    {
    }

    int Execute()
    {
        if (!DriverOpen)
            return DriverUnavailable();
        switch (o_.Cmd) {
        case Command::Detect: return Detect();
        case Command::Read: return Read();
        case Command::Write: return Write();
        case Command::Watch: return Watch();
        case Command::Capture: return Capture();
        case Command::Show: break; // needs no port: run before the port is reached
        }
        return kExitUsage;
    }

private:
    std::ostream& Say() { return err_ << env_.Program << ": "; }

    int DriverUnavailable()
    {
        Say() << "no port access: the port driver " << kDriverName << " is not available\n";
        // Why no way to the ports served, as the backend tells it; the same for every port.
        const std::vector<port::AccessRefusal> refusals = port::Os().RefusalsAt(0);
        for (const port::AccessRefusal& refusal : refusals) {
            Say() << "  reason: " << refusal.English.Reason << "\n";
            Say() << "  remedy: " << refusal.English.Remedy << "\n";
        }
        if (refusals.empty()) {
            Say() << "  reason: its device cannot be opened, and " << kDriverName
                  << kDriverFileExt << " beside the program could not be installed and started"
                  << " as a service\n";
            Say() << "  remedy: put " << kDriverName << kDriverFileExt << " beside "
                  << env_.Program << " and run " << env_.Program << " as administrator\n";
        }
        return kExitNoAccess;
    }

    int NoAccess(std::uint16_t address)
    {
        Say() << "port " << HexAddress(address) << ": no access (" << watch_.Reason() << ")\n";
        return kExitNoAccess;
    }

    std::string PrefsFile() const
    {
        return o_.Ini.empty() ? WindowPrefsFileOf(env_.ExecutablePath) : o_.Ini;
    }

    // The port table as the window would load it, without writing anything: a missing file
    // gives the addresses of the default file the window would create.
    void LoadTable()
    {
        const std::string file = PrefsFile();
        if (files_.Stat(file).Exists) {
            LoadUserPrefs(file);
            return;
        }
        for (int n = 1; n <= kLptPortCount; ++n) {
            const std::string key = PortAddrKey(n) + "=";
            for (const char* line : kDefaultUserPrefsLines)
                if (std::string_view(line).substr(0, key.size()) == key)
                    LptPorts[n].Address = std::uint16_t(
                        ProfileIntFromText(std::string_view(line).substr(key.size()), 0));
        }
    }

    // The address of the port named on the command line; 0 after saying why there is none.
    std::uint16_t PortAddress()
    {
        if (o_.Address)
            return *o_.Address;
        LoadTable();
        const std::uint16_t address = LptPorts[o_.Lpt].Address;
        if (address == 0)
            Say() << "no port: LPT" << o_.Lpt << " has no address in " << PrefsFile() << "\n";
        return address;
    }

    void Open(std::uint16_t address)
    {
        if (o_.Verbose)
            port::Os().ReportAccessPlan({address});
        LptSetWidth(pwByte);
        LptSelectAddress(address);
        LptLoadDriver();
    }

    int Detect()
    {
        if (o_.Addresses.empty()) {
            LoadTable();
        } else {
            for (int n = 1; n <= kLptPortCount; ++n)
                LptPorts[n].Address = std::size_t(n) <= o_.Addresses.size()
                                          ? o_.Addresses[std::size_t(n - 1)]
                                          : std::uint16_t(0);
        }
        if (o_.Verbose) {
            std::vector<std::uint16_t> addresses;
            for (int n = 1; n <= kLptPortCount; ++n)
                addresses.push_back(LptPorts[n].Address);
            port::Os().ReportAccessPlan(addresses);
        }
        LptDetectPorts();
        for (int n = 1; n <= kLptPortCount; ++n)
            if (LptPorts[n].Detected)
                return kExitDone;
        if (watch_.Refused()) {
            Say() << "no port found: access refused (" << watch_.Reason() << ")\n";
            return kExitNoAccess;
        }
        Say() << "no port found\n";
        return kExitNoPort;
    }

    int Read()
    {
        const std::uint16_t address = PortAddress();
        if (address == 0)
            return kExitNoPort;
        Open(address);
        Levels levels = 0, inputs = 0;
        {
            LineSampler sampler(o_.DataAsInputs);
            levels = sampler.Sample();
            inputs = sampler.Inputs();
        }
        if (watch_.Refused())
            return NoAccess(address);
        out_ << LevelsText(levels, inputs, "\n") << '\n';
        if (o_.DataAsInputs) {
            out_ << "Data=0x" << LptHexByte((levels & kDataLines) >> kFirstDataLine) << '\n';
        }
        return kExitDone;
    }

    int Write()
    {
        const std::uint16_t address = PortAddress();
        if (address == 0)
            return kExitNoPort;
        Open(address);
        // Nothing but what is named moves: the data go to the latch, then one control write
        // sets the lines named and, with data, turns the data drivers on, every other control
        // bit kept. (The window's write passes through control value 0 instead, a pulse on each
        // control line not at that level.)
        const std::uint32_t before = LptReadControl() & kControlKeptBits;
        std::uint32_t control = before;
        for (std::size_t i = 0; i < o_.Control.size(); ++i) {
            if (!o_.Control[i])
                continue;
            const LptLine& line = LptLines[std::size_t(kFirstControlLine) + i];
            const std::uint32_t bit = 1u << line.Bit;
            control = (*o_.Control[i] != line.Inverted) ? control | bit : control & ~bit;
        }
        if (o_.Data) {
            LptWriteDataLatch(*o_.Data);
            control &= ~kDataInputModeBit;
        }
        if (control != before)
            LptWriteControl(control);
        const Levels outputs = LineSampler(false).Outputs();
        if (watch_.Refused())
            return NoAccess(address);
        out_ << LevelsText(outputs, kDataLines | kControlLines, "\n") << '\n';
        return kExitDone;
    }

    SampleLimits Limits() const { return {o_.For, env_.Stop, 0, env_.Clock}; }

    int Watch()
    {
        const std::uint16_t address = PortAddress();
        if (address == 0)
            return kExitNoPort;
        Open(address);
        SampleRun run;
        {
            LineSampler sampler(o_.DataAsInputs);
            TextChanges sink(out_, sampler.Inputs(), env_.OutIsTerminal);
            run = RunSamples(sampler, sink, Limits(), watch_);
        }
        return run.Ended == SampleRun::End::Refused ? NoAccess(address) : kExitDone;
    }

    int Capture()
    {
        const std::uint16_t address = PortAddress();
        if (address == 0)
            return kExitNoPort;
        // "-": the dump goes to the standard output, and the summary to the error output.
        const bool toStdout = o_.Out == "-";
        StreamOutput stream(out_, "the standard output");
        std::optional<AtomicOutput> file;
        DumpOutput* output = &stream;
        if (!toStdout) {
            output = &file.emplace(o_.Out, env_.OpenFolder ? env_.OpenFolder
                                                            : FolderOpener(OpenOutputFolder));
            if (!file->Open()) {
                Say() << file->Error() << '\n';
                return kExitUsage;
            }
        }
        std::ostream& summary = toStdout ? err_ : out_;
        Open(address);
        VcdWriter vcd(*output, env_.Program);
        DumpChanges sink(vcd,
                         "port " + HexAddress(address) +
                             (o_.DataAsInputs ? ", status and data lines sampled, control lines"
                                              : ", status lines sampled, data and control lines") +
                             " as last written",
                         err_, env_.ErrIsTerminal);
        SampleRun run;
        {
            LineSampler sampler(o_.DataAsInputs);
            run = RunSamples(sampler, sink, Limits(), watch_);
        }
        sink.Finish();
        if (run.Samples == 0)
            return NoAccess(address); // nothing was sampled: no file
        if (!vcd.End(run.ElapsedNs) || !output->Commit()) {
            Say() << output->Error() << '\n';
            return kExitUsage;
        }
        char rate[64];
        std::snprintf(rate, sizeof rate, "%.0f", SampleRate(run));
        summary << "samples: " << run.Samples << " in " << Seconds(run.ElapsedNs) << " s ("
                << rate << " per second)\n"
                << "changes: " << run.Changes << '\n'
                << "shortest pulse: "
                << (run.ShortestPulseLine < 0
                        ? std::string("none (no line changed twice)")
                        : HumanDuration(run.ShortestPulseNs) + " (" +
                              LptLines[std::size_t(run.ShortestPulseLine)].Name + ")")
                << '\n';
        if (!toStdout)
            summary << "written: " << o_.Out << '\n';
        return run.Ended == SampleRun::End::Refused ? NoAccess(address) : kExitDone;
    }

    const CliOptions& o_;
    const CliEnv& env_;
    std::ostream& out_;
    std::ostream& err_;
    AccessWatch& watch_;
    ProfileFs& files_;
};

} // namespace

std::string WindowPrefsFileOf(const std::string& executablePath)
{
    const std::size_t nameAt = executablePath.find_last_of("\\/:") + 1; // npos + 1 == 0
    std::string name = executablePath.substr(nameAt);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    const std::size_t cli = name.find("-cli");
    if (cli != std::string::npos)
        name.erase(cli, 4);
    return executablePath.substr(0, nameAt) + name + ".ini";
}

int RunCommand(const CliOptions& options, port::OsApi& os, const CliEnv& env)
{
    if (options.Cmd == Command::Show) {
        const std::string why =
            ShowDump(env.Files != nullptr ? *env.Files : RealFs(), options.Dump, *env.Out);
        if (!why.empty())
            *env.Err << env.Program << ": " << why << '\n';
        return why.empty() ? kExitDone : kExitUsage;
    }
    // A preferences file named on the command line must be there: the defaults in its place
    // would search other ports than the user asked for.
    if (!options.Ini.empty()) {
        ProfileFs& files = env.Files != nullptr ? *env.Files : RealFs();
        const ProfileFileState ini = files.Stat(options.Ini);
        if (!ini.Exists || !ini.IsRegular) {
            *env.Err << env.Program << ": --ini " << options.Ini << ": "
                     << (ini.Exists ? "not a file" : "no such file") << '\n';
            return kExitUsage;
        }
    }
    AccessWatch watch(os);
    CliHost host(*env.Out);
    port::UseOs(watch);
    LptSetHost(&host);
    int code = kExitUsage;
    const auto report = [&](const std::exception& e) {
        *env.Err << env.Program << ": " << e.what() << '\n';
    };
    try {
        PortIoStartup();
        code = Run(options, env, watch).Execute();
    } catch (const std::exception& e) {
        report(e);
    }
    try {
        if (PortOpen)
            LptUnloadDriver();
        PortIoShutdown();
    } catch (const std::exception& e) {
        report(e);
    }
    LptSetHost(nullptr);
    port::UseOs(os);
    return code;
}

} // namespace cli
