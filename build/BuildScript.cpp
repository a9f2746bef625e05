#include "build/BuildScript.h"

#include "platform/core/Exceptions.h"

namespace kw {

namespace {

struct TargetPieces {
    std::string TToolchainSettings::*compiler;
    std::string TToolchainSettings::*include;
    std::string TToolchainSettings::*library;
    std::string TToolchainSettings::*switches;
    const char* cppTool;
    const char* cTool;
    const char* outputPiece;
};

constexpr TargetPieces PcPieces{&TToolchainSettings::PCCompiler, &TToolchainSettings::PCInclude,
                                &TToolchainSettings::PCLib, &TToolchainSettings::PCCSwitches,
                                "\\g++.exe -o\"", "\\gcc.exe -o\"", ".exe\" \""};
constexpr TargetPieces Gp2xPieces{&TToolchainSettings::GP2XCompiler, &TToolchainSettings::GP2XInclude,
                                  &TToolchainSettings::GP2XLib, &TToolchainSettings::GP2XCSwitches,
                                  "\\arm-linux-g++.exe -o\"", "\\arm-linux-gcc.exe -o\"", ".gpe\" \""};

constexpr int TargetPc = 0;
constexpr int TargetGp2x = 1;
constexpr int LanguageCpp = 0;
constexpr int LanguageC = 1;

// The eleven pieces of a compile line, concatenated in their order.
std::string CompileLine(const TargetPieces& pieces, int buildLanguage, const TToolchainSettings& settings,
                        const std::string& source)
{
    std::string line;
    line += settings.*pieces.compiler;
    line += buildLanguage == LanguageCpp ? pieces.cppTool : pieces.cTool;
    line += source;
    line += pieces.outputPiece;
    line += source;
    line += "\" -I";
    line += settings.*pieces.include;
    line += " -L";
    line += settings.*pieces.library;
    line += " ";
    line += settings.*pieces.switches;
    return line;
}

} // namespace

std::vector<std::string> BuildScriptLines(BuildCommand command, int buildTarget, int buildLanguage,
                                          const TToolchainSettings& settings, const std::string& source)
{
    std::vector<std::string> lines;
    // The command search path names the GP2X compiler folder for either target.
    lines.push_back("path=" + settings.GP2XCompiler);
    const bool knownTarget = buildTarget == TargetPc || buildTarget == TargetGp2x;
    const bool knownLanguage = buildLanguage == LanguageCpp || buildLanguage == LanguageC;
    if (knownTarget && knownLanguage) {
        lines.push_back(CompileLine(buildTarget == TargetPc ? PcPieces : Gp2xPieces, buildLanguage, settings, source));
        if (command == BuildCommand::CompileAndRun && buildTarget == TargetPc)
            lines.push_back("\"" + source + ".exe\"");
    }
    lines.push_back("pause");
    return lines;
}

void CheckSourceNameForScript(const std::string& source)
{
    // Such a character would end the quoted name early or start a new script
    // line, and part of the file name would run as a command.
    if (source.find_first_of("\"\r\n") != std::string::npos)
        throw Exception("The source file name cannot be used in a build script: " + source);
}

void WriteBuildScriptFile(TTextFile& file, BuildCommand command, int buildTarget, int buildLanguage,
                          const TToolchainSettings& settings, const std::string& source)
{
    CheckSourceNameForScript(source);
    const std::vector<std::string> lines = BuildScriptLines(command, buildTarget, buildLanguage, settings, source);
    file.AssignFile(BuildScriptName);
    try {
        file.Rewrite();
        for (const std::string& line : lines)
            file.WriteLine(line);
        file.CloseFile();
    } catch (...) {
        // A script that failed half-way is not kept open: binding the
        // variable afresh closes it, unchecked.
        file.AssignFile(BuildScriptName);
        throw;
    }
}

} // namespace kw
