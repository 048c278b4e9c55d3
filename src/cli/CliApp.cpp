#include "CliApp.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

#include "CliText.h"
#include "LineSampler.h"

namespace cli {

namespace {

// A check of CLI11 from a parser of ours: the text passes when it parses.
template <typename Parse>
CLI::Validator Check(Parse parse, const std::string& what)
{
    return CLI::Validator(
        [parse, what](std::string& text) {
            return parse(text) ? std::string() : "\"" + text + "\" is not " + what;
        },
        "", what);
}

const std::string kAddressForms = "decimal (888), or hexadecimal after $, 0x or x ($378, 0x378)";

std::string Lower(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

int RunCli(int argc, const char* const* argv, port::OsApi& os, const CliEnv& env)
{
    const CLI::Validator address =
        Check([](const std::string& t) { return ParseAddress(t).has_value(); },
              "a port address from 1 to 0xFFFD: " + kAddressForms);
    const CLI::Validator port =
        Check([](const std::string& t) { return ParseLptName(t) != 0 || ParseAddress(t); },
              "LPT1 to LPT8 or a port address from 1 to 0xFFFD: " + kAddressForms);
    const CLI::Validator byte =
        Check([](const std::string& t) { return ParseByte(t).has_value(); },
              "a byte from 0 to 255: " + kAddressForms);
    const CLI::Validator level =
        Check([](const std::string& t) { return ParseLevel(t).has_value(); }, "0 or 1");
    const CLI::Validator duration =
        Check([](const std::string& t) { return ParseDuration(t).has_value(); },
              "a positive duration such as 10s, 250ms, 1.5s, 2m, 100us");

    CLI::App app("Tests a PC parallel port from a terminal, and captures its lines into a file "
                 "that logic-analyser viewers open.",
                 env.Program);
    app.footer("Exit codes: 0 done, 1 bad usage or an output file that cannot be written, "
               "2 no access to the port, 3 no port found.");
    // A word that names no command stays unparsed, for a message that says so.
    app.require_subcommand(0, 1);
    app.allow_extras();
    app.fallthrough();
    std::string ini;
    bool verbose = false;
    app.add_option("--ini", ini,
                   "the window's preferences file to take the LPTn addresses from (default: "
                   "tamsel.ini beside this program; without one, the window's defaults)");
    app.add_flag("-v,--verbose", verbose, "tell on standard error how the port is reached");

    CliOptions o;
    std::vector<std::string> addresses;
    std::string portText = "LPT1", dataText, forText;
    std::array<std::string, 4> controlText;
    bool dataAsInputs = false;

    CLI::App* detect = app.add_subcommand(
        "detect", "search the ports by writing 0x55 to each data register and reading it back, "
                  "and print each step");
    detect->add_option("addresses", addresses,
                       "up to eight base addresses to search instead of the preferences file's")
        ->check(address)
        ->expected(0, kLptPortCount);

    const auto addPort = [&](CLI::App* command) {
        command->add_option("-p,--port", portText,
                            "the port: LPT1 to LPT8 of the preferences file, or a base address")
            ->check(port)
            ->capture_default_str();
    };
    const auto addDataAsInputs = [&](CLI::App* command) {
        command->add_flag("--data", dataAsInputs,
                          "read the data lines too, as inputs (their drivers off meanwhile)");
    };
    const auto addFor = [&](CLI::App* command, const char* what) {
        command->add_option("--for", forText, what)->check(duration);
    };

    CLI::App* read = app.add_subcommand("read", "print the status lines' levels (1 = pin high)");
    addPort(read);
    addDataAsInputs(read);

    CLI::App* write = app.add_subcommand(
        "write", "set the data lines and/or control lines, then print the outputs");
    addPort(write);
    CLI::Option* dataOption =
        write->add_option("--data", dataText, "the byte for D0 (bit 0) to D7")->check(byte);
    std::array<CLI::Option*, 4> controlOptions{};
    for (std::size_t i = 0; i < controlText.size(); ++i) {
        const std::string name = LptLines[std::size_t(kFirstControlLine) + i].Name;
        controlOptions[i] = write->add_option("--" + Lower(name), controlText[i],
                                              "the level of " + name + ": 1 high, 0 low")
                                ->check(level);
    }

    CLI::App* watch = app.add_subcommand(
        "watch", "print each change of the inputs with its time, until Ctrl-C or --for");
    addPort(watch);
    addDataAsInputs(watch);
    addFor(watch, "stop after this time");

    CLI::App* capture = app.add_subcommand(
        "capture", "sample the inputs as fast as the port answers and write their changes, with "
                   "the outputs as last written, to a Value Change Dump");
    addPort(capture);
    addDataAsInputs(capture);
    addFor(capture, "stop after this time (otherwise at Ctrl-C)");
    capture->add_option("-o,--out", o.Out,
                        "the file to write, such as capture.vcd, or - for the standard output")
        ->required();

    CLI::App* show = app.add_subcommand(
        "show", "print a capture's changes as watch does, one line for each time something "
                "changed, with its time in seconds");
    show->add_option("file", o.Dump, "the Value Change Dump to read")->required();

    try {
        app.parse(argc, argv);
        const std::vector<std::string> rest = app.remaining();
        if (app.get_subcommands().empty())
            throw CLI::ValidationError(
                (rest.empty() ? std::string("a command is needed")
                              : "unknown command \"" + rest.front() + "\"") +
                ": detect, read, write, watch, capture or show");
        if (!rest.empty())
            throw CLI::ExtrasError(rest);
        if (write->parsed() && dataOption->count() == 0 &&
            std::all_of(controlOptions.begin(), controlOptions.end(),
                        [](const CLI::Option* c) { return c->count() == 0; }))
            throw CLI::ValidationError("write",
                                       "give --data and/or a control line (--strobe, --autofeed, "
                                       "--init, --selectin)");
    } catch (const CLI::ParseError& e) {
        return app.exit(e, *env.Out, *env.Err) == 0 ? kExitDone : kExitUsage;
    }

    o.Cmd = detect->parsed()  ? Command::Detect
            : read->parsed()  ? Command::Read
            : write->parsed() ? Command::Write
            : watch->parsed() ? Command::Watch
            : show->parsed()  ? Command::Show
                              : Command::Capture;
    o.Ini = ini;
    o.Verbose = verbose;
    for (const std::string& a : addresses)
        o.Addresses.push_back(*ParseAddress(a));
    o.Lpt = ParseLptName(portText);
    if (o.Lpt == 0)
        o.Address = ParseAddress(portText);
    o.DataAsInputs = dataAsInputs;
    if (dataOption->count() != 0)
        o.Data = ParseByte(dataText);
    for (std::size_t i = 0; i < controlText.size(); ++i)
        if (controlOptions[i]->count() != 0)
            o.Control[i] = ParseLevel(controlText[i]);
    if (!forText.empty())
        o.For = ParseDuration(forText);
    return RunCommand(o, os, env);
}

} // namespace cli
