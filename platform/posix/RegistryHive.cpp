#include "platform/posix/RegistryHive.h"

#include "platform/core/RegistryFile.h"
#include "platform/posix/ErrorCodes.h"
#include "platform/posix/FileDescriptor.h"

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kw {

namespace {

constexpr RegStatus InvalidParameter = 87;  // ERROR_INVALID_PARAMETER
constexpr RegStatus BadPathname = 161;      // ERROR_BAD_PATHNAME

RegStatus StatusFromErrno(int error)
{
    return WindowsErrorFromErrno(error);
}

bool IsRootPath(const std::string& path)
{
    return path.find('\\') == std::string::npos;
}

std::filesystem::path FolderOf(const std::filesystem::path& file)
{
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

std::filesystem::path Beside(const std::filesystem::path& file, const char* suffix)
{
    std::filesystem::path result = file;
    result += suffix;
    return result;
}

// Held for the whole read-apply-write of a commit. The lock is on a file of
// its own beside the hive, not on the hive, because the rename replaces the
// hive's inode: a lock on the old file would not stop a copy that opens the
// new one. Not on the folder either: where flock is emulated with POSIX locks
// (NFS home folders) an exclusive lock needs a descriptor open for writing,
// which a folder cannot have. The lock file is never removed, or two copies
// could end up holding locks on different inodes.
class CommitLock {
public:
    explicit CommitLock(const std::filesystem::path& hiveFile) : fd_(OpenLockFile(Beside(hiveFile, ".lock")))
    {
        if (!fd_.IsOpen()) {
            error_ = errno;
            return;
        }
        while (::flock(fd_.Get(), LOCK_EX) != 0) {
            if (errno != EINTR) {
                error_ = errno;
                return;
            }
        }
    }

    int Error() const { return error_; }  // 0 once held

private:
    // Read-only will do on local file systems, for a user who may write the
    // hive but not a lock file that another user created.
    static int OpenLockFile(const std::filesystem::path& file)
    {
        const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        return (fd < 0 && errno == EACCES) ? ::open(file.c_str(), O_RDONLY | O_CLOEXEC) : fd;
    }

    FileDescriptor fd_;
    int error_ = 0;
};

struct LoadedHive {
    RegStatus status = REG_OK;
    Hive hive;
};

// A missing file is an empty hive. A file we cannot read back exactly counts
// as no access, so nobody's hand-made file is ever rewritten in our format.
LoadedHive ReadHive(const std::filesystem::path& file)
{
    FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.IsOpen())
        return errno == ENOENT ? LoadedHive{} : LoadedHive{StatusFromErrno(errno), {}};
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return {StatusFromErrno(errno), {}};
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    auto hive = RegistryFile::Parse(bytes);
    if (!hive)
        return {REG_ACCESS_DENIED, {}};
    return {REG_OK, std::move(*hive)};
}

bool WriteAll(int fd, const std::string& bytes)
{
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            if (wrote == 0)
                errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

// The new file keeps the old one's permissions: a user who made the hive
// private keeps it private.
void CopyMode(const std::filesystem::path& from, int toFd)
{
    struct stat old {};
    if (::stat(from.c_str(), &old) == 0)
        ::fchmod(toFd, old.st_mode & 07777);
}

// Writes the new file beside the old one and renames it over, so a reader
// sees either the whole old hive or the whole new one, and a failure (disk
// full, ...) leaves the old file as it was.
RegStatus ReplaceHive(const std::filesystem::path& file, const std::string& bytes)
{
    const auto temporary = Beside(file, ".tmp");
    FileDescriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!fd.IsOpen())
        return StatusFromErrno(errno);
    CopyMode(file, fd.Get());
    const bool written = WriteAll(fd.Get(), bytes) && ::fsync(fd.Get()) == 0 && fd.Close()
        && ::rename(temporary.c_str(), file.c_str()) == 0;
    if (!written) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return StatusFromErrno(error);
    }
    // Makes the rename itself durable; the hive is already replaced, so a
    // failure here has nothing left to report.
    FileDescriptor folder(::open(FolderOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.IsOpen())
        ::fsync(folder.Get());
    return REG_OK;
}

// Full access while the file, or before it exists its folder, is writable.
bool MayWrite(const std::filesystem::path& file)
{
    if (::access(file.c_str(), F_OK) == 0)
        return ::access(file.c_str(), W_OK) == 0;
    std::error_code ignored;
    std::filesystem::create_directories(FolderOf(file), ignored);
    return ::access(FolderOf(file).c_str(), W_OK) == 0;
}

// A hive that is a symbolic link (dotfiles kept elsewhere) is replaced at the
// link's target: renaming over the link itself would cut it off.
std::filesystem::path WriteTarget(const std::filesystem::path& file)
{
    std::error_code error;
    if (!std::filesystem::is_symlink(file, error))
        return file;
    auto target = std::filesystem::canonical(file, error);
    return error ? file : target;
}

// Applies a change to the hive as it is on disk now and writes it back when
// `change` reports that something changed.
using Change = std::function<RegStatus(Hive& hive, bool& changed)>;

RegStatus Commit(const std::filesystem::path& hiveFile, const Change& change)
{
    const auto file = WriteTarget(hiveFile);
    if (!MayWrite(file))
        return REG_ACCESS_DENIED;
    const CommitLock lock(file);
    if (lock.Error() != 0)
        return StatusFromErrno(lock.Error());
    LoadedHive loaded = ReadHive(file);
    if (loaded.status != REG_OK)
        return loaded.status;
    bool changed = false;
    if (const RegStatus status = change(loaded.hive, changed); status != REG_OK || !changed)
        return status;
    return ReplaceHive(file, RegistryFile::Serialize(loaded.hive));
}

// A key that an open handle names but the file no longer holds (someone
// removed it) answers as a deleted key does on Windows.
RegStatus MissingKeyStatus(const std::string& path)
{
    return IsRootPath(path) ? REG_ACCESS_DENIED : REG_KEY_DELETED;
}

std::optional<std::filesystem::path> ConfigFolder()
{
    // Relative XDG_CONFIG_HOME values are invalid by the XDG rules and are
    // ignored: the hive would otherwise move with the current directory.
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg == '/')
        return std::filesystem::path(xdg);
    const char* home = std::getenv("HOME");
    if (home && *home)
        return std::filesystem::path(home) / ".config";
    return std::nullopt;
}

} // namespace

RegistryHive::RegistryHive(std::filesystem::path file) : file_(std::move(file)) {}

std::optional<std::filesystem::path> RegistryHive::DefaultLocation()
{
    auto folder = ConfigFolder();
    if (!folder)
        return std::nullopt;
    return *folder / "kestrelwork" / "registry.reg";
}

std::optional<std::filesystem::path> RegistryHive::Location() const
{
    return file_ ? file_ : DefaultLocation();
}

RegStatus RegistryHive::CreateKey(RegHandle parent, const std::string& subKey, RegHandle& result)
{
    const auto parentPath = keys_.PathOf(parent);
    if (!parentPath)
        return REG_INVALID_HANDLE;
    const auto path = JoinKeyPath(*parentPath, subKey);
    if (!path)
        return BadPathname;
    const auto file = Location();
    if (!file)
        return REG_ACCESS_DENIED;
    const RegStatus status = Commit(*file, [&](Hive& hive, bool& changed) {
        if (!IsRootPath(*parentPath) && !hive.FindKey(*parentPath))
            return REG_KEY_DELETED;
        changed = hive.CreateKey(*path);
        return REG_OK;
    });
    if (status != REG_OK)
        return status;
    result = keys_.Open(*path);
    return REG_OK;
}

void RegistryHive::CloseKey(RegHandle key)
{
    keys_.Close(key);
}

RegStatus RegistryHive::QueryValue(RegHandle key, const std::string& name, std::uint32_t* type,
                                   unsigned char* data, std::uint32_t* size)
{
    const auto path = keys_.PathOf(key);
    if (!path)
        return REG_INVALID_HANDLE;
    const auto file = Location();
    if (!file)
        return REG_ACCESS_DENIED;
    // No lock: the file is only ever replaced whole, by rename.
    const LoadedHive loaded = ReadHive(*file);
    if (loaded.status != REG_OK)
        return loaded.status;
    const HiveKey* stored = loaded.hive.FindKey(*path);
    if (!stored && !IsRootPath(*path))
        return REG_KEY_DELETED;
    return QueryStoredValue(stored ? stored->FindValue(name) : nullptr, type, data, size);
}

RegStatus RegistryHive::SetValue(RegHandle key, const std::string& name, std::uint32_t type,
                                 const unsigned char* data, std::uint32_t size)
{
    const auto path = keys_.PathOf(key);
    if (!path)
        return REG_INVALID_HANDLE;
    if ((!data && size != 0) || !IsStorableValueName(name))
        return InvalidParameter;
    const auto file = Location();
    if (!file)
        return REG_ACCESS_DENIED;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    return Commit(*file, [&](Hive& hive, bool& changed) {
        HiveKey* stored = hive.FindKey(*path);
        if (!stored)
            return MissingKeyStatus(*path);
        changed = stored->SetValue(name, type, bytes);
        return REG_OK;
    });
}

} // namespace kw
