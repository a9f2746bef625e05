// Start-up as the program entry runs it, against the real hive: the order
// in which the windows come, what a first start creates, and how a broken
// registry value is reported before the main window opens. Each case needs
// a fresh process: run whole, the program runs each in a copy of its own.

#include "app/AboutWindow.h"
#include "app/MainWindow.h"
#include "app/SplashWindow.h"
#include "platform/posix/RegistryHive.h"
#include "platform/qt/Application.h"
#include "settings/CompilerOptionsDialog.h"
#include "settings/EditorOptionsDialog.h"
#include "tests/support/DialogAnswers.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WindowTest.h"

#include <QTest>

#include <cstdlib>
#include <vector>

using namespace kw;

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void firstStartCreatesTheKeyAndAsksNothing();
    void aValueOfAnotherTypeIsReportedAfterTheSplash();

private:
    std::unique_ptr<test::TempFolder> config_;
};

void StartupTest::init()
{
    config_ = std::make_unique<test::TempFolder>();
    ::setenv("XDG_CONFIG_HOME", config_->Path().c_str(), 1);
}

void StartupTest::firstStartCreatesTheKeyAndAsksNothing()
{
    test::DialogAnswers answers;
    test::StartAsTheProgramDoes();
    QVERIFY(answers.Unexpected().isEmpty());
    for (const auto& setting : ToolchainSettingTable)
        QVERIFY((ToolchainSettings.*setting.field).empty());
    const std::string hive = test::ReadFileBytes(config_->Path() / "kestrelwork" / "registry.reg");
    QVERIFY2(hive.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestrelwork]\r\n") != std::string::npos, hive.c_str());
    // Every start shows the first item of each selector.
    QCOMPARE(Form1->ComboBox1->currentText(), QStringLiteral("PC Release [ Testing ]"));
    QCOMPARE(Form1->ComboBox2->currentText(), QStringLiteral("Compilation CPP"));
}

void StartupTest::aValueOfAnotherTypeIsReportedAfterTheSplash()
{
    std::filesystem::create_directories(config_->Path() / "kestrelwork");
    test::WriteFileBytes(config_->Path() / "kestrelwork" / "registry.reg",
                         "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestrelwork]\r\n"
                         "\"PCCompiler\"=\"C:\\\\gcc\"\r\n\"PCLSwitches\"=\"-s\"\r\n"
                         "\"PCInclude\"=dword:0000002a\r\n\"GP2XLib\"=\"C:\\\\arm\\\\lib\"\r\n\r\n");
    struct Seen {
        bool splashClosed = false, editorOptionsMade = false, aboutMade = false, mainShown = false;
    };
    std::vector<Seen> atReports;
    auto look = [&atReports] {
        atReports.push_back({Form5 && !Form5->isVisible() && SplashTickCount == 3, Form3 != nullptr,
                             Form4 != nullptr, Form1->isVisible()});
    };
    // Reported twice: by the Compiler Options dialog filling its fields, then
    // by the load of the settings the builds use.
    test::DialogAnswers answers;
    answers.PressOkOnMessageBox(look);
    answers.PressOkOnMessageBox(look);
    test::StartAsTheProgramDoes();
    QVERIFY(answers.WaitUntilAnswered());
    QCOMPARE(answers.MessageBoxes().size(), std::size_t{2});
    for (const auto& box : answers.MessageBoxes())
        QCOMPARE(box.text, QStringLiteral("Invalid data type for 'PCInclude'"));
    QVERIFY(atReports[0].splashClosed && atReports[1].splashClosed);
    QVERIFY(!atReports[0].editorOptionsMade);
    QVERIFY(atReports[1].editorOptionsMade);
    QVERIFY(!atReports[1].aboutMade);
    QVERIFY(!atReports[0].mainShown && !atReports[1].mainShown);
    // The settings before the broken value were read; the rest stay empty.
    QCOMPARE(ToolchainSettings.PCCompiler, std::string("C:\\gcc"));
    QCOMPARE(ToolchainSettings.PCLSwitches, std::string("-s"));
    QVERIFY(ToolchainSettings.GP2XLib.empty());
    // Start-up goes on, and the main window works.
    QVERIFY(Form4);
    Form1->Show();
    Form1->Memo1->AppendLine("works");
    QCOMPARE(Form1->Memo1->Lines().constLast(), QStringLiteral("works"));
}

KW_PROCESS_PER_SLOT_TEST_MAIN(StartupTest)

#include "StartupTest.moc"
