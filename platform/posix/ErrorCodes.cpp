#include "platform/posix/ErrorCodes.h"

#include <cerrno>

namespace kw {

int WindowsErrorFromErrno(int error)
{
    switch (error) {
    case ENOENT: return 2;                    // ERROR_FILE_NOT_FOUND
    case ENOTDIR: return 3;                   // ERROR_PATH_NOT_FOUND
    case EMFILE: case ENFILE: return 4;       // ERROR_TOO_MANY_OPEN_FILES
    case EACCES: case EPERM: case EROFS: case EISDIR: return 5;  // ERROR_ACCESS_DENIED
    case EBADF: return 6;                     // ERROR_INVALID_HANDLE
    case ENOMEM: return 8;                    // ERROR_NOT_ENOUGH_MEMORY
    case ETXTBSY: case EBUSY: return 32;      // ERROR_SHARING_VIOLATION
    case EEXIST: return 80;                   // ERROR_FILE_EXISTS
    case EINVAL: return 87;                   // ERROR_INVALID_PARAMETER
    case ENOSPC: case EDQUOT: return 112;     // ERROR_DISK_FULL
    case ENAMETOOLONG: return 206;            // ERROR_FILENAME_EXCED_RANGE
    case EIO: return 1117;                    // ERROR_IO_DEVICE
    default:
        // Kept clear of the codes above: an unknown errno is reported by its own number.
        return 100000 + error;
    }
}

} // namespace kw
