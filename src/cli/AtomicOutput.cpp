#include "AtomicOutput.h"

#include <cerrno>
#include <random>

namespace cli {

namespace {

constexpr std::size_t kBufferSize = 256 * 1024;
// A temporary file is named after the file with this and digits after it.
constexpr std::string_view kPartSuffix = ".part";

} // namespace

AtomicOutput::AtomicOutput(std::string path, FolderOpener opener)
    : path_(std::move(path)), opener_(std::move(opener))
{
}

AtomicOutput::~AtomicOutput()
{
    // A temporary file not committed is let go, then removed as any abandoned one.
    writer_.reset();
    if (!tempName_.empty())
        folder_->RemoveAbandoned(tempName_);
}

bool AtomicOutput::Fail(const std::string& reason)
{
    if (error_.empty())
        error_ = "cannot write " + path_ + ": " + reason;
    return false;
}

bool AtomicOutput::Fail(int err) { return Fail(ProfileErrorText(err != 0 ? err : EIO)); }

void AtomicOutput::RemoveAbandonedParts()
{
    const std::string prefix = name_ + std::string(kPartSuffix);
    for (const std::string& entry : folder_->List())
        if (entry.size() > prefix.size() && entry.compare(0, prefix.size(), prefix) == 0 &&
            entry.find_first_not_of("0123456789", prefix.size()) == std::string::npos)
            folder_->RemoveAbandoned(entry);
}

bool AtomicOutput::Open()
{
    int err = 0;
    folder_ = opener_(path_, name_, err);
    if (!folder_)
        return Fail(err);
    const ProfileFileState state = folder_->Stat(name_);
    if (state.Exists && !state.IsRegular)
        return Fail("not a regular file");
    if (state.Exists && !state.Writable)
        return Fail(EACCES);
    RemoveAbandonedParts();
    std::random_device random;
    for (int attempt = 0; attempt < 16 && !writer_; ++attempt) {
        std::string candidate =
            name_ + std::string(kPartSuffix) + std::to_string(random() % 1'000'000);
        writer_ = folder_->CreateHeld(candidate, err);
        if (writer_)
            tempName_ = std::move(candidate);
        else if (err != EEXIST)
            break;
    }
    if (!writer_)
        return Fail(err);
    // The file replaced keeps its permissions and owner, from the first byte written on.
    if (state.Exists)
        folder_->CopyAttributes(state, tempName_);
    buffer_.reserve(kBufferSize);
    return true;
}

bool AtomicOutput::Flush()
{
    if (!writer_ || !error_.empty())
        return false;
    if (!writer_->Write(buffer_.data(), buffer_.size()))
        return Fail(writer_->Error());
    buffer_.clear();
    return true;
}

bool AtomicOutput::Write(std::string_view text)
{
    if (!writer_ || !error_.empty())
        return false;
    // The buffer is written out before it would outgrow its size, so that it never moves.
    if (buffer_.size() + text.size() > kBufferSize && !Flush())
        return false;
    buffer_.append(text);
    return true;
}

bool AtomicOutput::Commit()
{
    if (!Flush())
        return false;
    if (!writer_->Close())
        return Fail(writer_->Error());
    // Still held while it takes its name, so that no clean-up takes it for abandoned.
    int err = 0;
    if (!folder_->Rename(tempName_, name_, err))
        return Fail(err);
    tempName_.clear();
    writer_.reset();
    return true;
}

} // namespace cli
