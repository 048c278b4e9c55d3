#pragma once
// A file written in full or not at all: the text goes to a temporary file beside the requested
// name, which takes that name only once complete and flushed to the disk. Until then, and
// after any failure, nothing lies under the requested name but what was there before; a
// temporary file that is not committed is removed. An existing file the user may not write is
// never replaced. Writes are buffered, so memory stays bounded however much is written.
#include <memory>
#include <string>
#include <string_view>

#include "DumpOutput.h"
#include "ProfileFs.h"

namespace cli {

class AtomicOutput final : public DumpOutput {
public:
    AtomicOutput(ProfileFs& fs, std::string path);
    ~AtomicOutput() override;
    AtomicOutput(const AtomicOutput&) = delete;
    AtomicOutput& operator=(const AtomicOutput&) = delete;

    // Creates the temporary file. Each operation returns false once one has failed.
    bool Open();
    bool Write(std::string_view text) override;
    // Writes what is buffered, flushes to the disk and gives the file its name.
    bool Commit() override;

    // The failure, as "cannot write PATH: reason".
    const std::string& Error() const override { return error_; }

private:
    bool Fail(const std::string& reason);
    bool Fail(int err);
    bool Flush();

    ProfileFs& fs_;
    std::string path_;
    std::string tempPath_;
    std::unique_ptr<ProfileWriter> writer_;
    std::string buffer_;
    std::string error_;
};

} // namespace cli
