// The main window's build commands, Compile and Compile and Run: offer to
// save, write the build script, start it in a console window, and log.

#include "app/MainWindow.h"
#include "build/BuildScript.h"
#include "editor/FileCommands.h"
#include "platform/core/ProcessStart.h"

namespace kw {

namespace {

void WriteBuildScript(BuildCommand command, int buildTarget, int buildLanguage)
{
    WriteBuildScriptFile(BuildScriptFile, command, buildTarget, buildLanguage, ToolchainSettings, CurrentSourcePath());
}

constexpr const char* SavingLine = "[+] Saving project";
constexpr const char* CompilingLine = "[+] Compiling project";
constexpr const char* SeeLogLine = "[?] See log window to get more info";

} // namespace

void TForm1::SpeedButton8Click(TObject*)
{
    Memo1->AppendLine(SavingLine);
    RunSaveSteps(*SaveDialog1, *RichEdit1);
    Memo1->AppendLine(CompilingLine);
    WriteBuildScript(BuildCommand::Compile, BuildTarget(), BuildLanguage());
    // The console reports what the build does; whether it started is not looked at.
    WinExec("batch.bat", SW_SHOW_VALUE);
    Memo1->AppendLine(SeeLogLine);
}

void TForm1::SpeedButton9Click(TObject*)
{
    Memo1->AppendLine(SavingLine);
    RunSaveSteps(*SaveDialog1, *RichEdit1);
    Memo1->AppendLine(CompilingLine);
    Memo1->AppendLine(SeeLogLine);
    WriteBuildScript(BuildCommand::CompileAndRun, BuildTarget(), BuildLanguage());
    WinExec("batch.bat", SW_SHOW_VALUE);
    Memo1->AppendLine(SeeLogLine);
}

} // namespace kw
