#include "platform/console/CommandLine.h"

#include <gtest/gtest.h>

namespace kw {
namespace {

using Kind = ScriptCommand::Kind;

struct SplitCase {
    const char* line;
    ProgramCall expected;
};

class SplitCommandLineTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, GivesTheRuntimesArgumentVector)
{
    EXPECT_EQ(SplitCommandLine(GetParam().line), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Lines, SplitCommandLineTest, testing::Values(
    // The compile line as the build writes it, with the trailing blank of empty switches.
    SplitCase{R"(/usr/bin\g++.exe -o"/home/u/hello.cpp.exe" "/home/u/hello.cpp" -I/usr/include -L/usr/lib )",
              {R"(/usr/bin\g++.exe)", {"-o/home/u/hello.cpp.exe", "/home/u/hello.cpp", "-I/usr/include", "-L/usr/lib"}}},
    SplitCase{R"(C:\pcgcc\bin\g++.exe -o"C:\dev\hello.cpp.exe" "C:\dev\hello.cpp" -IC:\pcgcc\include -LC:\pcgcc\lib -O2)",
              {R"(C:\pcgcc\bin\g++.exe)", {R"(-oC:\dev\hello.cpp.exe)", R"(C:\dev\hello.cpp)", R"(-IC:\pcgcc\include)", R"(-LC:\pcgcc\lib)", "-O2"}}},
    // No source yet: an empty quoted argument survives, bare -I and -L stay.
    SplitCase{R"(\g++.exe -o".exe" "" -I -L )", {R"(\g++.exe)", {"-o.exe", "", "-I", "-L"}}},
    // The run line: a quoted program word and no arguments.
    SplitCase{R"("C:\dev\hello.cpp.exe")", {R"(C:\dev\hello.cpp.exe)", {}}},
    // The program word: quotes anywhere in it, blanks inside them, backslashes always literal.
    SplitCase{R"("C:\Program Files"\gcc\bin\gcc.exe x)", {R"(C:\Program Files\gcc\bin\gcc.exe)", {"x"}}},
    SplitCase{R"("C:\dir\" x)", {R"(C:\dir\)", {"x"}}},
    // Blanks: spaces and tabs, leading, repeated and trailing.
    SplitCase{"  p\ta \t b\t ", {"p", {"a", "b"}}},
    SplitCase{"p", {"p", {}}},
    // Quoting inside arguments.
    SplitCase{R"(p "a b" c"d e"f)", {"p", {"a b", "cd ef"}}},
    SplitCase{R"(p "a b)", {"p", {"a b"}}},
    // 2n backslashes before a quote give n and the quote toggles; 2n+1 give n and a literal quote.
    SplitCase{R"(p a\\"b c" d)", {"p", {R"(a\b c)", "d"}}},
    SplitCase{R"(p a\\\\"b")", {"p", {R"(a\\b)"}}},
    SplitCase{R"(p a\"b c)", {"p", {R"(a"b)", "c"}}},
    SplitCase{R"(p a\\\"b)", {"p", {R"(a\"b)"}}},
    SplitCase{R"(p "a\"b c")", {"p", {R"(a"b c)"}}},
    // Backslashes not before a quote are literal, also at the end.
    SplitCase{R"(p C:\dir\\file a\ b\\)", {"p", {R"(C:\dir\\file)", R"(a\)", R"(b\\)"}}},
    // "" inside quoted text is one literal quote and quoting goes on.
    SplitCase{R"(p "a""b c" d)", {"p", {R"(a"b c)", "d"}}},
    SplitCase{R"(p """")", {"p", {R"(")"}}},
    // "" outside quoted text is an empty pair: nothing, but it keeps the word.
    SplitCase{R"(p a""b "")", {"p", {"ab", ""}}}));

struct ParseCase {
    const char* line;
    ScriptCommand expected;
};

class ParseScriptLineTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseScriptLineTest, RecognisesTheInterpretersOwnCommands)
{
    EXPECT_EQ(ParseScriptLine(GetParam().line), GetParam().expected);
}

ScriptCommand Command(Kind kind, bool echo, std::string pathValue = {}, ProgramCall call = {})
{
    return {kind, echo, std::move(pathValue), std::move(call)};
}

INSTANTIATE_TEST_SUITE_P(Lines, ParseScriptLineTest, testing::Values(
    ParseCase{R"(path=C:\armgcc\bin)", Command(Kind::SetPath, true, R"(C:\armgcc\bin)")},
    ParseCase{"PATH=/opt/a b ", Command(Kind::SetPath, true, "/opt/a b ")},
    ParseCase{"Path  /opt/arm", Command(Kind::SetPath, true, "/opt/arm")},
    ParseCase{"path=", Command(Kind::SetPath, true)},
    ParseCase{"path", Command(Kind::ShowPath, true)},
    ParseCase{"pathfinder x", Command(Kind::Run, true, {}, {"pathfinder", {"x"}})},
    ParseCase{"pause", Command(Kind::Pause, true)},
    ParseCase{"  PAUSE now", Command(Kind::Pause, true)},
    ParseCase{"pause.exe", Command(Kind::Run, true, {}, {"pause.exe", {}})},
    ParseCase{"", Command(Kind::Nothing, false)},
    ParseCase{" \t ", Command(Kind::Nothing, false)},
    ParseCase{"@", Command(Kind::Nothing, false)},
    ParseCase{"@pause", Command(Kind::Pause, false)},
    ParseCase{R"( @ "/bin/x" -a)", Command(Kind::Run, false, {}, {"/bin/x", {"-a"}})}));

struct LinesCase {
    const char* bytes;
    std::vector<std::string> expected;
};

class SplitScriptLinesTest : public testing::TestWithParam<LinesCase> {};

TEST_P(SplitScriptLinesTest, EndsLinesAtLineFeedWithOrWithoutCarriageReturn)
{
    EXPECT_EQ(SplitScriptLines(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Scripts, SplitScriptLinesTest, testing::Values(
    LinesCase{"path=x\r\npause\r\n", {"path=x", "pause"}},
    LinesCase{"path=x\npause", {"path=x", "pause"}},
    LinesCase{"a\r\n\r\nb\n\nc\r", {"a", "", "b", "", "c"}},
    LinesCase{"a\rb\n", {"a\rb"}},
    LinesCase{"", {}}));

} // namespace
} // namespace kw
