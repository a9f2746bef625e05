#pragma once
// The seam for starting the build script. Its one operation has the shape of
// the Win32 call WinExec, so that the Windows backend passes it through and
// the POSIX stand-in and the test double behave like it.

#include <string>
#include <vector>

namespace kw {

// WinExec's results: above 31 the program was started; otherwise the reason.
inline constexpr unsigned WINEXEC_STARTED = 33;
inline constexpr unsigned WINEXEC_FILE_NOT_FOUND = 2;
inline constexpr unsigned WINEXEC_PATH_NOT_FOUND = 3;

inline constexpr unsigned SW_SHOW_VALUE = 5;

class ProcessStarter {
public:
    virtual ~ProcessStarter() = default;

    // Starts `commandLine` and returns at once, never waiting for it.
    virtual unsigned WinExec(const std::string& commandLine, unsigned showWindow) = 0;
};

// The operating system's start: WinExec itself on Windows; on POSIX a
// terminal window running our command interpreter on the named script.
ProcessStarter& SystemProcessStarter();

// The starter that kw::WinExec uses; tests point it at a double.
ProcessStarter& CurrentProcessStarter();

// While alive, CurrentProcessStarter() is `starter`.
class ScopedProcessStarterOverride {
public:
    explicit ScopedProcessStarterOverride(ProcessStarter& starter);
    ~ScopedProcessStarterOverride();
    ScopedProcessStarterOverride(const ScopedProcessStarterOverride&) = delete;
    ScopedProcessStarterOverride& operator=(const ScopedProcessStarterOverride&) = delete;

private:
    ProcessStarter* previous_;
};

// A starter that starts nothing: it records each call and answers `result`.
class RecordingProcessStarter : public ProcessStarter {
public:
    struct Call {
        std::string commandLine;
        unsigned showWindow = 0;

        bool operator==(const Call&) const = default;
    };

    explicit RecordingProcessStarter(unsigned result = WINEXEC_STARTED) : result_(result) {}

    unsigned WinExec(const std::string& commandLine, unsigned showWindow) override;

    const std::vector<Call>& Calls() const { return calls_; }

private:
    unsigned result_;
    std::vector<Call> calls_;
};

// WinExec as the program calls it, through the current starter. A null
// command line starts nothing.
unsigned WinExec(const char* cmdLine, unsigned uCmdShow);

} // namespace kw
