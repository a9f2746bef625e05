#pragma once
// The failures that platform operations raise. A handler never catches
// them: they end the handler and reach the application's failure report.

#include <stdexcept>
#include <string>

namespace kw {

// A failure with a message meant for the user, such as "Failed to create key Kestrelwork".
class Exception : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The runtime's input/output error: carries the operating system's error code,
// already mapped to the Windows code of the same meaning.
class EInOutError : public Exception {
public:
    explicit EInOutError(int errorCode);
    int ErrorCode() const noexcept { return errorCode_; }

private:
    int errorCode_;
};

// "File not found", "Disk full", ... or "I/O error %d" for a code without a text of its own.
std::string InOutErrorText(int errorCode);

// The text the failure report shows: the message, with a full stop added when its
// last character sorts after "." (a letter or digit gets one, a quote or a bracket does not).
std::string FailureReportText(const std::string& message);

// printf-style "%s" substitution for the system's fixed message templates.
std::string Format(const std::string& pattern, const std::string& argument);

} // namespace kw
