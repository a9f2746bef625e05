// A source file's bytes and the editor's text, both ways: UTF-8 as it is,
// anything else as Windows-1252, and every line end made CR LF.

#include "editor/SourceText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using kw::SourceEncoding;

// Bytes 0x80 to 0x9F as Windows-1252 has them; the five it leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) as the C1 controls of the same value.
const std::string HighControlsAsText =
    "\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u008D\u017D\u008F"
    "\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178";

std::string HighControlBytes()
{
    std::string bytes;
    for (int byte = 0x80; byte <= 0x9F; ++byte)
        bytes += static_cast<char>(byte);
    return bytes;
}

struct DecodeCase {
    const char* name;
    std::string bytes;
    std::string text;
    SourceEncoding encoding;
};

TEST(SourceText, Decoding)
{
    const DecodeCase cases[] = {
        {"empty", "", "", SourceEncoding::Utf8},
        {"ASCII, lone LF", "int x;\n", "int x;\r\n", SourceEncoding::Utf8},
        {"lone CR, CR LF, LF", "a\rb\r\nc\n\rd", "a\r\nb\r\nc\r\n\r\nd", SourceEncoding::Utf8},
        {"UTF-8 of every length", "\x24 \xC2\xA2 \xE2\x82\xAC \xF0\x90\x8D\x88", "$ ¢ € \U00010348",
         SourceEncoding::Utf8},
        {"byte-order mark kept", "\xEF\xBB\xBFx", "\xEF\xBB\xBFx", SourceEncoding::Utf8},
        {"U+2028, U+FFFC, noncharacters", "\u2028\uFFFC\uFDD0\uFFFF", "\u2028\uFFFC\uFDD0\uFFFF",
         SourceEncoding::Utf8},
        {"Latin-1 letters", "caf\xE9 \xFC\xDF", "café üß", SourceEncoding::Windows1252},
        {"0x80 to 0x9F", HighControlBytes(), HighControlsAsText, SourceEncoding::Windows1252},
        {"overlong", "\xC0\xAF", "\u00C0\u00AF", SourceEncoding::Windows1252},
        {"encoded surrogate", "\xED\xA0\x80", "\u00ED\u00A0\u20AC", SourceEncoding::Windows1252},
        {"past U+10FFFF", "\xF4\x90\x80\x80", "\u00F4\u0090\u20AC\u20AC", SourceEncoding::Windows1252},
        {"cut short at the end", "abc\xE2\x82", "abc\u00E2\u201A", SourceEncoding::Windows1252},
        {"a sequence torn by a line end", "\xE2\r\n\x82\xAC", "\u00E2\r\n\u201A\u00AC", SourceEncoding::Windows1252},
        {"one bad byte makes the whole file 1252", "\xC3\xA9 \xE9", "\u00C3\u00A9 \u00E9", SourceEncoding::Windows1252},
    };
    for (const DecodeCase& test : cases) {
        const kw::DecodedSource decoded = kw::DecodeSource(test.bytes);
        EXPECT_EQ(decoded.utf8, test.text) << test.name;
        EXPECT_EQ(decoded.encoding, test.encoding) << test.name;
    }
}

struct EncodeCase {
    const char* name;
    std::string text;
    SourceEncoding encoding;
    std::string bytes;
};

TEST(SourceText, Encoding)
{
    const EncodeCase cases[] = {
        {"UTF-8 as it is", "caf\u00E9 \u2028\uFFFC\r\n", SourceEncoding::Utf8, "caf\u00E9 \u2028\uFFFC\r\n"},
        {"1252: Latin-1 letters", "café üß\r\n", SourceEncoding::Windows1252, "caf\xE9 \xFC\xDF\r\n"},
        {"1252: 0x80 to 0x9F", HighControlsAsText, SourceEncoding::Windows1252, HighControlBytes()},
        {"1252: no-break space, ÿ", "\u00A0\u00FF", SourceEncoding::Windows1252, "\xA0\xFF"},
        // A character the code page lacks: the whole file goes out as UTF-8,
        // so that nothing typed is lost.
        {"1252: Greek", "é Ω", SourceEncoding::Windows1252, "é Ω"},
        {"1252: U+0080, which 0x80 (€) is not", "é\u0080", SourceEncoding::Windows1252, "é\u0080"},
        {"1252: outside the BMP", "é\U0001F600", SourceEncoding::Windows1252, "é\U0001F600"},
    };
    for (const EncodeCase& test : cases)
        EXPECT_EQ(kw::EncodeSource(test.text, test.encoding), test.bytes) << test.name;
}

TEST(SourceText, EveryByteOfA1252FileSurvivesARoundTrip)
{
    for (int byte = 0; byte <= 0xFF; ++byte) {
        if (byte == '\r' || byte == '\n')
            continue;  // line ends become CR LF
        // 0xFF first: no UTF-8 text starts so.
        const std::string bytes = std::string("\xFF") + static_cast<char>(byte);
        const kw::DecodedSource decoded = kw::DecodeSource(bytes);
        ASSERT_EQ(decoded.encoding, SourceEncoding::Windows1252) << byte;
        EXPECT_EQ(kw::EncodeSource(decoded.utf8, decoded.encoding), bytes) << byte;
    }
}

} // namespace
