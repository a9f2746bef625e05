#include "platform/core/ProcessStart.h"

namespace kw {

namespace {
ProcessStarter* overrideStarter = nullptr;
}

ProcessStarter& CurrentProcessStarter()
{
    return overrideStarter ? *overrideStarter : SystemProcessStarter();
}

ScopedProcessStarterOverride::ScopedProcessStarterOverride(ProcessStarter& starter)
    : previous_(overrideStarter)
{
    overrideStarter = &starter;
}

ScopedProcessStarterOverride::~ScopedProcessStarterOverride()
{
    overrideStarter = previous_;
}

unsigned RecordingProcessStarter::WinExec(const std::string& commandLine, unsigned showWindow)
{
    calls_.push_back({commandLine, showWindow});
    return result_;
}

unsigned WinExec(const char* cmdLine, unsigned uCmdShow)
{
    if (!cmdLine)
        return WINEXEC_FILE_NOT_FOUND;
    return CurrentProcessStarter().WinExec(cmdLine, uCmdShow);
}

} // namespace kw
