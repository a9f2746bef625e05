#pragma once
// TForm2, the Compiler Options dialog: the twelve toolchain settings on two
// pages, filled from the registry once, when the dialog is created, and
// written back by "Save Config". Folder buttons fill an edit with a folder
// picked in the folder browser.

#include "platform/qt/Components.h"
#include "platform/qt/Form.h"
#include "settings/ToolchainSettings.h"

#include <array>
#include <string>

namespace kw {

class TForm2 : public TForm {
public:
    TForm2();

    TPageControl* PageControl1;
    TTabSheet* TabSheet1;
    TTabSheet* TabSheet2;
    TBevel* Bevel1;
    TBevel* Bevel2;
    TLabel* Label1;
    TLabel* Label2;
    TLabel* Label3;
    TLabel* Label4;
    TLabel* Label5;
    TLabel* Label6;
    TLabel* Label7;
    TLabel* Label8;
    TLabel* Label9;
    TLabel* Label10;
    TLabel* Label11;
    TLabel* Label12;
    TEdit* Edit1;
    TEdit* Edit2;
    TEdit* Edit3;
    TEdit* Edit4;
    TEdit* Edit5;
    TEdit* Edit6;
    TEdit* Edit7;
    TEdit* Edit8;
    TEdit* Edit9;
    TEdit* Edit10;
    TEdit* Edit11;
    TEdit* Edit12;
    TSpeedButton* SpeedButton1;
    TSpeedButton* SpeedButton2;
    TSpeedButton* SpeedButton3;
    TSpeedButton* SpeedButton4;
    TSpeedButton* SpeedButton5;
    TSpeedButton* SpeedButton6;
    TSpeedButton* SpeedButton7;
    TSpeedButton* SpeedButton8;
    TSpeedButton* SpeedButton9;
    TSpeedButton* SpeedButton10;
    TGroupBox* GroupBox1;
    TGroupBox* GroupBox2;

    void FormCreate(TObject* Sender);
    void SpeedButton1Click(TObject* Sender);
    void SpeedButton2Click(TObject* Sender);
    void SpeedButton3Click(TObject* Sender);
    void SpeedButton4Click(TObject* Sender);
    void SpeedButton5Click(TObject* Sender);
    void SpeedButton6Click(TObject* Sender);
    void SpeedButton7Click(TObject* Sender);
    void SpeedButton8Click(TObject* Sender);
    void SpeedButton10Click(TObject* Sender);

    // Edit1 to Edit12, in the order of the toolchain settings table.
    std::array<TEdit*, ToolchainSettingCount> SettingEdits() const;

private:
    void CreatePage(int page);
    void ConnectHandlers();
    void PickFolderInto(TEdit* edit);
};

extern TForm2* Form2;

// The result of the latest folder pick of any folder button; "" after a cancel.
extern std::string LastPickedFolder;

} // namespace kw
