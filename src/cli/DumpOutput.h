#pragma once
// Where a dump's text goes: a file written in full or not at all, or a stream such as the
// standard output.
#include <ostream>
#include <string>
#include <string_view>

namespace cli {

class DumpOutput {
public:
    virtual ~DumpOutput() = default;
    // Each returns false once a write has failed.
    virtual bool Write(std::string_view text) = 0;
    // Ends the text: everything written out, the file under its name.
    virtual bool Commit() = 0;
    // The failure, as "cannot write WHERE: reason".
    virtual const std::string& Error() const = 0;
};

// The text into a stream (the tool's standard output), which buffers it.
class StreamOutput final : public DumpOutput {
public:
    StreamOutput(std::ostream& out, std::string name) : out_(out), name_(std::move(name)) {}
    bool Write(std::string_view text) override
    {
        return Check(out_.write(text.data(), std::streamsize(text.size())));
    }
    bool Commit() override { return Check(out_.flush()); }
    const std::string& Error() const override { return error_; }

private:
    bool Check(const std::ostream& out)
    {
        if (!out && error_.empty())
            error_ = "cannot write " + name_;
        return bool(out);
    }

    std::ostream& out_;
    std::string name_;
    std::string error_;
};

} // namespace cli
