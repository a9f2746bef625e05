// The main window as the user meets it: its layout against the designed
// sizes and places, its selectors and menu, the log panel, resizing, the
// failure report, and the way out.

#include "app/AboutWindow.h"
#include "app/MainWindow.h"
#include "app/SplashWindow.h"
#include "platform/core/Exceptions.h"
#include "platform/core/MemoryRegistry.h"
#include "platform/qt/Application.h"
#include "settings/CompilerOptionsDialog.h"
#include "settings/EditorOptionsDialog.h"
#include "tests/support/DialogAnswers.h"
#include "tests/support/WindowTest.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace kw;

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void clientAreaFromTopToBottom();
    void toolBarItems_data();
    void toolBarItems();
    void selectorsStartAtTheirFirstItem();
    void tabOrderAndFocus();
    void mainMenuEntries();
    void rightClickOnConsolePictureOpensTheMenu();
    void logPanelAppendsAndScrolls();
    void resizingChangesOnlyTheEditor();
    void failureReportText_data();
    void failureReportText();
    void handlerFailureEndsOnlyTheHandler();
    void exitClosesWithoutAQuestion();

private:
    MemoryRegistry registry_;
    std::unique_ptr<ScopedRegistryOverride> useRegistry_;
};

void MainWindowTest::initTestCase()
{
    useRegistry_ = std::make_unique<ScopedRegistryOverride>(registry_);
    test::StartAsTheProgramDoes();
    Form1->Show();
    QVERIFY(QTest::qWaitForWindowExposed(Form1));
}

void MainWindowTest::init()
{
    // The way out closes the main window; the other cases want it shown.
    if (!Form1->isVisible()) {
        Form1->Show();
        QVERIFY(QTest::qWaitForWindowExposed(Form1));
    }
}

void MainWindowTest::clientAreaFromTopToBottom()
{
    QCOMPARE(Form1->windowTitle(), QStringLiteral("Kestrelwork for GP2X"));
    QCOMPARE(Form1->size(), QSize(664, 460));
    QCOMPARE(Form1->ToolBar1->geometry(), QRect(0, 0, 664, 33));
    QCOMPARE(Form1->RichEdit1->geometry(), QRect(0, 33, 664, 319));
    QCOMPARE(Form1->Bevel1->geometry(), QRect(0, 352, 664, 8));
    QCOMPARE(Form1->Memo1->geometry(), QRect(0, 360, 664, 81));
    QCOMPARE(Form1->StatusBar1->geometry(), QRect(0, 441, 664, 19));
    QVERIFY(Form1->StatusBar1->isSizeGripEnabled());
    QVERIFY(Form1->StatusBar1->currentMessage().isEmpty());
    QVERIFY(Form1->Memo1->isReadOnly());
    QCOMPARE(Form1->RichEdit1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(Form1->Memo1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(Form1->RichEdit1->font().pixelSize(), 11);
    QCOMPARE(Form1->RichEdit1->accessibleName(), QStringLiteral("Editor"));
    QCOMPARE(Form1->Memo1->accessibleName(), QStringLiteral("Log"));
}

void MainWindowTest::toolBarItems_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("accessibleName");
    const struct {
        const char* name;
        int x, width;
        const char* accessible;
    } items[] = {
        {"ToolButton5", 0, 8, ""},       {"Image1", 8, 33, "Main menu"},
        {"ToolButton4", 41, 8, ""},      {"SpeedButton1", 49, 23, "New"},
        {"SpeedButton2", 72, 23, "Open"}, {"SpeedButton3", 95, 23, "Save"},
        {"ToolButton1", 118, 8, ""},     {"SpeedButton4", 126, 23, "Cut"},
        {"SpeedButton5", 149, 23, "Copy"}, {"SpeedButton6", 172, 23, "Paste"},
        {"SpeedButton7", 195, 23, "Delete"}, {"ToolButton2", 218, 7, ""},
        {"SpeedButton8", 225, 23, "Compile"}, {"SpeedButton9", 248, 23, "Compile and Run"},
        {"ToolButton6", 271, 8, ""},     {"ComboBox1", 279, 145, "Target"},
        {"ToolButton3", 424, 10, ""},    {"ComboBox2", 434, 106, "Language"},
        {"ToolButton7", 540, 8, ""},
    };
    for (const auto& item : items)
        QTest::newRow(item.name) << item.name << item.x << item.width << item.accessible;
}

void MainWindowTest::toolBarItems()
{
    QFETCH(QString, name);
    QFETCH(int, x);
    QFETCH(int, width);
    QFETCH(QString, accessibleName);
    auto* item = Form1->ToolBar1->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
    QVERIFY2(item, qPrintable(name));
    QCOMPARE(item->geometry(), QRect(x, 2, width, 21));
    QCOMPARE(item->accessibleName(), accessibleName);
    QVERIFY(item->toolTip().isEmpty());
    if (auto* button = dynamic_cast<TSpeedButton*>(item)) {
        QCOMPARE(button->focusPolicy(), Qt::NoFocus);
        QVERIFY(!button->isCheckable());
        QVERIFY(button->text().isEmpty());
    }
}

void MainWindowTest::selectorsStartAtTheirFirstItem()
{
    const struct {
        TComboBox* box;
        QStringList items;
    } selectors[] = {
        {Form1->ComboBox1, {"PC Release [ Testing ]", "GP2X Release [ Final ]"}},
        {Form1->ComboBox2, {"Compilation CPP", "Compilation C"}},
    };
    for (const auto& selector : selectors) {
        QStringList items;
        for (int i = 0; i < selector.box->count(); ++i)
            items << selector.box->itemText(i);
        QCOMPARE(items, selector.items);
        QCOMPARE(selector.box->ItemIndex(), 0);
        QVERIFY(!selector.box->isEditable());
    }
    QCOMPARE(Form1->BuildTarget(), 0);
    QCOMPARE(Form1->BuildLanguage(), 0);
}

void MainWindowTest::tabOrderAndFocus()
{
    Form1->ComboBox1->setFocus();
    QStringList order;
    QWidget* widget = Form1->ComboBox1;
    for (int i = 0; i < 4; ++i) {
        order << widget->objectName();
        widget = widget->nextInFocusChain();
        while (widget->focusPolicy() == Qt::NoFocus || !widget->isVisible() || !Form1->isAncestorOf(widget)
               || (widget->parentWidget() && qobject_cast<QAbstractScrollArea*>(widget->parentWidget())))
            widget = widget->nextInFocusChain();
    }
    QCOMPARE(order, QStringList({"ComboBox1", "ComboBox2", "Memo1", "RichEdit1"}));

    // Tab in the editor moves the focus on and types nothing.
    Form1->RichEdit1->clear();
    Form1->RichEdit1->setFocus();
    QTest::keyClick(Form1->RichEdit1, Qt::Key_Tab);
    QVERIFY(Form1->RichEdit1->toPlainText().isEmpty());
    QVERIFY(!Form1->RichEdit1->hasFocus());
}

void MainWindowTest::mainMenuEntries()
{
    QStringList captions;
    QList<bool> separators;
    for (QAction* entry : Form1->PopupMenu2->actions()) {
        captions << entry->text();
        separators << entry->isSeparator();
        QVERIFY(entry->shortcut().isEmpty());
        QVERIFY(!entry->isCheckable());
        QVERIFY(entry->icon().isNull());
        QVERIFY(!entry->menu());
        QVERIFY(entry->isEnabled());
    }
    QCOMPARE(captions, QStringList({"Enviroment Options", "Editor Options", "Configure Tools", "",
                                    "Online C++ Basics", "Online C++/GP2X Tutorial", "Online SDL/GP2X Tutorial",
                                    "About", "", "Exit Kestrelwork"}));
    QCOMPARE(separators, QList<bool>({false, false, false, true, false, false, false, false, true, false}));
    QVERIFY(Form1->PopupMenu1->actions().isEmpty());

    // The entries with no action change nothing, the log panel least of all.
    const QString log = Form1->Memo1->toPlainText();
    for (QAction* idle : {Form1->ConfigureTools1, Form1->OnlineCPPTutorial1, Form1->OnlineSDLGP2XTutorial1,
                          Form1->OnlineSDLGP2XTutorial2})
        idle->trigger();
    Form1->SpeedButton1->click();
    QCOMPARE(Form1->Memo1->toPlainText(), log);
    QVERIFY(Form1->isVisible());
}

void MainWindowTest::rightClickOnConsolePictureOpensTheMenu()
{
    const QPoint inside(10, 8);
    QTest::mouseClick(Form1->Image1, Qt::LeftButton, {}, inside);
    QVERIFY(!Form1->PopupMenu2->isVisible());

    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, inside, Form1->Image1->mapToGlobal(inside));
    QApplication::sendEvent(Form1->Image1, &rightClick);
    QTRY_VERIFY(Form1->PopupMenu2->isVisible());
    QCOMPARE(Form1->PopupMenu2->pos(), Form1->Image1->mapToGlobal(inside));
    Form1->PopupMenu2->close();

    // A right click in the editor offers no menu.
    QCOMPARE(Form1->RichEdit1->contextMenuPolicy(), Qt::PreventContextMenu);
}

void MainWindowTest::logPanelAppendsAndScrolls()
{
    for (int i = 0; i < 40; ++i)
        Form1->Memo1->AppendLine("line " + std::to_string(i));
    const QStringList lines = Form1->Memo1->Lines();
    QCOMPARE(lines.size(), 40);
    QCOMPARE(lines.first(), QStringLiteral("line 0"));
    QCOMPARE(lines.last(), QStringLiteral("line 39"));
    QScrollBar* bar = Form1->Memo1->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());

    // Nothing can be typed into it.
    Form1->Memo1->setFocus();
    QTest::keyClicks(Form1->Memo1, "typed");
    QCOMPARE(Form1->Memo1->Lines(), lines);
}

void MainWindowTest::resizingChangesOnlyTheEditor()
{
    for (int height : {700, 300, 460}) {
        Form1->resize(800, height);
        QTRY_COMPARE(Form1->StatusBar1->geometry().bottom(), height - 1);
        QCOMPARE(Form1->ToolBar1->height(), 33);
        QCOMPARE(Form1->Bevel1->height(), 8);
        QCOMPARE(Form1->Memo1->height(), 81);
        QCOMPARE(Form1->StatusBar1->height(), 19);
        QCOMPARE(Form1->RichEdit1->height(), height - 33 - 8 - 81 - 19);
        QCOMPARE(Form1->Memo1->width(), 800);
    }
    Form1->resize(664, 460);
}

void MainWindowTest::failureReportText_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << "Failed to create key Kestrelwork" << "Failed to create key Kestrelwork.";
    QTest::newRow("digit") << "I/O error 32" << "I/O error 32.";
    QTest::newRow("quote") << "Invalid data type for 'PCInclude'" << "Invalid data type for 'PCInclude'";
    QTest::newRow("full stop") << "Already a sentence." << "Already a sentence.";
    QTest::newRow("bracket") << "Something (odd)" << "Something (odd)";
}

void MainWindowTest::failureReportText()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    test::DialogAnswers answers;
    answers.PressOkOnMessageBox();
    Application->ShowException(message.toStdString());
    QVERIFY(answers.AllAnswered());
    QCOMPARE(answers.MessageBoxes().size(), std::size_t{1});
    const test::MessageBoxSeen& box = answers.MessageBoxes().front();
    QCOMPARE(box.caption, QStringLiteral("Kestrelwork for GP2X"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttons, QStringList({"OK"}));
    QCOMPARE(box.text, shown);
}

void MainWindowTest::handlerFailureEndsOnlyTheHandler()
{
    // A failing registry read in the reload after Compiler Options closes.
    registry_.PutValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestrelwork", "PCInclude", REG_DWORD_TYPE,
                          std::string("\x2a\0\0\0", 4));
    test::DialogAnswers answers;
    answers.Handle([](QWidget* window) { window->close(); });  // the Compiler Options dialog
    answers.PressOkOnMessageBox();
    Form1->EnviromentOptions1->trigger();
    QVERIFY(answers.WaitUntilAnswered());
    QCOMPARE(answers.MessageBoxes().at(0).text, QStringLiteral("Invalid data type for 'PCInclude'"));
    QVERIFY(Form1->isVisible());
    registry_.PutValue("HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestrelwork", "PCInclude", REG_SZ_TYPE, std::string("\0", 1));
}

void MainWindowTest::exitClosesWithoutAQuestion()
{
    Form1->RichEdit1->setPlainText(QStringLiteral("unsaved text"));
    test::DialogAnswers answers;
    bool ended = false;
    QTimer::singleShot(0, [] { Form1->ExitKestrelwork1->trigger(); });
    QTimer::singleShot(5000, [] { QCoreApplication::exit(7); });
    QObject::connect(Form1, &TForm::Closed, [&ended] { ended = true; });
    const int exitCode = Application->Run();
    QVERIFY(ended);
    QCOMPARE(exitCode, 0);
    QVERIFY(!Form1->isVisible());
    QVERIFY(answers.Unexpected().isEmpty());
}

KW_WINDOW_TEST_MAIN(MainWindowTest)

#include "MainWindowTest.moc"
