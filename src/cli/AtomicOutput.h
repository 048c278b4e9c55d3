#pragma once
// A file written in full or not at all: the text goes to a temporary file beside the requested
// name, which takes that name only once complete and flushed to the disk. Until then, and
// after any failure, nothing lies under the requested name but what was there before; a
// temporary file that is not committed is removed, and those of earlier runs killed before
// their end are removed by the next run. The path is resolved once (see OutputFolder); a file
// replaced keeps its permissions and, when allowed, its owner; an existing file the user may
// not write is never replaced. Writes are buffered, so memory stays bounded however much is
// written.
#include <memory>
#include <string>
#include <string_view>

#include "DumpOutput.h"
#include "OutputFolder.h"

namespace cli {

class AtomicOutput final : public DumpOutput {
public:
    explicit AtomicOutput(std::string path, FolderOpener opener = OpenOutputFolder);
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
    void RemoveAbandonedParts();

    std::string path_;
    FolderOpener opener_;
    std::unique_ptr<OutputFolder> folder_;
    std::string name_;     // the file's name in the folder
    std::string tempName_; // the temporary file's, while it exists
    std::unique_ptr<ProfileWriter> writer_;
    std::string buffer_;
    std::string error_;
};

} // namespace cli
