// Compile and Compile and Run through the real main window: the log panel
// after each press, the save step, the script they write and start, every
// failing step, and the main job for real with the machine's own g++.

#include "app/AboutWindow.h"
#include "app/MainWindow.h"
#include "platform/core/MemoryRegistry.h"
#include "platform/core/ProcessStart.h"
#include "platform/qt/Application.h"
#include "tests/support/DialogAnswers.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WindowTest.h"

#include <QProcess>
#include <QTest>

#include <filesystem>

using namespace kw;
using kw::test::ToQString;
using kw::test::DialogAnswers;
using kw::test::ReadFileBytes;
using kw::test::TempFolder;
using kw::test::WriteFileBytes;

namespace {

const QString Saving = QStringLiteral("[+] Saving project");
const QString Compiling = QStringLiteral("[+] Compiling project");
const QString SeeLog = QStringLiteral("[?] See log window to get more info");

// The lines a press appended to the log panel.
QStringList LinesAfter(int before)
{
    return Form1->Memo1->Lines().mid(before);
}

} // namespace

class BuildCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void pressLogsWritesAndStarts_data();
    void pressLogsWritesAndStarts();
    void saveStepIsOfferedEveryTimeAndNeverChangesTheSource();
    void failingSteps_data();
    void failingSteps();
    void unusableSourceNameStopsBeforeTheScript();
    void mainJobForReal();

private:
    void OpenInEditor(const std::filesystem::path& file);

    MemoryRegistry registry_;
    std::unique_ptr<ScopedRegistryOverride> useRegistry_;
    RecordingProcessStarter starter_;
    std::unique_ptr<ScopedProcessStarterOverride> useStarter_;
    std::unique_ptr<TempFolder> folder_;
};

void BuildCommandsTest::initTestCase()
{
    useRegistry_ = std::make_unique<ScopedRegistryOverride>(registry_);
    useStarter_ = std::make_unique<ScopedProcessStarterOverride>(starter_);
    test::StartAsTheProgramDoes();
    Form1->Show();
}

void BuildCommandsTest::init()
{
    folder_ = std::make_unique<TempFolder>();
    std::filesystem::current_path(folder_->Path());
    ToolchainSettings = TToolchainSettings{};
    ToolchainSettings.PCCompiler = "C:\\pcgcc\\bin";
    ToolchainSettings.PCInclude = "C:\\pcgcc\\include";
    ToolchainSettings.PCLib = "C:\\pcgcc\\lib";
    ToolchainSettings.PCCSwitches = "-O2";
    ToolchainSettings.GP2XCompiler = "C:\\armgcc\\bin";
    ToolchainSettings.GP2XInclude = "C:\\armgcc\\include";
    ToolchainSettings.GP2XLib = "C:\\armgcc\\lib";
    ToolchainSettings.GP2XCSwitches = "-O3";
    Form1->ComboBox1->setCurrentIndex(0);
    Form1->ComboBox2->setCurrentIndex(0);
}

void BuildCommandsTest::OpenInEditor(const std::filesystem::path& file)
{
    test::OpenInEditor(file);
    QCOMPARE(QString::fromStdString(CurrentSourcePath()), ToQString(file));
}

void BuildCommandsTest::pressLogsWritesAndStarts_data()
{
    QTest::addColumn<bool>("andRun");
    QTest::addColumn<int>("target");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<int>("scriptLines");
    QTest::newRow("Compile, PC") << false << 0 << QStringList{Saving, Compiling, SeeLog} << 3;
    QTest::newRow("Compile and Run, PC") << true << 0 << QStringList{Saving, Compiling, SeeLog, SeeLog} << 4;
    QTest::newRow("Compile, GP2X") << false << 1 << QStringList{Saving, Compiling, SeeLog} << 3;
    QTest::newRow("Compile and Run, GP2X") << true << 1 << QStringList{Saving, Compiling, SeeLog, SeeLog} << 3;
}

void BuildCommandsTest::pressLogsWritesAndStarts()
{
    QFETCH(bool, andRun);
    QFETCH(int, target);
    QFETCH(QStringList, log);
    QFETCH(int, scriptLines);
    WriteFileBytes(*folder_ / "hello.cpp", "int main() {}\n");
    OpenInEditor(*folder_ / "hello.cpp");
    Form1->ComboBox1->setCurrentIndex(target);

    const int before = static_cast<int>(Form1->Memo1->Lines().size());
    const std::size_t starts = starter_.Calls().size();
    DialogAnswers answers;
    answers.CancelFileDialog();  // the save step, declined: the build goes on
    (andRun ? Form1->SpeedButton9 : Form1->SpeedButton8)->click();
    QVERIFY(answers.AllAnswered());
    QCOMPARE(LinesAfter(before), log);

    const std::string script = ReadFileBytes(*folder_ / "Batch.bat");
    QCOMPARE(static_cast<int>(std::count(script.begin(), script.end(), '\n')), scriptLines);
    const std::string source = (*folder_ / "hello.cpp").string();
    QVERIFY(script.find("\"" + source + "\"") != std::string::npos);
    QCOMPARE(starter_.Calls().size(), starts + 1);
    QCOMPARE(starter_.Calls().back(), (RecordingProcessStarter::Call{"batch.bat", 5}));
}

void BuildCommandsTest::saveStepIsOfferedEveryTimeAndNeverChangesTheSource()
{
    WriteFileBytes(*folder_ / "a.c", "int a;\n");
    OpenInEditor(*folder_ / "a.c");
    const auto other = *folder_ / "sub";
    std::filesystem::create_directory(other);

    for (int press = 0; press < 2; ++press) {
        DialogAnswers answers;
        answers.TypeFileName(ToQString(other / "b.c"));
        Form1->SpeedButton8->click();
        QVERIFY(answers.AllAnswered());
    }
    // The saved copy holds the editor's text; the script compiles a.c, and
    // lands in the folder of the file just saved.
    QCOMPARE(ReadFileBytes(other / "b.c"), std::string("int a;\r\n"));
    QVERIFY(Form1->RichEdit1->PlainText);
    const std::string script = ReadFileBytes(other / "Batch.bat");
    QVERIFY(script.find("\"" + (*folder_ / "a.c").string() + "\"") != std::string::npos);
    QVERIFY(script.find("b.c") == std::string::npos);
    QCOMPARE(QString::fromStdString(CurrentSourcePath()), ToQString(*folder_ / "a.c"));
}

void BuildCommandsTest::failingSteps_data()
{
    QTest::addColumn<bool>("andRun");
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("log");
    const QString denied = QStringLiteral("File access denied.");
    const QString full = QStringLiteral("I/O error 112.");
    QTest::newRow("Compile, save fails") << false << "save" << "" << QStringList{Saving};
    QTest::newRow("Compile and Run, save fails") << true << "save" << "" << QStringList{Saving};
    QTest::newRow("Compile, script denied") << false << "folder" << denied << QStringList{Saving, Compiling};
    QTest::newRow("Compile and Run, script denied") << true << "folder" << denied << QStringList{Saving, Compiling, SeeLog};
    QTest::newRow("Compile, disk full") << false << "full" << full << QStringList{Saving, Compiling};
    QTest::newRow("Compile and Run, disk full") << true << "full" << full << QStringList{Saving, Compiling, SeeLog};
}

void BuildCommandsTest::failingSteps()
{
    QFETCH(bool, andRun);
    QFETCH(QString, obstacle);
    QFETCH(QString, message);
    QFETCH(QStringList, log);
    WriteFileBytes(*folder_ / "hello.cpp", "int main() {}\n");
    OpenInEditor(*folder_ / "hello.cpp");
    DialogAnswers answers;
    if (obstacle == QLatin1String("save")) {
        // The folder to save in does not exist.
        const auto target = *folder_ / "missing" / "b.c";
        answers.TypeFileName(ToQString(target));
        message = QStringLiteral("Cannot create file \"%1\". No such file or directory.").arg(ToQString(target));
    } else {
        answers.CancelFileDialog();
        if (obstacle == QLatin1String("folder"))
            std::filesystem::create_directory(*folder_ / "Batch.bat");
        else
            std::filesystem::create_symlink("/dev/full", *folder_ / "Batch.bat");
    }
    answers.PressOkOnMessageBox();

    const int before = static_cast<int>(Form1->Memo1->Lines().size());
    const std::size_t starts = starter_.Calls().size();
    (andRun ? Form1->SpeedButton9 : Form1->SpeedButton8)->click();
    QVERIFY(answers.AllAnswered());
    QCOMPARE(answers.MessageBoxes().at(0).text, message);
    QCOMPARE(LinesAfter(before), log);
    QCOMPARE(starter_.Calls().size(), starts);  // nothing started
}

void BuildCommandsTest::unusableSourceNameStopsBeforeTheScript()
{
    const auto odd = *folder_ / "two\nlines.c";
    WriteFileBytes(odd, "int x;\n");
    OpenInEditor(odd);
    WriteFileBytes(*folder_ / "Batch.bat", "earlier\r\n");
    DialogAnswers answers;
    answers.CancelFileDialog();
    answers.PressOkOnMessageBox();
    const int before = static_cast<int>(Form1->Memo1->Lines().size());
    const std::size_t starts = starter_.Calls().size();
    Form1->SpeedButton8->click();
    QVERIFY(answers.AllAnswered());
    QCOMPARE(answers.MessageBoxes().at(0).text,
             QStringLiteral("The source file name cannot be used in a build script: %1.").arg(ToQString(odd)));
    QCOMPARE(LinesAfter(before), (QStringList{Saving, Compiling}));
    QCOMPARE(ReadFileBytes(*folder_ / "Batch.bat"), std::string("earlier\r\n"));
    QCOMPARE(starter_.Calls().size(), starts);
}

void BuildCommandsTest::mainJobForReal()
{
    const QString interpreter = QCoreApplication::applicationDirPath() + QStringLiteral("/kestrelwork-cmd");
    QVERIFY(QFile::exists(interpreter));
    ToolchainSettings = TToolchainSettings{};
    ToolchainSettings.PCCompiler = "/usr/bin";
    ToolchainSettings.PCInclude = "/usr/include";
    ToolchainSettings.PCLib = "/usr/lib";
    auto runScript = [&] {
        QProcess cmd;
        cmd.setWorkingDirectory(ToQString(folder_->Path()));
        cmd.setStandardInputFile(QProcess::nullDevice());
        cmd.setProcessChannelMode(QProcess::MergedChannels);
        cmd.start(interpreter, {QStringLiteral("Batch.bat")});
        if (!cmd.waitForFinished(120000))
            return QString();
        return QString::fromLocal8Bit(cmd.readAll());
    };

    const auto source = *folder_ / "hello.cpp";
    WriteFileBytes(source, "#include <cstdio>\nint main() { std::puts(\"Hello from the GP2X desk\"); }\n");
    OpenInEditor(source);
    {
        DialogAnswers answers;
        answers.CancelFileDialog();
        Form1->SpeedButton9->click();
        QVERIFY(answers.AllAnswered());
    }
    QCOMPARE(starter_.Calls().back().commandLine, std::string("batch.bat"));
    QString console = runScript();
    QVERIFY2(std::filesystem::exists(folder_->Path() / "hello.cpp.exe"), qPrintable(console));
    QVERIFY2(console.contains(QStringLiteral("Hello from the GP2X desk")), qPrintable(console));
    QVERIFY(console.contains(QStringLiteral("Press any key to continue . . . ")));

    // A broken source: the compiler's complaint shows, and the program left
    // by the earlier build still runs.
    DialogAnswers answers;
    answers.TypeFileName(ToQString(source));
    Form1->RichEdit1->setPlainText(QStringLiteral("int main() { this is not C++ }\n"));
    Form1->SpeedButton9->click();
    QVERIFY(answers.AllAnswered());
    console = runScript();
    QVERIFY2(console.contains(QStringLiteral("error")), qPrintable(console));
    QVERIFY2(console.contains(QStringLiteral("Hello from the GP2X desk")), qPrintable(console));
}

KW_WINDOW_TEST_MAIN(BuildCommandsTest)

#include "BuildCommandsTest.moc"
