#include "editor/SourceFile.h"

#include "platform/core/Exceptions.h"
#include "platform/core/TextFile.h"  // SystemErrorText
#include "platform/posix/FileDescriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace kw {

namespace {

// `Cannot open file "NAME". TEXT` with the file made absolute.
std::string FileMessage(const char* verb, const std::string& fileName, int error)
{
    return std::string("Cannot ") + verb + " file \"" + AbsoluteFileName(fileName) + "\". " + SystemErrorText(error);
}

} // namespace

std::string AbsoluteFileName(const std::string& fileName)
{
    std::error_code ignored;
    const auto absolute = std::filesystem::absolute(fileName, ignored);
    return absolute.empty() ? fileName : absolute.lexically_normal().string();
}

std::string ReadSourceFile(const std::string& fileName)
{
    FileDescriptor file(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0)
        throw Exception(FileMessage("open", fileName, errno));
    std::string content;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(file.Get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            // A folder opens but cannot be read: that is a file that cannot be opened.
            throw Exception(FileMessage("open", fileName, errno));
        }
        if (got == 0)
            break;
        content.append(buffer, static_cast<std::size_t>(got));
    }
    return content;
}

void WriteSourceFile(const std::string& fileName, const std::string& bytes)
{
    FileDescriptor file(::open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (file.Get() < 0)
        throw Exception(FileMessage("create", fileName, errno));
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(file.Get(), data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            throw Exception("Failed to Save Stream");
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    if (!file.Close())
        throw Exception("Failed to Save Stream");
}

} // namespace kw
