#pragma once
// The command interpreter stand-in: runs a build script in the terminal it was
// started in, line by line, with echo on, the way the Windows command
// interpreter runs a batch file. POSIX only; on Windows the real one runs it.

#include <string>

namespace kw {

// Runs every line of the script and returns the interpreter's exit status:
// 0 after the last line, whatever the programs it called returned; 1 when the
// script cannot be read (the reason is printed on standard error).
int RunScriptFile(const std::string& scriptPath);

} // namespace kw
