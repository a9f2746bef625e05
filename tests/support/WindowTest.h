#pragma once
// What the window tests share: their main(), the program's start-up steps,
// and opening a file in the editor through the real Open dialog.

#include "app/AboutWindow.h"
#include "app/MainWindow.h"
#include "platform/qt/Application.h"
#include "tests/support/DialogAnswers.h"

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
