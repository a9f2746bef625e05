// "Batch.bat" read back byte for byte: the worked example, every row of the
// decision table, the edge cases of odd settings, and every failing step.

#include "build/BuildScript.h"
#include "platform/core/Exceptions.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace kw;
using kw::test::ReadFileBytes;
using kw::test::ScopedCurrentDirectory;
using kw::test::TempFolder;

namespace {

TToolchainSettings ExampleSettings()
{
    TToolchainSettings s;
    s.PCCompiler = "C:\\pcgcc\\bin";
    s.PCInclude = "C:\\pcgcc\\include";
    s.PCLib = "C:\\pcgcc\\lib";
    s.PCCSwitches = "-O2";
    s.GP2XCompiler = "C:\\armgcc\\bin";
    s.GP2XInclude = "C:\\armgcc\\include";
    s.GP2XLib = "C:\\armgcc\\lib";
    s.GP2XCSwitches = "-O3";
    // The linker settings take no part in a script.
    s.PCLinker = "C:\\never";
    s.PCLSwitches = "-never";
    s.GP2XLinker = "C:\\never";
    s.GP2XLSwitches = "-never";
    return s;
}

const std::string Source = "C:\\dev\\hello.cpp";

std::string Written(BuildCommand command, int target, int language, const TToolchainSettings& settings,
                    const std::string& source)
{
    TempFolder folder;
    ScopedCurrentDirectory here(folder.Path());
    TTextFile file;
    WriteBuildScriptFile(file, command, target, language, settings, source);
    return ReadFileBytes(folder / "Batch.bat");
}

} // namespace

TEST(BuildScript, WorkedExampleByteForByte)
{
    const auto settings = ExampleSettings();
    EXPECT_EQ(Written(BuildCommand::Compile, 0, 0, settings, Source),
              "path=C:\\armgcc\\bin\r\n"
              "C:\\pcgcc\\bin\\g++.exe -o\"C:\\dev\\hello.cpp.exe\" \"C:\\dev\\hello.cpp\" -IC:\\pcgcc\\include "
              "-LC:\\pcgcc\\lib -O2\r\n"
              "pause\r\n");
    EXPECT_EQ(Written(BuildCommand::CompileAndRun, 0, 0, settings, Source),
              "path=C:\\armgcc\\bin\r\n"
              "C:\\pcgcc\\bin\\g++.exe -o\"C:\\dev\\hello.cpp.exe\" \"C:\\dev\\hello.cpp\" -IC:\\pcgcc\\include "
              "-LC:\\pcgcc\\lib -O2\r\n"
              "\"C:\\dev\\hello.cpp.exe\"\r\n"
              "pause\r\n");
    const std::string gp2x = "path=C:\\armgcc\\bin\r\n"
                             "C:\\armgcc\\bin\\arm-linux-g++.exe -o\"C:\\dev\\hello.cpp.gpe\" \"C:\\dev\\hello.cpp\" "
                             "-IC:\\armgcc\\include -LC:\\armgcc\\lib -O3\r\n"
                             "pause\r\n";
    EXPECT_EQ(Written(BuildCommand::Compile, 1, 0, settings, Source), gp2x);
    EXPECT_EQ(Written(BuildCommand::CompileAndRun, 1, 0, settings, Source), gp2x);
}

struct DecisionRow {
    BuildCommand command;
    int target;
    int language;
    std::vector<std::string> lines;
};

class DecisionTable : public testing::TestWithParam<DecisionRow> {};

TEST_P(DecisionTable, GivesTheLinesOfItsRow)
{
    const DecisionRow& row = GetParam();
    TToolchainSettings s;
    s.PCCompiler = "P";
    s.PCInclude = "PI";
    s.PCLib = "PL";
    s.PCCSwitches = "PS";
    s.GP2XCompiler = "G";
    s.GP2XInclude = "GI";
    s.GP2XLib = "GL";
    s.GP2XCSwitches = "GS";
    std::string expected;
    for (const std::string& line : row.lines)
        expected += line + "\r\n";
    EXPECT_EQ(Written(row.command, row.target, row.language, s, "s.c"), expected);
}

const std::string PcCpp = "P\\g++.exe -o\"s.c.exe\" \"s.c\" -IPI -LPL PS";
const std::string PcC = "P\\gcc.exe -o\"s.c.exe\" \"s.c\" -IPI -LPL PS";
const std::string ArmCpp = "G\\arm-linux-g++.exe -o\"s.c.gpe\" \"s.c\" -IGI -LGL GS";
const std::string ArmC = "G\\arm-linux-gcc.exe -o\"s.c.gpe\" \"s.c\" -IGI -LGL GS";

INSTANTIATE_TEST_SUITE_P(
    AllRows, DecisionTable,
    testing::Values(DecisionRow{BuildCommand::Compile, 0, 0, {"path=G", PcCpp, "pause"}},
                    DecisionRow{BuildCommand::Compile, 0, 1, {"path=G", PcC, "pause"}},
                    DecisionRow{BuildCommand::Compile, 1, 0, {"path=G", ArmCpp, "pause"}},
                    DecisionRow{BuildCommand::Compile, 1, 1, {"path=G", ArmC, "pause"}},
                    DecisionRow{BuildCommand::CompileAndRun, 0, 0, {"path=G", PcCpp, "\"s.c.exe\"", "pause"}},
                    DecisionRow{BuildCommand::CompileAndRun, 0, 1, {"path=G", PcC, "\"s.c.exe\"", "pause"}},
                    DecisionRow{BuildCommand::CompileAndRun, 1, 0, {"path=G", ArmCpp, "pause"}},
                    DecisionRow{BuildCommand::CompileAndRun, 1, 1, {"path=G", ArmC, "pause"}},
                    DecisionRow{BuildCommand::Compile, 0, 2, {"path=G", "pause"}},
                    DecisionRow{BuildCommand::CompileAndRun, 1, -1, {"path=G", "pause"}},
                    DecisionRow{BuildCommand::CompileAndRun, 2, 0, {"path=G", "pause"}},
                    DecisionRow{BuildCommand::Compile, -1, 1, {"path=G", "pause"}},
                    DecisionRow{BuildCommand::CompileAndRun, 2147483647, 0, {"path=G", "pause"}}));

TEST(BuildScript, OddSettingsAreWrittenAsTheyAre)
{
    // Empty everything: the script still has every piece.
    EXPECT_EQ(Written(BuildCommand::CompileAndRun, 0, 0, TToolchainSettings{}, ""),
              "path=\r\n\\g++.exe -o\".exe\" \"\" -I -L \r\n\".exe\"\r\npause\r\n");
    EXPECT_EQ(Written(BuildCommand::Compile, 1, 1, TToolchainSettings{}, ""),
              "path=\r\n\\arm-linux-gcc.exe -o\".gpe\" \"\" -I -L \r\npause\r\n");

    TToolchainSettings s;
    s.PCCompiler = "C:\\Program Files\\gcc\\";  // trailing backslash, blanks, no quotes added
    s.PCInclude = "C:\\My Includes";
    s.PCLib = "";
    s.PCCSwitches = "-DX=\"%PATH%\" ^& echo";  // nothing is escaped
    s.GP2XCompiler = "\xC3\xA9\xFF";           // bytes pass through unchanged
    EXPECT_EQ(Written(BuildCommand::Compile, 0, 0, s, "C:\\a b\\x.cpp"),
              "path=\xC3\xA9\xFF\r\n"
              "C:\\Program Files\\gcc\\\\g++.exe -o\"C:\\a b\\x.cpp.exe\" \"C:\\a b\\x.cpp\" -IC:\\My Includes -L "
              "-DX=\"%PATH%\" ^& echo\r\n"
              "pause\r\n");
}

TEST(BuildScript, WritingTwiceLeavesOnlyTheSecondScript)
{
    TempFolder folder;
    ScopedCurrentDirectory here(folder.Path());
    TTextFile file;
    const auto settings = ExampleSettings();
    WriteBuildScriptFile(file, BuildCommand::CompileAndRun, 0, 0, settings, Source);
    WriteBuildScriptFile(file, BuildCommand::Compile, 0, 5, settings, Source);
    EXPECT_EQ(ReadFileBytes(folder / "Batch.bat"), "path=C:\\armgcc\\bin\r\npause\r\n");
}

TEST(BuildScript, SourceNamesTheScriptCannotCarryAreRefusedBeforeWriting)
{
    for (const std::string source : {"/tmp/a\"b.c", "/tmp/a\nrm -rf x.c", "/tmp/a\r.c"}) {
        TempFolder folder;
        ScopedCurrentDirectory here(folder.Path());
        kw::test::WriteFileBytes(folder / "Batch.bat", "old script\r\n");
        TTextFile file;
        try {
            WriteBuildScriptFile(file, BuildCommand::Compile, 0, 0, ExampleSettings(), source);
            FAIL() << "accepted " << source;
        } catch (const Exception& e) {
            EXPECT_EQ(std::string(e.what()), "The source file name cannot be used in a build script: " + source);
        }
        EXPECT_EQ(ReadFileBytes(folder / "Batch.bat"), "old script\r\n");
    }
}

namespace {
int FailureCode(const std::function<void()>& write)
{
    try {
        write();
    } catch (const EInOutError& e) {
        return e.ErrorCode();
    }
    return 0;
}
} // namespace

TEST(BuildScript, FailingStepsRaiseTheWindowsErrorCode)
{
    TempFolder folder;
    ScopedCurrentDirectory here(folder.Path());
    TTextFile file;
    auto write = [&] { WriteBuildScriptFile(file, BuildCommand::Compile, 0, 0, ExampleSettings(), Source); };

    // A folder where the script should be: access denied, also for root.
    std::filesystem::create_directory(folder / "Batch.bat");
    EXPECT_EQ(FailureCode(write), 5);
    EXPECT_EQ(InOutErrorText(5), "File access denied");
    std::filesystem::remove(folder / "Batch.bat");

#ifndef _WIN32
    // A full disk: the first line that is written fails.
    std::filesystem::create_symlink("/dev/full", folder / "Batch.bat");
    EXPECT_EQ(FailureCode(write), 112);
    EXPECT_EQ(InOutErrorText(112), "I/O error 112");
    EXPECT_FALSE(file.IsOpen());
#endif
}

#ifdef _WIN32
TEST(BuildScript, AReadOnlyScriptIsLeftUnchanged)
{
    TempFolder folder;
    ScopedCurrentDirectory here(folder.Path());
    kw::test::WriteFileBytes(folder / "Batch.bat", "old\r\n");
    ASSERT_TRUE(::SetFileAttributesA("Batch.bat", FILE_ATTRIBUTE_READONLY));
    // Windows refuses every account; Wine lets root write all the same.
    const HANDLE writable = ::CreateFileA("Batch.bat", GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (writable != INVALID_HANDLE_VALUE) {
        ::CloseHandle(writable);
        GTEST_SKIP() << "this account writes read-only files (root under Wine)";
    }
    TTextFile file;
    EXPECT_EQ(FailureCode([&] { WriteBuildScriptFile(file, BuildCommand::Compile, 0, 0, ExampleSettings(), Source); }),
              5);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(ReadFileBytes(folder / "Batch.bat"), "old\r\n");
    ::SetFileAttributesA("Batch.bat", FILE_ATTRIBUTE_NORMAL);
}

TEST(BuildScript, AScriptHeldOpenWithoutSharedWritingIsASharingViolation)
{
    TempFolder folder;
    ScopedCurrentDirectory here(folder.Path());
    kw::test::WriteFileBytes(folder / "Batch.bat", "old\r\n");
    // Another program reading the script and letting nobody else in.
    const HANDLE held = ::CreateFileA("Batch.bat", GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                      nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    TTextFile file;
    EXPECT_EQ(FailureCode([&] { WriteBuildScriptFile(file, BuildCommand::Compile, 0, 0, ExampleSettings(), Source); }),
              32);
    EXPECT_EQ(InOutErrorText(32), "I/O error 32");
    ::CloseHandle(held);
    EXPECT_EQ(ReadFileBytes(folder / "Batch.bat"), "old\r\n");
}
#else
TEST(BuildScript, AReadOnlyScriptIsLeftUnchanged)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";
    TempFolder folder;
    std::filesystem::permissions(folder.Path(), std::filesystem::perms::all);
    kw::test::WriteFileBytes(folder / "Batch.bat", "old\r\n");
    std::filesystem::permissions(folder / "Batch.bat", std::filesystem::perms::owner_read |
                                                           std::filesystem::perms::group_read |
                                                           std::filesystem::perms::others_read);
    const pid_t child = ::fork();
    if (child == 0) {
        // As an ordinary user, for whom the file's permissions count.
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(99);
        if (::chdir(folder.Path().c_str()) != 0)
            ::_exit(98);
        int code = 0;
        try {
            TTextFile file;
            WriteBuildScriptFile(file, BuildCommand::Compile, 0, 0, ExampleSettings(), Source);
        } catch (const EInOutError& e) {
            code = e.ErrorCode();
        }
        ::_exit(code);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 5);
    EXPECT_EQ(ReadFileBytes(folder / "Batch.bat"), "old\r\n");
}
#endif

TEST(InOutErrorText, NamedCodesAndTheRest)
{
    const std::pair<int, const char*> texts[] = {
        {2, "File not found"},       {3, "Invalid filename"},        {4, "Too many open files"},
        {5, "File access denied"},   {100, "Read beyond end of file"}, {101, "Disk full"},
        {106, "Invalid numeric input"}, {32, "I/O error 32"},        {112, "I/O error 112"},
    };
    for (const auto& [code, text] : texts)
        EXPECT_EQ(InOutErrorText(code), text);
}

TEST(SystemErrorText, IsTheSystemsTextWithoutItsEnding)
{
    // strerror's text on POSIX, FormatMessage's on Windows ("...denied.\r\n" there).
#ifdef _WIN32
    const int accessDenied = ERROR_ACCESS_DENIED;
#else
    const int accessDenied = EACCES;
#endif
    const std::string text = SystemErrorText(accessDenied);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.find_last_not_of(" \r\n."), text.size() - 1) << text;
}
