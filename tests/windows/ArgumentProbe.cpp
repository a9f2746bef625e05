// A stand-in for a compiler that a build script calls: it writes down how it
// was started, into "<its own path>.args", and does nothing else. Line 1 is
// the process that started it, line 2 whether it runs in a console window,
// then one line for each argument the C runtime made of its command line.

#include <fstream>
#include <string>

#include <windows.h>
#include <tlhelp32.h>

namespace {

DWORD ParentProcessId()
{
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    DWORD parent = 0;
    for (BOOL more = ::Process32First(snapshot, &entry); more; more = ::Process32Next(snapshot, &entry)) {
        if (entry.th32ProcessID == ::GetCurrentProcessId())
            parent = entry.th32ParentProcessID;
    }
    ::CloseHandle(snapshot);
    return parent;
}

} // namespace

int main(int argc, char** argv)
{
    char self[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(nullptr, self, sizeof self);
    if (length == 0 || length == sizeof self)
        return 1;
    const std::string report = std::string(self, length) + ".args";
    {
        std::ofstream out(report + ".part", std::ios::binary | std::ios::trunc);
        out << ParentProcessId() << '\n' << (::GetConsoleWindow() ? "console window" : "no console window") << '\n';
        for (int i = 1; i < argc; ++i)
            out << argv[i] << '\n';
        if (!out.flush())
            return 1;
    }
    // Renamed when complete, so that a reader never sees half of it.
    return ::MoveFileExA((report + ".part").c_str(), report.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
