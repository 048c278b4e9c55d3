#pragma once
// The folder a capture is written into, reached once: its path is resolved when it is opened,
// and every later step names a file inside the folder held open, so that nothing done to the
// path meanwhile (a folder renamed, a link swapped) can send the file elsewhere.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ProfileFs.h"

namespace cli {

class OutputFolder {
public:
    virtual ~OutputFolder() = default;
    // The file a name leads to, a link not followed.
    virtual ProfileFileState Stat(const std::string& name) = 0;
    // Creates a file that must not exist yet, held by this process from before anyone else can
    // use it, until the writer is destroyed; a file whose holder is gone is abandoned. Null and
    // err set on failure.
    virtual std::unique_ptr<ProfileWriter> CreateHeld(const std::string& name, int& err) = 0;
    virtual bool Rename(const std::string& from, const std::string& to, int& err) = 0;
    virtual std::vector<std::string> List() = 0;
    // Removes a regular file made by CreateHeld whose holder is gone (this process's too).
    virtual void RemoveAbandoned(const std::string& name) = 0;
    // Gives the file the permissions and, when allowed, the owner of the state.
    virtual void CopyAttributes(const ProfileFileState& from, const std::string& name) = 0;
};

// Opens the folder of path and sets name to the file there that path leads to. A link as the
// last step is followed, so that the file it names is replaced and the link kept, but never one
// that lies in a shared folder (sticky and writable by all) and belongs to another user than
// the folder's owner or the one running the tool, as the system refuses too: another user may
// have planted it. Null and err set on failure.
std::unique_ptr<OutputFolder> OpenOutputFolder(const std::string& path, std::string& name,
                                               int& err);

// Opens the folder of an output path, as OpenOutputFolder does; tests give their own.
using FolderOpener =
    std::function<std::unique_ptr<OutputFolder>(const std::string& path, std::string& name,
                                                 int& err)>;

} // namespace cli
