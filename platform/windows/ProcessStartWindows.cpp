// The real start on Windows: WinExec runs "batch.bat" through the system's
// command interpreter in a new console window.

#include "platform/core/ProcessStart.h"

#include <windows.h>

namespace kw {

namespace {

class WindowsProcessStarter : public ProcessStarter {
public:
    unsigned WinExec(const std::string& commandLine, unsigned showWindow) override
    {
        return ::WinExec(commandLine.c_str(), showWindow);
    }
};

} // namespace

ProcessStarter& SystemProcessStarter()
{
    static WindowsProcessStarter starter;
    return starter;
}

} // namespace kw
