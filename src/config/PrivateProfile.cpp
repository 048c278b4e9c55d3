#include "PrivateProfile.h"

#include <cerrno>
#include <atomic>
#include <cstdio>
#include <functional>
#include <limits>
#include <vector>

namespace {

constexpr std::size_t kChunk = 64 * 1024;
// Bytes of a line kept for its interpretation; a longer line is read past without storing it.
constexpr std::size_t kLineHeadMax = 64 * 1024;
// Largest file rewritten in place, the one case that holds the whole content in memory.
constexpr std::uint64_t kInPlaceMax = 64ull * 1024 * 1024;
const char kCrLf[] = "\r\n";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    return true;
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// A UTF-8 byte-order mark at the very start of a file belongs to no line; writes keep it.
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// One line of the file: byte offsets of its start, of the end of its text (before the line
// end) and of its end (after the line end), its line end, and its first bytes.
struct Line {
    std::uint64_t Begin = 0, TextEnd = 0, End = 0;
    std::string_view Eol;   // "\r\n", "\n", "\r", or empty at the end of the file
    std::string_view Head;  // at most kLineHeadMax bytes of the text
    bool Truncated = false; // the text is longer than Head
    char LastNonBlank = 0;  // last non-blank byte of the whole text, 0 when none
};

// Calls onLine for every line in order until it returns false. False on a read error.
bool ScanLines(ProfileReader& reader, const std::function<bool(const Line&)>& onLine)
{
    std::vector<char> buffer(kChunk);
    std::string head;
    head.reserve(256);
    Line line;
    std::uint64_t pos = 0;
    bool pendingCr = false;
    bool truncated = false;
    char lastNonBlank = 0;

    auto emit = [&](std::uint64_t textEnd, std::uint64_t end, std::string_view eol) {
        line.TextEnd = textEnd;
        line.End = end;
        line.Eol = eol;
        line.Head = head;
        line.Truncated = truncated;
        line.LastNonBlank = lastNonBlank;
        bool go = onLine(line);
        line.Begin = end;
        head.clear();
        truncated = false;
        lastNonBlank = 0;
        return go;
    };

    for (;;) {
        std::size_t n = reader.Read(buffer.data(), buffer.size());
        if (n == 0)
            break;
        for (std::size_t i = 0; i < n; ++i, ++pos) {
            char c = buffer[i];
            if (pendingCr) {
                pendingCr = false;
                if (c == '\n') {
                    if (!emit(line.TextEnd, pos + 1, "\r\n"))
                        return true;
                    continue;
                }
                if (!emit(line.TextEnd, pos, "\r"))
                    return true;
            }
            if (c == '\r') {
                line.TextEnd = pos;
                pendingCr = true;
            } else if (c == '\n') {
                if (!emit(pos, pos + 1, "\n"))
                    return true;
            } else {
                if (head.size() < kLineHeadMax)
                    head.push_back(c);
                else
                    truncated = true;
                if (!IsBlank(c))
                    lastNonBlank = c;
                if (pos + 1 == kUtf8Bom.size() && head == kUtf8Bom) {
                    head.clear();
                    lastNonBlank = 0;
                    line.Begin = pos + 1;
                }
            }
        }
    }
    if (reader.Failed())
        return false;
    if (pendingCr)
        emit(line.TextEnd, pos, "\r");
    else if (pos > line.Begin)
        emit(pos, pos, {});
    return true;
}

enum class LineKind { Blank, Comment, Section, Entry, Other };

struct ParsedLine {
    LineKind Kind = LineKind::Other;
    std::string_view Name;  // section or key name, trimmed
    std::string_view Value; // entry value, trimmed (within the head)
};

ParsedLine Parse(std::string_view text)
{
    ParsedLine p;
    std::string_view t = Trim(text);
    if (t.empty()) {
        p.Kind = LineKind::Blank;
    } else if (t.front() == ';') {
        p.Kind = LineKind::Comment;
    } else if (t.front() == '[' && t.find(']') != std::string_view::npos) {
        p.Kind = LineKind::Section;
        p.Name = Trim(t.substr(1, t.find(']') - 1));
    } else if (auto eq = t.find('='); eq != std::string_view::npos) {
        p.Kind = LineKind::Entry;
        p.Name = Trim(t.substr(0, eq));
        p.Value = Trim(t.substr(eq + 1));
    }
    return p;
}

// The value of an entry line as a read returns it.
std::string ReadValue(const Line& line, std::string_view value)
{
    if (value.size() >= 2 || (line.Truncated && !value.empty())) {
        char first = value.front();
        char last = line.Truncated ? line.LastNonBlank : value.back();
        if ((first == '"' || first == '\'') && last == first) {
            value.remove_prefix(1);
            if (!line.Truncated)
                value.remove_suffix(1);
        }
    }
    return std::string(value.substr(0, kProfileMaxValue));
}

// Where a write goes in an existing file.
struct WritePlan {
    bool SectionFound = false;
    bool KeyFound = false;
    std::uint64_t KeyBegin = 0, KeyTextEnd = 0; // the entry's text, replaced
    std::uint64_t InsertAt = 0;                 // end of the section's last non-blank line
    bool InsertAfterUnterminated = false;       // that line has no line end (end of file)
    std::uint64_t Size = 0;
    bool EndsUnterminated = false; // the file's last line has no line end
    std::string Eol = "\r\n";      // the file's first line end, for the lines a write adds
    bool EolSeen = false;
};

bool PlanWrite(ProfileReader& reader, const std::string& section, const std::string& key,
               WritePlan& plan)
{
    enum { Before, Inside, After } where = Before;
    return ScanLines(reader, [&](const Line& line) {
        plan.Size = line.End;
        plan.EndsUnterminated = line.End == line.TextEnd && line.End > line.Begin;
        if (!plan.EolSeen && !line.Eol.empty()) {
            plan.Eol = line.Eol;
            plan.EolSeen = true;
        }
        if (where == After)
            return true;
        ParsedLine p = Parse(line.Head);
        if (p.Kind == LineKind::Section) {
            if (where == Inside) {
                where = After;
            } else if (SameName(p.Name, section)) {
                where = Inside;
                plan.SectionFound = true;
                plan.InsertAt = line.End;
                plan.InsertAfterUnterminated = line.End == line.TextEnd;
            }
            return true;
        }
        if (where != Inside)
            return true;
        if (p.Kind != LineKind::Blank) {
            plan.InsertAt = line.End;
            plan.InsertAfterUnterminated = line.End == line.TextEnd;
        }
        if (p.Kind == LineKind::Entry && !plan.KeyFound && SameName(p.Name, key)) {
            plan.KeyFound = true;
            plan.KeyBegin = line.Begin;
            plan.KeyTextEnd = line.TextEnd;
        }
        return true;
    });
}

// The new file as pieces: bytes of the old file up to an offset, skips, inserted texts.
struct Piece {
    enum { CopyTo, SkipTo, Insert } Kind;
    std::uint64_t Offset = 0;
    std::string Text;
};

// Streams the pieces from a fresh read of the old file (or from nothing) into emit.
bool Produce(ProfileFs& fs, const std::string& path, const std::vector<Piece>& pieces,
             const std::function<bool(const char*, std::size_t)>& emit)
{
    std::unique_ptr<ProfileReader> reader;
    std::vector<char> buffer;
    std::uint64_t pos = 0;
    for (const Piece& piece : pieces) {
        if (piece.Kind == Piece::Insert) {
            if (!emit(piece.Text.data(), piece.Text.size()))
                return false;
            continue;
        }
        if (!reader) {
            reader = fs.OpenRead(path);
            if (!reader)
                return false;
            buffer.resize(kChunk);
        }
        bool toEnd = piece.Offset == std::numeric_limits<std::uint64_t>::max();
        while (toEnd || pos < piece.Offset) {
            std::size_t want = buffer.size();
            if (!toEnd && piece.Offset - pos < want)
                want = std::size_t(piece.Offset - pos);
            std::size_t n = reader->Read(buffer.data(), want);
            if (n == 0) {
                if (reader->Failed())
                    return false;
                break;
            }
            pos += n;
            if (piece.Kind == Piece::CopyTo && !emit(buffer.data(), n))
                return false;
        }
    }
    return true;
}

struct Output {
    std::vector<Piece> Pieces;
    std::uint64_t SizeHint = 0;
};

bool WriteOut(ProfileFs& fs, const std::string& path, const Output& out, int& err);

// True when the text can stand in a file line without changing the file's structure.
bool FitsOnALine(std::string_view s)
{
    return s.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

bool ValidNames(const std::string& section, const std::string& key, const std::string& value)
{
    if (!FitsOnALine(section) || !FitsOnALine(key) || !FitsOnALine(value))
        return false;
    if (Trim(section) != section || section.find(']') != std::string::npos)
        return false;
    if (key.empty() || Trim(key) != key || key.find('=') != std::string::npos || key[0] == ';' ||
        key[0] == '[')
        return false;
    return true;
}

constexpr std::uint64_t kEnd = std::numeric_limits<std::uint64_t>::max();

// A write's temporary file is the target's name, this tag and two decimal numbers joined by
// "-": the writing process's identifier and its count of temporary files ("t.ini.tmp1234-5").
constexpr const char kTempTag[] = ".tmp";

bool IsDigits(std::string_view s)
{
    return !s.empty() && s.size() <= 20 &&
           s.find_first_not_of("0123456789") == std::string_view::npos;
}

bool IsTemporaryOf(std::string_view name, std::string_view target)
{
    const std::string_view tag = kTempTag;
    if (name.size() <= target.size() + tag.size() || name.substr(0, target.size()) != target ||
        name.substr(target.size(), tag.size()) != tag)
        return false;
    std::string_view numbers = name.substr(target.size() + tag.size());
    auto dash = numbers.find('-');
    return dash != std::string_view::npos && IsDigits(numbers.substr(0, dash)) &&
           IsDigits(numbers.substr(dash + 1));
}

// A process stopped between writing a temporary file and renaming it leaves the file behind;
// the next write of the same target removes such files once no live writer holds them. No
// other name is ever touched.
void RemoveAbandonedTemporaries(ProfileFs& fs, const std::string& path)
{
    const auto slash = path.find_last_of("/\\");
    const std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string target = path.substr(dir.size());
    for (const std::string& name : fs.List(dir.empty() ? std::string(".") : dir))
        if (IsTemporaryOf(name, target))
            fs.RemoveAbandoned(dir + name);
}

} // namespace

std::string ProfileEngine::ReadString(const std::string& file, const std::string& section,
                                      const std::string& key, const std::string& defaultValue)
{
    auto reader = fs_.OpenRead(fs_.Resolve(file));
    if (!reader)
        return defaultValue;
    enum { Before, Inside } where = Before;
    std::optional<std::string> found;
    bool ok = ScanLines(*reader, [&](const Line& line) {
        ParsedLine p = Parse(line.Head);
        if (p.Kind == LineKind::Section) {
            if (where == Inside)
                return false; // only the first section of the name counts
            if (SameName(p.Name, section))
                where = Inside;
            return true;
        }
        if (where == Inside && p.Kind == LineKind::Entry && SameName(p.Name, key)) {
            found = ReadValue(line, p.Value);
            return false;
        }
        return true;
    });
    if (!ok && !found)
        return defaultValue;
    return found ? *found : defaultValue;
}

bool ProfileEngine::WriteString(const std::string& file, const std::string& section,
                                const std::string& key, const std::string& value)
{
    if (!ValidNames(section, key, value))
        return false;
    const std::string path = fs_.Resolve(file);
    // One writer at a time, from the read of the old content to the rename of the new, so
    // that no other process's new version slips in between.
    const auto lock = fs_.LockWrites(path);
    const ProfileFileState state = fs_.Stat(path);
    if (state.Exists && (!state.IsRegular || !state.Writable))
        return false;

    const std::string entry = key + "=" + value;
    Output out;
    if (!state.Exists) {
        out.Pieces.push_back({Piece::Insert, 0, "[" + section + "]" + kCrLf + entry + kCrLf});
    } else {
        auto reader = fs_.OpenRead(path);
        if (!reader)
            return false;
        WritePlan plan;
        if (!PlanWrite(*reader, section, key, plan))
            return false;
        out.SizeHint = plan.Size;
        if (plan.KeyFound) {
            out.Pieces.push_back({Piece::CopyTo, plan.KeyBegin, {}});
            out.Pieces.push_back({Piece::Insert, 0, entry});
            out.Pieces.push_back({Piece::SkipTo, plan.KeyTextEnd, {}});
        } else if (plan.SectionFound) {
            const std::string& eol = plan.Eol;
            out.Pieces.push_back({Piece::CopyTo, plan.InsertAt, {}});
            out.Pieces.push_back({Piece::Insert, 0,
                                  (plan.InsertAfterUnterminated ? eol : "") + entry + eol});
        } else {
            const std::string& eol = plan.Eol;
            out.Pieces.push_back({Piece::CopyTo, kEnd, {}});
            out.Pieces.push_back({Piece::Insert, 0,
                                  (plan.EndsUnterminated ? eol : "") + "[" + section + "]" +
                                      eol + entry + eol});
        }
        out.Pieces.push_back({Piece::CopyTo, kEnd, {}});
    }
    int err = 0;
    return WriteOut(fs_, path, out, err);
}

namespace {

bool WriteOut(ProfileFs& fs, const std::string& path, const Output& out, int& err)
{
    const ProfileFileState state = fs.Stat(path);
    if (state.Exists && (!state.IsRegular || !state.Writable)) {
        err = EACCES;
        return false;
    }

    RemoveAbandonedTemporaries(fs, path);

    // A temporary file beside the target, renamed over it once complete.
    static std::atomic<unsigned> counter {0};
    std::unique_ptr<ProfileWriter> temp;
    std::string tempPath;
    int createErr = 0;
    for (int attempt = 0; attempt < 16 && !temp; ++attempt) {
        char suffix[48];
        std::snprintf(suffix, sizeof suffix, "%s%lu-%u", kTempTag, CurrentProcessId(),
                      ++counter);
        tempPath = path + suffix;
        temp = fs.CreateNew(tempPath, createErr);
        if (!temp && createErr != EEXIST)
            break;
    }
    if (temp) {
        bool ok = Produce(fs, path, out.Pieces, [&](const char* d, std::size_t n) {
            return temp->Write(d, n);
        });
        if (!ok)
            err = temp->Error() ? temp->Error() : EIO;
        if (!temp->Close() && ok) {
            err = temp->Error();
            ok = false;
        }
        // The writer lives on until the file has its final name, so that the file never
        // looks abandoned to another process's write meanwhile.
        if (ok) {
            fs.CopyAttributes(state, tempPath);
            ok = fs.Rename(tempPath, path, err);
        }
        if (!ok)
            fs.Remove(tempPath);
        return ok;
    }

    // The directory takes no new file: rewrite the existing file in place, from its content
    // read in full before it is cut.
    if (!state.Exists) {
        err = createErr;
        return false;
    }
    if (out.SizeHint > kInPlaceMax) {
        err = EFBIG;
        return false;
    }
    std::string content;
    if (!Produce(fs, path, out.Pieces, [&](const char* d, std::size_t n) {
            if (content.size() + n > kInPlaceMax + 1024 * 1024)
                return false;
            content.append(d, n);
            return true;
        })) {
        err = EIO;
        return false;
    }
    // The old content too, so that a rewrite cut short (a full disk) can put it back: the
    // file is then either its old self or its new self.
    std::string old;
    if (!Produce(fs, path, {{Piece::CopyTo, kEnd, {}}}, [&](const char* d, std::size_t n) {
            if (old.size() + n > kInPlaceMax + 1024 * 1024)
                return false;
            old.append(d, n);
            return true;
        })) {
        err = EIO;
        return false;
    }
    const auto rewrite = [&](const std::string& text, int& error) {
        auto writer = fs.OpenTruncate(path, error);
        if (!writer)
            return false;
        bool ok = writer->Write(text.data(), text.size());
        if (!ok)
            error = writer->Error();
        if (!writer->Close() && ok) {
            error = writer->Error();
            ok = false;
        }
        return ok;
    };
    if (rewrite(content, err))
        return true;
    int restoreErr = 0;
    (void)rewrite(old, restoreErr); // the truncation freed the old content's space
    return false;
}

} // namespace

PrivateProfile& DefaultProfile()
{
    static ProfileEngine engine;
    return engine;
}

bool ProfileReplaceFile(ProfileFs& fs, const std::string& path, std::string_view content,
                        std::string& errorText)
{
    Output out;
    out.Pieces.push_back({Piece::Insert, 0, std::string(content)});
    int err = 0;
    const std::string target = fs.Resolve(path);
    const auto lock = fs.LockWrites(target);
    if (WriteOut(fs, target, out, err))
        return true;
    errorText = ProfileErrorText(err ? err : EIO);
    return false;
}

// ---- Value conversions ----

std::optional<std::int32_t> ProfileConvertInt(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;

    std::size_t prefix = 0;
    if (text[0] == '$' || text[0] == 'x' || text[0] == 'X')
        prefix = 1;
    else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        prefix = 2;
    if (prefix > 0) {
        std::string_view digits = text.substr(prefix);
        if (digits.empty() || digits.size() > 8)
            return std::nullopt;
        std::uint32_t v = 0;
        for (char c : digits) {
            int d;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            else
                return std::nullopt;
            v = (v << 4) | std::uint32_t(d);
        }
        return static_cast<std::int32_t>(v);
    }

    bool negative = false;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    std::int64_t v = 0;
    const std::int64_t limit = negative ? std::int64_t(1) << 31 : (std::int64_t(1) << 31) - 1;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        v = v * 10 + (c - '0');
        if (v > limit)
            return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -v : v);
}

std::int32_t ProfileIntFromText(std::string_view text, std::int32_t defaultValue)
{
    std::string rewritten;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        rewritten = "$";
        rewritten.append(text.substr(2));
        text = rewritten;
    }
    return ProfileConvertInt(text).value_or(defaultValue);
}

bool ProfileBoolFromText(std::string_view text, bool defaultValue)
{
    return ProfileIntFromText(text, defaultValue ? 1 : 0) != 0;
}

std::string ProfileIntToText(std::int64_t value) { return std::to_string(value); }

std::string ProfileBoolToText(bool value) { return value ? "1" : "0"; }

std::int32_t ReadProfileInteger(PrivateProfile& profile, const std::string& file,
                                const std::string& section, const std::string& key,
                                std::int32_t defaultValue)
{
    return ProfileIntFromText(profile.ReadString(file, section, key, ""), defaultValue);
}

bool ReadProfileBool(PrivateProfile& profile, const std::string& file, const std::string& section,
                     const std::string& key, bool defaultValue)
{
    return ReadProfileInteger(profile, file, section, key, defaultValue ? 1 : 0) != 0;
}

bool WriteProfileInteger(PrivateProfile& profile, const std::string& file,
                         const std::string& section, const std::string& key, std::int64_t value)
{
    return profile.WriteString(file, section, key, ProfileIntToText(value));
}

bool WriteProfileBool(PrivateProfile& profile, const std::string& file, const std::string& section,
                      const std::string& key, bool value)
{
    return profile.WriteString(file, section, key, ProfileBoolToText(value));
}
