// Documents written by LibreOffice from the sources in rtf/samples/, converted
// by the rtf_convert_samples fixture.
#include "editor/RtfReader.h"
#include "tests/editor/RtfTestText.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace kw {
namespace {

RtfDocument ReadConverted(const char* file)
{
    const std::string bytes = test::ReadFileBytes(std::filesystem::path(KW_RTF_CONVERTED) / file);
    EXPECT_FALSE(bytes.empty()) << file;
    std::optional<RtfDocument> document = ReadRtf(bytes);
    EXPECT_TRUE(document.has_value()) << file;
    return document.value_or(RtfDocument{});
}

struct ConvertedCase {
    const char* file;
    std::vector<std::string> paragraphs;
};

void PrintTo(const ConvertedCase& c, std::ostream* out) { *out << c.file; }

class ConvertedDocument : public testing::TestWithParam<ConvertedCase> {};

TEST_P(ConvertedDocument, ShowsTheSourcesText)
{
    EXPECT_EQ(test::ParagraphTexts(ReadConverted(GetParam().file)), GetParam().paragraphs);
}

INSTANTIATE_TEST_SUITE_P(LibreOffice, ConvertedDocument, testing::Values(
    ConvertedCase{"formatting.rtf", {"Plain bold italic underlined struck",
                                     "red marked mono large",
                                     "Gr\u00fc\u00dfe \u2014 \u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac \u2014 \u65e5\u672c \U0001F600",
                                     "first line\nsecond line\tafter tab",
                                     "centred",
                                     "A1\tB1",
                                     "A2\tB2",
                                     "{braces} and \\backslash\\"}},
    ConvertedCase{"letter.rtf", {"Kestrelwork",
                                 "Dear reader, caf\u00e9s cost 5\u00a0\u20ac \u201chere\u201d.",
                                 "\u041f\u0440\u0438\u0432\u0435\u0442, \u043c\u0438\u0440. "
                                 "\u039a\u03b1\u03bb\u03b7\u03bc\u03ad\u03c1\u03b1. \u4f60\u597d\u3002",
                                 "\u2022\tone", "\u2022\ttwo", "Bye\nfor now"}}
), [](const auto& info) { return test::TestNameOf(info.param.file); });

const RtfRun* RunWithText(const RtfDocument& document, std::string_view text)
{
    for (const RtfParagraph& paragraph : document.paragraphs)
        for (const RtfRun& run : paragraph.runs)
            if (run.text == text) return &run;
    return nullptr;
}

TEST(ConvertedFormatting, EachSpanKeepsItsFormat)
{
    const RtfDocument document = ReadConverted("formatting.rtf");
    const auto format = [&](std::string_view text) {
        const RtfRun* run = RunWithText(document, text);
        EXPECT_NE(run, nullptr) << text;
        return run ? run->format : RtfCharFormat{};
    };
    // The document's default paragraph font and size, which each span keeps.
    RtfCharFormat base;
    base.fontFamily = "DejaVu Serif";
    base.halfPoints = 24;
    const auto with = [&](auto change) {
        RtfCharFormat expected = base;
        change(expected);
        return expected;
    };
    EXPECT_EQ(format("Plain "), base);
    EXPECT_EQ(format("bold"), with([](auto& f) { f.bold = true; }));
    EXPECT_EQ(format("italic"), with([](auto& f) { f.italic = true; }));
    EXPECT_EQ(format("underlined"), with([](auto& f) { f.underline = true; }));
    EXPECT_EQ(format("struck"), with([](auto& f) { f.strike = true; }));
    EXPECT_EQ(format("red"), with([](auto& f) { f.foreground = RtfColour{255, 0, 0}; }));
    EXPECT_EQ(format("marked"), with([](auto& f) { f.background = RtfColour{255, 255, 0}; }));
    EXPECT_EQ(format("mono"), with([](auto& f) { f.fontFamily = "Courier New"; }));
    EXPECT_EQ(format("large"), with([](auto& f) { f.halfPoints = 40; }));

    ASSERT_GE(document.paragraphs.size(), 5u);
    EXPECT_EQ(document.paragraphs[3].alignment, RtfAlignment::Left);
    EXPECT_EQ(document.paragraphs[4].alignment, RtfAlignment::Centre);
}

} // namespace
} // namespace kw
