#include "editor/RtfReader.h"
#include "tests/editor/RtfTestText.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace kw {
namespace {

using test::ParagraphTexts;
using Texts = std::vector<std::string>;
using namespace std::string_literals;

Texts TextsOf(std::string_view rtf)
{
    const std::optional<RtfDocument> document = ReadRtf(rtf);
    EXPECT_TRUE(document.has_value()) << rtf;
    return document ? ParagraphTexts(*document) : Texts{};
}

// ---- the text a document shows ----

struct TextCase {
    const char* name;
    std::string rtf;
    Texts paragraphs;
};

void PrintTo(const TextCase& c, std::ostream* out) { *out << c.name; }

class RtfText : public testing::TestWithParam<TextCase> {};

TEST_P(RtfText, ShowsTheDocumentsText)
{
    EXPECT_EQ(TextsOf(GetParam().rtf), GetParam().paragraphs);
}

INSTANTIATE_TEST_SUITE_P(Cases, RtfText, testing::Values(
    TextCase{"EmptyDocumentHasNoParagraph", "{\\rtf1}", {}},
    TextCase{"LastParIsNoExtraParagraph", "{\\rtf1 a\\par b\\par}", {"a", "b"}},
    TextCase{"TextAfterLastParIsAParagraph", "{\\rtf1 a\\par b}", {"a", "b"}},
    TextCase{"EmptyParagraphsAreKept", "{\\rtf1 a\\par\\par\\par b}", {"a", "", "", "b"}},
    TextCase{"RawLineEndsAreNoText", "{\\rtf1 one\r\ntwo\nthree\rfour}", {"onetwothreefour"}},
    TextCase{"SpaceAfterWordIsItsDelimiter", "{\\rtf1 \\b  two\\b0 x}", {" twox"}},
    TextCase{"SymbolsKeepTheirSpace", "{\\rtf1 \\{ \\}}", {"{ }"}},
    TextCase{"RawTabIsATab", "{\\rtf1 a\tb}", {"a\tb"}},
    TextCase{"ControlCharactersAreDropped", "{\\rtf1 a\x01\x7f\x00z\\'00\\'0a}"s, {"a\x7fz"}},
    TextCase{"DefaultCodePageIs1252", "{\\rtf1 \\'80\\'9f\\'8d\\'ff}", {"\u20ac\u0178\u008d\u00ff"}},
    TextCase{"UnknownCodePageFallsBackTo1252", "{\\rtf1\\ansicpg932 \\'e9}", {"\u00e9"}},
    TextCase{"AnsiCodePage1253", "{\\rtf1\\ansi\\ansicpg1253 \\'e1\\'c2}", {"\u03b1\u0392"}},
    TextCase{"AnsiCodePage1250", "{\\rtf1\\ansi\\ansicpg1250 \\'9a\\'e8}", {"\u0161\u010d"}},
    TextCase{"HexIsCaseInsensitive", "{\\rtf1 \\'E9\\'e9}", {"\u00e9\u00e9"}},
    TextCase{"UnicodeSkipsOneByDefault", "{\\rtf1 \\u233e!}", {"\u00e9!"}},
    TextCase{"UcZeroSkipsNothing", "{\\rtf1\\uc0\\u233 e}", {"\u00e9e"}},
    TextCase{"UcCountsHexAndWordsAsOne", "{\\rtf1\\uc3\\u233\\'e9\\tab x!}", {"\u00e9!"}},
    TextCase{"UcIsRestoredByGroups", "{\\rtf1{\\uc0 }\\u233 xy}", {"\u00e9y"}},
    TextCase{"SkipEndsAtAGroup", "{\\rtf1\\uc5\\u233 a{\\b b}c}", {"\u00e9bc"}},
    TextCase{"SkipAlsoSkipsBinaryData", "{\\rtf1\\uc1\\u233\\bin2 }}ok}", {"\u00e9ok"}},
    TextCase{"HugeUcSkipsToTheGroupsEnd", "{\\rtf1{\\uc99999999999\\u233 gone}kept}", {"\u00e9kept"}},
    TextCase{"NegativeUnicodeIsUnsigned", "{\\rtf1\\u-4064?}", {"\uf020"}},
    TextCase{"SurrogatePair", "{\\rtf1\\u-10179?\\u-8704?}", {"\U0001F600"}},
    TextCase{"SurrogatePairAcrossUcChange", "{\\rtf1\\uc0 \\u55357\\uc1 \\u56832?}", {"\U0001F600"}},
    TextCase{"LoneSurrogatesAreReplaced", "{\\rtf1\\u56832?a\\u55357?b\\u55357?}", {"\ufffda\ufffdb\ufffd"}},
    TextCase{"HighSurrogateBeforeParStaysInItsParagraph", "{\\rtf1 a\\u55357?\\par b}", {"a\ufffd", "b"}},
    TextCase{"UnicodeOutOfRangeIsReplaced", "{\\rtf1\\u-40000?\\u99999999999?}", {"\ufffd\ufffd"}},
    TextCase{"ControlWordCharacters", "{\\rtf1\\emdash\\endash\\bullet\\emspace\\enspace\\qmspace\\zwj\\zwnj\\ltrmark\\rtlmark}",
             {"\u2014\u2013\u2022\u2003\u2002\u2005\u200d\u200c\u200e\u200f"}},
    TextCase{"PageAndSectEndParagraphs", "{\\rtf1 a\\page b\\sect c}", {"a", "b", "c"}},
    TextCase{"TableCellsAreTabSeparatedAndRowsParagraphs",
             "{\\rtf1\\trowd\\cellx100\\cellx200\\cellx300 a\\cell\\cell c\\cell\\row\\trowd x\\cell y\\cell\\row}",
             {"a\t\tc", "x\ty"}},
    TextCase{"UnknownDestinationIsShownUnlessIgnorable", "{\\rtf1{\\mystery a}{\\*\\mystery b}}", {"a"}},
    TextCase{"IgnorableKnownWordIsSkippedToo", "{\\rtf1{\\*\\b b}c}", {"c"}},
    TextCase{"FontAndColourTablesShowNothing",
             "{\\rtf1{\\fonttbl\\f0 Arial;\\f1 Courier;}{\\colortbl;\\red1\\green2\\blue3;}x}", {"x"}},
    TextCase{"HiddenTextIsNotShown", "{\\rtf1 a{\\v b\\par}c\\v d\\v0 e}", {"ace"}},
    TextCase{"TextAfterTheDocumentIsIgnored", "{\\rtf1 in}out{more}", {"in"}},
    TextCase{"LeadingBlanksAndBomAreAllowed", "\xef\xbb\xbf \r\n\t{\\rtf1 x}", {"x"}}
), [](const auto& info) { return std::string(info.param.name); });

// ---- the hand-written documents in rtf/ ----

struct FileCase {
    const char* file;
    Texts paragraphs;
};

void PrintTo(const FileCase& c, std::ostream* out) { *out << c.file; }

class RtfFile : public testing::TestWithParam<FileCase> {};

TEST_P(RtfFile, ShowsTheDocumentsText)
{
    const std::string bytes = test::ReadFileBytes(std::filesystem::path(KW_RTF_FIXTURES) / GetParam().file);
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(TextsOf(bytes), GetParam().paragraphs);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, RtfFile, testing::Values(
    FileCase{"escapes.rtf", {"Braces { } and \\ backslash",
                             "A\u00a0B\u00adC\u2011DEF",
                             "\u00e9t\u00e9 \u20ac \u0081 ? zz",
                             "raw \u00e9 \u20ac bytes",
                             "\u2018q\u2019 \u201cdq\u201d \u2014\u2013\u2022",
                             "two\tcols\nnext",
                             "spacedelimited word",
                             "ends with backslash newline",
                             "after"}},
    FileCase{"unicode.rtf", {"Gr\u00fc\u00dfe", "\u0395\u03bb\u03bb", "\u65e5\u672c",
                             "\U0001F600 smile", "\U0001F600", "lone \ufffd\ufffd end",
                             "\u20acc", "\u20acx"}},
    FileCase{"nesting.rtf", {"plain bold bold italic all three bold plain",
                             "big red mono reset again", "deep"}},
    FileCase{"destinations.rtf", {"beforeafter", "link text", "unicode \u20ac", "1.\titem", "shown"}},
    FileCase{"binary.rtf", {"beforeafter", "xy"}},
    FileCase{"unknown.rtf", {"textmore", "long", "\u00ad5 minus"}},
    FileCase{"codepage.rtf", {"\u041f\u0440\u0438\u0432\u0435\u0442 \u03b1\u03b5\u03c4"}}
), [](const auto& info) { return test::TestNameOf(info.param.file); });

// ---- formatting ----

RtfCharFormat Plain() { return {}; }

RtfCharFormat With(auto change)
{
    RtfCharFormat format;
    change(format);
    return format;
}

std::vector<RtfRun> RunsOf(std::string_view rtf)
{
    const std::optional<RtfDocument> document = ReadRtf(rtf);
    if (!document || document->paragraphs.size() != 1) {
        ADD_FAILURE() << "expected one paragraph: " << rtf;
        return {};
    }
    return document->paragraphs.front().runs;
}

TEST(RtfFormat, GroupsRestoreTheFormatAndEqualRunsMerge)
{
    const std::vector<RtfRun> expected{
        {"a", Plain()},
        {"b", With([](auto& f) { f.bold = true; })},
        {"c", With([](auto& f) { f.bold = f.italic = true; })},
        {"d", With([](auto& f) { f.bold = f.italic = f.underline = f.strike = true; })},
        {"ef", With([](auto& f) { f.bold = true; })},
        {"g", Plain()},
    };
    EXPECT_EQ(RunsOf("{\\rtf1 a{\\b b{\\i c{\\ul\\strike d}}e}{\\b f}\\b1\\b0 g}"), expected);
}

TEST(RtfFormat, TogglesTakeAParameter)
{
    const std::vector<RtfRun> expected{
        {"a", With([](auto& f) { f.bold = f.underline = true; })},
        {"b", Plain()},
        {"c", With([](auto& f) { f.underline = true; })},
    };
    // \ulc is the underline's colour, not an underline.
    EXPECT_EQ(RunsOf("{\\rtf1\\b\\ul a\\b0\\ulnone b\\ulc2\\uldb c}"), expected);
}

TEST(RtfFormat, FontsSizesAndColoursComeFromTheTables)
{
    const RtfColour red{255, 0, 0};
    const RtfColour yellow{255, 255, 0};
    const std::vector<RtfRun> expected{
        {"d", With([](auto& f) { f.fontFamily = "Times New Roman"; })},
        {"m", With([&](auto& f) { f.fontFamily = "Courier New"; f.halfPoints = 40; f.foreground = red; })},
        {"h", With([&](auto& f) { f.fontFamily = "Times New Roman"; f.background = yellow; })},
        {"b", With([&](auto& f) { f.fontFamily = "Times New Roman"; f.background = red; })},
        {"p", With([](auto& f) { f.fontFamily = "Times New Roman"; })},
        {"x", Plain()},
    };
    EXPECT_EQ(RunsOf("{\\rtf1\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1 Courier New;}}"
                     "{\\colortbl;\\red255\\green0\\blue0;\\red255\\green255\\blue0;}"
                     "d{\\f1\\fs40\\cf1 m}{\\cb1\\highlight2 h}{\\chcbpat1\\highlight0 b}"
                     "{\\cf0\\cf9 p}{\\f7 x}}"),
              expected);
}

TEST(RtfFormat, PlainResetsCharactersAndPardResetsTheParagraph)
{
    const std::optional<RtfDocument> document =
        ReadRtf("{\\rtf1\\qc\\b\\fs30 a\\par\\pard\\plain b\\par\\qr c\\par\\qj d}");
    ASSERT_TRUE(document);
    ASSERT_EQ(document->paragraphs.size(), 4u);
    const std::vector<RtfAlignment> alignments{RtfAlignment::Centre, RtfAlignment::Left,
                                               RtfAlignment::Right, RtfAlignment::Justify};
    for (std::size_t i = 0; i < alignments.size(); ++i)
        EXPECT_EQ(document->paragraphs[i].alignment, alignments[i]) << i;
    EXPECT_EQ(document->paragraphs[0].runs.at(0).format,
              With([](auto& f) { f.bold = true; f.halfPoints = 30; }));
    EXPECT_EQ(document->paragraphs[1].runs.at(0).format, Plain());
}

TEST(RtfFormat, FontTableNamesAreDecodedTrimmedAndBounded)
{
    const std::string longName(500, 'N');
    const std::vector<RtfRun> runs = RunsOf("{\\rtf1{\\fonttbl{\\f0 \\'c9l\\u233?ve ;}{\\f1 " + longName +
                                            ";}{\\f2\\fcharset204 \\'c0;}}\\f0 a\\f1 b\\f2 c}");
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].format.fontFamily, "\u00c9l\u00e9ve");
    EXPECT_EQ(runs[1].format.fontFamily, std::string(RtfMaxFontNameBytes, 'N'));
    EXPECT_EQ(runs[2].format.fontFamily, "\u0410");
}

// ---- what is not an RTF document ----

TEST(RtfReject, ContentThatDoesNotStartAsRtf)
{
    const std::vector<std::string> rejected{
        "",
        "#include <stdio.h>\nint main(void) { return 0; }\n",
        "{\\rt",
        "{\\rtfx1 hello}",
        "{ \\rtf1 hello}",
        "x{\\rtf1 hello}",
        "\x7f" "ELF\x02\x01\x01\x00\x00\x00"s,
        "\xff\xfe{\x00\\\x00r\x00t\x00" "f\x00"s,
    };
    for (const std::string& content : rejected) {
        EXPECT_FALSE(LooksLikeRtf(content)) << content;
        EXPECT_FALSE(ReadRtf(content).has_value()) << content;
    }
}

// ---- robustness: hostile input ends quickly with something sane ----

std::string Repeat(std::string_view piece, std::size_t times)
{
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) out += piece;
    return out;
}

struct HostileCase {
    const char* name;
    std::string rtf;
    Texts paragraphs;
};

void PrintTo(const HostileCase& c, std::ostream* out) { *out << c.name; }

class RtfHostile : public testing::TestWithParam<HostileCase> {};

TEST_P(RtfHostile, EndsQuicklyWithSaneText)
{
    const auto start = std::chrono::steady_clock::now();
    const Texts texts = TextsOf(GetParam().rtf);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(texts, GetParam().paragraphs);
}

INSTANTIATE_TEST_SUITE_P(Cases, RtfHostile, testing::Values(
    HostileCase{"DeepNesting", "{\\rtf1 " + Repeat("{", 100000) + "deep" + Repeat("}", 100000) + "after}",
                {"deepafter"}},
    HostileCase{"DeepNestingNeverClosed", "{\\rtf1 a" + Repeat("{\\b ", 100000) + "b", {"ab"}},
    HostileCase{"DeepSkippedNesting", "{\\rtf1{\\*\\x" + Repeat("{", 100000) + "no" + Repeat("}", 100001) + "yes}",
                {"yes"}},
    HostileCase{"ExtraClosingBraces", "{\\rtf1 a}}}}b", {"a"}},
    HostileCase{"UnclosedGroups", "{\\rtf1 a{\\i b{\\b c", {"abc"}},
    HostileCase{"TruncatedInControlWord", "{\\rtf1 a\\pa", {"a"}},
    HostileCase{"TruncatedAfterBackslash", "{\\rtf1 a\\", {"a"}},
    HostileCase{"TruncatedInHex", "{\\rtf1 a\\'e", {"a"}},
    HostileCase{"TruncatedInUnicodeSkip", "{\\rtf1 a\\uc5\\u233", {"a\u00e9"}},
    HostileCase{"HugeParameters", "{\\rtf1\\fs999999999999999999999 a\\f-99999999999999999\\cf99999999999 b"
                                  "\\highlight-5\\cb77777777777777 c\\ansicpg-1\\'e9}",
                {"abc\u00e9"}},
    HostileCase{"HugeBinaryLength", "{\\rtf1 a\\bin99999999999999999999 bbbb}", {"a"}},
    HostileCase{"NegativeBinaryLength", "{\\rtf1 a\\bin-5 b}", {"ab"}},
    HostileCase{"VeryLongControlWord", "{\\rtf1\\" + Repeat("a", 1000000) + "1 x}", {"x"}},
    HostileCase{"VeryLongParameter", "{\\rtf1\\fs" + Repeat("9", 1000000) + " x}", {"x"}},
    HostileCase{"ManyParagraphs", "{\\rtf1 " + Repeat("\\par", 100000) + "}", Texts(100000, "")},
    HostileCase{"ManyFontTables", "{\\rtf1" + Repeat("{\\fonttbl{\\f0 A;}}", 50000) + "\\f0 x}", {"x"}}
), [](const auto& info) { return std::string(info.param.name); });

TEST(RtfHostile, FontSizeIsClampedToWhatWordAllows)
{
    const std::vector<RtfRun> runs = RunsOf("{\\rtf1\\fs999999999999 a}");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].format.halfPoints, 3276);
}

// Every prefix of a real document is read; what it shows is never more
// than the whole document shows.
TEST(RtfHostile, EveryPrefixOfADocumentIsRead)
{
    const std::string bytes = test::ReadFileBytes(std::filesystem::path(KW_RTF_FIXTURES) / "destinations.rtf");
    for (std::size_t length = 5; length <= bytes.size(); ++length)
        ASSERT_TRUE(ReadRtf(std::string_view(bytes).substr(0, length))) << length;
}

// The result is bounded by a constant times the input, however the format
// changes: a long font name is not copied into each tiny run unbounded.
TEST(RtfHostile, OutputStaysProportionalToInput)
{
    const std::string rtf = "{\\rtf1{\\fonttbl{\\f0 " + std::string(100000, 'F') + ";}}\\f0" +
                            Repeat("a\\b b\\b0 ", 100000) + "}";
    const std::optional<RtfDocument> document = ReadRtf(rtf);
    ASSERT_TRUE(document);
    std::size_t bytes = 0;
    for (const RtfParagraph& paragraph : document->paragraphs)
        for (const RtfRun& run : paragraph.runs)
            bytes += sizeof(RtfRun) + run.text.capacity() +
                     (run.format.fontFamily ? run.format.fontFamily->capacity() : 0);
    EXPECT_EQ(document->paragraphs.at(0).runs.size(), 200000u);
    EXPECT_LT(bytes, 100 * rtf.size());
}

} // namespace
} // namespace kw
