#include "AtomicOutput.h"

#include <cerrno>
#include <random>

namespace cli {

namespace {
constexpr std::size_t kBufferSize = 256 * 1024;
}

AtomicOutput::AtomicOutput(ProfileFs& fs, std::string path) : fs_(fs), path_(std::move(path)) {}

AtomicOutput::~AtomicOutput()
{
    writer_.reset();
    if (!tempPath_.empty())
        fs_.Remove(tempPath_);
}

bool AtomicOutput::Fail(const std::string& reason)
{
    if (error_.empty())
        error_ = "cannot write " + path_ + ": " + reason;
    return false;
}

bool AtomicOutput::Fail(int err) { return Fail(ProfileErrorText(err != 0 ? err : EIO)); }

bool AtomicOutput::Open()
{
    // A link is followed, so that the file it names is replaced and the link kept.
    const std::string target = fs_.Resolve(path_);
    const ProfileFileState state = fs_.Stat(target);
    if (state.Exists && !state.IsRegular)
        return Fail("not a regular file");
    if (state.Exists && !state.Writable)
        return Fail(EACCES);
    std::random_device random;
    int err = 0;
    for (int attempt = 0; attempt < 16 && !writer_; ++attempt) {
        std::string candidate = target + ".part" + std::to_string(random() % 1'000'000);
        writer_ = fs_.CreateNew(candidate, err);
        if (writer_)
            tempPath_ = std::move(candidate);
        else if (err != EEXIST)
            break;
    }
    if (!writer_)
        return Fail(err);
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
    const bool closed = writer_->Close();
    const int closeErr = writer_->Error();
    writer_.reset();
    if (!closed)
        return Fail(closeErr);
    int err = 0;
    if (!fs_.Rename(tempPath_, fs_.Resolve(path_), err))
        return Fail(err);
    tempPath_.clear();
    return true;
}

} // namespace cli
