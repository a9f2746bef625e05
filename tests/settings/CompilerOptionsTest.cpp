// The Compiler Options dialog and the folder browser as the user meets them:
// opened from the main menu, typed into, saved, closed; folders picked and
// cancelled; the dialog's layout against the designed places and sizes; and
// the failures of the registry behind it.

#include "app/MainWindow.h"
#include "platform/core/MemoryRegistry.h"
#include "platform/core/Registry.h"
#include "platform/qt/Application.h"
#include "settings/CompilerOptionsDialog.h"
#include "settings/FolderPicker.h"
#include "settings/FolderPickerBrowser.h"
#include "tests/support/WindowTest.h"

#include <QFile>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QWindow>

#include <deque>
#include <optional>

#include <grp.h>
#include <unistd.h>

using namespace kw;

namespace {

const std::string ProductKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestrelwork";

// What the registry holds when the program starts, in the order of the settings.
const QStringList StartValues = {
    "C:\\MinGW\\bin", "-O2 -Wall", "C:\\MinGW\\ld", "-s", "C:\\MinGW\\include", "C:\\MinGW\\lib",
    "C:\\devkitGP2X\\bin", "-mcpu=arm920t", "C:\\devkitGP2X\\ld", "-static", "C:\\devkitGP2X\\include",
    "C:\\devkitGP2X\\lib",
};

QStringList FieldTexts()
{
    QStringList texts;
    for (TEdit* edit : Form2->SettingEdits())
        texts << edit->text();
    return texts;
}

QStringList SettingTexts(const TToolchainSettings& settings)
{
    QStringList texts;
    for (const ToolchainSetting& setting : ToolchainSettingTable)
        texts << QString::fromStdString(settings.*setting.field);
    return texts;
}

std::string StringData(const QString& text)
{
    return text.toStdString() + '\0';
}

void PutStrings(MemoryRegistry& registry, const QStringList& texts)
{
    for (std::size_t i = 0; i < ToolchainSettingTable.size(); ++i)
        registry.PutValue(ProductKey, ToolchainSettingTable[i].name, REG_SZ_TYPE,
                          StringData(texts.at(static_cast<qsizetype>(i))));
}

// Shows `dialog` modally through `show`, runs `use` while it is shown,
// closes it with its close command, and returns once `show` has returned.
void WhileShown(TForm2* dialog, const std::function<void()>& show, const std::function<void()>& use)
{
    bool ran = false;
    QTimer::singleShot(0, dialog, [&] {
        if (dialog->isVisible() && QApplication::activeModalWidget() == dialog) {
            use();
            ran = true;
        }
        dialog->close();
    });
    show();
    QVERIFY(ran);
    QVERIFY(!dialog->isVisible());
}

// Opens Compiler Options from the main menu, runs `use` while it is shown,
// closes it, and returns once the menu action, with its reload of the
// settings, has ended.
void ThroughTheMenu(const std::function<void()>& use)
{
    WhileShown(Form2, [] { Form1->EnviromentOptions1->trigger(); }, use);
}

// A click that goes through the window system, so that a window blocked by a
// modal one would not get it.
void ClickAsTheUser(QWidget* widget)
{
    QWidget* window = widget->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, widget->mapTo(window, widget->rect().center()));
}

// Answers the failure reports shown meanwhile with OK and keeps their texts.
// Unlike an answer to any modal window, it leaves the open dialog alone, so
// it also works while a folder browser runs its loop above the dialog.
class FailureReports : public QObject {
public:
    FailureReports()
    {
        timer_.setInterval(10);
        connect(&timer_, &QTimer::timeout, this, &FailureReports::Poll);
        timer_.start();
    }

    const QStringList& Texts() const { return texts_; }

private:
    void Poll()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || met_.contains(box))
            return;
        met_ << box;
        texts_ << box->text();
        box->button(QMessageBox::Ok)->click();
    }

    QTimer timer_;
    QStringList texts_;
    QList<QPointer<QMessageBox>> met_;
};

QStringList ReportsDuring(const std::function<void()>& action)
{
    const FailureReports reports;
    action();
    return reports.Texts();
}

QStringList SaveConfigReports()
{
    return ReportsDuring([] { ClickAsTheUser(Form2->SpeedButton10); });
}

// ----- the folder browser, answered as the user would -----

struct BrowserSeen {
    QString title;
    QString text;
    Qt::TextFormat textFormat = Qt::AutoText;
    QString selected;  // the folder selected when it opened
    bool okEnabled = false;
    bool homeShown = false;
};

QTreeView* TreeOf(FolderBrowser& browser)
{
    return browser.findChild<QTreeView*>(QStringLiteral("FolderTree"));
}

QModelIndex FolderIndex(FolderBrowser& browser, const QString& folder)
{
    auto* model = qobject_cast<QFileSystemModel*>(TreeOf(browser)->model());
    return model->index(folder);
}

QString SelectedInTree(FolderBrowser& browser)
{
    const QModelIndexList rows = TreeOf(browser)->selectionModel()->selectedRows();
    return rows.isEmpty() ? QString() : qobject_cast<QFileSystemModel*>(TreeOf(browser)->model())->filePath(rows.first());
}

bool IsShown(FolderBrowser& browser, const QString& folder)
{
    for (QModelIndex above = FolderIndex(browser, folder).parent(); above.isValid(); above = above.parent()) {
        if (!TreeOf(browser)->isExpanded(above))
            return false;
    }
    return FolderIndex(browser, folder).isValid();
}

QPushButton* ButtonOf(FolderBrowser& browser, const char* name)
{
    return browser.findChild<QPushButton*>(QLatin1String(name));
}

// Answers each folder browser that opens with the next answer, from a timer
// of its own so that an answer may open another browser.
class BrowserAnswers : public QObject {
public:
    BrowserAnswers()
    {
        timer_.setInterval(10);
        connect(&timer_, &QTimer::timeout, this, &BrowserAnswers::Poll);
        timer_.start();
    }

    void Handle(std::function<void(FolderBrowser&)> act) { answers_.push_back(std::move(act)); }

    void Choose(const QString& folder)
    {
        Handle([folder](FolderBrowser& browser) {
            TreeOf(browser)->setCurrentIndex(FolderIndex(browser, folder));
            ClickAsTheUser(ButtonOf(browser, "OkButton"));
        });
    }

    void Cancel()
    {
        Handle([](FolderBrowser& browser) { ClickAsTheUser(ButtonOf(browser, "CancelButton")); });
    }

    const std::vector<BrowserSeen>& Seen() const { return seen_; }
    bool AllAnswered() const { return answers_.empty(); }
    // Browsers that opened with no answer waiting, or that an answer did not
    // close (a blocked window ignores the clicks); each was cancelled.
    const QStringList& Problems() const { return problems_; }

private:
    void Poll()
    {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* browser = qobject_cast<FolderBrowser*>(window);
            if (!browser || !browser->isVisible() || met_.contains(browser))
                continue;
            met_ << browser;
            seen_.push_back({browser->windowTitle(), browser->findChild<QLabel*>("BrowseText")->text(),
                             browser->findChild<QLabel*>("BrowseText")->textFormat(), SelectedInTree(*browser),
                             ButtonOf(*browser, "OkButton")->isEnabled(), IsShown(*browser, QDir::homePath())});
            std::function<void(FolderBrowser&)> act = [this](FolderBrowser&) {
                problems_ << QStringLiteral("a browser opened with no answer waiting");
            };
            if (!answers_.empty()) {
                act = std::move(answers_.front());
                answers_.pop_front();
            }
            QPointer<FolderBrowser> guard(browser);
            QTimer::singleShot(0, this, [this, act, guard] {
                if (guard && QTest::qWaitForWindowExposed(guard->windowHandle()))
                    act(*guard);
                if (guard && guard->isVisible()) {
                    problems_ << QStringLiteral("a browser stayed open after its answer");
                    guard->reject();
                }
            });
        }
    }

    QTimer timer_;
    std::deque<std::function<void(FolderBrowser&)>> answers_;
    std::vector<BrowserSeen> seen_;
    QList<QPointer<FolderBrowser>> met_;
    QStringList problems_;
};

// ----- running a part as a user without access to the hive -----

// Set in the environment of this program started again as the user nobody.
constexpr char WithoutHiveAccess[] = "KW_TEST_WITHOUT_HIVE_ACCESS";

std::optional<QByteArray> FileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

} // namespace

class CompilerOptionsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void firstShowingPresentsTheGp2xPageThenTheLastSelected();
    void windowAndKeyboardOrder();
    void controlPlaces_data();
    void controlPlaces();
    void typedTextIsShownAgainWhileBuildsUseTheRegistry();
    void saveThenCloseMakesTheSettingsWhatWasSaved();
    void saveTwiceWritesTheSameValuesAndShowsNothing();
    void emptyFieldIsSavedAsAnEmptyValue();
    void settingBytesComeBackUnlessEdited();
    void autoConfigModuleDoesNothing();
    void folderPickFillsItsEdit_data();
    void folderPickFillsItsEdit();
    void cancelledPickKeepsTheEdit_data();
    void cancelledPickKeepsTheEdit();
    void chosenFolderComesBackAsItsPath_data();
    void chosenFolderComesBackAsItsPath();
    void initialFolderIsSelectedWhenGiven();
    void dialogStaysUsableWhileABrowserIsOpen();
    void saveWithoutAccessReportsAndWritesNothing();
    void saveAsAUserWithoutAccessToTheHive();
    void registryFailureAtCreation();

private:
    QString FolderToPick(const char* name) const { return folders_.filePath(QLatin1String(name)); }
    QString HivePath() const { return configHome_.filePath(QStringLiteral("kestrelwork/registry.reg")); }

    MemoryRegistry registry_;
    std::unique_ptr<ScopedRegistryOverride> useRegistry_;
    QTemporaryDir configHome_;
    QTemporaryDir folders_;
};

void CompilerOptionsTest::initTestCase()
{
    QVERIFY(configHome_.isValid() && folders_.isValid());
    // The real hive of these tests lives in a folder of their own; the copy
    // started as another user keeps the first copy's.
    if (!qEnvironmentVariableIsSet(WithoutHiveAccess))
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome_.path()));
    for (const char* name : {"gcc", "arm/bin"})
        QVERIFY(QDir(folders_.path()).mkpath(QLatin1String(name)));

    PutStrings(registry_, StartValues);
    useRegistry_ = std::make_unique<ScopedRegistryOverride>(registry_);
    Application->CreateForm(Form1);
    Form1->Show();
    QVERIFY(QTest::qWaitForWindowExposed(Form1));
    QVERIFY(Form2);
    QVERIFY(!Form2->isVisible());
}

void CompilerOptionsTest::firstShowingPresentsTheGp2xPageThenTheLastSelected()
{
    // A dialog made as start-up makes it, from a registry of its own: the
    // program's dialog may have been shown and typed into by other cases.
    MemoryRegistry registry;
    PutStrings(registry, StartValues);
    const ScopedRegistryOverride useIt(registry);
    TForm2 dialog;
    dialog.RunCreateHandler();
    const auto showing = [&dialog](const std::function<void()>& use) {
        WhileShown(&dialog, [&dialog] { dialog.ShowModal(); }, use);
    };
    QTabBar* tabs = dialog.PageControl1->tabBar();
    showing([&] {
        QCOMPARE(dialog.PageControl1->currentWidget(), dialog.TabSheet2);
        // Creation filled the fields from the registry, in the order of the settings.
        QStringList fields;
        for (TEdit* edit : dialog.SettingEdits())
            fields << edit->text();
        QCOMPARE(fields, StartValues);
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    });
    showing([&] {
        QCOMPARE(dialog.PageControl1->currentWidget(), dialog.TabSheet1);
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    });
    showing([&] { QCOMPARE(dialog.PageControl1->currentWidget(), dialog.TabSheet2); });
}

void CompilerOptionsTest::windowAndKeyboardOrder()
{
    ThroughTheMenu([] {
        QCOMPARE(Form2->windowTitle(), QStringLiteral("Compiler Options"));
        QCOMPARE(Form2->size(), QSize(435, 327));
        QCOMPARE(Form2->minimumSize(), Form2->maximumSize());  // not resizable
        const Qt::WindowFlags flags = Form2->windowFlags();
        QCOMPARE(Form2->windowType(), Qt::Tool);
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint) && !flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(Form2->windowIcon().pixmap(32).toImage() == Form1->windowIcon().pixmap(32).toImage());
        QCOMPARE(Form2->font().pixelSize(), 11);
        const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
        QVERIFY((Form2->frameGeometry().center() - screenCentre).manhattanLength() <= 2);

        QCOMPARE(Form2->PageControl1->count(), 2);
        QCOMPARE(Form2->PageControl1->widget(0), Form2->TabSheet1);
        QCOMPARE(Form2->PageControl1->tabText(0), QStringLiteral("PC Compiler Options"));
        QCOMPARE(Form2->PageControl1->tabText(1), QStringLiteral("GP2X Compiler Options"));

        // Tab runs through the six edits of a page from top to bottom.
        const auto edits = Form2->SettingEdits();
        for (TTabSheet* page : {Form2->TabSheet1, Form2->TabSheet2}) {
            Form2->PageControl1->setCurrentWidget(page);
            const std::size_t first = page == Form2->TabSheet1 ? 0 : 6;
            edits[first]->setFocus();
            for (std::size_t i = first; i < first + 6; ++i) {
                QTRY_VERIFY2(edits[i]->hasFocus(), qPrintable(edits[i]->objectName()));
                if (i + 1 < first + 6)
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            }
        }
        for (TSpeedButton* button : {Form2->SpeedButton1, Form2->SpeedButton2, Form2->SpeedButton3,
                                     Form2->SpeedButton4, Form2->SpeedButton5, Form2->SpeedButton6,
                                     Form2->SpeedButton7, Form2->SpeedButton8, Form2->SpeedButton9,
                                     Form2->SpeedButton10})
            QVERIFY2(button->focusPolicy() == Qt::NoFocus, qPrintable(button->objectName()));
    });
}

void CompilerOptionsTest::controlPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("place");  // width 0: as wide as its caption
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("accessibleName");
    const struct {
        const char* name;
        const char* parent;
        QRect place;
        const char* caption;  // nullptr: an edit, whose text is a setting
        const char* accessible;
    } controls[] = {
        {"PageControl1", "Form2", {0, 0, 435, 281}, nullptr, "Compiler options pages"},
        {"SpeedButton9", "Form2", {0, 288, 129, 33}, "AutoConfig Module", "AutoConfig Module"},
        {"SpeedButton10", "Form2", {304, 288, 129, 33}, "Save Config", "Save Config"},

        {"Bevel1", "TabSheet1", {0, 0, 425, 249}, nullptr, "PC page frame"},
        {"Label1", "TabSheet1", {8, 8, 0, 13}, "Compiler path:", "Compiler path"},
        {"Edit1", "TabSheet1", {112, 8, 209, 21}, nullptr, "PC compiler path"},
        {"SpeedButton1", "TabSheet1", {328, 8, 89, 22}, "Set Compiler", "Set Compiler"},
        {"Label2", "TabSheet1", {8, 32, 0, 13}, "Compiler switches:", "Compiler switches"},
        {"Edit2", "TabSheet1", {112, 32, 305, 21}, nullptr, "PC compiler switches"},
        {"Label3", "TabSheet1", {8, 56, 0, 13}, "Linker path:", "Linker path"},
        {"Edit3", "TabSheet1", {112, 56, 209, 21}, nullptr, "PC linker path"},
        {"SpeedButton2", "TabSheet1", {328, 56, 89, 22}, "Set Linker", "Set Linker"},
        {"Label4", "TabSheet1", {8, 80, 0, 13}, "Linker switches", "Linker switches"},
        {"Edit4", "TabSheet1", {112, 80, 305, 21}, nullptr, "PC linker switches"},
        {"Label5", "TabSheet1", {8, 104, 0, 13}, "INCLUDE path:", "INCLUDE path"},
        {"Edit5", "TabSheet1", {112, 104, 209, 21}, nullptr, "PC include path"},
        {"SpeedButton3", "TabSheet1", {328, 104, 89, 22}, "Set Include Path", "Set Include Path"},
        {"Label6", "TabSheet1", {8, 128, 0, 13}, "LIB path:", "LIB path"},
        {"Edit6", "TabSheet1", {112, 128, 209, 21}, nullptr, "PC library path"},
        {"SpeedButton4", "TabSheet1", {328, 128, 89, 22}, "Set Lib Path", "Set Lib Path"},
        {"GroupBox1", "TabSheet1", {8, 152, 409, 89}, "Preconfigured compiler switches:",
         "PC preconfigured compiler switches"},

        {"Bevel2", "TabSheet2", {0, 0, 425, 249}, nullptr, "GP2X page frame"},
        {"Label7", "TabSheet2", {8, 8, 0, 13}, "Compiler path:", "Compiler path"},
        {"Edit7", "TabSheet2", {112, 8, 209, 21}, nullptr, "GP2X compiler path"},
        {"SpeedButton5", "TabSheet2", {328, 8, 89, 22}, "", "Set GP2X Compiler"},
        {"Label8", "TabSheet2", {8, 32, 0, 13}, "Compiler switches:", "Compiler switches"},
        {"Edit8", "TabSheet2", {112, 32, 305, 21}, nullptr, "GP2X compiler switches"},
        {"Label9", "TabSheet2", {8, 56, 0, 13}, "Linker path:", "Linker path"},
        {"Edit9", "TabSheet2", {112, 56, 209, 21}, nullptr, "GP2X linker path"},
        {"SpeedButton6", "TabSheet2", {328, 56, 89, 22}, "", "Set GP2X Linker"},
        {"Label10", "TabSheet2", {8, 80, 0, 13}, "Linker switches:", "Linker switches"},
        {"Edit10", "TabSheet2", {112, 80, 305, 21}, nullptr, "GP2X linker switches"},
        {"Label11", "TabSheet2", {8, 104, 0, 13}, "INCLUDE path:", "INCLUDE path"},
        {"Edit11", "TabSheet2", {112, 104, 209, 21}, nullptr, "GP2X include path"},
        {"SpeedButton7", "TabSheet2", {328, 104, 89, 22}, "", "Set GP2X Include Path"},
        {"Label12", "TabSheet2", {8, 128, 0, 13}, "LIB path:", "LIB path"},
        {"Edit12", "TabSheet2", {112, 128, 209, 21}, nullptr, "GP2X library path"},
        {"SpeedButton8", "TabSheet2", {328, 128, 89, 22}, "", "Set GP2X Lib Path"},
        {"GroupBox2", "TabSheet2", {8, 152, 409, 89}, "Preconfigured compiler switches:",
         "GP2X preconfigured compiler switches"},
    };
    for (const auto& control : controls) {
        QTest::newRow(control.name) << control.name << control.parent << control.place
                                    << (control.caption ? QString::fromLatin1(control.caption) : QString())
                                    << control.accessible;
    }
}

void CompilerOptionsTest::controlPlaces()
{
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QRect, place);
    QFETCH(QString, caption);
    QFETCH(QString, accessibleName);
    auto* control = Form2->findChild<QWidget*>(name);
    QVERIFY2(control, qPrintable(name));
    QCOMPARE(control->parentWidget()->objectName(), parent);
    QCOMPARE(control->accessibleName(), accessibleName);
    if (auto* label = qobject_cast<QLabel*>(control)) {
        QCOMPARE(label->text(), caption);
        QCOMPARE(control->geometry().topLeft(), place.topLeft());
        QCOMPARE(control->height(), place.height());
        QVERIFY(control->width() >= label->fontMetrics().horizontalAdvance(caption));
        QCOMPARE(label->buddy()->parentWidget(), control->parentWidget());
        return;
    }
    QCOMPARE(control->geometry(), place);
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        QCOMPARE(button->text(), caption);
        QVERIFY(button->icon().isNull());
    } else if (auto* box = qobject_cast<QGroupBox*>(control)) {
        QCOMPARE(box->title(), caption);
        QVERIFY(box->findChildren<QWidget*>().isEmpty());
    }
}

void CompilerOptionsTest::typedTextIsShownAgainWhileBuildsUseTheRegistry()
{
    const std::string stored = registry_.Value(ProductKey, "GP2XCompiler")->data;
    ThroughTheMenu([] {
        Form2->Edit7->clear();
        QTest::keyClicks(Form2->Edit7, "D:\\typed\\bin");
    });
    QCOMPARE(ToolchainSettings.GP2XCompiler + '\0', stored);

    // The typed text is shown again, and a later "Save Config" writes it.
    ThroughTheMenu([] {
        QCOMPARE(Form2->Edit7->text(), QStringLiteral("D:\\typed\\bin"));
        QCOMPARE(SaveConfigReports(), QStringList());
    });
    QCOMPARE(ToolchainSettings.GP2XCompiler, std::string("D:\\typed\\bin"));
}

void CompilerOptionsTest::saveThenCloseMakesTheSettingsWhatWasSaved()
{
    const ScopedRegistryOverride useTheHive(SystemRegistry());
    const QStringList saved = {
        "C:\\Program Files\\MinGW\\bin", "-DNAME=\"x\" -O2", "", "-s", "C:\\inc", "C:\\lib",
        "C:\\GP2X\\bin", "-mcpu=arm920t", "C:\\GP2X\\ld", "", QString::fromUtf8("C:\\Übung\\include"), "C:\\GP2X\\lib",
    };
    ThroughTheMenu([&] {
        const QStringList beforeSaving = SettingTexts(ToolchainSettings);
        const auto edits = Form2->SettingEdits();
        for (std::size_t i = 0; i < edits.size(); ++i)
            edits[i]->setText(saved.at(static_cast<qsizetype>(i)));
        QCOMPARE(SaveConfigReports(), QStringList());
        QVERIFY(Form2->isVisible());
        QCOMPARE(FieldTexts(), saved);
        // The builds keep the old settings until the dialog closes.
        QCOMPARE(SettingTexts(ToolchainSettings), beforeSaving);
    });
    QCOMPARE(SettingTexts(ToolchainSettings), saved);
    QVERIFY(QFile::exists(HivePath()));
}

void CompilerOptionsTest::saveTwiceWritesTheSameValuesAndShowsNothing()
{
    ThroughTheMenu([this] {
        QCOMPARE(SaveConfigReports(), QStringList());
        const Hive afterFirst = registry_.Contents();
        // Another copy of the program changes a value in between; the second save writes it over.
        registry_.PutValue(ProductKey, "PCLib", REG_SZ_TYPE, StringData("changed elsewhere"));
        QCOMPARE(SaveConfigReports(), QStringList());
        QVERIFY(registry_.Contents() == afterFirst);
        QCOMPARE(registry_.Value(ProductKey, "PCLib")->data, StringData(Form2->Edit6->text()));
    });
}

void CompilerOptionsTest::emptyFieldIsSavedAsAnEmptyValue()
{
    ThroughTheMenu([this] {
        Form2->Edit12->clear();
        QCOMPARE(SaveConfigReports(), QStringList());
        const auto value = registry_.Value(ProductKey, "GP2XLib");
        QVERIFY(value);
        QCOMPARE(value->type, std::uint32_t{REG_SZ_TYPE});
        QCOMPARE(value->data, std::string(1, '\0'));
    });
    QVERIFY(ToolchainSettings.GP2XLib.empty());
}

void CompilerOptionsTest::settingBytesComeBackUnlessEdited()
{
    // Settings are used verbatim, whatever bytes another program stored:
    // what the dialog shows with replacement characters goes back unchanged.
    const std::vector<std::string> stored = {
        "C:\\\xDC" "bung\\bin",  // Windows-1252
        "-DX=\x80",                // a lone continuation byte
        "\xC0\xAF",                // an overlong "/"
        "\xED\xA0\x80",            // an encoded surrogate
        "abc\xE2\x82",             // cut short
        "\xFF\xFE",
        "C:\\\xC3\x9C" "bung",     // valid UTF-8
        "tab\there",
        "\x01\x1B[0m",
        "",
        "\xF4\x90\x80\x80",        // past U+10FFFF
        "plain",
    };
    const ScopedRegistryOverride useTheHive(SystemRegistry());
    {
        TRegistry registry;
        registry.SetRootKey(HKEY_LOCAL_MACHINE_HANDLE);
        QVERIFY(registry.OpenKey("SOFTWARE\\Kestrelwork"));
        registry.WriteString("", "Kestrelwork");
        for (std::size_t i = 0; i < stored.size(); ++i)
            registry.WriteString(ToolchainSettingTable[i].name, stored[i]);
    }
    const std::optional<QByteArray> before = FileBytes(HivePath());
    QVERIFY(before);

    TForm2 dialog;
    QCOMPARE(ReportsDuring([&] { dialog.RunCreateHandler(); }), QStringList());
    QCOMPARE(dialog.Edit1->text(), QString::fromUtf8("C:\\\uFFFDbung\\bin"));
    QCOMPARE(ReportsDuring([&] { dialog.SpeedButton10->click(); }), QStringList());
    QCOMPARE(FileBytes(HivePath()), before);

    // An edited field is saved as the user sees it; the others stay as they were.
    dialog.Edit2->end(false);
    QTest::keyClicks(dialog.Edit2, "!");
    QCOMPARE(ReportsDuring([&] { dialog.SpeedButton10->click(); }), QStringList());
    std::vector<std::string> expected = stored;
    expected[1] = "-DX=\uFFFD!";
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE_HANDLE);
    QVERIFY(registry.OpenKey("SOFTWARE\\Kestrelwork"));
    for (std::size_t i = 0; i < stored.size(); ++i)
        QCOMPARE(registry.ReadString(ToolchainSettingTable[i].name), expected[i]);
}

void CompilerOptionsTest::autoConfigModuleDoesNothing()
{
    ThroughTheMenu([this] {
        const Hive before = registry_.Contents();
        const QStringList fields = FieldTexts();
        QCOMPARE(ReportsDuring([] { ClickAsTheUser(Form2->SpeedButton9); }), QStringList());
        QVERIFY(registry_.Contents() == before);
        QCOMPARE(FieldTexts(), fields);
        QVERIFY(Form2->isVisible());
    });
}

void CompilerOptionsTest::folderPickFillsItsEdit_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("edit");
    const char* const pairs[][2] = {
        {"SpeedButton1", "Edit1"}, {"SpeedButton2", "Edit3"}, {"SpeedButton3", "Edit5"},  {"SpeedButton4", "Edit6"},
        {"SpeedButton5", "Edit7"}, {"SpeedButton6", "Edit9"}, {"SpeedButton7", "Edit11"}, {"SpeedButton8", "Edit12"},
    };
    for (const auto& pair : pairs)
        QTest::newRow(pair[0]) << pair[0] << pair[1];
}

void CompilerOptionsTest::folderPickFillsItsEdit()
{
    QFETCH(QString, button);
    QFETCH(QString, edit);
    const QString folder = FolderToPick("arm/bin");
    BrowserAnswers browsers;
    browsers.Choose(folder);
    ThroughTheMenu([&] {
        auto* folderButton = Form2->findChild<TSpeedButton*>(button);
        Form2->PageControl1->setCurrentWidget(folderButton->parentWidget());
        QStringList expected = FieldTexts();
        expected[edit.mid(4).toInt() - 1] = folder;
        const Hive registryBefore = registry_.Contents();

        ClickAsTheUser(folderButton);
        QCOMPARE(FieldTexts(), expected);
        QCOMPARE(QString::fromStdString(LastPickedFolder), folder);
        QVERIFY(registry_.Contents() == registryBefore);  // only "Save Config" writes
    });
    QVERIFY(browsers.AllAnswered());
    QCOMPARE(browsers.Problems(), QStringList());
    QCOMPARE(browsers.Seen().size(), std::size_t{1});
    const BrowserSeen& seen = browsers.Seen().front();
    QCOMPARE(seen.title, QStringLiteral("Browse For Folder"));
    QCOMPARE(seen.text, QStringLiteral("Select the Source Directory..."));
    // No initial folder: nothing selected, nothing to confirm yet, the home folder in view.
    QCOMPARE(seen.selected, QString());
    QVERIFY(!seen.okEnabled);
    QVERIFY(seen.homeShown);
}

void CompilerOptionsTest::cancelledPickKeepsTheEdit_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel button") << "cancel";
    QTest::newRow("close command") << "close";
    QTest::newRow("Escape key") << "escape";
}

void CompilerOptionsTest::cancelledPickKeepsTheEdit()
{
    QFETCH(QString, how);
    BrowserAnswers browsers;
    browsers.Choose(FolderToPick("gcc"));
    browsers.Handle([how](FolderBrowser& browser) {
        if (how == "cancel")
            ClickAsTheUser(ButtonOf(browser, "CancelButton"));
        else if (how == "close")
            browser.close();
        else
            QTest::keyClick(TreeOf(browser), Qt::Key_Escape);
    });
    ThroughTheMenu([this] {
        ClickAsTheUser(Form2->SpeedButton7);
        QCOMPARE(LastPickedFolder, FolderToPick("gcc").toStdString());
        const QStringList fields = FieldTexts();
        QCOMPARE(ReportsDuring([] { ClickAsTheUser(Form2->SpeedButton7); }), QStringList());
        QCOMPARE(FieldTexts(), fields);
        QCOMPARE(LastPickedFolder, std::string());
    });
    QVERIFY(browsers.AllAnswered());
    QCOMPARE(browsers.Problems(), QStringList());
}

void CompilerOptionsTest::chosenFolderComesBackAsItsPath_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("result");
    QTest::newRow("root") << "/" << "/";
    QTest::newRow("nested") << FolderToPick("arm/bin") << FolderToPick("arm/bin");
    QTest::newRow("home") << QDir::homePath() << QDir::homePath();
}

void CompilerOptionsTest::chosenFolderComesBackAsItsPath()
{
    QFETCH(QString, folder);
    QFETCH(QString, result);
    BrowserAnswers browsers;
    browsers.Choose(folder);
    QCOMPARE(BrowseForFolder("Select the Source Directory...", ""), result.toStdString());
    QVERIFY(browsers.AllAnswered());
    QCOMPARE(browsers.Problems(), QStringList());
}

void CompilerOptionsTest::initialFolderIsSelectedWhenGiven()
{
    const QString initial = FolderToPick("arm/bin");
    BrowserAnswers browsers;
    browsers.Handle([](FolderBrowser& browser) { ClickAsTheUser(ButtonOf(browser, "OkButton")); });
    // The caller's text is shown as it is, markup and all.
    QCOMPARE(BrowseForFolder("Pick <b>one</b>", initial.toStdString()), initial.toStdString());
    QCOMPARE(BrowseInitialFolder, initial.toStdString());
    QCOMPARE(browsers.Seen().size(), std::size_t{1});
    const BrowserSeen& seen = browsers.Seen().front();
    QCOMPARE(seen.selected, initial);
    QVERIFY(seen.okEnabled);
    QCOMPARE(seen.text, QStringLiteral("Pick <b>one</b>"));
    QCOMPARE(seen.textFormat, Qt::PlainText);

    // The next call without one forgets it.
    browsers.Cancel();
    QCOMPARE(BrowseForFolder("Select the Source Directory...", ""), std::string());
    QCOMPARE(BrowseInitialFolder, std::string());
    QCOMPARE(browsers.Seen().back().selected, QString());
    QCOMPARE(browsers.Problems(), QStringList());
}

void CompilerOptionsTest::dialogStaysUsableWhileABrowserIsOpen()
{
    const QString first = FolderToPick("gcc");
    const QString second = FolderToPick("arm/bin");
    const FailureReports reports;
    BrowserAnswers browsers;
    bool secondReturned = false;
    browsers.Handle([&](FolderBrowser& browser) {
        // With the first browser open: "Save Config" saves the fields as they are now...
        QTest::keyClicks(Form2->Edit8, " -g");
        ClickAsTheUser(Form2->SpeedButton10);
        QCOMPARE(registry_.Value(ProductKey, "GP2XCSwitches")->data, StringData(Form2->Edit8->text()));
        // ...and another folder button opens a second browser, which returns first.
        ClickAsTheUser(Form2->SpeedButton6);
        QCOMPARE(Form2->Edit9->text(), second);
        secondReturned = true;
        TreeOf(browser)->setCurrentIndex(FolderIndex(browser, first));
        ClickAsTheUser(ButtonOf(browser, "OkButton"));
    });
    browsers.Choose(second);
    ThroughTheMenu([] {
        Form2->PageControl1->setCurrentWidget(Form2->TabSheet2);
        ClickAsTheUser(Form2->SpeedButton5);
    });
    QVERIFY(secondReturned);
    QVERIFY(browsers.AllAnswered());
    QCOMPARE(browsers.Problems(), QStringList());
    QCOMPARE(Form2->Edit7->text(), first);
    QCOMPARE(LastPickedFolder, first.toStdString());
    QCOMPARE(reports.Texts(), QStringList());
}

void CompilerOptionsTest::saveWithoutAccessReportsAndWritesNothing()
{
    MemoryRegistry refusing;
    refusing.RefuseAccess("HKEY_LOCAL_MACHINE\\SOFTWARE");
    refusing.RefuseNewSubkeys("HKEY_LOCAL_MACHINE");
    const ScopedRegistryOverride useIt(refusing);
    ThroughTheMenu([&] {
        Form2->Edit1->setText(QStringLiteral("typed before saving"));
        const QStringList fields = FieldTexts();
        QCOMPARE(SaveConfigReports(), QStringList({"Failed to create key Kestrelwork."}));
        QVERIFY(Form2->isVisible());
        QCOMPARE(FieldTexts(), fields);
    });
    QVERIFY(refusing.Contents().keys.empty());
    // The reload found nothing to read, silently.
    QCOMPARE(SettingTexts(ToolchainSettings), QStringList(12, QString()));
}

void CompilerOptionsTest::saveAsAUserWithoutAccessToTheHive()
{
    const ScopedRegistryOverride useTheHive(SystemRegistry());
    if (qEnvironmentVariableIsSet(WithoutHiveAccess)) {
        // This is the program started again as nobody: the hive's folder is root's and private.
        ThroughTheMenu([] {
            Form2->Edit2->setText(QStringLiteral("-O3"));
            QCOMPARE(SaveConfigReports(), QStringList({"Failed to create key Kestrelwork."}));
            QVERIFY(Form2->isVisible());
            QCOMPARE(Form2->Edit2->text(), QStringLiteral("-O3"));
        });
        return;
    }
    if (geteuid() != 0)
        QSKIP("only root can become a user without access to the test's hive");

    const std::optional<QByteArray> before = FileBytes(HivePath());
    // A fresh process, not a fork: a forked copy of a Qt program lacks the
    // threads its painting waits for.
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QLatin1String(WithoutHiveAccess), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.setChildProcessModifier([] {
        if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)
            _exit(99);
    });
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("saveAsAUserWithoutAccessToTheHive")});
    // Built inside a private folder (such as root's home), the program is out
    // of reach of the other user; the in-memory case covers the behaviour then.
    if (!child.waitForStarted(10000) && child.error() == QProcess::FailedToStart)
        QSKIP("the other user cannot run this test program from where it was built");
    QVERIFY(child.waitForFinished(60000));
    const QByteArray output = child.readAll();
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, output.constData());
    QVERIFY2(output.contains("PASS   : CompilerOptionsTest::saveAsAUserWithoutAccessToTheHive()"), output.constData());
    QCOMPARE(FileBytes(HivePath()), before);
}

void CompilerOptionsTest::registryFailureAtCreation()
{
    MemoryRegistry registry;
    QStringList values = StartValues;
    values[0] = QString(40000, QLatin1Char('x'));  // longer than a line edit takes by default
    PutStrings(registry, values);
    registry.PutValue(ProductKey, "PCInclude", REG_DWORD_TYPE, std::string("\x2a\0\0\0", 4));
    const ScopedRegistryOverride useIt(registry);

    TForm2 dialog;
    QCOMPARE(ReportsDuring([&] { dialog.RunCreateHandler(); }), QStringList({"Invalid data type for 'PCInclude'"}));
    QStringList fields;
    for (TEdit* edit : dialog.SettingEdits())
        fields << edit->text();
    QCOMPARE(fields, values.mid(0, 4) + QStringList(8, QString()));
}

KW_WINDOW_TEST_MAIN(CompilerOptionsTest)

#include "CompilerOptionsTest.moc"
