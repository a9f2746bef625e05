#include "app/MainWindow.h"

#include "app/AboutWindow.h"
#include "app/SplashWindow.h"
#include "platform/qt/Application.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Pictures.h"
#include "settings/CompilerOptionsDialog.h"
#include "settings/EditorOptionsDialog.h"

#include <QFontMetrics>
#include <QVBoxLayout>

#include <type_traits>

namespace kw {

TForm1* Form1 = nullptr;
TToolchainSettings ToolchainSettings;
TTextFile BuildScriptFile;

void LoadToolchainSettings()
{
    LoadToolchainSettingsInto(ToolchainSettings);
}

const std::string& CurrentSourcePath()
{
    return Form1->OpenDialog1->FileName;
}

namespace {

constexpr int ClientWidth = 664;
constexpr int ClientHeight = 460;

template <class Component>
Component* Named(Component* component, const char* name, const char* accessibleName = nullptr)
{
    component->setObjectName(QLatin1String(name));
    if constexpr (std::is_base_of_v<QWidget, Component>) {
        if (accessibleName)
            component->setAccessibleName(QLatin1String(accessibleName));
    }
    return component;
}

TMenuItem* MenuItem(TPopupMenu* menu, const char* name, const char* caption)
{
    // A caption of "-" is a separator line, as the menu designer writes it;
    // Qt draws a separator from an entry without text.
    const bool separator = std::string_view(caption) == "-";
    auto* item = Named(new TMenuItem(separator ? QString() : QString::fromLatin1(caption), menu), name);
    item->setSeparator(separator);
    menu->addAction(item);
    return item;
}

// The log panel asks for a fixed-pitch Tahoma with a 15-pixel cell.
QFont LogPanelFont()
{
    QFont font = VclFont(Tahoma);
    font.setFixedPitch(true);
    font.setStyleHint(QFont::TypeWriter);
    for (int pixels = 9; pixels <= 15; ++pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).height() >= 15)
            break;
    }
    return font;
}

} // namespace

TForm1::TForm1()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(ProgramTitle));
    setWindowIcon(ProgramIcon());
    setFont(VclFont(MsSansSerif));
    setAutoFillBackground(true);
    SetClientSize(ClientWidth, ClientHeight);

    CreateToolBar();
    CreateMainMenu();
    CreateEditorAndLog();
    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
    SaveDialog1 = new TSaveDialog(this);
    SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar1);
    layout->addWidget(RichEdit1, 1);  // only the editor takes up a change of height
    layout->addWidget(Bevel1);
    layout->addWidget(Memo1);
    layout->addWidget(StatusBar1);

    // The Tab key runs through the two selectors, the log panel and the editor.
    setTabOrder(ComboBox1, ComboBox2);
    setTabOrder(ComboBox2, Memo1);
    setTabOrder(Memo1, RichEdit1);

    ConnectHandlers();
    SetCreateHandler(&TForm1::FormCreate);
}

void TForm1::CreateToolBar()
{
    ToolBar1 = Named(new TToolBar(this, 33, 21), "ToolBar1");
    auto separator = [this](const char* name, int width) {
        auto* gap = Named(new TToolButton(ToolBar1, width), name);
        ToolBar1->AddItem(gap, width);
        return gap;
    };
    auto button = [this](const char* name, const char* picture, const char* accessibleName) {
        auto* speedButton = Named(new TSpeedButton(ToolBar1), name, accessibleName);
        speedButton->SetGlyph(Picture(picture));
        ToolBar1->AddItem(speedButton, 23);
        return speedButton;
    };

    ToolButton5 = separator("ToolButton5", 8);
    Image1 = Named(new TImage(ToolBar1), "Image1", "Main menu");
    Image1->SetPicture(Picture("console"), true);
    ToolBar1->AddItem(Image1, 33);
    ToolButton4 = separator("ToolButton4", 8);
    SpeedButton1 = button("SpeedButton1", "new", "New");
    SpeedButton2 = button("SpeedButton2", "open", "Open");
    SpeedButton3 = button("SpeedButton3", "save", "Save");
    ToolButton1 = separator("ToolButton1", 8);
    SpeedButton4 = button("SpeedButton4", "cut", "Cut");
    SpeedButton5 = button("SpeedButton5", "copy", "Copy");
    SpeedButton6 = button("SpeedButton6", "paste", "Paste");
    SpeedButton7 = button("SpeedButton7", "delete", "Delete");
    ToolButton2 = separator("ToolButton2", 7);
    SpeedButton8 = button("SpeedButton8", "compile", "Compile");
    SpeedButton9 = button("SpeedButton9", "compile-run", "Compile and Run");
    ToolButton6 = separator("ToolButton6", 8);
    ComboBox1 = Named(new TComboBox(ToolBar1), "ComboBox1", "Target");
    ComboBox1->addItems({QStringLiteral("PC Release [ Testing ]"), QStringLiteral("GP2X Release [ Final ]")});
    ToolBar1->AddItem(ComboBox1, 145);
    ToolButton3 = separator("ToolButton3", 10);
    ComboBox2 = Named(new TComboBox(ToolBar1), "ComboBox2", "Language");
    ComboBox2->addItems({QStringLiteral("Compilation CPP"), QStringLiteral("Compilation C")});
    ToolBar1->AddItem(ComboBox2, 106);
    ToolButton7 = separator("ToolButton7", 8);
}

void TForm1::CreateMainMenu()
{
    // The editor's pop-up menu has no entries, so a right click there offers nothing.
    PopupMenu1 = Named(new TPopupMenu(this), "PopupMenu1");
    PopupMenu2 = Named(new TPopupMenu(this), "PopupMenu2", "Main menu");
    EnviromentOptions1 = MenuItem(PopupMenu2, "EnviromentOptions1", "Enviroment Options");
    EditorOptions1 = MenuItem(PopupMenu2, "EditorOptions1", "Editor Options");
    ConfigureTools1 = MenuItem(PopupMenu2, "ConfigureTools1", "Configure Tools");
    N1 = MenuItem(PopupMenu2, "N1", "-");
    OnlineCPPTutorial1 = MenuItem(PopupMenu2, "OnlineCPPTutorial1", "Online C++ Basics");
    OnlineSDLGP2XTutorial1 = MenuItem(PopupMenu2, "OnlineSDLGP2XTutorial1", "Online C++/GP2X Tutorial");
    OnlineSDLGP2XTutorial2 = MenuItem(PopupMenu2, "OnlineSDLGP2XTutorial2", "Online SDL/GP2X Tutorial");
    About2 = MenuItem(PopupMenu2, "About2", "About");
    About1 = MenuItem(PopupMenu2, "About1", "-");
    ExitKestrelwork1 = MenuItem(PopupMenu2, "ExitKestrelwork1", "Exit Kestrelwork");
    Image1->SetPopupMenu(PopupMenu2);
}

void TForm1::CreateEditorAndLog()
{
    RichEdit1 = Named(new TRichEdit(this), "RichEdit1", "Editor");
    Bevel1 = Named(new TBevel(this), "Bevel1");
    Bevel1->setFixedHeight(8);
    Memo1 = Named(new TMemo(this), "Memo1", "Log");
    Memo1->setReadOnly(true);
    Memo1->setFont(LogPanelFont());
    Memo1->setFixedHeight(81);
    QPalette colours = Memo1->palette();
    colours.setColor(QPalette::Base, colours.color(QPalette::Midlight));
    Memo1->setPalette(colours);
    StatusBar1 = Named(new TStatusBar(this), "StatusBar1");
    StatusBar1->setFixedHeight(19);
}

void TForm1::ConnectHandlers()
{
    ConnectHandler(SpeedButton2, &QToolButton::clicked, this, &TForm1::SpeedButton2Click);
    ConnectHandler(SpeedButton3, &QToolButton::clicked, this, &TForm1::SpeedButton3Click);
    ConnectHandler(SpeedButton4, &QToolButton::clicked, this, &TForm1::SpeedButton4Click);
    ConnectHandler(SpeedButton5, &QToolButton::clicked, this, &TForm1::SpeedButton5Click);
    ConnectHandler(SpeedButton6, &QToolButton::clicked, this, &TForm1::SpeedButton6Click);
    ConnectHandler(SpeedButton7, &QToolButton::clicked, this, &TForm1::SpeedButton7Click);
    ConnectHandler(SpeedButton8, &QToolButton::clicked, this, &TForm1::SpeedButton8Click);
    ConnectHandler(SpeedButton9, &QToolButton::clicked, this, &TForm1::SpeedButton9Click);
    ConnectHandler(EnviromentOptions1, &QAction::triggered, this, &TForm1::EnviromentOptions1Click);
    ConnectHandler(EditorOptions1, &QAction::triggered, this, &TForm1::EditorOptions1Click);
    ConnectHandler(About2, &QAction::triggered, this, &TForm1::About2Click);
    ConnectHandler(ExitKestrelwork1, &QAction::triggered, this, &TForm1::ExitKestrelwork1Click);
}

void TForm1::FormCreate(TObject*)
{
    Application->CreateForm(Form5);
    Form5->ShowModal();
    Application->CreateForm(Form2);
    Application->CreateForm(Form3);
    LoadToolchainSettings();
}

void TForm1::EnviromentOptions1Click(TObject*)
{
    Form2->ShowModal();
    LoadToolchainSettings();
}

void TForm1::EditorOptions1Click(TObject*)
{
    Form3->ShowModal();
}

void TForm1::About2Click(TObject*)
{
    Form4->ShowModal();
}

void TForm1::ExitKestrelwork1Click(TObject*)
{
    Close();
}

} // namespace kw
