#pragma once
// The build script "Batch.bat": its lines for each command, target and
// language, and their writing through a text-file variable.

#include "platform/core/TextFile.h"
#include "settings/ToolchainSettings.h"

#include <string>
#include <vector>

namespace kw {

enum class BuildCommand { Compile, CompileAndRun };

inline constexpr const char* BuildScriptName = "Batch.bat";

// The script's lines, without their CR LF ends.
std::vector<std::string> BuildScriptLines(BuildCommand command, int buildTarget, int buildLanguage,
                                          const TToolchainSettings& settings, const std::string& source);

// Throws when the source's name holds a character the script cannot carry
// (a double quote, a carriage return or a line feed), before anything is written.
void CheckSourceNameForScript(const std::string& source);

// Writes "Batch.bat" in the current directory: created or emptied, one line
// at a time, each step checked, then closed. Raises EInOutError on the first
// failing step, so no later line is written.
void WriteBuildScriptFile(TTextFile& file, BuildCommand command, int buildTarget, int buildLanguage,
                          const TToolchainSettings& settings, const std::string& source);

} // namespace kw
