// Any file content read and written by the private-profile engine: no crash, bounded memory,
// a written key reads back, another key is untouched, a leading byte-order mark is kept, and a
// second identical write is a no-op.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "PrivateProfile.h"

namespace {

// Files held in memory, so that every input runs without touching the disk.
class MemoryFs final : public ProfileFs {
public:
    std::map<std::string, std::string> Files;

    std::string Resolve(const std::string& path) override { return path; }
    ProfileFileState Stat(const std::string& path) override
    {
        ProfileFileState s;
        s.Exists = s.IsRegular = s.Writable = Files.count(path) > 0;
        s.Mode = 0644;
        return s;
    }
    std::unique_ptr<ProfileReader> OpenRead(const std::string& path) override
    {
        auto it = Files.find(path);
        if (it == Files.end())
            return nullptr;
        return std::make_unique<Reader>(it->second);
    }
    // One process: no other writer to hold off.
    std::unique_ptr<ProfileWriteLock> LockWrites(const std::string&) override { return nullptr; }
    std::unique_ptr<ProfileWriter> CreateNew(const std::string& path, int& err) override
    {
        if (Files.count(path)) {
            err = EEXIST;
            return nullptr;
        }
        return std::make_unique<Writer>(Files[path]);
    }
    std::unique_ptr<ProfileWriter> OpenTruncate(const std::string& path, int&) override
    {
        Files[path].clear();
        return std::make_unique<Writer>(Files[path]);
    }
    bool Rename(const std::string& from, const std::string& to, int&) override
    {
        Files[to] = std::move(Files[from]);
        Files.erase(from);
        return true;
    }
    void Remove(const std::string& path) override { Files.erase(path); }
    std::vector<std::string> List(const std::string&) override
    {
        std::vector<std::string> names;
        for (const auto& [name, content] : Files)
            names.push_back(name);
        return names;
    }
    void RemoveAbandoned(const std::string& path) override { Files.erase(path); }
    void CopyAttributes(const ProfileFileState&, const std::string&) override {}

private:
    class Reader final : public ProfileReader {
    public:
        explicit Reader(const std::string& data) : data_(data) {}
        std::size_t Read(char* buffer, std::size_t size) override
        {
            std::size_t n = std::min(size, data_.size() - pos_);
            std::memcpy(buffer, data_.data() + pos_, n);
            pos_ += n;
            return n;
        }
        bool Failed() const override { return false; }

    private:
        std::string data_;
        std::size_t pos_ = 0;
    };
    class Writer final : public ProfileWriter {
    public:
        explicit Writer(std::string& out) : out_(out) {}
        bool Write(const char* data, std::size_t size) override
        {
            out_.append(data, size);
            return true;
        }
        bool Close() override { return true; }
        int Error() const override { return 0; }

    private:
        std::string& out_;
    };
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    MemoryFs fs;
    ProfileEngine engine(fs);
    const std::string content(reinterpret_cast<const char*>(data), size);
    fs.Files["p.ini"] = content;

    for (const char* key : {"LPT001Addr", "k", "LPTPortAddrShowHexa"})
        (void)ProfileIntFromText(engine.ReadString("p.ini", "LptPortAddr", key, "d"), 0);
    (void)engine.ReadString("p.ini", "", "", "d");

    const std::string other = engine.ReadString("p.ini", "LptPortAddr", "k", "d");
    if (!engine.WriteString("p.ini", "LptPortAddr", "LPT001Addr", "888"))
        std::abort();
    if (engine.ReadString("p.ini", "LptPortAddr", "LPT001Addr", "d") != "888")
        std::abort();
    if (engine.ReadString("p.ini", "LptPortAddr", "k", "d") != other)
        std::abort(); // another key of the section is untouched
    const std::string once = fs.Files["p.ini"];
    if (content.rfind("\xEF\xBB\xBF", 0) == 0 && once.rfind("\xEF\xBB\xBF", 0) != 0)
        std::abort(); // a byte-order mark at the start stays there
    engine.WriteString("p.ini", "LptPortAddr", "LPT001Addr", "888");
    if (fs.Files["p.ini"] != once)
        std::abort(); // writing the same value again changes nothing
    return 0;
}
