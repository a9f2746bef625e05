#pragma once
// TForm1, the main window: the tool bar with the file, editing and build
// commands and the two build selectors, the editor, the log panel, the
// status bar, and the main menu on the console picture. Its unit owns the
// state the windows share: the toolchain settings and the build script file.

#include "platform/core/TextFile.h"
#include "editor/RichEdit.h"
#include "platform/qt/Components.h"
#include "platform/qt/FileDialogs.h"
#include "platform/qt/Form.h"
#include "settings/ToolchainSettings.h"

#include <string>

namespace kw {

// The application title, also the main window's caption.
inline constexpr const char* ProgramTitle = "Kestrelwork for GP2X";

class TForm1 : public TForm {
public:
    TForm1();

    TToolBar* ToolBar1;
    TImage* Image1;
    TStatusBar* StatusBar1;
    TSpeedButton* SpeedButton1;
    TSpeedButton* SpeedButton2;
    TSpeedButton* SpeedButton3;
    TToolButton* ToolButton1;
    TSpeedButton* SpeedButton4;
    TSpeedButton* SpeedButton5;
    TSpeedButton* SpeedButton6;
    TToolButton* ToolButton2;
    TSpeedButton* SpeedButton7;
    TSpeedButton* SpeedButton8;
    TSpeedButton* SpeedButton9;
    TComboBox* ComboBox1;
    TToolButton* ToolButton4;
    TToolButton* ToolButton5;
    TToolButton* ToolButton3;
    TPopupMenu* PopupMenu1;
    TPopupMenu* PopupMenu2;
    TMenuItem* EnviromentOptions1;
    TMenuItem* EditorOptions1;
    TMenuItem* ConfigureTools1;
    TMemo* Memo1;
    TBevel* Bevel1;
    TRichEdit* RichEdit1;
    TMenuItem* About1;
    TMenuItem* ExitKestrelwork1;
    TMenuItem* N1;
    TMenuItem* About2;
    TOpenDialog* OpenDialog1;
    TSaveDialog* SaveDialog1;
    TComboBox* ComboBox2;
    TToolButton* ToolButton6;
    TToolButton* ToolButton7;
    TMenuItem* OnlineCPPTutorial1;
    TMenuItem* OnlineSDLGP2XTutorial1;
    TMenuItem* OnlineSDLGP2XTutorial2;

    void SpeedButton2Click(TObject* Sender);
    void SpeedButton4Click(TObject* Sender);
    void SpeedButton5Click(TObject* Sender);
    void SpeedButton6Click(TObject* Sender);
    void SpeedButton7Click(TObject* Sender);
    void SpeedButton3Click(TObject* Sender);
    void About2Click(TObject* Sender);
    void FormCreate(TObject* Sender);
    void EnviromentOptions1Click(TObject* Sender);
    void EditorOptions1Click(TObject* Sender);
    void SpeedButton8Click(TObject* Sender);
    void ExitKestrelwork1Click(TObject* Sender);
    void SpeedButton9Click(TObject* Sender);

    // The item indices of the two selectors, read when a build runs.
    int BuildTarget() const { return ComboBox1->ItemIndex(); }
    int BuildLanguage() const { return ComboBox2->ItemIndex(); }

private:
    void CreateToolBar();
    void CreateMainMenu();
    void CreateEditorAndLog();
    void ConnectHandlers();
};

extern TForm1* Form1;

// The twelve toolchain strings the builds use, empty until loaded.
extern TToolchainSettings ToolchainSettings;

// The text-file variable the build script is written through.
extern TTextFile BuildScriptFile;

// Refreshes ToolchainSettings from the registry.
void LoadToolchainSettings();

// The file last confirmed in the Open dialog; empty until the first Open.
const std::string& CurrentSourcePath();

} // namespace kw
