#pragma once
// What the window tests share: their main(), the program's start-up steps,
// and opening a file in the editor through the real Open dialog.

#include "app/AboutWindow.h"
#include "app/MainWindow.h"
#include "platform/qt/Application.h"
#include "tests/support/DialogAnswers.h"

#include <QCoreApplication>
#include <QMetaMethod>
#include <QProcess>
#include <QStringList>
#include <QTest>

#include <filesystem>

namespace kw::test {

template <class Test>
int RunWindowTest(int argc, char** argv)
{
    TApplication application(argc, argv);
    Application->Initialize();
    Application->SetTitle(ProgramTitle);
    Test test;
    return QTest::qExec(&test, argc, argv);
}

// The test functions of a Qt Test class, in their order: the private slots
// other than the four fixture slots and the data functions.
inline QStringList TestFunctions(const QMetaObject& test)
{
    const QStringList fixtures = {"initTestCase", "cleanupTestCase", "init", "cleanup"};
    QStringList names;
    for (int i = test.methodOffset(); i < test.methodCount(); ++i) {
        const QMetaMethod method = test.method(i);
        const QString name = QString::fromLatin1(method.name());
        if (method.methodType() == QMetaMethod::Slot && method.access() == QMetaMethod::Private &&
            !fixtures.contains(name) && !name.endsWith(QLatin1String("_data")))
            names << name;
    }
    return names;
}

// For tests whose every slot needs a process of its own, such as the
// program's start-up, which happens once a process. One slot named alone runs
// here; otherwise each slot (all of them, or those named, in the order
// named) runs in a fresh copy of this program, with the other arguments.
template <class Test>
int RunEachSlotInAProcessOfItsOwn(int argc, char** argv)
{
    const QStringList known = TestFunctions(Test::staticMetaObject);
    QStringList named, options;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        (known.contains(argument.section(QLatin1Char(':'), 0, 0)) ? named : options) << argument;
    }
    const bool listing = options.contains(QLatin1String("-functions")) ||
                         options.contains(QLatin1String("-datatags")) || options.contains(QLatin1String("-help"));
    if (named.size() == 1 || listing)
        return RunWindowTest<Test>(argc, argv);
    if (named.isEmpty())
        named = known;
    QCoreApplication application(argc, argv);
    int failed = 0;
    for (const QString& slot : named) {
        if (QProcess::execute(QCoreApplication::applicationFilePath(), options + QStringList{slot}) != 0)
            ++failed;
    }
    return failed;
}

// The program entry's steps before its event loop: the main window (with
// the splash, the dialogs and the settings load), then the About window.
inline void StartAsTheProgramDoes()
{
    Application->CreateForm(Form1);
    Application->CreateForm(Form4);
}

inline QString ToQString(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

// Types the file's name into the Open dialog, as a user would.
inline void OpenInEditor(const std::filesystem::path& file)
{
    DialogAnswers answers;
    answers.TypeFileName(ToQString(file));
    Form1->SpeedButton2->click();
    QVERIFY(answers.AllAnswered());
}

} // namespace kw::test

#define KW_WINDOW_TEST_MAIN(Test) \
    int main(int argc, char** argv) { return kw::test::RunWindowTest<Test>(argc, argv); }

#define KW_PROCESS_PER_SLOT_TEST_MAIN(Test) \
    int main(int argc, char** argv) { return kw::test::RunEachSlotInAProcessOfItsOwn<Test>(argc, argv); }
