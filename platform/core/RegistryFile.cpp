#include "platform/core/RegistryFile.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

namespace kw {

namespace {

constexpr RegStatus InvalidParameter = 87;  // ERROR_INVALID_PARAMETER
constexpr std::string_view Signature = "REGEDIT4";
constexpr std::string_view LineEnd = "\r\n";
// The registry editor breaks hex data once a line passes this column, which
// keeps every line within 80 columns including the trailing backslash.
constexpr std::size_t WrapColumn = 76;
constexpr std::string_view ContinuationIndent = "  ";

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size()
        && std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char a, char b) { return LowerAscii(a) == LowerAscii(b); });
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = LowerAscii(c);
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// 1 to 8 hex digits, nothing else.
std::optional<std::uint32_t> ParseHexNumber(std::string_view digits)
{
    if (digits.empty() || digits.size() > 8)
        return std::nullopt;
    std::uint32_t value = 0;
    for (char c : digits) {
        const int digit = HexDigitValue(c);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return value;
}

std::vector<std::string_view> SplitComponents(std::string_view path)
{
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = path.find('\\', start);
        parts.push_back(path.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

bool IsValidKeyPath(std::string_view path)
{
    const auto parts = SplitComponents(path);
    return std::none_of(parts.begin(), parts.end(), [](std::string_view part) {
        return part.empty() || part.find_first_of("\r\n") != std::string_view::npos;
    });
}

// ----- reading -----

// Lines split at LF, each without its CR, so LF-only files read the same.
std::vector<std::string_view> SplitLines(std::string_view bytes)
{
    std::vector<std::string_view> lines;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos)
            break;
        bytes.remove_prefix(end + 1);
    }
    return lines;
}

// A quoted name or text starting at text[pos]; moves pos past the closing quote.
// Only \\ and \" are escapes: anything else after a backslash is not ours to guess.
std::optional<std::string> ParseQuoted(std::string_view text, std::size_t& pos)
{
    if (pos >= text.size() || text[pos] != '"')
        return std::nullopt;
    std::string result;
    for (++pos; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c == '"') {
            ++pos;
            return result;
        }
        if (c == '\\') {
            if (++pos >= text.size() || (text[pos] != '\\' && text[pos] != '"'))
                return std::nullopt;
        }
        result += text[pos];
    }
    return std::nullopt;
}

// "xx,xx,..." with exactly two hex digits per byte; empty is no bytes.
std::optional<std::string> ParseHexBytes(std::string_view list)
{
    std::string bytes;
    if (Trim(list).empty())
        return bytes;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = list.find(',', start);
        const std::string_view item = Trim(list.substr(start, end == std::string_view::npos ? end : end - start));
        if (item.size() != 2 || HexDigitValue(item[0]) < 0 || HexDigitValue(item[1]) < 0)
            return std::nullopt;
        bytes += static_cast<char>(HexDigitValue(item[0]) * 16 + HexDigitValue(item[1]));
        if (end == std::string_view::npos)
            return bytes;
        start = end + 1;
    }
}

struct TypedData {
    std::uint32_t type;
    std::string data;
};

// The right-hand side of a value line.
std::optional<TypedData> ParseData(std::string_view text)
{
    if (!text.empty() && text.front() == '"') {
        std::size_t pos = 0;
        auto value = ParseQuoted(text, pos);
        if (!value || pos != text.size())
            return std::nullopt;
        return TypedData{REG_SZ_TYPE, *value + '\0'};
    }
    if (StartsWithIgnoringCase(text, "dword:")) {
        const auto number = ParseHexNumber(text.substr(6));
        if (!number)
            return std::nullopt;
        std::string data(4, '\0');
        for (std::size_t i = 0; i < 4; ++i)
            data[i] = static_cast<char>((*number >> (8 * i)) & 0xffu);
        return TypedData{REG_DWORD_TYPE, data};
    }
    if (!StartsWithIgnoringCase(text, "hex"))
        return std::nullopt;
    text.remove_prefix(3);
    std::uint32_t type = REG_BINARY_TYPE;
    if (!text.empty() && text.front() == '(') {
        const std::size_t close = text.find(')');
        if (close == std::string_view::npos)
            return std::nullopt;
        const auto number = ParseHexNumber(text.substr(1, close - 1));
        if (!number)
            return std::nullopt;
        type = *number;
        text.remove_prefix(close + 1);
    }
    if (text.empty() || text.front() != ':')
        return std::nullopt;
    auto bytes = ParseHexBytes(text.substr(1));
    if (!bytes)
        return std::nullopt;
    return TypedData{type, std::move(*bytes)};
}

class Parser {
public:
    explicit Parser(std::string_view bytes) : lines_(SplitLines(bytes)) {}

    std::optional<Hive> Run()
    {
        if (lines_.empty() || Trim(lines_[0]) != Signature)
            return std::nullopt;
        for (next_ = 1; next_ < lines_.size();) {
            if (!ParseLine(Trim(lines_[next_++])))
                return std::nullopt;
        }
        return std::move(hive_);
    }

private:
    bool ParseLine(std::string_view line)
    {
        if (line.empty() || line.front() == ';')
            return true;
        if (line.front() == '[')
            return ParseHeader(line);
        if (line.front() == '@' || line.front() == '"')
            return ParseValue(WithContinuations(line));
        return false;
    }

    // Deletion headers ("[-key]") are refused rather than applied or ignored:
    // a hive that asks for something we would not do is not ours to rewrite.
    bool ParseHeader(std::string_view line)
    {
        if (line.size() < 3 || line.back() != ']' || line[1] == '-')
            return false;
        const std::string path(line.substr(1, line.size() - 2));
        if (!IsValidKeyPath(path))
            return false;
        hive_.CreateKey(path);  // the key's ancestors, as an import would create them
        current_ = hive_.FindKey(path);
        if (!current_) {  // a header for a root key itself
            hive_.keys.push_back(HiveKey{path, {}});
            current_ = &hive_.keys.back();
        }
        return true;
    }

    // Hex data may go on over lines ending in a backslash.
    std::string WithContinuations(std::string_view line)
    {
        std::string joined(line);
        while (!joined.empty() && joined.back() == '\\') {
            if (next_ >= lines_.size())
                return {};  // continued past the end: rejected as unparseable
            joined.pop_back();
            joined += Trim(lines_[next_++]);
        }
        return joined;
    }

    // Deletion lines ("x"=-) are refused for the same reason as deletion headers.
    bool ParseValue(std::string_view line)
    {
        if (!current_ || line.empty())
            return false;
        std::string name;
        std::size_t pos = 1;
        if (line.front() == '"') {
            pos = 0;
            auto quoted = ParseQuoted(line, pos);
            if (!quoted)
                return false;
            name = std::move(*quoted);
        }
        const std::string_view rest = Trim(line.substr(pos));
        if (rest.empty() || rest.front() != '=')
            return false;
        const auto data = ParseData(Trim(rest.substr(1)));
        if (!data)
            return false;
        current_->SetValue(name, data->type, data->data);
        return true;
    }

    std::vector<std::string_view> lines_;
    std::size_t next_ = 0;
    Hive hive_;
    HiveKey* current_ = nullptr;  // points into hive_.keys, which only grows at a header
};

// ----- writing -----

std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + '"';
}

// The plain "text" form says "text plus one NUL"; a line break in it could not be read back.
bool HasPlainForm(const HiveValue& value)
{
    const std::string& data = value.data;
    return value.type == REG_SZ_TYPE && !data.empty() && data.back() == '\0'
        && data.find_first_of(std::string_view("\0\r\n", 3)) == data.size() - 1;
}

std::string HexByte(unsigned char byte)
{
    constexpr std::string_view digits = "0123456789abcdef";
    return {digits[byte >> 4], digits[byte & 0xfu]};
}

std::string HexTypePrefix(std::uint32_t type)
{
    if (type == REG_BINARY_TYPE)
        return "hex:";
    std::string digits;
    do {
        digits.insert(digits.begin(), HexByte(static_cast<unsigned char>(type & 0xfu))[1]);
        type >>= 4;
    } while (type != 0);
    return "hex(" + digits + "):";
}

void AppendHexData(std::string& out, std::size_t column, const std::string& data)
{
    for (std::size_t i = 0; i < data.size(); ++i) {
        out += HexByte(static_cast<unsigned char>(data[i]));
        column += 2;
        if (i + 1 == data.size())
            break;
        out += ',';
        ++column;
        if (column > WrapColumn) {
            out += '\\';
            out += LineEnd;
            out += ContinuationIndent;
            column = ContinuationIndent.size();
        }
    }
}

std::string DwordText(const std::string& data)
{
    std::string text;
    for (std::size_t i = 4; i-- > 0;)
        text += HexByte(static_cast<unsigned char>(data[i]));
    return text;
}

std::string ValueLine(const HiveValue& value)
{
    std::string line = value.name.empty() ? "@=" : Quoted(value.name) + "=";
    if (HasPlainForm(value))
        return line + Quoted(value.data.substr(0, value.data.size() - 1));
    if (value.type == REG_DWORD_TYPE && value.data.size() == 4)
        return line + "dword:" + DwordText(value.data);
    line += HexTypePrefix(value.type);
    AppendHexData(line, line.size(), value.data);
    return line;
}

} // namespace

bool EqualsIgnoringAsciiCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && StartsWithIgnoringCase(a, b);
}

const HiveValue* HiveKey::FindValue(const std::string& name) const
{
    const auto found = std::find_if(values.begin(), values.end(),
                                    [&name](const HiveValue& v) { return EqualsIgnoringAsciiCase(v.name, name); });
    return found == values.end() ? nullptr : &*found;
}

HiveValue* HiveKey::FindValue(const std::string& name)
{
    return const_cast<HiveValue*>(std::as_const(*this).FindValue(name));
}

bool HiveKey::SetValue(const std::string& name, std::uint32_t type, const std::string& data)
{
    HiveValue* existing = FindValue(name);
    if (!existing) {
        values.push_back(HiveValue{name, type, data});
        return true;
    }
    if (existing->type == type && existing->data == data)
        return false;
    existing->type = type;
    existing->data = data;
    return true;
}

bool HiveKey::RemoveValue(const std::string& name)
{
    return std::erase_if(values, [&name](const HiveValue& v) { return EqualsIgnoringAsciiCase(v.name, name); }) > 0;
}

const HiveKey* Hive::FindKey(const std::string& path) const
{
    const auto found = std::find_if(keys.begin(), keys.end(),
                                    [&path](const HiveKey& k) { return EqualsIgnoringAsciiCase(k.path, path); });
    return found == keys.end() ? nullptr : &*found;
}

HiveKey* Hive::FindKey(const std::string& path)
{
    return const_cast<HiveKey*>(std::as_const(*this).FindKey(path));
}

bool Hive::CreateKey(const std::string& path)
{
    bool created = false;
    for (std::size_t cut = path.find('\\'); cut != std::string::npos; cut = path.find('\\', cut + 1)) {
        const std::size_t next = path.find('\\', cut + 1);
        const std::string prefix = path.substr(0, next);
        if (!FindKey(prefix)) {
            keys.push_back(HiveKey{prefix, {}});
            created = true;
        }
    }
    return created;
}

std::optional<std::string> RootKeyPath(RegHandle root)
{
    if (root == HKEY_LOCAL_MACHINE_HANDLE)
        return "HKEY_LOCAL_MACHINE";
    return std::nullopt;
}

RegHandle KeyHandleTable::Open(const std::string& path)
{
    const RegHandle key = next_++;
    paths_.emplace(key, path);
    return key;
}

std::optional<std::string> KeyHandleTable::PathOf(RegHandle key) const
{
    if (auto root = RootKeyPath(key))
        return root;
    const auto found = paths_.find(key);
    if (found == paths_.end())
        return std::nullopt;
    return found->second;
}

std::optional<std::string> JoinKeyPath(const std::string& parent, const std::string& subKey)
{
    if (subKey.empty())
        return parent;
    if (!IsValidKeyPath(subKey))
        return std::nullopt;
    return parent + '\\' + subKey;
}

bool IsStorableValueName(const std::string& name)
{
    return name.find_first_of("\r\n") == std::string::npos;
}

RegStatus QueryStoredValue(const HiveValue* value, std::uint32_t* type, unsigned char* data,
                           std::uint32_t* size)
{
    if (data && !size)
        return InvalidParameter;
    if (!value)
        return REG_FILE_NOT_FOUND;
    const auto needed = static_cast<std::uint32_t>(value->data.size());
    if (type)
        *type = value->type;
    if (!data) {
        if (size)
            *size = needed;
        return REG_OK;
    }
    const bool fits = *size >= needed;
    *size = needed;
    if (!fits)
        return REG_MORE_DATA;
    std::memcpy(data, value->data.data(), needed);
    return REG_OK;
}

namespace RegistryFile {

std::optional<Hive> Parse(const std::string& bytes)
{
    return Parser(bytes).Run();
}

std::string Serialize(const Hive& hive)
{
    std::string out(Signature);
    out += LineEnd;
    out += LineEnd;
    for (const HiveKey& key : hive.keys) {
        out += "[" + key.path + "]";
        out += LineEnd;
        for (const HiveValue& value : key.values) {
            out += ValueLine(value);
            out += LineEnd;
        }
        out += LineEnd;
    }
    return out;
}

} // namespace RegistryFile

} // namespace kw
