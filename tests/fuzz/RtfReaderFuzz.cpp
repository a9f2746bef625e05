// Feeds arbitrary bytes to the RTF reader, as they are and behind an RTF
// header, and checks what any document must satisfy: valid UTF-8, no empty
// or mergeable runs, no stray control characters, and a size proportional
// to the input.
//
// Seeds: the documents in tests/editor/rtf/; dictionary: rtf.dict beside this file.

#include "editor/RtfReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Require(bool condition)
{
    if (!condition) std::abort();
}

bool IsValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3
                                 : (lead >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size()) return false;
        char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (next & 0x3F);
        }
        const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < least[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += length;
    }
    return true;
}

void Check(std::string_view input)
{
    const std::optional<kw::RtfDocument> document = kw::ReadRtf(input);
    Require(document.has_value() == kw::LooksLikeRtf(input));
    if (!document) return;
    std::size_t textBytes = 0;
    std::size_t runs = 0;
    for (const kw::RtfParagraph& paragraph : document->paragraphs) {
        for (std::size_t i = 0; i < paragraph.runs.size(); ++i) {
            const kw::RtfRun& run = paragraph.runs[i];
            Require(!run.text.empty());
            Require(i == 0 || !(paragraph.runs[i - 1].format == run.format));
            Require(IsValidUtf8(run.text));
            for (const char c : run.text)
                Require(static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n');
            Require(!run.format.fontFamily || run.format.fontFamily->size() <= kw::RtfMaxFontNameBytes);
            textBytes += run.text.size();
        }
        runs += paragraph.runs.size();
    }
    // No input byte yields more than three bytes of UTF-8, nor more than one
    // run or paragraph.
    Require(textBytes <= 3 * input.size());
    Require(runs <= input.size());
    Require(document->paragraphs.size() <= input.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Check(bytes);
    Check(std::string("{\\rtf1 ").append(bytes));
    return 0;
}
