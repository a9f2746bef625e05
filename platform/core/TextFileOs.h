#pragma once
// What each operating system provides for TTextFile. Every function raises
// EInOutError with the Windows error code when it fails.

#include <cstddef>
#include <string>

namespace kw {

inline constexpr long long OsInvalidHandle = -1;

// Creates the file or empties it, for writing only, others allowed to read.
long long OsCreateAlways(const std::string& name);
void OsWrite(long long handle, const char* data, std::size_t size);
void OsClose(long long handle);
void OsCloseUnchecked(long long handle) noexcept;

// Drops the trailing blanks, line breaks and full stops of a system text.
std::string TrimSystemErrorText(std::string text);

} // namespace kw
