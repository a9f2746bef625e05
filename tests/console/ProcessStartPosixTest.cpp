// WinExec on POSIX: which script it finds, how it calls the terminal, that it
// leaves nothing behind to wait for, and once with a real terminal on a
// virtual display.

#include "platform/core/ProcessStart.h"
#include "tests/console/ProcessHelpers.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace kw::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A stand-in terminal that writes down its arguments and its session.
void WriteFakeTerminal(const fs::path& folder, const fs::path& reports, const std::string& name)
{
    const fs::path terminal = folder / name;
    WriteFileBytes(terminal, "#!/bin/sh\n"
                             "printf '%s\\n' \"$@\" > '" + (reports / "argv.txt").string() + "'\n"
                             "read -r stat < /proc/$$/stat\n"
                             "set -- $stat\n"
                             "printf '%s' \"$6\" > '" + (reports / "session.txt").string() + "'\n"
                             ": > '" + (reports / "done").string() + "'\n");
    fs::permissions(terminal, fs::perms::owner_all);
}

bool NoChildLeft()
{
    int status = 0;
    return waitpid(-1, &status, WNOHANG) == -1 && errno == ECHILD;
}

class WinExecPosixTest : public testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(tools_);
        fs::create_directories(scripts_);
        fs::create_directories(reports_);
    }

    void WriteScript(const std::string& name, fs::file_time_type modified)
    {
        WriteFileBytes(scripts_ / name, "pause\r\n");
        fs::last_write_time(scripts_ / name, modified);
    }

    TempFolder folder_;
    fs::path tools_ = folder_ / "tools";
    fs::path scripts_ = folder_ / "scripts";
    fs::path reports_ = folder_ / "reports";
};

struct LookupCase {
    const char* name;
    std::vector<std::string> filesOldestFirst;
    std::string expected;
};

class ScriptLookupTest : public WinExecPosixTest, public testing::WithParamInterface<LookupCase> {};

// "batch.bat" finds the script ignoring case; among several spellings the one
// written last runs. The terminal gets the documented arguments and runs in a
// session of its own, and the intermediate child has been reaped.
TEST_P(ScriptLookupTest, StartsTheTerminalOnTheScriptWrittenLast)
{
    const auto now = fs::file_time_type::clock::now();
    for (std::size_t i = 0; i < GetParam().filesOldestFirst.size(); ++i)
        WriteScript(GetParam().filesOldestFirst[i], now - std::chrono::hours(GetParam().filesOldestFirst.size() - i));
    WriteFakeTerminal(tools_, reports_, "x-terminal-emulator");
    const ScopedEnvironment path("PATH", tools_.string());
    const ScopedCurrentDirectory here(scripts_);

    EXPECT_GT(kw::WinExec("batch.bat", 5), 31u);
    EXPECT_TRUE(NoChildLeft());

    ASSERT_TRUE(WaitForFile(reports_ / "done", 10s));
    const std::string script = (fs::current_path() / GetParam().expected).string();
    const std::string interpreter = BesideTestProgram("kestrelwork-cmd").string();
    EXPECT_EQ(ReadFileBytes(reports_ / "argv.txt"), "-T\n" + script + "\n-e\n" + interpreter + "\n" + script + "\n");
    EXPECT_NE(ReadFileBytes(reports_ / "session.txt"), std::to_string(getsid(0)));
}

INSTANTIATE_TEST_SUITE_P(Spellings, ScriptLookupTest, testing::Values(
    LookupCase{"OnlyCapitalised", {"Batch.bat"}, "Batch.bat"},
    LookupCase{"StaleLowerCaseBeside", {"batch.bat", "Batch.bat"}, "Batch.bat"},
    LookupCase{"NewerUpperCase", {"Batch.bat", "BATCH.BAT"}, "BATCH.BAT"}),
    [](const testing::TestParamInfo<LookupCase>& info) { return info.param.name; });

struct FailureCase {
    const char* name;
    const char* commandLine;
    bool writeScript;
    const char* terminalContent;  // null: no terminal on the search path
    unsigned expected;
};

class StartFailureTest : public WinExecPosixTest, public testing::WithParamInterface<FailureCase> {};

// What cannot start starts nothing and says so in WinExec's result only.
TEST_P(StartFailureTest, StartsNothingAndAnswersAnError)
{
    if (GetParam().writeScript)
        WriteScript("Batch.bat", fs::file_time_type::clock::now());
    if (GetParam().terminalContent) {
        WriteFakeTerminal(tools_, reports_, "xterm");
        WriteFileBytes(tools_ / "xterm", GetParam().terminalContent);
    }
    const ScopedEnvironment path("PATH", tools_.string());
    const ScopedCurrentDirectory here(scripts_);

    EXPECT_EQ(kw::WinExec(GetParam().commandLine, 5), GetParam().expected);
    EXPECT_TRUE(NoChildLeft());
    EXPECT_TRUE(fs::is_empty(reports_));
}

INSTANTIATE_TEST_SUITE_P(Cases, StartFailureTest, testing::Values(
    FailureCase{"NoScript", "batch.bat", false, nullptr, 2},
    FailureCase{"NoFolder", "missing/batch.bat", true, nullptr, 3},
    FailureCase{"NoTerminal", "batch.bat", true, nullptr, 2},
    FailureCase{"TerminalNotAProgram", "batch.bat", true, "\x7f" "ELF garbage", 2}),
    [](const testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

std::optional<fs::path> FindOnPath(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::string list = path ? path : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t end = std::min(list.find(':', start), list.size());
        const fs::path candidate = fs::path(list.substr(start, end - start)) / name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return std::nullopt;
}

// An X server of our own on a free display, told us by Xvfb itself.
class VirtualDisplay {
public:
    VirtualDisplay()
    {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        fcntl(fds[0], F_SETFD, FD_CLOEXEC);
        std::string displayFd = std::to_string(fds[1]);
        std::vector<std::string> words{"Xvfb", "-displayfd", displayFd, "-nolisten", "tcp", "-screen", "0", "640x480x24"};
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv.data(), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (pid_ > 0)
            name_ = ReadDisplayNumber(fds[0]);
        close(fds[0]);
    }
    ~VirtualDisplay()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // ":N" once the server accepts connections; empty when it did not start.
    const std::string& Name() const { return name_; }

private:
    static std::string ReadDisplayNumber(int fd)
    {
        std::string number;
        pollfd ready{fd, POLLIN, 0};
        char c = 0;
        while (poll(&ready, 1, 10000) == 1 && read(fd, &c, 1) == 1 && c != '\n')
            number += c;
        return c == '\n' && !number.empty() ? ":" + number : std::string();
    }

    pid_t pid_ = -1;
    std::string name_;
};

// The whole way with the system's terminal: the script runs in a window of a
// virtual display and writes its marker; without a pause the window closes.
TEST(WinExecPosixRealTerminal, RunsTheScriptInATerminalWindow)
{
    if (!FindOnPath("Xvfb") || !(FindOnPath("x-terminal-emulator") || FindOnPath("xterm")))
        GTEST_SKIP() << "needs Xvfb and a terminal (x-terminal-emulator or xterm)";
    const TempFolder folder;
    const fs::path marker = folder / "marker";
    WriteFileBytes(folder / "Batch.bat", "path=\r\ntouch \"" + marker.string() + "\"\r\n");
    const VirtualDisplay display;
    ASSERT_FALSE(display.Name().empty()) << "Xvfb did not start";
    const ScopedEnvironment displayName("DISPLAY", display.Name());
    const ScopedCurrentDirectory here(folder.Path());

    EXPECT_GT(kw::WinExec("batch.bat", 5), 31u);

    EXPECT_TRUE(WaitForFile(marker, 20s));
}

} // namespace
} // namespace kw::test
