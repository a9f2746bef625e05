// The main window's file and editing commands: Open, Save, Cut, Copy, Paste
// and Delete.

#include "editor/FileCommands.h"

#include "app/MainWindow.h"
#include "editor/SourceFile.h"

#include <QTextCursor>

namespace kw {

void RunSaveSteps(TSaveDialog& dialog, TRichEdit& editor)
{
    if (!dialog.Execute())
        return;
    editor.PlainText = true;
    WriteSourceFile(dialog.FileName, editor.PlainTextForSaving());
}

void TForm1::SpeedButton2Click(TObject*)
{
    if (!OpenDialog1->Execute())
        return;
    // From here on the chosen name is the source that builds compile, even
    // when it cannot be read.
    RichEdit1->LoadFromFileContent(ReadSourceFile(CurrentSourcePath()));
}

void TForm1::SpeedButton3Click(TObject*)
{
    RunSaveSteps(*SaveDialog1, *RichEdit1);
}

// The editing commands act on the editor wherever the keyboard focus is:
// the tool-bar buttons never take it.
void TForm1::SpeedButton4Click(TObject*)
{
    RichEdit1->cut();
}

void TForm1::SpeedButton5Click(TObject*)
{
    RichEdit1->copy();
}

void TForm1::SpeedButton6Click(TObject*)
{
    RichEdit1->paste();
}

void TForm1::SpeedButton7Click(TObject*)
{
    QTextCursor cursor = RichEdit1->textCursor();
    cursor.removeSelectedText();
    RichEdit1->setTextCursor(cursor);
}

} // namespace kw
