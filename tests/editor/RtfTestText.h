#pragma once
// Reading helpers shared by the RTF reader's tests.

#include "editor/RtfReader.h"

#include <cctype>
#include <string>
#include <vector>

namespace kw::test {

// The text of each paragraph, its runs joined.
inline std::vector<std::string> ParagraphTexts(const RtfDocument& document)
{
    std::vector<std::string> texts;
    for (const RtfParagraph& paragraph : document.paragraphs) {
        std::string text;
        for (const RtfRun& run : paragraph.runs) text += run.text;
        texts.push_back(text);
    }
    return texts;
}

// A file name as a test name: letters, digits and underscores only.
inline std::string TestNameOf(std::string name)
{
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

} // namespace kw::test
