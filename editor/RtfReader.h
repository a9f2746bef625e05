#pragma once
// Reads an RTF 1.x document into a neutral model of formatted text, which the
// editor turns into its own document. Pure standard C++ so that it builds
// for every platform the core builds for.
//
// The model:
//   RtfDocument: a list of paragraphs, in order.
//   RtfParagraph: an alignment and a list of runs. Every \par (also \sect,
//     \page, \row and a backslash before a raw line end) closes one
//     paragraph; text after the last one forms a final paragraph only when it
//     holds any run. So "a\par" is one paragraph, "a\par\par" two (the second
//     empty), and an empty document has none.
//   RtfRun: UTF-8 text and one character format. Neighbouring runs of a
//     paragraph always differ in format, and no run is empty. Inside a run's
//     text, '\n' is a line break within the paragraph (\line) and '\t' a tab;
//     no other control character below U+0020 appears. Table cells (\cell)
//     are separated by a tab, and each table row is one paragraph.
//   Not shown: hidden text (\v), and destinations that are no body text
//     (font and colour tables, style sheet, \info, headers and footers,
//     footnotes, pictures, objects' data, field instructions, and every group
//     marked \* but the Unicode alternative \ud of \upr).
//   \'hh and raw 8-bit bytes are decoded by the font's \fcharset (Greek,
//     Cyrillic, Central European), else by \ansicpg: 1250, 1251, 1252 and
//     1253 are known, every other code page is read as Windows-1252.
//
// What is rejected: only content that does not start as an RTF document,
// i.e. whose first bytes, after an optional UTF-8 byte-order mark and ASCII
// blanks, are not "{\rtf" followed by anything but a letter. Everything
// after a valid start is read tolerantly: unknown control words are ignored,
// unknown destinations marked with \* are skipped, and a document that is
// truncated or has unbalanced braces yields what was read up to its end
// (anything after the brace that closes the document is ignored).
//
// Limits: the reader runs in time linear in the input, uses no recursion,
// and its result is at most a constant times the input's size. Groups nested
// deeper than RtfMaxGroupDepth share the formatting of the deepest group
// kept; their text is still read.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kw {

inline constexpr std::size_t RtfMaxGroupDepth = 512;
// Font names longer than this (in UTF-8 bytes) are cut at a character boundary.
inline constexpr std::size_t RtfMaxFontNameBytes = 64;

struct RtfColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const RtfColour&) const = default;
};

// An unset optional means "the editor's default" (its own font, size and
// colours); the document's default font (\deff) counts as set.
struct RtfCharFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    std::optional<int> halfPoints;          // \fsN: font size in half-points
    std::optional<std::string> fontFamily;  // name from the font table
    std::optional<RtfColour> foreground;    // \cfN
    std::optional<RtfColour> background;    // \highlightN, else \cbN / \chcbpatN
    bool operator==(const RtfCharFormat&) const = default;
};

struct RtfRun {
    std::string text;
    RtfCharFormat format;
    bool operator==(const RtfRun&) const = default;
};

enum class RtfAlignment { Left, Centre, Right, Justify };

struct RtfParagraph {
    RtfAlignment alignment = RtfAlignment::Left;
    std::vector<RtfRun> runs;
    bool operator==(const RtfParagraph&) const = default;
};

struct RtfDocument {
    std::vector<RtfParagraph> paragraphs;
    bool operator==(const RtfDocument&) const = default;
};

// True when the content starts as an RTF document (see above).
bool LooksLikeRtf(std::string_view content);

// The document read from the content's raw bytes, or nothing when the content
// is not an RTF document and should be shown as plain text instead. Hand it
// the file as read, before line ends are rewritten: \binN counts bytes.
std::optional<RtfDocument> ReadRtf(std::string_view content);

} // namespace kw
