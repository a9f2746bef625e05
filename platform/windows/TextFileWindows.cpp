// Text-file output on Windows: CreateFileA, WriteFile and CloseHandle, each
// failure raised with GetLastError's code as it is, and FormatMessage's texts.

#include "platform/core/Exceptions.h"
#include "platform/core/TextFile.h"
#include "platform/core/TextFileOs.h"

#include <cstdint>
#include <utility>

#include <windows.h>

namespace kw {

namespace {
[[noreturn]] void RaiseInOutError(DWORD error)
{
    throw EInOutError(static_cast<int>(error));
}

HANDLE AsHandle(long long handle)
{
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(handle));
}
} // namespace

long long OsCreateAlways(const std::string& name)
{
    HANDLE file = ::CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        RaiseInOutError(::GetLastError());
    return static_cast<long long>(reinterpret_cast<intptr_t>(file));
}

void OsWrite(long long handle, const char* data, std::size_t size)
{
    if (handle == OsInvalidHandle)
        RaiseInOutError(ERROR_INVALID_HANDLE);
    while (size > 0) {
        DWORD written = 0;
        const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        if (!::WriteFile(AsHandle(handle), data, chunk, &written, nullptr))
            RaiseInOutError(::GetLastError());
        if (written == 0)
            RaiseInOutError(ERROR_WRITE_FAULT);  // no progress: never spin on it
        data += written;
        size -= written;
    }
}

void OsClose(long long handle)
{
    if (handle == OsInvalidHandle)
        RaiseInOutError(ERROR_INVALID_HANDLE);
    if (!::CloseHandle(AsHandle(handle)))
        RaiseInOutError(::GetLastError());
}

void OsCloseUnchecked(long long handle) noexcept
{
    ::CloseHandle(AsHandle(handle));
}

std::string SystemErrorText(int osError)
{
    char* buffer = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(osError), 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length ? std::string(buffer, length) : std::string();
    if (buffer)
        ::LocalFree(buffer);
    return TrimSystemErrorText(std::move(text));
}

} // namespace kw
