#include "platform/core/TextFile.h"

#include "platform/core/TextFileOs.h"

namespace kw {

TTextFile::~TTextFile()
{
    Release();
}

void TTextFile::AssignFile(const std::string& name)
{
    Release();
    name_ = name;
}

void TTextFile::Rewrite()
{
    Release();
    handle_ = OsCreateAlways(name_);
}

void TTextFile::WriteLine(const std::string& line)
{
    // One write per line, so a line that fails is the last one attempted.
    std::string bytes;
    bytes.reserve(line.size() + 2);
    bytes.append(line).append("\r\n");
    OsWrite(handle_, bytes.data(), bytes.size());
}

void TTextFile::CloseFile()
{
    const long long handle = handle_;
    handle_ = OsInvalidHandle;
    OsClose(handle);
}

void TTextFile::Release() noexcept
{
    if (handle_ != OsInvalidHandle) {
        OsCloseUnchecked(handle_);
        handle_ = OsInvalidHandle;
    }
}

std::string TrimSystemErrorText(std::string text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\r' || text.back() == '\n' || text.back() == '.'))
        text.pop_back();
    return text;
}

} // namespace kw
