#include "settings/CompilerOptionsDialog.h"

#include "platform/qt/Fonts.h"
#include "platform/qt/Pictures.h"
#include "settings/FolderPicker.h"

#include <limits>

namespace kw {

TForm2* Form2 = nullptr;
std::string LastPickedFolder;

namespace {

constexpr int ClientWidth = 435;
constexpr int ClientHeight = 327;

// Where the rows of a page lie, and what is in them.
constexpr int LabelLeft = 8;
constexpr int LabelHeight = 13;
constexpr int EditLeft = 112;
constexpr int EditHeight = 21;
constexpr int ButtonLeft = 328;
constexpr int ButtonWidth = 89;
constexpr int ButtonHeight = 22;
constexpr int FirstRowTop = 8;
constexpr int RowSpacing = 24;
constexpr int RowsPerPage = 6;

constexpr int PathEditWidth = 209;
constexpr int SwitchesEditWidth = 305;

struct RowDesign {
    TLabel* TForm2::*label;
    const char* labelName;
    const char* caption;
    TEdit* TForm2::*edit;
    const char* editName;
    int editWidth;
    const char* editAccessibleName;
    // The folder button, where the row has one; its caption may be blank.
    TSpeedButton* TForm2::*button;
    const char* buttonName;
    const char* buttonCaption;
    const char* buttonAccessibleName;
    void (TForm2::*click)(TObject*);
};

struct PageDesign {
    TTabSheet* TForm2::*sheet;
    const char* sheetName;
    const char* caption;
    TBevel* TForm2::*bevel;
    const char* bevelName;
    const char* bevelAccessibleName;
    TGroupBox* TForm2::*groupBox;
    const char* groupBoxName;
    const char* groupBoxAccessibleName;
    RowDesign rows[RowsPerPage];
};

constexpr PageDesign Pages[] = {
    {&TForm2::TabSheet1, "TabSheet1", "PC Compiler Options", &TForm2::Bevel1, "Bevel1", "PC page frame",
     &TForm2::GroupBox1, "GroupBox1", "PC preconfigured compiler switches",
     {
         {&TForm2::Label1, "Label1", "Compiler path:", &TForm2::Edit1, "Edit1", PathEditWidth, "PC compiler path",
          &TForm2::SpeedButton1, "SpeedButton1", "Set Compiler", "Set Compiler", &TForm2::SpeedButton1Click},
         {&TForm2::Label2, "Label2", "Compiler switches:", &TForm2::Edit2, "Edit2", SwitchesEditWidth,
          "PC compiler switches", nullptr, nullptr, nullptr, nullptr, nullptr},
         {&TForm2::Label3, "Label3", "Linker path:", &TForm2::Edit3, "Edit3", PathEditWidth, "PC linker path",
          &TForm2::SpeedButton2, "SpeedButton2", "Set Linker", "Set Linker", &TForm2::SpeedButton2Click},
         {&TForm2::Label4, "Label4", "Linker switches", &TForm2::Edit4, "Edit4", SwitchesEditWidth,
          "PC linker switches", nullptr, nullptr, nullptr, nullptr, nullptr},
         {&TForm2::Label5, "Label5", "INCLUDE path:", &TForm2::Edit5, "Edit5", PathEditWidth, "PC include path",
          &TForm2::SpeedButton3, "SpeedButton3", "Set Include Path", "Set Include Path",
          &TForm2::SpeedButton3Click},
         {&TForm2::Label6, "Label6", "LIB path:", &TForm2::Edit6, "Edit6", PathEditWidth, "PC library path",
          &TForm2::SpeedButton4, "SpeedButton4", "Set Lib Path", "Set Lib Path", &TForm2::SpeedButton4Click},
     }},
    {&TForm2::TabSheet2, "TabSheet2", "GP2X Compiler Options", &TForm2::Bevel2, "Bevel2", "GP2X page frame",
     &TForm2::GroupBox2, "GroupBox2", "GP2X preconfigured compiler switches",
     {
         {&TForm2::Label7, "Label7", "Compiler path:", &TForm2::Edit7, "Edit7", PathEditWidth, "GP2X compiler path",
          &TForm2::SpeedButton5, "SpeedButton5", "", "Set GP2X Compiler", &TForm2::SpeedButton5Click},
         {&TForm2::Label8, "Label8", "Compiler switches:", &TForm2::Edit8, "Edit8", SwitchesEditWidth,
          "GP2X compiler switches", nullptr, nullptr, nullptr, nullptr, nullptr},
         {&TForm2::Label9, "Label9", "Linker path:", &TForm2::Edit9, "Edit9", PathEditWidth, "GP2X linker path",
          &TForm2::SpeedButton6, "SpeedButton6", "", "Set GP2X Linker", &TForm2::SpeedButton6Click},
         {&TForm2::Label10, "Label10", "Linker switches:", &TForm2::Edit10, "Edit10", SwitchesEditWidth,
          "GP2X linker switches", nullptr, nullptr, nullptr, nullptr, nullptr},
         {&TForm2::Label11, "Label11", "INCLUDE path:", &TForm2::Edit11, "Edit11", PathEditWidth,
          "GP2X include path", &TForm2::SpeedButton7, "SpeedButton7", "", "Set GP2X Include Path",
          &TForm2::SpeedButton7Click},
         {&TForm2::Label12, "Label12", "LIB path:", &TForm2::Edit12, "Edit12", PathEditWidth, "GP2X library path",
          &TForm2::SpeedButton8, "SpeedButton8", "", "Set GP2X Lib Path", &TForm2::SpeedButton8Click},
     }},
};

constexpr QRect BevelGeometry{0, 0, 425, 249};
constexpr QRect GroupBoxGeometry{8, 152, 409, 89};
constexpr QRect PageControlGeometry{0, 0, 435, 281};
constexpr QRect AutoConfigGeometry{0, 288, 129, 33};
constexpr QRect SaveConfigGeometry{304, 288, 129, 33};

template <class Component>
Component* Named(Component* component, const char* name, const char* accessibleName)
{
    component->setObjectName(QLatin1String(name));
    component->setAccessibleName(QLatin1String(accessibleName));
    return component;
}

QString WithoutColon(const char* caption)
{
    QString text = QLatin1String(caption);
    if (text.endsWith(QLatin1Char(':')))
        text.chop(1);
    return text;
}

TSpeedButton* CaptionedButton(QWidget* parent, const char* name, const char* caption, const char* accessibleName)
{
    auto* button = Named(new TSpeedButton(parent), name, accessibleName);
    if (*caption)
        button->SetCaption(QLatin1String(caption));
    return button;
}

const char* const FolderPromptText = "Select the Source Directory...";

} // namespace

TForm2::TForm2()
    : TForm(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Compiler Options"));
    setWindowIcon(ProgramIcon());
    setFont(VclFont(MsSansSerif));
    setAutoFillBackground(true);
    SetClientSize(ClientWidth, ClientHeight);
    setFixedSize(ClientWidth, ClientHeight);

    PageControl1 = Named(new TPageControl(this), "PageControl1", "Compiler options pages");
    PageControl1->setGeometry(PageControlGeometry);
    for (int page = 0; page < 2; ++page)
        CreatePage(page);
    PageControl1->setCurrentWidget(TabSheet2);

    // "AutoConfig Module" has no action in this system.
    SpeedButton9 = CaptionedButton(this, "SpeedButton9", "AutoConfig Module", "AutoConfig Module");
    SpeedButton9->setGeometry(AutoConfigGeometry);
    SpeedButton10 = CaptionedButton(this, "SpeedButton10", "Save Config", "Save Config");
    SpeedButton10->setGeometry(SaveConfigGeometry);

    ConnectHandlers();
    SetCreateHandler(&TForm2::FormCreate);
}

void TForm2::CreatePage(int page)
{
    const PageDesign& design = Pages[page];
    TTabSheet* sheet = this->*design.sheet = Named(new TTabSheet(PageControl1), design.sheetName, design.caption);
    PageControl1->addTab(sheet, QLatin1String(design.caption));
    auto* bevel = this->*design.bevel = Named(new TBevel(sheet), design.bevelName, design.bevelAccessibleName);
    bevel->setGeometry(BevelGeometry);

    TEdit* previous = nullptr;
    for (int row = 0; row < RowsPerPage; ++row) {
        const RowDesign& line = design.rows[row];
        const int top = FirstRowTop + row * RowSpacing;

        auto* edit = this->*line.edit = Named(new TEdit(sheet), line.editName, line.editAccessibleName);
        edit->setGeometry(EditLeft, top, line.editWidth, EditHeight);
        // The edits have no length limit of their own: a long value must
        // survive being shown and saved again.
        edit->setMaxLength(std::numeric_limits<int>::max());

        const QString caption = QLatin1String(line.caption);
        auto* label = this->*line.label = new TLabel(sheet, caption);
        label->setObjectName(QLatin1String(line.labelName));
        label->setAccessibleName(WithoutColon(line.caption));
        label->setBuddy(edit);
        label->setGeometry(LabelLeft, top, label->sizeHint().width(), LabelHeight);

        if (line.button) {
            auto* button = this->*line.button =
                CaptionedButton(sheet, line.buttonName, line.buttonCaption, line.buttonAccessibleName);
            button->setGeometry(ButtonLeft, top, ButtonWidth, ButtonHeight);
        }
        if (previous)
            setTabOrder(previous, edit);
        previous = edit;
    }

    auto* groupBox = this->*design.groupBox = Named(new TGroupBox(QStringLiteral("Preconfigured compiler switches:"), sheet),
                                                    design.groupBoxName, design.groupBoxAccessibleName);
    groupBox->setGeometry(GroupBoxGeometry);
}

void TForm2::ConnectHandlers()
{
    for (const PageDesign& page : Pages) {
        for (const RowDesign& row : page.rows) {
            if (row.button)
                ConnectHandler(this->*row.button, &QToolButton::clicked, this, row.click);
        }
    }
    ConnectHandler(SpeedButton10, &QToolButton::clicked, this, &TForm2::SpeedButton10Click);
}

std::array<TEdit*, ToolchainSettingCount> TForm2::SettingEdits() const
{
    return {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8, Edit9, Edit10, Edit11, Edit12};
}

void TForm2::FormCreate(TObject*)
{
    const auto edits = SettingEdits();
    RunToolchainLoadSequence([&edits](std::size_t i, const std::string& value) { edits[i]->SetText(value); });
}

void TForm2::PickFolderInto(TEdit* edit)
{
    // Every folder button asks the same, and never starts at the edit's folder.
    LastPickedFolder = BrowseForFolder(FolderPromptText, "");
    if (!LastPickedFolder.empty())
        edit->SetText(LastPickedFolder);
}

void TForm2::SpeedButton1Click(TObject*) { PickFolderInto(Edit1); }
void TForm2::SpeedButton2Click(TObject*) { PickFolderInto(Edit3); }
void TForm2::SpeedButton3Click(TObject*) { PickFolderInto(Edit5); }
void TForm2::SpeedButton4Click(TObject*) { PickFolderInto(Edit6); }
void TForm2::SpeedButton5Click(TObject*) { PickFolderInto(Edit7); }
void TForm2::SpeedButton6Click(TObject*) { PickFolderInto(Edit9); }
void TForm2::SpeedButton7Click(TObject*) { PickFolderInto(Edit11); }
void TForm2::SpeedButton8Click(TObject*) { PickFolderInto(Edit12); }

void TForm2::SpeedButton10Click(TObject*)
{
    const auto edits = SettingEdits();
    RunToolchainSaveSequence([&edits](std::size_t i) { return edits[i]->Text(); });
}

} // namespace kw
