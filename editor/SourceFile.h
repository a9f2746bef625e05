#pragma once
// Reading and writing a source file whole, with the messages the user sees
// when that fails.

#include <string>

namespace kw {

// The file made absolute, as the messages name it.
std::string AbsoluteFileName(const std::string& fileName);

// Opens for reading (others may read, not write, where the system has such
// sharing) and returns the whole content. Throws `Cannot open file "%s". %s`.
std::string ReadSourceFile(const std::string& fileName);

// Creates or replaces the file and writes `bytes`. Throws
// `Cannot create file "%s". %s` and "Failed to Save Stream".
void WriteSourceFile(const std::string& fileName, const std::string& bytes);

} // namespace kw
