// Real scripts through the built kestrelwork-cmd, with its output captured.

#include "tests/console/ProcessHelpers.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <termios.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

namespace kw::test {
namespace {

namespace fs = std::filesystem;

struct Finished {
    std::string output;  // standard output and standard error, interleaved as written
    int status = -1;
};

// Runs the interpreter on `script` in the current directory. Standard input
// is a file holding `input`, or closed when there is none.
Finished RunInterpreter(const TempFolder& folder, const fs::path& script, const std::optional<std::string>& input)
{
    const fs::path out = folder / "interpreter.out";
    const fs::path in = folder / "interpreter.in";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (input) {
        WriteFileBytes(in, *input);
        posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    } else {
        posix_spawn_file_actions_addclose(&actions, 0);
    }
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);

    std::string program = BesideTestProgram("kestrelwork-cmd").string();
    std::string scriptPath = script.string();
    std::vector<char*> argv{program.data(), scriptPath.data(), nullptr};
    pid_t child = 0;
    const int error = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    Finished finished;
    if (error != 0)
        return finished;
    int status = 0;
    waitpid(child, &status, 0);
    finished.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    finished.output = ReadFileBytes(out);
    return finished;
}

std::string Join(const std::vector<std::string>& lines, const std::string& end)
{
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + end;
    return bytes;
}

std::string StandardFolders()
{
    std::string folders(confstr(_CS_PATH, nullptr, 0), '\0');
    confstr(_CS_PATH, folders.data(), folders.size());
    folders.pop_back();
    return folders;
}

class InterpreterTest : public testing::Test {
protected:
    Finished Run(const std::vector<std::string>& lines, const std::optional<std::string>& input = "",
                 const std::string& lineEnd = "\r\n")
    {
        WriteFileBytes(script_, Join(lines, lineEnd));
        return RunInterpreter(folder_, script_, input);
    }
    std::string Echo(const std::string& line) const { return "\n" + prompt_ + line + "\n"; }

    TempFolder folder_;
    ScopedCurrentDirectory here_{folder_.Path()};
    std::string prompt_ = fs::current_path().string() + ">";
    fs::path script_ = folder_ / "Batch.bat";
};

class LineEndTest : public InterpreterTest, public testing::WithParamInterface<const char*> {};

// Echo with the prompt for every line that holds something; blank lines and
// "@" lines show nothing, and the line end never reaches an argument.
TEST_P(LineEndTest, EchoesLinesAfterThePromptAndRunsThem)
{
    const std::string call = R"(/usr/bin/printf "[%s]\n" a "b c")";
    const Finished finished = Run({call, "", "  \t", "@", "@/usr/bin/printf quiet"}, "", GetParam());

    EXPECT_EQ(finished.output, Echo(call) + "[a]\n[b c]\nquiet");
    EXPECT_EQ(finished.status, 0);
}

INSTANTIATE_TEST_SUITE_P(CrLfAndLf, LineEndTest, testing::Values("\r\n", "\n"));

struct PathCase {
    const char* line;
    std::string value;  // what comes before the standard folders
};

class PathTest : public InterpreterTest, public testing::WithParamInterface<PathCase> {};

// Programs see the new search path, and a word without a folder is looked up
// on it, also with its ".exe" removed.
TEST_P(PathTest, SetsTheSearchPathFollowedByTheStandardFolders)
{
    const std::string expected = GetParam().value + StandardFolders();
    const Finished finished = Run({GetParam().line, "printenv.exe PATH", "path"});

    EXPECT_NE(finished.output.find(Echo("printenv.exe PATH") + expected + "\n"), std::string::npos) << finished.output;
    EXPECT_NE(finished.output.find(Echo("path") + "PATH=" + expected + "\n"), std::string::npos) << finished.output;
}

INSTANTIATE_TEST_SUITE_P(Forms, PathTest, testing::Values(
    PathCase{"path=/opt/arm gcc/bin", "/opt/arm gcc/bin:"},
    PathCase{"PATH /opt/arm", "/opt/arm:"},
    PathCase{"Path=", ""}));

// The script as the build writes it on POSIX: g++ named with a backslash and
// ".exe", the search path set to a folder without any tools, so the compiler
// must find its assembler and linker in the standard folders.
TEST_F(InterpreterTest, CompilesAndRunsAProgramFromTheBuildScript)
{
    fs::create_directory(folder_ / "armgcc");
    const std::string source = (folder_ / "hello.cpp").string();
    WriteFileBytes(source, "#include <cstdio>\nint main() { std::puts(\"Hello from the script\"); }\n");

    const Finished finished = Run({
        "path=" + (folder_ / "armgcc").string(),
        R"(/usr/bin\g++.exe -o")" + source + R"(.exe" ")" + source + R"(" -I/usr/include -L/usr/lib )",
        "\"" + source + ".exe\"",
        "pause",
    });

    EXPECT_TRUE(fs::exists(source + ".exe")) << finished.output;
    const std::string tail = Echo("\"" + source + ".exe\"") + "Hello from the script\n" + Echo("pause") +
                             "Press any key to continue . . . \n";
    EXPECT_TRUE(finished.output.ends_with(tail)) << finished.output;
}

struct PauseCase {
    const char* name;
    std::optional<std::string> input;
    std::string leftForTheNextProgram;
};

class PauseTest : public InterpreterTest, public testing::WithParamInterface<PauseCase> {};

// pause takes exactly one byte, or returns at the end of input, and the
// script goes on; the next program reads what is left.
TEST_P(PauseTest, WaitsForOneKeyOrTheEndOfInput)
{
    const Finished finished = Run({"pause", "/bin/cat"}, GetParam().input);

    EXPECT_EQ(finished.output, Echo("pause") + "Press any key to continue . . . \n" + Echo("/bin/cat") +
                                   GetParam().leftForTheNextProgram);
}

INSTANTIATE_TEST_SUITE_P(Inputs, PauseTest, testing::Values(
    PauseCase{"Key", "xy", "y"},
    PauseCase{"EndOfInput", "", ""},
    PauseCase{"ClosedInput", std::nullopt, ""}),
    [](const testing::TestParamInfo<PauseCase>& info) { return info.param.name; });

// Reads from a terminal's master side until `wanted` has shown, at most `limit`.
std::string ReadUntil(int master, const std::string& wanted, std::chrono::milliseconds limit)
{
    std::string shown;
    const auto end = std::chrono::steady_clock::now() + limit;
    pollfd ready{master, POLLIN, 0};
    char buffer[256];
    while (shown.find(wanted) == std::string::npos && std::chrono::steady_clock::now() < end) {
        if (poll(&ready, 1, 100) != 1)
            continue;
        const ssize_t got = read(master, buffer, sizeof buffer);
        if (got <= 0)
            break;
        shown.append(buffer, static_cast<std::size_t>(got));
    }
    return shown;
}

bool ExitsWithin(pid_t child, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (waitpid(child, nullptr, WNOHANG) == child)
            return true;
        usleep(20000);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return false;
}

// In a terminal one key is enough, without Enter, and the terminal is left
// as it was found.
TEST_F(InterpreterTest, PauseOnATerminalTakesOneKeyAndRestoresTheTerminal)
{
    WriteFileBytes(script_, "pause\r\n");
    std::string program = BesideTestProgram("kestrelwork-cmd").string();
    std::string scriptPath = script_.string();
    int master = -1;
    const pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
    if (child == 0) {
        char* argv[] = {program.data(), scriptPath.data(), nullptr};
        execv(argv[0], argv);
        _exit(127);
    }
    ASSERT_GT(child, 0);

    const std::string shown = ReadUntil(master, "Press any key to continue . . . ", std::chrono::seconds(10));
    ASSERT_TRUE(shown.ends_with("Press any key to continue . . . ")) << shown;
    ASSERT_EQ(write(master, "k", 1), 1);

    EXPECT_TRUE(ExitsWithin(child, std::chrono::seconds(10)));
    termios settings{};
    ASSERT_EQ(tcgetattr(master, &settings), 0);
    EXPECT_EQ(settings.c_lflag & (ICANON | ECHO | ISIG), static_cast<tcflag_t>(ICANON | ECHO | ISIG));
    close(master);
}

TEST_F(InterpreterTest, ReportsAProgramThatIsNotFoundAndGoesOn)
{
    const std::string notFound = " is not recognized as an internal or external command,\n"
                                 "operable program or batch file.\n";
    const Finished finished = Run({R"(C:\tools\nosuch.exe -x)", "nosuch-kw-program", "/bin/echo after"});

    EXPECT_EQ(finished.output, Echo(R"(C:\tools\nosuch.exe -x)") + R"('C:\tools\nosuch.exe')" + notFound +
                                   Echo("nosuch-kw-program") + "'nosuch-kw-program'" + notFound +
                                   Echo("/bin/echo after") + "after\n");
    EXPECT_EQ(finished.status, 0);
}

TEST_F(InterpreterTest, FailsWhenTheScriptCannotBeRead)
{
    const Finished finished = RunInterpreter(folder_, folder_ / "missing.bat", "");

    EXPECT_EQ(finished.status, 1);
    EXPECT_NE(finished.output.find("missing.bat"), std::string::npos);
}

} // namespace
} // namespace kw::test
