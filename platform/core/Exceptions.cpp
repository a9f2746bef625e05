#include "platform/core/Exceptions.h"

namespace kw {

EInOutError::EInOutError(int errorCode)
    : Exception(InOutErrorText(errorCode)), errorCode_(errorCode) {}

std::string InOutErrorText(int errorCode)
{
    switch (errorCode) {
    case 2: return "File not found";
    case 3: return "Invalid filename";
    case 4: return "Too many open files";
    case 5: return "File access denied";
    case 100: return "Read beyond end of file";
    case 101: return "Disk full";
    case 106: return "Invalid numeric input";
    default: return "I/O error " + std::to_string(errorCode);
    }
}

std::string FailureReportText(const std::string& message)
{
    // Compared as unsigned bytes: a UTF-8 lead byte sorts after "." too.
    if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
        return message + ".";
    return message;
}

std::string Format(const std::string& pattern, const std::string& argument)
{
    std::string result;
    std::size_t start = 0;
    for (std::size_t at = pattern.find("%s"); at != std::string::npos; at = pattern.find("%s", start)) {
        result.append(pattern, start, at - start).append(argument);
        start = at + 2;
    }
    return result.append(pattern, start);
}

} // namespace kw
