#pragma once
// Shows an RTF document in a Qt text document.

#include <QTextDocument>

#include <string_view>

namespace kw {

// Replaces the document's content with the RTF document read from `content`.
// False, with the document untouched, when the content is not an RTF document.
bool BuildDocumentFromRtf(std::string_view content, QTextDocument& document);

} // namespace kw
