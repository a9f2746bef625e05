// The Editor Options dialog as the main menu shows it: its frame and layout,
// its check boxes and page kept from one showing to the next, and no effect
// of theirs on a build.

#include "app/AboutWindow.h"
#include "app/MainWindow.h"
#include "build/BuildScript.h"
#include "platform/core/MemoryRegistry.h"
#include "platform/core/ProcessStart.h"
#include "platform/qt/Application.h"
#include "settings/EditorOptionsDialog.h"
#include "tests/support/DialogAnswers.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WindowTest.h"

#include <QTest>

using namespace kw;
using kw::test::DialogAnswers;
using kw::test::TempFolder;

namespace {

struct DialogState {
    bool box1 = false;
    bool box2 = false;
    int page = 0;

    bool operator==(const DialogState&) const = default;
};

char* toString(const DialogState& state)
{
    return QTest::toString(QStringLiteral("{%1, %2, page %3}").arg(state.box1).arg(state.box2).arg(state.page));
}

DialogState StateOf(const TForm3* dialog)
{
    return {dialog->CheckBox1->isChecked(), dialog->CheckBox2->isChecked(), dialog->PageControl1->currentIndex()};
}

// Sets the state as the user would: clicking the boxes that differ and the page's tab.
void ClickInto(TForm3* dialog, const DialogState& wanted)
{
    QTabBar* tabs = dialog->PageControl1->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    if (dialog->CheckBox1->isChecked() != wanted.box1)
        QTest::mouseClick(dialog->CheckBox1, Qt::LeftButton);
    if (dialog->CheckBox2->isChecked() != wanted.box2)
        QTest::mouseClick(dialog->CheckBox2, Qt::LeftButton);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(wanted.page).center());
}

// Chooses "Editor Options" in the main menu, notes what the dialog shows,
// changes it to `change` and closes it with its close command.
DialogState ShowEditorOptions(const DialogState& change)
{
    DialogState shown;
    DialogAnswers answers;
    answers.Handle([&shown, &change](QWidget* window) {
        auto* dialog = static_cast<TForm3*>(window);
        shown = StateOf(dialog);
        ClickInto(dialog, change);
        window->close();
    });
    Form1->EditorOptions1->trigger();
    answers.WaitUntilAnswered();
    return shown;
}

// What one Compile leaves: the lines it appends to the log panel and the script.
struct BuildOutcome {
    QStringList log;
    std::string script;
};

BuildOutcome Compile(const TempFolder& folder)
{
    const qsizetype before = Form1->Memo1->Lines().size();
    DialogAnswers answers;
    answers.CancelFileDialog();
    Form1->SpeedButton8->click();
    answers.WaitUntilAnswered();
    return {Form1->Memo1->Lines().mid(before), kw::test::ReadFileBytes(folder / BuildScriptName)};
}

} // namespace

class EditorOptionsDialogTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void frame();
    void layout_data();
    void layout();
    void statesLastForTheRun();
    void boxesChangeNoBuild();

private:
    MemoryRegistry registry_;
    std::unique_ptr<ScopedRegistryOverride> useRegistry_;
    RecordingProcessStarter starter_;
    std::unique_ptr<ScopedProcessStarterOverride> useStarter_;
};

void EditorOptionsDialogTest::initTestCase()
{
    useRegistry_ = std::make_unique<ScopedRegistryOverride>(registry_);
    useStarter_ = std::make_unique<ScopedProcessStarterOverride>(starter_);
    test::StartAsTheProgramDoes();
    Form1->Show();
    QVERIFY(QTest::qWaitForWindowExposed(Form1));
    QVERIFY(Form3);
    QVERIFY(!Form3->isVisible());
}

void EditorOptionsDialogTest::frame()
{
    QCOMPARE(Form3->windowTitle(), QStringLiteral("Editor Options"));
    const Qt::WindowFlags flags = Form3->windowFlags();
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    for (Qt::WindowType button : {Qt::WindowMinimizeButtonHint, Qt::WindowMaximizeButtonHint, Qt::WindowContextHelpButtonHint})
        QVERIFY(!flags.testFlag(button));
    QCOMPARE(Form3->size(), QSize(377, 250));
    QCOMPARE(Form3->minimumSize(), Form3->maximumSize());
    QVERIFY(!Form3->windowIcon().availableSizes().isEmpty());
    QCOMPARE(Form3->PageControl1->count(), 2);
    QCOMPARE(Form3->PageControl1->tabText(0), QStringLiteral("Editor Options"));
    QCOMPARE(Form3->PageControl1->tabText(1), QStringLiteral("Other options"));
    QCOMPARE(Form3->TabSheet2->children().size(), 1);  // its bevel only
    QCOMPARE(Form3->CheckBox1->nextInFocusChain(), static_cast<QWidget*>(Form3->CheckBox2));
    // No OK, Cancel or other button: the two boxes are all there is to press.
    QVERIFY(Form3->findChildren<QPushButton*>().isEmpty());
    QCOMPARE(Form3->findChildren<QCheckBox*>().size(), 2);
    QCOMPARE(Form3->PageControl1->currentWidget(), Form3->TabSheet1);
}

void EditorOptionsDialogTest::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::newRow("PageControl1") << "PageControl1" << "Form3" << QRect(0, 0, 377, 249) << "";
    QTest::newRow("Bevel1") << "Bevel1" << "TabSheet1" << QRect(0, 0, 369, 217) << "";
    QTest::newRow("CheckBox1") << "CheckBox1" << "TabSheet1" << QRect(8, 8, 289, 17)
                               << "Add a .gpe extension when compiling to GP2X Release";
    QTest::newRow("CheckBox2") << "CheckBox2" << "TabSheet1" << QRect(8, 32, 305, 17)
                               << "Show compiler and/or compilation informations in memobox";
    QTest::newRow("Bevel2") << "Bevel2" << "TabSheet2" << QRect(0, 0, 369, 217) << "";
}

void EditorOptionsDialogTest::layout()
{
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    auto* control = Form3->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->parentWidget()->objectName(), parent);
    QCOMPARE(control->geometry(), geometry);
    if (auto* box = qobject_cast<QCheckBox*>(control)) {
        QCOMPARE(box->text(), caption);
        QCOMPARE(box->accessibleName(), caption);
        QVERIFY(!box->isTristate());
        QCOMPARE(box->layoutDirection(), Qt::LeftToRight);  // the caption to the right of the box
        QVERIFY(box->sizeHint().width() <= box->width());  // and none of it cut off
    }
}

void EditorOptionsDialogTest::statesLastForTheRun()
{
    // Each showing presents what the one before left, starting unticked on the first page.
    const DialogState steps[] = {{true, false, 1}, {false, true, 0}, {true, true, 1}, {false, false, 0}};
    DialogState expected{false, false, 0};
    for (const DialogState& change : steps) {
        QCOMPARE(ShowEditorOptions(change), expected);
        QVERIFY(!Form3->isVisible());
        expected = change;
    }
    QCOMPARE(StateOf(Form3), expected);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY((Form3->frameGeometry().center() - screen.center()).manhattanLength() <= 2);
}

void EditorOptionsDialogTest::boxesChangeNoBuild()
{
    TempFolder folder;
    kw::test::ScopedCurrentDirectory inFolder(folder.Path());
    Form1->OpenDialog1->FileName = (folder / "game.cpp").string();
    Form1->ComboBox1->setCurrentIndex(1);  // GP2X, where the ".gpe" box would matter

    ShowEditorOptions({false, false, 0});
    const BuildOutcome unticked = Compile(folder);
    ShowEditorOptions({true, true, 0});
    const BuildOutcome ticked = Compile(folder);
    ShowEditorOptions({false, false, 0});

    QCOMPARE(ticked.log, unticked.log);
    QCOMPARE(ticked.log, QStringList({"[+] Saving project", "[+] Compiling project", "[?] See log window to get more info"}));
    QCOMPARE(ticked.script, unticked.script);
    std::string composed;
    for (const std::string& line : BuildScriptLines(BuildCommand::Compile, 1, 0, ToolchainSettings, CurrentSourcePath()))
        composed += line + "\r\n";
    QCOMPARE(ticked.script, composed);
    QVERIFY(ticked.script.find("game.cpp.gpe") != std::string::npos);
    Form1->ComboBox1->setCurrentIndex(0);
}

KW_WINDOW_TEST_MAIN(EditorOptionsDialogTest)

#include "EditorOptionsDialogTest.moc"
