#include "editor/RtfReader.h"

#include <algorithm>
#include <array>
#include <limits>
#include <map>
#include <utility>

namespace kw {
namespace {

// The upper halves of the single-byte code pages we decode; bytes a code
// page leaves undefined stand for the C1 control of the same value, so that
// no byte is lost.
using CodePage = std::array<char16_t, 128>;

constexpr CodePage kCp1250 = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};
constexpr CodePage kCp1251 = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};
constexpr CodePage kCp1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,
    0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7,
    0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7,
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,
};
constexpr CodePage kCp1253 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x0088, 0x2030, 0x008A, 0x2039, 0x008C, 0x008D, 0x008E, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x009A, 0x203A, 0x009C, 0x009D, 0x009E, 0x009F,
    0x00A0, 0x0385, 0x0386, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x2015,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x0384, 0x00B5, 0x00B6, 0x00B7,
    0x0388, 0x0389, 0x038A, 0x00BB, 0x038C, 0x00BD, 0x038E, 0x038F,
    0x0390, 0x0391, 0x0392, 0x0393, 0x0394, 0x0395, 0x0396, 0x0397,
    0x0398, 0x0399, 0x039A, 0x039B, 0x039C, 0x039D, 0x039E, 0x039F,
    0x03A0, 0x03A1, 0x00D2, 0x03A3, 0x03A4, 0x03A5, 0x03A6, 0x03A7,
    0x03A8, 0x03A9, 0x03AA, 0x03AB, 0x03AC, 0x03AD, 0x03AE, 0x03AF,
    0x03B0, 0x03B1, 0x03B2, 0x03B3, 0x03B4, 0x03B5, 0x03B6, 0x03B7,
    0x03B8, 0x03B9, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BE, 0x03BF,
    0x03C0, 0x03C1, 0x03C2, 0x03C3, 0x03C4, 0x03C5, 0x03C6, 0x03C7,
    0x03C8, 0x03C9, 0x03CA, 0x03CB, 0x03CC, 0x03CD, 0x03CE, 0x00FF,
};

// Windows-1252 stands in for every code page we do not know.
const CodePage& CodePageFor(int number)
{
    switch (number) {
    case 1250: return kCp1250;
    case 1251: return kCp1251;
    case 1253: return kCp1253;
    default: return kCp1252;
    }
}

// A font's \fcharset overrides the document's code page for \'hh in that font.
std::optional<int> CodePageOfCharset(int charset)
{
    switch (charset) {
    case 161: return 1253; // Greek
    case 204: return 1251; // Cyrillic
    case 238: return 1250; // Central European
    default: return std::nullopt;
    }
}

using Utf8Buffer = std::array<char, 4>;

std::string_view EncodeUtf8(char32_t cp, Utf8Buffer& buffer)
{
    const auto byte = [](char32_t bits) { return static_cast<char>(bits); };
    if (cp < 0x80) {
        buffer[0] = byte(cp);
        return {buffer.data(), 1};
    }
    if (cp < 0x800) {
        buffer[0] = byte(0xC0 | (cp >> 6));
        buffer[1] = byte(0x80 | (cp & 0x3F));
        return {buffer.data(), 2};
    }
    if (cp < 0x10000) {
        buffer[0] = byte(0xE0 | (cp >> 12));
        buffer[1] = byte(0x80 | ((cp >> 6) & 0x3F));
        buffer[2] = byte(0x80 | (cp & 0x3F));
        return {buffer.data(), 3};
    }
    buffer[0] = byte(0xF0 | (cp >> 18));
    buffer[1] = byte(0x80 | ((cp >> 12) & 0x3F));
    buffer[2] = byte(0x80 | ((cp >> 6) & 0x3F));
    buffer[3] = byte(0x80 | (cp & 0x3F));
    return {buffer.data(), 4};
}

constexpr char32_t kReplacement = 0xFFFD;

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Characters a document may put into the text: controls other than the tab
// would only confuse the editor, and raw line ends are no text in RTF.
bool IsTextCharacter(char32_t cp) { return cp >= 0x20 || cp == U'\t'; }

enum class Word : std::uint8_t {
    Ansi, AnsiCodePage, B, Bin, Blue, Bullet, Cb, Cell, Cf, ChCbPat, ColourTable,
    Deff, EmDash, EmSpace, EnDash, EnSpace, F, FontCharset, FontTable, Fs,
    Green, Highlight, I, LdblQuote, Line, LQuote, LtrMark, Mac, NestCell,
    NestRow, Page, Par, Pard, Pc, Pca, Plain, Qc, Qj, Ql, Qmspace, Qr,
    RdblQuote, Red, Row, RQuote, RtlMark, Sect, Skip, Strike, Tab, U, Uc, Ud,
    Ul, UlNone, Upr, V, Zwj, Zwnj,
};

struct WordEntry {
    std::string_view name;
    Word word;
};

// Sorted by name for the binary search in FindWord.
constexpr std::array kWords = std::to_array<WordEntry>({
    {"aftncn", Word::Skip}, {"aftnsep", Word::Skip}, {"aftnsepc", Word::Skip},
    {"annotation", Word::Skip}, {"ansi", Word::Ansi}, {"ansicpg", Word::AnsiCodePage},
    {"atnauthor", Word::Skip}, {"atnid", Word::Skip}, {"author", Word::Skip},
    {"b", Word::B}, {"bin", Word::Bin}, {"bkmkend", Word::Skip},
    {"bkmkstart", Word::Skip}, {"blue", Word::Blue}, {"bullet", Word::Bullet},
    {"buptim", Word::Skip}, {"cb", Word::Cb}, {"cell", Word::Cell}, {"cf", Word::Cf},
    {"chcbpat", Word::ChCbPat}, {"colorschememapping", Word::Skip},
    {"colortbl", Word::ColourTable}, {"comment", Word::Skip}, {"company", Word::Skip},
    {"creatim", Word::Skip}, {"datafield", Word::Skip}, {"datastore", Word::Skip},
    {"deff", Word::Deff}, {"doccomm", Word::Skip}, {"docvar", Word::Skip},
    {"emdash", Word::EmDash}, {"emspace", Word::EmSpace}, {"endash", Word::EnDash},
    {"enspace", Word::EnSpace}, {"f", Word::F}, {"fcharset", Word::FontCharset},
    {"filetbl", Word::Skip}, {"fldinst", Word::Skip}, {"fonttbl", Word::FontTable},
    {"footer", Word::Skip}, {"footerf", Word::Skip}, {"footerl", Word::Skip},
    {"footerr", Word::Skip}, {"footnote", Word::Skip}, {"fs", Word::Fs},
    {"ftncn", Word::Skip}, {"ftnsep", Word::Skip}, {"ftnsepc", Word::Skip},
    {"generator", Word::Skip}, {"green", Word::Green}, {"header", Word::Skip},
    {"headerf", Word::Skip}, {"headerl", Word::Skip}, {"headerr", Word::Skip},
    {"highlight", Word::Highlight}, {"i", Word::I}, {"info", Word::Skip},
    {"keywords", Word::Skip}, {"latentstyles", Word::Skip}, {"ldblquote", Word::LdblQuote},
    {"line", Word::Line}, {"listoverridetable", Word::Skip}, {"listtable", Word::Skip},
    {"lquote", Word::LQuote}, {"ltrmark", Word::LtrMark}, {"mac", Word::Mac},
    {"manager", Word::Skip}, {"nestcell", Word::NestCell}, {"nestrow", Word::NestRow},
    {"nonshppict", Word::Skip}, {"objclass", Word::Skip}, {"objdata", Word::Skip},
    {"objname", Word::Skip}, {"operator", Word::Skip}, {"page", Word::Page},
    {"par", Word::Par}, {"pard", Word::Pard}, {"pc", Word::Pc}, {"pca", Word::Pca},
    {"pgdsctbl", Word::Skip}, {"pict", Word::Skip}, {"plain", Word::Plain},
    {"pn", Word::Skip}, {"pnseclvl", Word::Skip}, {"printim", Word::Skip},
    {"private", Word::Skip}, {"qc", Word::Qc}, {"qj", Word::Qj}, {"ql", Word::Ql},
    {"qmspace", Word::Qmspace}, {"qr", Word::Qr}, {"rdblquote", Word::RdblQuote},
    {"red", Word::Red}, {"revtbl", Word::Skip}, {"revtim", Word::Skip},
    {"row", Word::Row}, {"rquote", Word::RQuote}, {"rsidtbl", Word::Skip},
    {"rtlmark", Word::RtlMark}, {"sect", Word::Sect}, {"shpinst", Word::Skip},
    {"shprslt", Word::Skip}, {"strike", Word::Strike}, {"striked", Word::Strike},
    {"stylesheet", Word::Skip}, {"subject", Word::Skip}, {"tab", Word::Tab},
    {"tc", Word::Skip}, {"tcn", Word::Skip}, {"template", Word::Skip},
    {"themedata", Word::Skip}, {"title", Word::Skip}, {"txe", Word::Skip},
    {"u", Word::U}, {"uc", Word::Uc}, {"ud", Word::Ud}, {"ul", Word::Ul},
    {"uld", Word::Ul}, {"uldash", Word::Ul}, {"uldashd", Word::Ul},
    {"uldashdd", Word::Ul}, {"uldb", Word::Ul}, {"ulhwave", Word::Ul},
    {"ulldash", Word::Ul}, {"ulnone", Word::UlNone}, {"ulth", Word::Ul},
    {"ulthd", Word::Ul}, {"ulthdash", Word::Ul}, {"ulthdashd", Word::Ul},
    {"ulthdashdd", Word::Ul}, {"ulthldash", Word::Ul}, {"ululdbwave", Word::Ul},
    {"ulw", Word::Ul}, {"ulwave", Word::Ul}, {"upr", Word::Upr},
    {"userprops", Word::Skip}, {"v", Word::V}, {"wgrffmtfilter", Word::Skip},
    {"xe", Word::Skip}, {"xmlnstbl", Word::Skip}, {"zwj", Word::Zwj},
    {"zwnj", Word::Zwnj},
});
static_assert(std::ranges::is_sorted(kWords, {}, &WordEntry::name));

std::optional<Word> FindWord(std::string_view name)
{
    const auto* found = std::ranges::lower_bound(kWords, name, {}, &WordEntry::name);
    if (found == kWords.end() || found->name != name) return std::nullopt;
    return found->word;
}

// Characters that a control word stands for.
std::optional<char32_t> CharacterOf(Word word)
{
    switch (word) {
    case Word::Bullet: return 0x2022;
    case Word::EmDash: return 0x2014;
    case Word::EmSpace: return 0x2003;
    case Word::EnDash: return 0x2013;
    case Word::EnSpace: return 0x2002;
    case Word::LdblQuote: return 0x201C;
    case Word::Line: return U'\n';
    case Word::LQuote: return 0x2018;
    case Word::LtrMark: return 0x200E;
    case Word::Qmspace: return 0x2005;
    case Word::RdblQuote: return 0x201D;
    case Word::RQuote: return 0x2019;
    case Word::RtlMark: return 0x200F;
    case Word::Tab: return U'\t';
    case Word::Zwj: return 0x200D;
    case Word::Zwnj: return 0x200C;
    default: return std::nullopt;
    }
}

// Where the text of a group goes.
enum class Destination : std::uint8_t {
    Text,        // the document's body
    Skip,        // a destination we do not show
    FontTable,
    ColourTable,
    Upr,         // \upr: shows only its \ud alternative
};

// Everything a group saves and restores.
struct GroupState {
    Destination destination = Destination::Text;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    RtfAlignment alignment = RtfAlignment::Left;
    int font = -1;        // -1: the document's default font
    int halfPoints = 0;   // 0: unset
    int foreground = 0;   // colour table indices, 0: automatic
    int background = 0;
    int highlight = 0;
    int unicodeSkip = 1;  // \ucN
};

struct Font {
    std::string name;
    std::optional<int> codePage;
};

struct ColourEntry {
    RtfColour colour;
    bool automatic = true;  // no component given: the default colour
};

class Parser {
public:
    explicit Parser(std::string_view input) : input_(input) { stack_.reserve(64); }

    RtfDocument Run()
    {
        while (pos_ < input_.size() && !finished_) {
            switch (input_[pos_]) {
            case '{': ++pos_; OpenGroup(); break;
            case '}': ++pos_; CloseGroup(); break;
            case '\\': ++pos_; ReadControl(); break;
            case '\r':
            case '\n': ++pos_; break;
            default: ReadText(); break;
            }
        }
        FinishDocument();
        return std::move(document_);
    }

private:
    GroupState& Top() { return stack_.back(); }

    bool TextGoesToBody() const
    {
        return stack_.back().destination == Destination::Text && !stack_.back().hidden;
    }

    // ---- groups ----

    void OpenGroup()
    {
        skip_ = 0;
        ignorable_ = false;
        if (stack_.size() >= RtfMaxGroupDepth) {
            ++excessDepth_;
            return;
        }
        const GroupState inherited = stack_.empty() ? GroupState{} : stack_.back();
        stack_.push_back(inherited);
    }

    void CloseGroup()
    {
        skip_ = 0;
        ignorable_ = false;
        if (excessDepth_ > 0) {
            --excessDepth_;
            return;
        }
        if (Top().destination == Destination::FontTable) CommitFont();
        if (Top().destination == Destination::ColourTable && !colour_.automatic) CommitColour();
        // The root stays, for the last paragraph to take its properties.
        if (stack_.size() == 1) {
            finished_ = true;
            return;
        }
        stack_.pop_back();
        dirty_ = true;
    }

    // ---- scanning ----

    static bool IsPlainAscii(char c)
    {
        return c >= 0x20 && c <= 0x7E && c != '\\' && c != '{' && c != '}';
    }

    void ReadText()
    {
        if (ConsumeSkip()) {
            ++pos_;
            return;
        }
        ignorable_ = false;
        const Destination destination = Top().destination;
        if (destination == Destination::Skip || destination == Destination::Upr) {
            SkipText();  // pictures and objects: megabytes of hex digits
            return;
        }
        if (TextGoesToBody() && !highSurrogate_) {
            std::size_t end = pos_;
            while (end < input_.size() && IsPlainAscii(input_[end])) ++end;
            if (end > pos_) {
                AppendToRun(input_.substr(pos_, end - pos_));
                pos_ = end;
                return;
            }
        }
        EmitByte(static_cast<unsigned char>(input_[pos_++]));
    }

    void SkipText()
    {
        const std::size_t end = input_.find_first_of("\\{}", pos_);
        pos_ = end == std::string_view::npos ? input_.size() : std::max(end, pos_ + 1);
    }

    void ReadControl()
    {
        if (pos_ >= input_.size()) return;
        if (IsLetter(input_[pos_])) {
            ReadControlWord();
            return;
        }
        const char symbol = input_[pos_++];
        if (symbol == '\'') {
            const int byte = ReadHexByte();
            if (ConsumeSkip()) return;
            ignorable_ = false;
            if (byte >= 0) EmitByte(static_cast<unsigned char>(byte));
            return;
        }
        if (ConsumeSkip()) return;
        if (symbol == '*') {
            ignorable_ = true;
            return;
        }
        ignorable_ = false;
        ControlSymbol(symbol);
    }

    void ControlSymbol(char symbol)
    {
        switch (symbol) {
        case '\\':
        case '{':
        case '}': EmitCharacter(static_cast<unsigned char>(symbol)); break;
        case '~': EmitCharacter(0x00A0); break;  // no-break space
        case '-': EmitCharacter(0x00AD); break;  // optional hyphen
        case '_': EmitCharacter(0x2011); break;  // no-break hyphen
        case '\t': EmitCharacter(U'\t'); break;
        case '\r':
        case '\n': EndParagraph(); break;
        default: break;  // \| \: and unknown symbols show nothing
        }
    }

    int ReadHexByte()
    {
        int value = -1;
        for (int digits = 0; digits < 2 && pos_ < input_.size(); ++digits) {
            const int digit = HexValue(input_[pos_]);
            if (digit < 0) break;
            value = (value < 0 ? 0 : value * 16) + digit;
            ++pos_;
        }
        return value;
    }

    struct Parameter {
        bool present = false;
        int value = 0;
    };

    // Digits beyond what an int holds saturate, so that huge numbers read in
    // linear time and mean "as large as possible".
    Parameter ReadParameter()
    {
        Parameter parameter;
        bool negative = false;
        if (pos_ + 1 < input_.size() && input_[pos_] == '-' && IsDigit(input_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        constexpr std::int64_t limit = std::numeric_limits<int>::max();
        std::int64_t value = 0;
        while (pos_ < input_.size() && IsDigit(input_[pos_])) {
            value = std::min(limit, value * 10 + (input_[pos_] - '0'));
            parameter.present = true;
            ++pos_;
        }
        parameter.value = static_cast<int>(negative ? -value : value);
        return parameter;
    }

    void ReadControlWord()
    {
        const std::size_t start = pos_;
        while (pos_ < input_.size() && IsLetter(input_[pos_])) ++pos_;
        const std::string_view name = input_.substr(start, pos_ - start);
        const Parameter parameter = ReadParameter();
        if (pos_ < input_.size() && input_[pos_] == ' ') ++pos_;  // the delimiter

        const std::optional<Word> word = FindWord(name);
        if (ConsumeSkip()) {
            if (word == Word::Bin) SkipBinary(parameter.value);
            return;
        }
        if (std::exchange(ignorable_, false)) {
            IgnorableDestination(word, parameter);
            return;
        }
        if (word) Dispatch(*word, parameter);
    }

    // After \*: a destination that readers may skip when they do not know it.
    // The only one we show is the Unicode alternative of \upr.
    void IgnorableDestination(std::optional<Word> word, Parameter parameter)
    {
        if (word == Word::Bin) SkipBinary(parameter.value);
        else if (word == Word::Ud && ParentDestination() == Destination::Upr) Top().destination = Destination::Text;
        else Top().destination = Destination::Skip;
    }

    // A \ucN count of characters after \uN that stand in for it.
    bool ConsumeSkip()
    {
        if (skip_ == 0) return false;
        --skip_;
        return true;
    }

    void SkipBinary(int count)
    {
        const std::size_t bytes = count > 0 ? static_cast<std::size_t>(count) : 0;
        pos_ += std::min(bytes, input_.size() - pos_);
    }

    Destination ParentDestination() const
    {
        return stack_.size() >= 2 && excessDepth_ == 0 ? stack_[stack_.size() - 2].destination
                                                       : Destination::Skip;
    }

    // ---- control words ----

    static bool IsOn(Parameter parameter) { return !parameter.present || parameter.value != 0; }

    void Dispatch(Word word, Parameter parameter)
    {
        if (const std::optional<char32_t> character = CharacterOf(word)) {
            EmitCharacter(*character);
            return;
        }
        if (DestinationWord(word) || DocumentWord(word, parameter) || TableWord(word, parameter)) return;
        if (ParagraphWord(word)) return;
        CharacterWord(word, parameter);
    }

    bool DestinationWord(Word word)
    {
        switch (word) {
        case Word::Skip: Top().destination = Destination::Skip; return true;
        case Word::FontTable:
            Top().destination = Destination::FontTable;
            BeginFont(std::nullopt);
            return true;
        case Word::ColourTable:
            Top().destination = Destination::ColourTable;
            colour_ = {};
            return true;
        case Word::Upr:
            if (Top().destination == Destination::Text) Top().destination = Destination::Upr;
            return true;
        case Word::Ud:
            if (ParentDestination() == Destination::Upr) Top().destination = Destination::Text;
            return true;
        default: return false;
        }
    }

    bool DocumentWord(Word word, Parameter parameter)
    {
        switch (word) {
        // Mac, PC and PC-850 documents are rare enough to read as Windows-1252.
        case Word::Ansi:
        case Word::Mac:
        case Word::Pc:
        case Word::Pca: documentCodePage_ = 1252; break;
        case Word::AnsiCodePage: documentCodePage_ = parameter.value; break;
        case Word::Deff: defaultFont_ = parameter.value; break;
        case Word::Bin: SkipBinary(parameter.value); return true;
        case Word::U:
            Unicode(parameter.value);
            skip_ = Top().unicodeSkip;
            return true;
        case Word::Uc: Top().unicodeSkip = std::max(0, parameter.value); return true;
        default: return false;
        }
        dirty_ = true;
        return true;
    }

    // Font and colour table entries.
    bool TableWord(Word word, Parameter parameter)
    {
        const Destination destination = Top().destination;
        if (destination == Destination::FontTable) {
            if (word == Word::F) BeginFont(parameter.value);
            else if (word == Word::FontCharset) font_.codePage = CodePageOfCharset(parameter.value);
            return true;
        }
        if (destination != Destination::ColourTable) return false;
        const auto component = static_cast<std::uint8_t>(std::clamp(parameter.value, 0, 255));
        switch (word) {
        case Word::Red: colour_.colour.red = component; break;
        case Word::Green: colour_.colour.green = component; break;
        case Word::Blue: colour_.colour.blue = component; break;
        default: return true;
        }
        colour_.automatic = false;
        return true;
    }

    bool ParagraphWord(Word word)
    {
        GroupState& state = Top();
        switch (word) {
        case Word::Par:
        case Word::Sect:
        case Word::Page:
        case Word::Row:
        case Word::NestRow: EndParagraph(); break;
        case Word::Cell:
        case Word::NestCell:
            if (TextGoesToBody()) ++pendingCellTabs_;
            break;
        case Word::Pard: state.alignment = RtfAlignment::Left; break;
        case Word::Ql: state.alignment = RtfAlignment::Left; break;
        case Word::Qc: state.alignment = RtfAlignment::Centre; break;
        case Word::Qr: state.alignment = RtfAlignment::Right; break;
        case Word::Qj: state.alignment = RtfAlignment::Justify; break;
        default: return false;
        }
        return true;
    }

    // Word's largest font size, 1638 points.
    static constexpr int kMaxHalfPoints = 3276;

    void CharacterWord(Word word, Parameter parameter)
    {
        GroupState& state = Top();
        switch (word) {
        case Word::B: state.bold = IsOn(parameter); break;
        case Word::I: state.italic = IsOn(parameter); break;
        case Word::Ul: state.underline = IsOn(parameter); break;
        case Word::UlNone: state.underline = false; break;
        case Word::Strike: state.strike = IsOn(parameter); break;
        case Word::V: state.hidden = IsOn(parameter); break;
        case Word::F: state.font = parameter.value; break;
        case Word::Fs: state.halfPoints = std::clamp(parameter.value, 0, kMaxHalfPoints); break;
        case Word::Cf: state.foreground = parameter.value; break;
        case Word::Cb:
        case Word::ChCbPat: state.background = parameter.value; break;
        case Word::Highlight: state.highlight = parameter.value; break;
        case Word::Plain: ResetCharacterFormat(state); break;
        default: return;
        }
        dirty_ = true;
    }

    static void ResetCharacterFormat(GroupState& state)
    {
        const GroupState defaults;
        state.bold = defaults.bold;
        state.italic = defaults.italic;
        state.underline = defaults.underline;
        state.strike = defaults.strike;
        state.hidden = defaults.hidden;
        state.font = defaults.font;
        state.halfPoints = defaults.halfPoints;
        state.foreground = defaults.foreground;
        state.background = defaults.background;
        state.highlight = defaults.highlight;
    }

    // ---- font and colour tables ----

    void BeginFont(std::optional<int> number)
    {
        CommitFont();
        font_ = {};
        fontNumber_ = number;
        fontNameFull_ = false;
    }

    void CommitFont()
    {
        std::string& name = font_.name;
        const auto first = name.find_first_not_of(' ');
        name.erase(0, std::min(first, name.size()));
        name.erase(name.find_last_not_of(' ') + 1);
        if (fontNumber_ && !name.empty()) fonts_[*fontNumber_] = font_;
        font_.name.clear();
        fontNameFull_ = false;
        dirty_ = true;
    }

    void AddToFontName(char32_t cp)
    {
        if (cp == U';') {
            CommitFont();
            return;
        }
        if (cp < 0x20 || fontNameFull_) return;
        Utf8Buffer buffer;
        const std::string_view utf8 = EncodeUtf8(cp, buffer);
        if (font_.name.size() + utf8.size() > RtfMaxFontNameBytes) {
            fontNameFull_ = true;
            return;
        }
        font_.name.append(utf8);
    }

    void CommitColour()
    {
        colours_.push_back(colour_);
        colour_ = {};
        dirty_ = true;
    }

    std::optional<RtfColour> Colour(int index) const
    {
        if (index < 0 || static_cast<std::size_t>(index) >= colours_.size()) return std::nullopt;
        const ColourEntry& entry = colours_[static_cast<std::size_t>(index)];
        if (entry.automatic) return std::nullopt;
        return entry.colour;
    }

    // ---- characters ----

    const CodePage& CurrentCodePage()
    {
        if (Top().destination == Destination::FontTable)
            return CodePageFor(font_.codePage.value_or(documentCodePage_));
        if (dirty_) Resolve();
        return *codePage_;
    }

    void EmitByte(unsigned char byte)
    {
        const char32_t cp = byte < 0x80 ? byte : CurrentCodePage()[byte - 0x80];
        if (IsTextCharacter(cp)) EmitCharacter(cp);
    }

    // \uN: a signed 16-bit UTF-16 unit; larger values are taken as code points.
    void Unicode(int value)
    {
        if (value < -0x8000 || value > 0x10FFFF) {
            EmitCharacter(kReplacement);
            return;
        }
        const int unit = value < 0 ? value + 0x10000 : value;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            FlushSurrogate();
            highSurrogate_ = static_cast<char16_t>(unit);
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            if (!highSurrogate_) {
                EmitCharacter(kReplacement);
                return;
            }
            const char32_t cp = 0x10000 + ((static_cast<char32_t>(*highSurrogate_) - 0xD800) << 10) +
                                (static_cast<char32_t>(unit) - 0xDC00);
            highSurrogate_.reset();
            Put(cp);
        } else if (IsTextCharacter(static_cast<char32_t>(unit))) {
            EmitCharacter(static_cast<char32_t>(unit));
        }
    }

    // A high surrogate not followed by its low half is shown as U+FFFD.
    void FlushSurrogate()
    {
        if (!highSurrogate_) return;
        highSurrogate_.reset();
        Put(kReplacement);
    }

    void EmitCharacter(char32_t cp)
    {
        FlushSurrogate();
        Put(cp);
    }

    void Put(char32_t cp)
    {
        switch (Top().destination) {
        case Destination::Text:
            if (!Top().hidden) {
                Utf8Buffer buffer;
                AppendToRun(EncodeUtf8(cp, buffer));
            }
            break;
        case Destination::FontTable: AddToFontName(cp); break;
        case Destination::ColourTable:
            if (cp == U';') CommitColour();
            break;
        case Destination::Skip:
        case Destination::Upr: break;
        }
    }

    void Resolve()
    {
        const GroupState& state = Top();
        RtfCharFormat format;
        format.bold = state.bold;
        format.italic = state.italic;
        format.underline = state.underline;
        format.strike = state.strike;
        if (state.halfPoints > 0) format.halfPoints = state.halfPoints;
        int codePage = documentCodePage_;
        const std::optional<int> fontNumber = state.font >= 0 ? std::optional<int>(state.font) : defaultFont_;
        if (fontNumber) {
            if (const auto found = fonts_.find(*fontNumber); found != fonts_.end()) {
                format.fontFamily = found->second.name;
                codePage = found->second.codePage.value_or(codePage);
            }
        }
        format.foreground = Colour(state.foreground);
        format.background = state.highlight > 0 ? Colour(state.highlight) : std::nullopt;
        if (!format.background) format.background = Colour(state.background);
        codePage_ = &CodePageFor(codePage);
        formatChanged_ = !(format == format_);
        format_ = std::move(format);
        dirty_ = false;
    }

    void AppendToRun(std::string_view utf8)
    {
        if (dirty_) Resolve();
        std::vector<RtfRun>& runs = paragraph_.runs;
        if (runs.empty() || (formatChanged_ && !(runs.back().format == format_)))
            runs.push_back(RtfRun{std::string(), format_});
        formatChanged_ = false;
        if (pendingCellTabs_ > 0) {
            runs.back().text.append(pendingCellTabs_, '\t');
            pendingCellTabs_ = 0;
        }
        runs.back().text.append(utf8);
    }

    void EndParagraph()
    {
        FlushSurrogate();
        if (!TextGoesToBody()) return;
        pendingCellTabs_ = 0;
        paragraph_.alignment = Top().alignment;
        document_.paragraphs.push_back(std::move(paragraph_));
        paragraph_ = {};
    }

    void FinishDocument()
    {
        FlushSurrogate();
        if (!paragraph_.runs.empty()) {
            paragraph_.alignment = Top().alignment;
            document_.paragraphs.push_back(std::move(paragraph_));
        }
    }

    std::string_view input_;
    std::size_t pos_ = 0;
    bool finished_ = false;

    std::vector<GroupState> stack_;
    std::size_t excessDepth_ = 0;   // groups opened beyond RtfMaxGroupDepth
    int skip_ = 0;                  // characters still to skip after \uN
    bool ignorable_ = false;        // just read \*
    std::optional<char16_t> highSurrogate_;
    std::size_t pendingCellTabs_ = 0;

    int documentCodePage_ = 1252;
    std::optional<int> defaultFont_;
    std::map<int, Font> fonts_;
    Font font_;                     // the font table entry being read
    std::optional<int> fontNumber_;
    bool fontNameFull_ = false;
    std::vector<ColourEntry> colours_;
    ColourEntry colour_;            // the colour table entry being read

    // The format of the text at the current position, resolved lazily.
    bool dirty_ = true;
    bool formatChanged_ = true;
    RtfCharFormat format_;
    const CodePage* codePage_ = &kCp1252;

    RtfParagraph paragraph_;
    RtfDocument document_;
};

std::optional<std::size_t> DocumentStart(std::string_view content)
{
    std::size_t start = content.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    start = std::min(content.find_first_not_of(" \t\r\n", start), content.size());
    const std::string_view rest = content.substr(start);
    constexpr std::string_view header = "{\\rtf";
    if (!rest.starts_with(header)) return std::nullopt;
    if (rest.size() > header.size() && IsLetter(rest[header.size()])) return std::nullopt;
    return start;
}

} // namespace

bool LooksLikeRtf(std::string_view content)
{
    return DocumentStart(content).has_value();
}

std::optional<RtfDocument> ReadRtf(std::string_view content)
{
    const std::optional<std::size_t> start = DocumentStart(content);
    if (!start) return std::nullopt;
    return Parser(content.substr(*start)).Run();
}

} // namespace kw
