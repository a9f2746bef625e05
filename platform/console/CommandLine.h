#pragma once
// How the command interpreter stand-in reads one line of a build script: which
// lines are its own commands (path, pause) and how any other line splits into
// a program and its arguments. Pure text handling, the same on every system.

#include <string>
#include <string_view>
#include <vector>

namespace kw {

struct ProgramCall {
    std::string program;  // the first word, double quotes removed, backslashes kept
    std::vector<std::string> arguments;

    bool operator==(const ProgramCall&) const = default;
};

// Splits a command line the way the Microsoft C runtime builds argv. The
// program word ends at the first blank (space or tab) outside double quotes;
// its quotes are dropped and its backslashes are literal. The rest follows the
// runtime's argument rules: blanks separate arguments outside quotes, a quote
// starts or ends quoting, 2n backslashes before a quote give n backslashes and
// the quote toggles quoting, 2n+1 give n and a literal quote, other
// backslashes are literal, and inside quoted text "" gives one literal quote
// and quoting goes on (the rule of the current runtime, not of msvcrt.dll
// before 2008).
ProgramCall SplitCommandLine(std::string_view line);

// The argument part alone, by the rules above.
std::vector<std::string> SplitArguments(std::string_view text);

struct ScriptCommand {
    enum class Kind {
        Nothing,   // empty, blanks only, or only "@": nothing runs, nothing is echoed
        SetPath,   // "path=VALUE" or "path VALUE", the word in any case
        ShowPath,  // "path" alone: prints the search path, as the interpreter does
        Pause,     // "pause" in any case, any words after it ignored
        Run,       // any other line: a program call
    };

    Kind kind = Kind::Nothing;
    // A leading "@" turns the echo of its line off, as in any batch file.
    bool echo = false;
    std::string pathValue;  // SetPath: the bytes after "=" (or after the blanks), as they are
    ProgramCall call;       // Run

    bool operator==(const ScriptCommand&) const = default;
};

ScriptCommand ParseScriptLine(std::string_view line);

// A script's lines: each ends at LF or at the end of the file, and a CR right
// before that end belongs to it; a CR inside a line stays. A last line
// without a line end still counts.
std::vector<std::string> SplitScriptLines(std::string_view bytes);

} // namespace kw
