#pragma once
// Where watch and capture send the changes they sample.
#include <ostream>
#include <string>

#include "SampleLoop.h"
#include "VcdWriter.h"

namespace cli {

// Each change as a line of text: its time in seconds since the first sample and the lines that
// changed, "0.000012345 Ack=1"; the first line has every line watched. On a terminal each line
// shows at once; into a pipe or a file the lines go in blocks, at least twice a second, so that
// a reader at full speed does not cost one system call per change. A failed write (a reader
// gone) ends the run.
class TextChanges final : public ChangeSink {
public:
    TextChanges(std::ostream& out, Levels inputs, bool flushEachLine)
        : out_(out), inputs_(inputs), flushEachLine_(flushEachLine)
    {
    }
    bool Begin(Levels levels) override { return Line(0, levels, inputs_); }
    bool Change(std::int64_t ns, Levels levels, Levels changed) override
    {
        return Line(ns, levels, changed);
    }
    void Progress(const SampleRun&) override { out_.flush(); }

private:
    bool Line(std::int64_t ns, Levels levels, Levels mask);

    std::ostream& out_;
    Levels inputs_;
    bool flushEachLine_;
};

// The changes into a dump, and a progress line on the error output: on a terminal it rewrites
// itself, in a log each one stands alone.
class DumpChanges final : public ChangeSink {
public:
    DumpChanges(VcdWriter& vcd, std::string comment, std::ostream& err, bool terminal)
        : vcd_(vcd), comment_(std::move(comment)), err_(err), terminal_(terminal)
    {
    }
    bool Begin(Levels levels) override { return vcd_.Begin(levels, comment_); }
    bool Change(std::int64_t ns, Levels levels, Levels changed) override
    {
        return vcd_.Change(ns, levels, changed);
    }
    void Progress(const SampleRun& run) override;
    // Ends the progress line, when there is one.
    void Finish();

private:
    VcdWriter& vcd_;
    std::string comment_;
    std::ostream& err_;
    bool terminal_;
    bool shown_ = false;
};

// Samples per second over a run.
double SampleRate(const SampleRun& run);

} // namespace cli
