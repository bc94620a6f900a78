#include "platform/posix/registry_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/codepage.h"
#include "platform/text.h"

namespace regwiz::platform::posix {
namespace {

constexpr std::string_view kHeader = "REGEDIT4";
// regedit wraps hex lists so that no line, its "\" included, passes this column.
constexpr std::size_t kMaxColumn = 80;
constexpr std::string_view kIndent = "  ";

std::string_view HiveName(Hive hive)
{
    switch (hive) {
    case Hive::ClassesRoot:
        return "HKEY_CLASSES_ROOT";
    case Hive::CurrentUser:
        return "HKEY_CURRENT_USER";
    case Hive::LocalMachine:
        return "HKEY_LOCAL_MACHINE";
    case Hive::Users:
        return "HKEY_USERS";
    case Hive::CurrentConfig:
        return "HKEY_CURRENT_CONFIG";
    case Hive::DynData:
        return "HKEY_DYN_DATA";
    }
    return {};
}

long StatusOf(int error)
{
    if (error == EACCES || error == EPERM || error == EROFS)
        return status::AccessDenied;
    return status::RegistryIoFailed;
}

// ---- Text helpers ---------------------------------------------------------------------------

std::string_view TrimBackslashes(std::string_view s)
{
    while (!s.empty() && s.front() == '\\')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == '\\')
        s.remove_suffix(1);
    return s;
}

bool HasLineBreak(std::string_view s)
{
    return s.find_first_of("\r\n") != std::string_view::npos;
}

// Takes `prefix` (lower case) off the start of `s`, ignoring the case of `s`.
bool TakePrefix(std::string_view& s, std::string_view prefix)
{
    if (s.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = s[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i])
            return false;
    }
    s.remove_prefix(prefix.size());
    return true;
}

// A hex number of one to `maxDigits` digits at the start of `s`.
std::optional<std::uint32_t> TakeHex(std::string_view& s, std::size_t maxDigits)
{
    std::uint32_t value = 0;
    std::size_t n = 0;
    for (; n < maxDigits && n < s.size() && HexValue(s[n]) >= 0; ++n)
        value = value * 16 + static_cast<std::uint32_t>(HexValue(s[n]));
    if (n == 0)
        return std::nullopt;
    s.remove_prefix(n);
    return value;
}

constexpr char kHexDigits[] = "0123456789abcdef";

std::string HexNumber(std::uint32_t value, std::size_t minDigits)
{
    std::string out;
    do {
        out.insert(out.begin(), kHexDigits[value % 16]);
        value /= 16;
    } while (value != 0 || out.size() < minDigits);
    return out;
}

// Upper case of a key path as files and callers may spell it, for comparing.
std::string UpperPath(std::string_view ansiPath)
{
    while (!ansiPath.empty() && ansiPath.back() == '\\')
        ansiPath.remove_suffix(1);
    return UpperAnsi(ansiPath);
}

// ---- Lines ----------------------------------------------------------------------------------

class Lines {
public:
    explicit Lines(std::string_view text) : text_(text), lines_(SplitLines(text)) {}

    std::size_t Count() const { return lines_.size(); }
    const Line& At(std::size_t i) const { return lines_[i]; }
    std::string_view Text(std::size_t i) const { return TextOf(text_, lines_[i]); }

private:
    std::string_view text_;
    std::vector<Line> lines_;
};

// ---- Parsing --------------------------------------------------------------------------------

struct Value {
    std::string name; // as the file spells it
    std::string upperName;
    std::uint32_t type = 0;
    std::string data;
    std::size_t firstLine = 0;
    std::size_t lastLine = 0; // its last continuation line
};

struct Section {
    std::string upperPath; // empty when the "[" line is not a proper header
    std::size_t headerLine = 0;
    std::vector<Value> values;
};

struct Data {
    std::uint32_t type = 0;
    std::string bytes;
};

// A "..." string at the start of `s`; only \\ and \" are escapes, as regedit writes them.
std::optional<std::string> TakeQuoted(std::string_view& s)
{
    if (s.empty() || s.front() != '"')
        return std::nullopt;
    std::string text;
    for (std::size_t i = 1; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"') {
            s.remove_prefix(i + 1);
            return text;
        }
        if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"'))
            c = s[++i];
        text.push_back(c);
    }
    return std::nullopt;
}

std::optional<std::string> TakeName(std::string_view& s)
{
    if (!s.empty() && s.front() == '@') {
        s.remove_prefix(1);
        return std::string();
    }
    return TakeQuoted(s);
}

// "ff,00,..." from `rest` on, following a trailing "\" onto the next lines; `line` ends on
// the last line used.
std::optional<std::string> TakeHexList(std::string_view rest, const Lines& lines, std::size_t& line)
{
    std::string bytes;
    for (;;) {
        rest = TrimLeadingBlanks(rest);
        if (rest.empty())
            return bytes;
        if (rest.front() == '\\') {
            if (!TrimBlanks(rest.substr(1)).empty() || line + 1 >= lines.Count())
                return std::nullopt;
            rest = TrimBlanks(lines.Text(++line));
            // A list cut short before a blank line is a torn value, not a shorter one.
            if (rest.empty())
                return std::nullopt;
            continue;
        }
        const std::optional<std::uint32_t> byte = TakeHex(rest, 2);
        if (!byte)
            return std::nullopt;
        bytes.push_back(static_cast<char>(*byte));
        rest = TrimLeadingBlanks(rest);
        if (!rest.empty() && rest.front() == ',')
            rest.remove_prefix(1);
        else if (!rest.empty() && rest.front() != '\\')
            return std::nullopt;
    }
}

std::string LittleEndian(std::uint32_t value)
{
    std::string bytes;
    for (int i = 0; i < 4; ++i, value >>= 8)
        bytes.push_back(static_cast<char>(value & 0xFF));
    return bytes;
}

std::optional<Data> TakeData(std::string_view rest, const Lines& lines, std::size_t& line)
{
    if (!rest.empty() && rest.front() == '"') {
        std::optional<std::string> text = TakeQuoted(rest);
        if (!text || !TrimBlanks(rest).empty())
            return std::nullopt;
        text->push_back('\0');
        return Data{regtype::Sz, std::move(*text)};
    }
    if (TakePrefix(rest, "dword:")) {
        const std::optional<std::uint32_t> number = TakeHex(rest, 8);
        if (!number || !TrimBlanks(rest).empty())
            return std::nullopt;
        return Data{regtype::Dword, LittleEndian(*number)};
    }
    std::uint32_t type = regtype::Binary;
    if (TakePrefix(rest, "hex(")) {
        const std::optional<std::uint32_t> number = TakeHex(rest, 8);
        if (!number || !TakePrefix(rest, "):"))
            return std::nullopt;
        type = *number;
    } else if (!TakePrefix(rest, "hex:")) {
        return std::nullopt;
    }
    std::optional<std::string> bytes = TakeHexList(rest, lines, line);
    if (!bytes)
        return std::nullopt;
    return Data{type, std::move(*bytes)};
}

std::optional<Value> ParseValue(const Lines& lines, std::size_t first)
{
    std::string_view rest = TrimLeadingBlanks(lines.Text(first));
    const std::optional<std::string> name = TakeName(rest);
    if (!name)
        return std::nullopt;
    rest = TrimLeadingBlanks(rest);
    if (!TakePrefix(rest, "="))
        return std::nullopt;
    std::size_t last = first;
    std::optional<Data> data = TakeData(TrimLeadingBlanks(rest), lines, last);
    if (!data)
        return std::nullopt;
    return Value{*name, UpperAnsi(*name), data->type, std::move(data->bytes), first, last};
}

bool IsHeaderLine(std::string_view line)
{
    line = TrimLeadingBlanks(line);
    return !line.empty() && line.front() == '[';
}

std::string HeaderPath(std::string_view line)
{
    line = TrimBlanks(line);
    if (line.size() < 2 || line.back() != ']')
        return {};
    return UpperPath(line.substr(1, line.size() - 2));
}

// A hive file as far as it makes sense; whatever does not is skipped here and kept as it is
// when the file is rewritten.
class Document {
public:
    explicit Document(std::string_view text) : lines_(text)
    {
        for (std::size_t i = 0; i < lines_.Count(); ++i) {
            const std::string_view line = lines_.Text(i);
            if (IsHeaderLine(line)) {
                sections_.push_back({HeaderPath(line), i, {}});
                continue;
            }
            if (sections_.empty() || sections_.back().upperPath.empty())
                continue;
            if (std::optional<Value> value = ParseValue(lines_, i)) {
                i = value->lastLine;
                sections_.back().values.push_back(std::move(*value));
            }
        }
    }

    const Line& LineAt(std::size_t i) const { return lines_.At(i); }
    const std::vector<Section>& Sections() const { return sections_; }

    const Section* FindSection(std::string_view upperPath) const
    {
        for (const Section& section : sections_)
            if (section.upperPath == upperPath)
                return &section;
        return nullptr;
    }

    // Duplicates are legal in a hand-made file; the first one counts, as on import.
    const Value* FindValue(std::string_view upperPath, std::string_view upperName) const
    {
        for (const Section& section : sections_) {
            if (section.upperPath != upperPath)
                continue;
            for (const Value& value : section.values)
                if (value.upperName == upperName)
                    return &value;
        }
        return nullptr;
    }

    // Exported or hand-made files may leave out the sections of parent keys.
    bool KeyExists(std::string_view upperPath) const
    {
        for (const Section& section : sections_) {
            const std::string_view path = section.upperPath;
            if (path.starts_with(upperPath)
                && (path.size() == upperPath.size() || path[upperPath.size()] == '\\'))
                return true;
        }
        return false;
    }

    bool HasSubKeys(std::string_view upperPath) const
    {
        for (const Section& section : sections_) {
            const std::string_view path = section.upperPath;
            if (path.size() > upperPath.size() && path.starts_with(upperPath)
                && path[upperPath.size()] == '\\')
                return true;
        }
        return false;
    }

    // The bytes of each section of the key, from its header up to the next header (or the
    // end of the text): its values and whatever else is written under it. Last one first.
    std::vector<std::pair<std::size_t, std::size_t>> SectionSpans(std::string_view upperPath,
                                                                  std::size_t textSize) const
    {
        std::vector<std::pair<std::size_t, std::size_t>> spans;
        for (std::size_t i = sections_.size(); i-- > 0;) {
            if (sections_[i].upperPath != upperPath)
                continue;
            const std::size_t end =
                i + 1 < sections_.size() ? lines_.At(sections_[i + 1].headerLine).begin : textSize;
            spans.emplace_back(lines_.At(sections_[i].headerLine).begin, end);
        }
        return spans;
    }

private:
    Lines lines_;
    std::vector<Section> sections_;
};

// Whether the key can go: it must exist and have no subkeys.
long DeletableStatus(const Document& doc, std::string_view upperPath)
{
    if (!doc.KeyExists(upperPath))
        return status::FileNotFound;
    if (doc.HasSubKeys(upperPath))
        return status::AccessDenied;
    return status::Success;
}

// ---- Writing --------------------------------------------------------------------------------

// New lines follow the file's own line ends, so a hand-made LF file stays consistent.
std::string LineEnd(std::string_view text)
{
    const std::size_t newline = text.find('\n');
    if (newline != std::string_view::npos && (newline == 0 || text[newline - 1] != '\r'))
        return "\n";
    return "\r\n";
}

std::string Escaped(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == '"')
            out.push_back('\\');
        out.push_back(c);
    }
    return out;
}

std::string FormatName(std::string_view ansiName)
{
    return ansiName.empty() ? "@" : '"' + Escaped(ansiName) + '"';
}

// Quotes give back the text plus one NUL; anything else would not survive them.
bool IsPlainText(std::string_view data)
{
    if (data.empty() || data.back() != '\0')
        return false;
    data.remove_suffix(1);
    return data.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos;
}

std::uint32_t LittleEndianNumber(std::string_view bytes)
{
    std::uint32_t value = 0;
    for (std::size_t i = bytes.size(); i-- > 0;)
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

std::string HexList(std::string_view data, std::size_t column, std::string_view eol)
{
    std::string out;
    out.reserve(data.size() * 3 + data.size() / 8);
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i > 0) {
            out += ',';
            // Room for "xx," and the "\" that may follow it.
            if (++column + 4 > kMaxColumn) {
                out.append("\\").append(eol).append(kIndent);
                column = kIndent.size();
            }
        }
        const auto byte = static_cast<unsigned char>(data[i]);
        out.push_back(kHexDigits[byte >> 4]);
        out.push_back(kHexDigits[byte & 0x0F]);
        column += 2;
    }
    return out;
}

// The value's line, with its continuation lines but without a final line end.
std::string FormatValue(std::string_view ansiName, std::uint32_t type, std::string_view data,
                        std::string_view eol)
{
    std::string line = FormatName(ansiName) + '=';
    if (type == regtype::Sz && IsPlainText(data))
        return line + '"' + Escaped(data.substr(0, data.size() - 1)) + '"';
    if (type == regtype::Dword && data.size() == 4)
        return line + "dword:" + HexNumber(LittleEndianNumber(data), 8);
    line += type == regtype::Binary ? std::string("hex:") : "hex(" + HexNumber(type, 1) + "):";
    return line + HexList(data, line.size(), eol);
}

// regedit refuses a file that does not start with its signature.
void EnsureHeader(std::string& text, std::string_view eol)
{
    std::string_view first = std::string_view(text).substr(0, text.find('\n'));
    if (!first.empty() && first.back() == '\r')
        first.remove_suffix(1);
    if (first != kHeader)
        text.insert(0, std::string(kHeader).append(eol).append(eol));
}

bool EndsWithBlankLine(std::string_view text)
{
    if (text.empty() || text.back() != '\n')
        return false;
    text.remove_suffix(1);
    if (!text.empty() && text.back() == '\r')
        text.remove_suffix(1);
    return text.empty() || text.back() == '\n';
}

// `body` is the section's lines, each with its line end.
void AppendSection(std::string& text, std::string_view path, std::string_view body,
                   std::string_view eol)
{
    // A last line left without its end gets one that keeps it as it reads: after a
    // lone CR only CR LF does, since a CR before LF belongs to the line end.
    if (text.back() != '\n')
        text += text.back() == '\r' ? std::string_view("\r\n") : eol;
    if (!EndsWithBlankLine(text))
        text += eol;
    text.append("[").append(path).append("]").append(eol).append(body).append(eol);
}

void InsertAfter(std::string& text, const Line& line, std::string_view lines, std::string_view eol)
{
    if (line.next == line.end)
        text.insert(line.end, std::string(eol).append(lines));
    else
        text.insert(line.next, lines);
}

} // namespace

// `keyPath` is the key's full path in the file's code page.
std::string WithHiveValue(std::string text, std::string_view keyPath, std::string_view ansiName,
                          std::uint32_t type, std::string_view data)
{
    const std::string eol = LineEnd(text);
    EnsureHeader(text, eol);
    const std::string upperPath = UpperPath(keyPath);
    const Document doc(text);
    if (const Value* old = doc.FindValue(upperPath, UpperAnsi(ansiName))) {
        // The name keeps its spelling, as a value set in another case does on Windows.
        const std::string record = FormatValue(old->name, type, data, eol);
        const std::size_t begin = doc.LineAt(old->firstLine).begin;
        const std::size_t end = doc.LineAt(old->lastLine).end;
        return text.replace(begin, end - begin, record);
    }
    const std::string record = FormatValue(ansiName, type, data, eol);
    if (const Section* section = doc.FindSection(upperPath)) {
        const std::size_t after =
            section->values.empty() ? section->headerLine : section->values.back().lastLine;
        InsertAfter(text, doc.LineAt(after), record + eol, eol);
        return text;
    }
    AppendSection(text, keyPath, record + eol, eol);
    return text;
}

std::vector<HiveSection> ReadHiveText(std::string_view text)
{
    const Document doc(text);
    std::vector<HiveSection> sections;
    for (const Section& section : doc.Sections()) {
        if (section.upperPath.empty())
            continue;
        HiveSection& out = sections.emplace_back(HiveSection{section.upperPath, {}});
        for (const Value& value : section.values)
            out.values.push_back(HiveValue{value.name, value.type, value.data});
    }
    return sections;
}

std::optional<HiveValue> FindHiveValue(std::string_view text, std::string_view keyPath,
                                       std::string_view ansiName)
{
    const Document doc(text);
    const Value* value = doc.FindValue(UpperPath(keyPath), UpperAnsi(ansiName));
    if (!value)
        return std::nullopt;
    return HiveValue{value->name, value->type, value->data};
}

namespace {

// The text without the value's record; every other byte stays.
std::optional<std::string> WithoutValue(std::string text, std::string_view keyPath,
                                        std::string_view ansiName)
{
    const Document doc(text);
    const Value* old = doc.FindValue(UpperPath(keyPath), UpperAnsi(ansiName));
    if (old == nullptr)
        return std::nullopt;
    const std::size_t begin = doc.LineAt(old->firstLine).begin;
    const std::size_t end = doc.LineAt(old->lastLine).next;
    return text.erase(begin, end - begin);
}

// The text without the key's sections; every other byte stays.
std::string WithoutKey(std::string text, std::string_view upperPath)
{
    const Document doc(text);
    for (const auto& [begin, end] : doc.SectionSpans(upperPath, text.size()))
        text.erase(begin, end - begin);
    return text;
}

// One section per missing level, as regedit exports a key, so that the parents show up as
// keys of their own even where only their children were written before.
std::optional<std::string> WithKey(std::string text, std::string_view hiveName,
                                   std::string_view keyPath)
{
    const std::string eol = LineEnd(text);
    EnsureHeader(text, eol);
    std::vector<std::string_view> missing;
    {
        const Document doc(text);
        if (doc.KeyExists(UpperPath(keyPath)))
            return std::nullopt;
        std::size_t cut = hiveName.size();
        do {
            cut = keyPath.find('\\', cut + 1);
            const std::string_view level = keyPath.substr(0, cut);
            if (!doc.FindSection(UpperPath(level)))
                missing.push_back(level);
        } while (cut != std::string_view::npos);
    }
    for (std::string_view level : missing)
        AppendSection(text, level, "", eol);
    return text;
}

std::string FullPath(Hive hive, std::string_view subKey)
{
    std::string path(HiveName(hive));
    if (!subKey.empty())
        path.append("\\").append(ToAnsi(subKey));
    return path;
}

} // namespace

RegistryFiles::RegistryFiles(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::filesystem::path RegistryFiles::DefaultFolder()
{
    if (const char* own = std::getenv("QUORVALE_REGISTRY"); own && *own)
        return own;
    std::filesystem::path config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
        config = xdg;
    } else {
        const char* home = std::getenv("HOME");
        config = std::filesystem::path(home ? home : "") / ".config";
    }
    return config / "quorvale" / "registry";
}

std::filesystem::path RegistryFiles::HiveFile(Hive hive) const
{
    return folder_ / (std::string(HiveName(hive)) + ".reg");
}

long RegistryFiles::OpenKey(Hive hive, std::string_view subKey, KeyAccess access, KeyHandle& key)
{
    if (HiveName(hive).empty())
        return status::InvalidHandle;
    const std::string_view path = TrimBackslashes(subKey);
    if (!path.empty()) {
        std::string text;
        if (const long rc = ReadHive(hive, text); rc != status::Success)
            return rc;
        if (!Document(text).KeyExists(UpperPath(FullPath(hive, path))))
            return status::FileNotFound;
    }
    key = Remember(hive, path, access);
    return status::Success;
}

long RegistryFiles::CreateKey(Hive hive, std::string_view subKey, KeyHandle& key)
{
    if (HiveName(hive).empty())
        return status::InvalidHandle;
    const std::string_view path = TrimBackslashes(subKey);
    if (HasLineBreak(path))
        return status::InvalidParameter;
    if (!path.empty()) {
        if (const long rc = EnsureKey(hive, path); rc != status::Success)
            return rc;
    }
    key = Remember(hive, path, KeyAccess::SetValueAndCreateSubKey);
    return status::Success;
}

long RegistryFiles::QueryValue(KeyHandle key, std::string_view name, std::uint32_t& type,
                               std::span<std::uint8_t> buffer, std::uint32_t& size)
{
    const OpenedKey* opened = Find(key);
    if (!opened)
        return status::InvalidHandle;
    std::string text;
    if (const long rc = ReadHive(opened->hive, text); rc != status::Success)
        return rc;
    const std::optional<HiveValue> value =
        FindHiveValue(text, FullPath(opened->hive, opened->path), ToAnsi(name));
    if (!value)
        return status::FileNotFound;
    type = value->type;
    size = static_cast<std::uint32_t>(value->data.size());
    if (buffer.size() < value->data.size())
        return status::MoreData;
    std::copy(value->data.begin(), value->data.end(), buffer.begin());
    return status::Success;
}

long RegistryFiles::SetValue(KeyHandle key, std::string_view name, std::uint32_t type,
                             std::span<const std::uint8_t> data)
{
    const OpenedKey* opened = Find(key);
    if (!opened)
        return status::InvalidHandle;
    if (opened->access != KeyAccess::SetValueAndCreateSubKey)
        return status::AccessDenied;
    const std::string ansiName = ToAnsi(name);
    if (HasLineBreak(ansiName))
        return status::InvalidParameter;
    const std::string keyPath = FullPath(opened->hive, opened->path);
    const std::string_view bytes(reinterpret_cast<const char*>(data.data()), data.size());
    return UpdateHive(opened->hive, [&](const std::optional<std::string>& current) {
        return std::optional<std::string>(
            WithHiveValue(current.value_or(""), keyPath, ansiName, type, bytes));
    });
}

long RegistryFiles::CloseKey(KeyHandle key)
{
    return opened_.erase(key) != 0 ? status::Success : status::InvalidHandle;
}

long RegistryFiles::DeleteValue(Hive hive, std::string_view subKey, std::string_view name)
{
    if (HiveName(hive).empty())
        return status::InvalidHandle;
    const std::string keyPath = FullPath(hive, TrimBackslashes(subKey));
    const std::string ansiName = ToAnsi(name);
    bool found = false;
    const long rc = UpdateHive(hive, [&](const std::optional<std::string>& current) {
        std::optional<std::string> changed =
            current ? WithoutValue(*current, keyPath, ansiName) : std::nullopt;
        found = changed.has_value();
        return changed;
    });
    return rc != status::Success ? rc : found ? status::Success : status::FileNotFound;
}

// Checked before taking the lock, so that a key that cannot go needs no write access; checked
// again under the lock, where the file may have changed meanwhile.
long RegistryFiles::DeleteKey(Hive hive, std::string_view subKey)
{
    if (HiveName(hive).empty())
        return status::InvalidHandle;
    const std::string_view path = TrimBackslashes(subKey);
    if (path.empty())
        return status::InvalidParameter;
    const std::string upperPath = UpperPath(FullPath(hive, path));
    std::string text;
    if (const long rc = ReadHive(hive, text); rc != status::Success)
        return rc;
    long result = DeletableStatus(Document(text), upperPath);
    if (result != status::Success)
        return result;
    const long rc = UpdateHive(hive, [&](const std::optional<std::string>& current) {
        result = DeletableStatus(Document(current.value_or("")), upperPath);
        if (result != status::Success)
            return std::optional<std::string>();
        return std::optional<std::string>(WithoutKey(*current, upperPath));
    });
    return rc != status::Success ? rc : result;
}

const RegistryFiles::OpenedKey* RegistryFiles::Find(KeyHandle key) const
{
    const auto it = opened_.find(key);
    return it == opened_.end() ? nullptr : &it->second;
}

KeyHandle RegistryFiles::Remember(Hive hive, std::string_view path, KeyAccess access)
{
    const KeyHandle key = nextHandle_++;
    opened_[key] = OpenedKey{hive, std::string(path), access};
    return key;
}

long RegistryFiles::ReadHive(Hive hive, std::string& text) const
{
    int error = 0;
    std::optional<std::string> content = ReadWholeFile(HiveFile(hive), error);
    if (error != 0)
        return StatusOf(error);
    text = std::move(content).value_or("");
    return status::Success;
}

long RegistryFiles::UpdateHive(Hive hive, const FileChange& change)
{
    std::error_code error;
    // A folder made here is its owner's alone, like the hive files in it.
    if (std::filesystem::create_directories(folder_, error))
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::replace, error);
    if (error)
        return StatusOf(error.value());
    const int rc = UpdateFile(HiveFile(hive), change);
    return rc == 0 ? status::Success : StatusOf(rc);
}

// Checked before taking the lock, so that opening an existing key needs no write access.
long RegistryFiles::EnsureKey(Hive hive, std::string_view path)
{
    std::string text;
    if (const long rc = ReadHive(hive, text); rc != status::Success)
        return rc;
    const std::string keyPath = FullPath(hive, path);
    if (Document(text).KeyExists(UpperPath(keyPath)))
        return status::Success;
    return UpdateHive(hive, [&](const std::optional<std::string>& current) {
        return WithKey(current.value_or(""), HiveName(hive), keyPath);
    });
}

} // namespace regwiz::platform::posix
