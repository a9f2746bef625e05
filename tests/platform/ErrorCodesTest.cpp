// The Windows error code that the text-file output raises for each errno.

#include "platform/posix/ErrorCodes.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <set>

namespace {

struct Mapped {
    int error;
    const char* name;
    int windowsCode;
};

// errno values that have a Windows code of the same meaning.
const Mapped MappedErrors[] = {
    {ENOENT, "ENOENT", 2},     {ENOTDIR, "ENOTDIR", 3}, {EMFILE, "EMFILE", 4},   {ENFILE, "ENFILE", 4},
    {EACCES, "EACCES", 5},     {EPERM, "EPERM", 5},     {EROFS, "EROFS", 5},     {EISDIR, "EISDIR", 5},
    {EBADF, "EBADF", 6},       {ENOMEM, "ENOMEM", 8},   {ETXTBSY, "ETXTBSY", 32}, {EBUSY, "EBUSY", 32},
    {EEXIST, "EEXIST", 80},    {EINVAL, "EINVAL", 87},  {ENOSPC, "ENOSPC", 112}, {EDQUOT, "EDQUOT", 112},
    {ENAMETOOLONG, "ENAMETOOLONG", 206}, {EIO, "EIO", 1117},
};

TEST(ErrorCodes, EachErrnoGivesTheWindowsCodeOfTheSameMeaning)
{
    for (const Mapped& mapped : MappedErrors)
        EXPECT_EQ(kw::WindowsErrorFromErrno(mapped.error), mapped.windowsCode) << mapped.name;
}

TEST(ErrorCodes, AnErrnoWithoutSuchACodeNeverPassesForOneWithItsOwnText)
{
    // These codes have a message of their own ("File not found", "Disk
    // full", ...), which would tell the user something untrue.
    const std::set<int> ownText = {2, 3, 4, 5, 100, 101, 106};
    std::set<int> mapped;
    for (const Mapped& entry : MappedErrors)
        mapped.insert(entry.error);
    for (int error = 0; error < 4096; ++error) {
        if (mapped.count(error))
            continue;
        const int code = kw::WindowsErrorFromErrno(error);
        EXPECT_EQ(ownText.count(code), 0u) << error << " (" << std::strerror(error) << ") gives " << code;
    }
}

} // namespace
