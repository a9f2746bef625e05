// WinExec("batch.bat", 5) as a build runs it: the system's command interpreter
// runs the script just written, in a console window of its own, calls the
// compiler with the arguments that the script's quoting gives, and waits at
// "pause" until a key arrives in that console.

#include "build/BuildScript.h"
#include "platform/core/ProcessStart.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

#include <windows.h>

namespace kw::test {
namespace {

namespace fs = std::filesystem;

fs::path ThisProgramsFolder()
{
    char self[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(nullptr, self, sizeof self);
    return fs::path(std::string(self, length)).parent_path();
}

// What the probe wrote once it has run; nullopt when it has not within the time.
std::optional<std::vector<std::string>> WaitForReport(const fs::path& report)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!fs::exists(report)) {
        if (std::chrono::steady_clock::now() > deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::istringstream in(ReadFileBytes(report));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string ImageName(HANDLE process)
{
    char name[MAX_PATH];
    DWORD size = sizeof name;
    if (!::QueryFullProcessImageNameA(process, 0, name, &size))
        return {};
    return fs::path(std::string(name, size)).filename().string();
}

bool PressKeyIn(DWORD processId)
{
    if (!::AttachConsole(processId))
        return false;
    const HANDLE input = ::CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, 0, nullptr);
    INPUT_RECORD key[2]{};
    for (int i = 0; i < 2; ++i) {
        key[i].EventType = KEY_EVENT;
        key[i].Event.KeyEvent.bKeyDown = i == 0;
        key[i].Event.KeyEvent.wRepeatCount = 1;
        key[i].Event.KeyEvent.wVirtualKeyCode = 'X';
        key[i].Event.KeyEvent.uChar.AsciiChar = 'x';
    }
    DWORD written = 0;
    const bool pressed = input != INVALID_HANDLE_VALUE && ::WriteConsoleInputA(input, key, 2, &written) && written == 2;
    if (input != INVALID_HANDLE_VALUE)
        ::CloseHandle(input);
    ::FreeConsole();
    return pressed;
}

TEST(WindowsProcessStart, RunsTheBuildScriptInAConsoleOfItsOwnUntilAKey)
{
    TempFolder folder;
    const ScopedCurrentDirectory here(folder.Path());
    // The compile line names the compiler's folder unquoted, as the user set it.
    ASSERT_EQ(folder.Path().string().find(' '), std::string::npos) << folder.Path();
    fs::create_directory(folder / "bin");
    fs::copy_file(ThisProgramsFolder() / "kw_argument_probe.exe", folder / "bin" / "g++.exe");

    TToolchainSettings settings;
    settings.PCCompiler = (folder / "bin").string();
    settings.PCInclude = "C:\\pcgcc\\include";
    settings.PCLib = "C:\\pcgcc\\lib";
    settings.PCCSwitches = "-O2 -DGREETING=\"a b\"";
    settings.GP2XCompiler = "C:\\armgcc\\bin";
    TTextFile file;
    WriteBuildScriptFile(file, BuildCommand::Compile, 0, 0, settings, "C:\\dev\\hello.cpp");

    // The program has no console; the test gives its own up, so that the
    // script gets a new one as it does when the program starts it.
    ::FreeConsole();
    EXPECT_GT(SystemProcessStarter().WinExec("batch.bat", SW_SHOW_VALUE), 31u);

    const auto report = WaitForReport(folder / "bin" / "g++.exe.args");
    ASSERT_TRUE(report) << "the compile line did not run";
    ASSERT_GE(report->size(), 2u);
    EXPECT_EQ((*report)[1], "console window");
    const std::vector<std::string> arguments(report->begin() + 2, report->end());
    const std::vector<std::string> expected{"-oC:\\dev\\hello.cpp.exe", "C:\\dev\\hello.cpp", "-IC:\\pcgcc\\include",
                                            "-LC:\\pcgcc\\lib", "-O2", "-DGREETING=a b"};
    EXPECT_EQ(arguments, expected);

    const DWORD interpreterId = static_cast<DWORD>(std::stoul((*report)[0]));
    const HANDLE interpreter =
        ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, interpreterId);
    ASSERT_NE(interpreter, nullptr) << "the interpreter ended before its pause";
    EXPECT_TRUE(_stricmp(ImageName(interpreter).c_str(), "cmd.exe") == 0) << ImageName(interpreter);
    EXPECT_EQ(::WaitForSingleObject(interpreter, 2000), WAIT_TIMEOUT) << "the script did not wait at its pause";

    EXPECT_TRUE(PressKeyIn(interpreterId));
    const DWORD ended = ::WaitForSingleObject(interpreter, 30000);
    EXPECT_EQ(ended, WAIT_OBJECT_0) << "a key did not end the pause";
    if (ended != WAIT_OBJECT_0)
        ::TerminateProcess(interpreter, 1);
    ::CloseHandle(interpreter);
}

} // namespace
} // namespace kw::test
