#include "platform/core/Exceptions.h"
#include "platform/core/TextFileOs.h"
#include "platform/posix/ErrorCodes.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace kw {

namespace {
[[noreturn]] void RaiseInOutError(int error)
{
    throw EInOutError(WindowsErrorFromErrno(error));
}
} // namespace

long long OsCreateAlways(const std::string& name)
{
    // O_TRUNC takes effect only once the open has succeeded, so a file that
    // cannot be opened for writing is left as it was.
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        RaiseInOutError(errno);
    return fd;
}

void OsWrite(long long handle, const char* data, std::size_t size)
{
    if (handle == OsInvalidHandle)
        RaiseInOutError(EBADF);
    while (size > 0) {
        const ssize_t written = ::write(static_cast<int>(handle), data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            RaiseInOutError(errno);
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

void OsClose(long long handle)
{
    if (handle == OsInvalidHandle)
        RaiseInOutError(EBADF);
    if (::close(static_cast<int>(handle)) != 0)
        RaiseInOutError(errno);
}

void OsCloseUnchecked(long long handle) noexcept
{
    ::close(static_cast<int>(handle));
}

std::string SystemErrorText(int osError)
{
    return TrimSystemErrorText(std::strerror(osError));
}

} // namespace kw
