#pragma once
// The bytes of a source file and the text the editor shows, both ways.
// Files that are valid UTF-8 are read as UTF-8; any other file is read as
// Windows-1252, every byte one character, and is saved back the same way,
// so its bytes survive an open and a save unchanged.

#include <string>
#include <string_view>

namespace kw {

enum class SourceEncoding { Utf8, Windows1252 };

struct DecodedSource {
    std::string utf8;  // the text, every line break made CR LF
    SourceEncoding encoding = SourceEncoding::Utf8;
};

// Each CR LF, lone LF and lone CR becomes one CR LF.
std::string WithCrLfLineBreaks(std::string_view bytes);

bool IsValidUtf8(std::string_view bytes);

DecodedSource DecodeSource(std::string_view bytes);

// The bytes to save for `utf8` (lines already ending in CR LF). Text that
// Windows-1252 cannot hold goes out as UTF-8, so no character is lost.
std::string EncodeSource(std::string_view utf8, SourceEncoding encoding);

std::string Windows1252ToUtf8(std::string_view bytes);

} // namespace kw
