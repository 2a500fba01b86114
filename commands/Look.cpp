// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// The look file: its keys are listed once, in VisitLook, which both the
// writer and the reader walk.
#include "commands/Look.h"

#include "toolkit/Intl.h"
#include "toolkit/Utf8.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <span>
#include <sys/stat.h>
#include <unistd.h>

namespace look {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kVersionKey = "velmia-look";
constexpr std::string_view kViews[] = {"portrait", "show"};
constexpr std::string_view kHairs[] = {"standard", "hidden", "long", "shaggy", "punk", "otohime"};
constexpr std::string_view kStrings[] = {"single", "thick", "w", "cross", "none"};
constexpr std::string_view kYesNo[] = {"no", "yes"};
constexpr std::string_view kFlowerPlaces[] = {"hair", "chest"};
constexpr std::string_view kEyes[] = {"open", "closed"};
constexpr std::string_view kHalves[] = {"lower", "upper"};
constexpr std::string_view kFileKeys[kPartSlots] = {"costume.file", "camisole.file", "hairband.file",
                                                    "flower.file",  "ribbon.file",   "choker.file"};
constexpr int kCells = 5;
constexpr int kMinShowGaps = 450;

// Every key of the file, in the order they are written. The visitor either
// writes the value or reads it.
template <class Visitor> void VisitFigure(Visitor& v, const std::string& p, FigureLook& f, const Limits& limits)
{
    v.Int(p + "face", 0, std::max(limits.FaceCount, 1) - 1, f.Face);
    v.Choice(p + "face.auto", kYesNo, f.FaceAuto);
    v.Int(p + "earring", 0, kCells - 1, f.Earring);
    v.Choice(p + "earring.auto", kYesNo, f.EarringAuto);
    v.Int(p + "earring-frame", 0, kCells - 1, f.EarringFrame);
    v.Int(p + "bracelet", 0, kCells - 1, f.Bracelet);
    v.Choice(p + "bracelet.auto", kYesNo, f.BraceletAuto);
    v.Choice(p + "bracelet.shown", kYesNo, f.BraceletShown);
    v.Choice(p + "hair", kHairs, f.HairStyle);
    v.Choice(p + "strings", kStrings, f.Strings);
    v.Choice(p + "camisole", kYesNo, f.Camisole);
    v.Choice(p + "ribbon", kYesNo, f.Ribbon);
    v.Choice(p + "hairband", kYesNo, f.Hairband);
    v.Choice(p + "flower", kYesNo, f.Flower);
    v.Choice(p + "flower.place", kFlowerPlaces, f.FlowerOnChest);
    v.Choice(p + "choker", kYesNo, f.Choker);
    v.Choice(p + "eyes", kEyes, f.EyesClosed);
    for (int slot = 0; slot < kPartSlots; ++slot)
        v.File(p + std::string(kFileKeys[slot]), f.Files[size_t(slot)]);
    v.Colour(p + "hem", f.Hem);
}

template <class Visitor> void VisitLook(Visitor& v, Look& look, const Limits& limits)
{
    v.Choice("view", kViews, look.ShownView);
    v.Int("scene", 0, 7, look.Scene);
    v.Choice("strawberries", kHalves, look.StrawberriesUpper);
    v.Int("pan", -400, 520, look.Pan);
    v.Int("show.left-gap", 10, 230, look.ShowLeftGap);
    v.Int("show.right-gap", 220, 440, look.ShowRightGap);
    v.File("scene-list", look.SceneList);
    for (int cell = 0; cell < kSceneColours; ++cell)
        v.Colour("scene-colour." + std::to_string(cell + 1), look.SceneColours[size_t(cell)]);
    VisitFigure(v, "", look.Main, limits);
    VisitFigure(v, "left.", look.Left, limits);
}

std::string ColourText(uint32_t colour)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "#";
    for (int shift : {0, 8, 16}) { // red, green, blue
        const unsigned byte = (colour >> shift) & 0xFF;
        out += kHex[byte >> 4];
        out += kHex[byte & 15];
    }
    return out;
}

struct Writer {
    std::string text;
    void Line(const std::string& key, std::string_view value)
    {
        text += key;
        text += " = ";
        text += value;
        text += '\n';
    }
    void Int(const std::string& key, int, int, const int32_t& value) { Line(key, std::to_string(value)); }
    template <class E> void Choice(const std::string& key, std::span<const std::string_view> names, const E& value)
    {
        Line(key, names[size_t(value)]);
    }
    void File(const std::string& key, const std::string& value)
    {
        if (!value.empty())
            Line(key, value);
    }
    void Colour(const std::string& key, const std::optional<uint32_t>& value)
    {
        if (value)
            Line(key, ColourText(*value));
    }
};

std::string_view Trim(std::string_view s)
{
    const auto space = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && space(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && space(s.back()))
        s.remove_suffix(1);
    return s;
}

bool IsUtf8Text(std::string_view text)
{
    while (!text.empty()) {
        char32_t c = 0;
        const size_t length = vcl::DecodeUtf8(text, c);
        if (length == 0 || (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F)
            return false;
        text.remove_prefix(length);
    }
    return true;
}

// A relative name may not climb out of the look's folder.
bool ClimbsOut(const std::string& name)
{
    const fs::path p(name);
    if (p.is_absolute())
        return false;
    return std::any_of(p.begin(), p.end(), [](const fs::path& part) { return part == ".."; });
}

struct Entry {
    std::string value;
    int line = 0;
    bool used = false;
};

// Takes each key's value out of the entries, keeping the first (lowest-line)
// problem it meets.
struct Reader {
    std::map<std::string, Entry, std::less<>>& entries;
    int errorLine = 0;
    std::string reason;

    Entry* Take(const std::string& key)
    {
        auto it = entries.find(key);
        if (it == entries.end())
            return nullptr;
        it->second.used = true;
        return &it->second;
    }
    void Fail(const Entry& e, std::string why)
    {
        if (errorLine == 0 || e.line < errorLine) {
            errorLine = e.line;
            reason = std::move(why);
        }
    }
    void Int(const std::string& key, int low, int high, int32_t& value)
    {
        Entry* e = Take(key);
        if (!e)
            return;
        std::string_view s = e->value;
        const bool negative = !s.empty() && s.front() == '-';
        if (negative)
            s.remove_prefix(1);
        long n = 0;
        bool ok = !s.empty() && s.size() <= 6 && s.find_first_not_of("0123456789") == std::string_view::npos;
        if (ok) {
            for (char c : s)
                n = n * 10 + (c - '0');
            n = negative ? -n : n;
            ok = n >= low && n <= high;
        }
        if (!ok)
            return Fail(*e, vcl::Format(_("\"%s\" needs a whole number from %s to %s, not \"%s\""), key,
                                        std::to_string(low), std::to_string(high), e->value));
        value = int32_t(n);
    }
    template <class E> void Choice(const std::string& key, std::span<const std::string_view> names, E& value)
    {
        Entry* e = Take(key);
        if (!e)
            return;
        for (size_t i = 0; i < names.size(); ++i)
            if (e->value == names[i]) {
                value = static_cast<E>(i);
                return;
            }
        std::string list;
        for (std::string_view name : names)
            list += (list.empty() ? "" : ", ") + std::string(name);
        Fail(*e, vcl::Format(_("\"%s\" needs one of %s, not \"%s\""), key, list, e->value));
    }
    void File(const std::string& key, std::string& value)
    {
        Entry* e = Take(key);
        if (!e)
            return;
        if (e->value.empty())
            return Fail(*e, vcl::Format(_("\"%s\" needs a file name"), key));
        if (ClimbsOut(e->value))
            return Fail(
                *e, vcl::Format(_("the file \"%s\" lies outside the look's folder (no .. in file names)"), e->value));
        value = e->value;
    }
    void Colour(const std::string& key, std::optional<uint32_t>& value)
    {
        Entry* e = Take(key);
        if (!e)
            return;
        const std::string& s = e->value;
        if (s.size() != 7 || s[0] != '#' || s.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos)
            return Fail(*e, vcl::Format(_("\"%s\" needs a colour written #RRGGBB, not \"%s\""), key, s));
        const uint32_t rgb = uint32_t(std::stoul(s.substr(1), nullptr, 16));
        value = ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
    }
};

std::string Problem(const std::string& path, int line, const std::string& reason)
{
    if (line > 0)
        return vcl::Format(_("The look file \"%s\" cannot be used: line %s: %s"), path, std::to_string(line), reason);
    return vcl::Format(_("The look file \"%s\" cannot be used: %s"), path, reason);
}

} // namespace

std::string Format(const Look& look)
{
    Writer w;
    w.Line(std::string(kVersionKey), std::to_string(kVersion));
    VisitLook(w, const_cast<Look&>(look), Limits{});
    return w.text;
}

namespace {

// The first "key = value" line names the version this program reads.
bool IsVersionLine(std::string_view key, const std::string& value, std::string& reason)
{
    if (key != kVersionKey) {
        reason = vcl::Format(_("the first line must be \"%s = %s\""), kVersionKey, std::to_string(kVersion));
        return false;
    }
    if (value != std::to_string(kVersion)) {
        reason = vcl::Format(_("version \"%s\" is not known (this program reads version %s)"), value,
                             std::to_string(kVersion));
        return false;
    }
    return true;
}

// The text's "key = value" lines, each key once, after the version line.
bool ReadEntries(std::string_view text, std::map<std::string, Entry, std::less<>>& entries, int& line,
                 std::string& reason)
{
    bool versionSeen = false;
    int number = 0;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        std::string_view raw = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        ++number;
        line = number;
        if (raw.size() > kMaxLineLength) {
            reason = vcl::Format(_("the line is longer than %s bytes"), std::to_string(kMaxLineLength));
            return false;
        }
        if (!raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);
        if (!IsUtf8Text(raw)) {
            reason = _("this is not UTF-8 text");
            return false;
        }
        const std::string_view content = Trim(raw);
        if (content.empty() || content.front() == '#')
            continue;
        const size_t eq = content.find('=');
        const std::string_view key = eq == std::string_view::npos ? std::string_view{} : Trim(content.substr(0, eq));
        if (key.empty()) {
            reason = _("this is not a \"key = value\" line");
            return false;
        }
        const std::string value(Trim(content.substr(eq + 1)));
        if (!versionSeen) {
            if (!IsVersionLine(key, value, reason))
                return false;
            versionSeen = true;
            continue;
        }
        if (!entries.emplace(std::string(key), Entry{value, number}).second) {
            reason = vcl::Format(_("\"%s\" is given twice"), key);
            return false;
        }
    }
    if (!versionSeen) {
        line = 0;
        reason = vcl::Format(_("it has no \"%s = %s\" line"), kVersionKey, std::to_string(kVersion));
        return false;
    }
    return true;
}

} // namespace

bool Parse(std::string_view text, const Limits& limits, Look& out, int& line, std::string& reason)
{
    line = 0;
    if (text.size() > kMaxFileSize) {
        reason = vcl::Format(_("it is larger than %s bytes"), std::to_string(kMaxFileSize));
        return false;
    }
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    std::map<std::string, Entry, std::less<>> entries;
    if (!ReadEntries(text, entries, line, reason))
        return false;
    Look look;
    Reader reader{entries, 0, {}};
    VisitLook(reader, look, limits);
    for (const auto& [key, entry] : entries)
        if (!entry.used)
            reader.Fail(entry, vcl::Format(_("unknown key \"%s\""), key));
    // The show's figures keep at least kMinShowGaps between them, as the keys do.
    if (look.ShowLeftGap + look.ShowRightGap < kMinShowGaps) {
        const auto right = entries.find("show.right-gap");
        const auto left = entries.find("show.left-gap");
        const Entry& at = right != entries.end() && (left == entries.end() || right->second.line > left->second.line)
                              ? right->second
                              : left->second;
        reader.Fail(at, vcl::Format(_("show.left-gap and show.right-gap together must be at least %s"),
                                    std::to_string(kMinShowGaps)));
    }
    if (reader.errorLine) {
        line = reader.errorLine;
        reason = reader.reason;
        return false;
    }
    out = std::move(look);
    line = 0;
    return true;
}

bool ReadFile(const std::string& path, const Limits& limits, Look& out, std::string& message)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        message = Problem(path, 0, std::strerror(errno));
        return false;
    }
    std::string text;
    std::string reason;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        reason = std::strerror(errno);
    } else if (!S_ISREG(st.st_mode)) {
        reason = _("it is not a regular file");
    } else if (st.st_size > off_t(kMaxFileSize)) {
        reason = vcl::Format(_("it is larger than %s bytes"), std::to_string(kMaxFileSize));
    } else {
        // Read one byte more than allowed: a file that grows meanwhile is refused too.
        text.resize(kMaxFileSize + 1);
        size_t got = 0;
        while (got < text.size()) {
            const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                reason = std::strerror(errno);
                break;
            }
            if (n == 0)
                break;
            got += size_t(n);
        }
        text.resize(got);
    }
    ::close(fd);
    if (!reason.empty()) {
        message = Problem(path, 0, reason);
        return false;
    }
    int line = 0;
    Look look;
    if (!Parse(text, limits, look, line, reason)) {
        message = Problem(path, line, reason);
        return false;
    }
    // File names are relative to the look's folder.
    std::error_code ec;
    const fs::path folder = fs::absolute(fs::path(path), ec).parent_path();
    auto resolve = [&folder](std::string& name) {
        if (!name.empty() && fs::path(name).is_relative())
            name = (folder / name).lexically_normal().string();
    };
    resolve(look.SceneList);
    for (FigureLook* f : {&look.Main, &look.Left})
        for (std::string& name : f->Files)
            resolve(name);
    out = std::move(look);
    return true;
}

std::string NameFor(const std::string& file, const std::string& folder)
{
    std::error_code ec;
    const fs::path f = fs::absolute(fs::path(file), ec).lexically_normal();
    const fs::path d = fs::absolute(fs::path(folder), ec).lexically_normal();
    const fs::path relative = f.lexically_relative(d);
    if (!relative.empty() && !ClimbsOut(relative.string()) && relative != ".")
        return relative.string();
    return f.string();
}

} // namespace look
