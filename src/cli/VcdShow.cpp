#include "VcdShow.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <map>
#include <ostream>
#include <string_view>
#include <vector>

#include "CliText.h"

namespace cli {

namespace {

// The whole file's text; empty after a failure, with failed set.
std::string ReadAll(ProfileFs& files, const std::string& path, bool& failed)
{
    std::string text;
    const auto reader = files.OpenRead(path);
    failed = reader == nullptr;
    if (failed)
        return text;
    char buffer[64 * 1024];
    for (std::size_t n; (n = reader->Read(buffer, sizeof buffer)) > 0;)
        text.append(buffer, n);
    failed = reader->Failed();
    return text;
}

// The words of a text, separated by white space.
class Words {
public:
    explicit Words(std::string_view text) : text_(text) {}
    // The next word; empty at the end.
    std::string_view Next()
    {
        const auto space = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
        while (at_ < text_.size() && space(text_[at_]))
            ++at_;
        const std::size_t start = at_;
        while (at_ < text_.size() && !space(text_[at_]))
            ++at_;
        return text_.substr(start, at_ - start);
    }

private:
    std::string_view text_;
    std::size_t at_ = 0;
};

// The nanoseconds of one unit of the dump's times, as a multiplier or a divisor: "1ns",
// "10 us", "100ps". Zero for a declaration that is not one.
struct Timescale {
    std::int64_t Multiply = 0, Divide = 1;
};

Timescale ParseTimescale(const std::string& text)
{
    std::int64_t count = 0;
    const auto [unitAt, ec] = std::from_chars(text.data(), text.data() + text.size(), count);
    const std::string_view unit(unitAt, std::size_t(text.data() + text.size() - unitAt));
    if (ec != std::errc() || (count != 1 && count != 10 && count != 100))
        return {};
    static constexpr struct {
        std::string_view Name;
        Timescale Scale;
    } kUnits[] = {{"s", {1'000'000'000, 1}}, {"ms", {1'000'000, 1}}, {"us", {1'000, 1}},
                  {"ns", {1, 1}},            {"ps", {1, 1'000}},     {"fs", {1, 1'000'000}}};
    for (const auto& u : kUnits) {
        if (u.Name != unit)
            continue;
        Timescale scale = u.Scale;
        if (scale.Divide >= count)
            scale.Divide /= count;
        else
            scale.Multiply *= count;
        return scale;
    }
    return {};
}

class Shower {
public:
    explicit Shower(std::ostream& out) : out_(out) {}

    // Empty when the text is a dump and was printed; otherwise why not.
    std::string Show(std::string_view text)
    {
        Words words(text);
        for (std::string_view w = words.Next(); !w.empty(); w = words.Next()) {
            if (w[0] == '$') {
                if (!Declaration(w, words))
                    return "an unfinished " + std::string(w) + " declaration";
            } else if (!begun_) {
                return "a value before $enddefinitions";
            } else if (w[0] == '#') {
                if (!Time(w.substr(1)))
                    return "a time that is not a number past the one before: " + std::string(w);
            } else if (!Value(w, words)) {
                return "a value of an undeclared wire: " + std::string(w);
            }
        }
        if (!begun_)
            return "no $enddefinitions";
        EndLine();
        return {};
    }

private:
    // Reads a declaration up to its $end; the keywords that enclose values stand alone.
    bool Declaration(std::string_view keyword, Words& words)
    {
        if (keyword == "$dumpvars" || keyword == "$dumpall" || keyword == "$dumpon" ||
            keyword == "$dumpoff" || keyword == "$end")
            return true;
        std::vector<std::string_view> body;
        for (std::string_view w = words.Next(); w != "$end"; w = words.Next()) {
            if (w.empty())
                return false;
            body.push_back(w);
        }
        if (keyword == "$enddefinitions")
            begun_ = true;
        else if (keyword == "$var" && body.size() >= 4)
            names_[std::string(body[2])] = std::string(body[3]);
        else if (keyword == "$timescale") {
            std::string joined;
            for (std::string_view w : body)
                joined += w;
            scale_ = ParseTimescale(joined);
            if (scale_.Multiply == 0)
                return false;
        }
        return true;
    }

    bool Time(std::string_view digits)
    {
        std::int64_t t = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), t);
        if (ec != std::errc() || end != digits.data() + digits.size() || t < 0 ||
            t > std::numeric_limits<std::int64_t>::max() / scale_.Multiply)
            return false;
        const std::int64_t ns = t * scale_.Multiply / scale_.Divide;
        if (ns < ns_)
            return false;
        if (ns != ns_)
            EndLine();
        ns_ = ns;
        return true;
    }

    // "1A", "0A", "xA", "zA", or "b101 A" and "r1.5 A" for wider wires and reals.
    bool Value(std::string_view w, Words& words)
    {
        std::string_view level = w.substr(0, 1), id = w.substr(1);
        if (w[0] == 'b' || w[0] == 'B' || w[0] == 'r' || w[0] == 'R') {
            level = w;
            id = words.Next();
        }
        const auto name = names_.find(std::string(id));
        if (name == names_.end())
            return false;
        if (line_.empty()) {
            char seconds[kSecondsSize];
            line_.assign(seconds, std::size_t(SecondsInto(seconds, sizeof seconds, ns_)));
        }
        line_ += ' ';
        line_ += name->second;
        line_ += '=';
        line_ += level;
        return true;
    }

    void EndLine()
    {
        if (line_.empty())
            return;
        line_ += '\n';
        out_ << line_;
        line_.clear();
    }

    std::ostream& out_;
    std::map<std::string, std::string> names_; // wire identifier -> name
    Timescale scale_{1, 1};
    bool begun_ = false;
    std::int64_t ns_ = 0;
    std::string line_;
};

} // namespace

std::string ShowDump(ProfileFs& files, const std::string& path, std::ostream& out)
{
    bool failed = false;
    const std::string text = ReadAll(files, path, failed);
    if (failed)
        return "cannot read " + path;
    const std::string why = Shower(out).Show(text);
    return why.empty() ? why : path + ": not a Value Change Dump: " + why;
}

} // namespace cli
