#pragma once
// The main() of a window test: one application object, set up as the
// program entry sets it up, around a Qt Test object.

#include "app/MainWindow.h"
#include "platform/qt/Application.h"

#include <QTest>

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

} // namespace kw::test

#define KW_WINDOW_TEST_MAIN(Test) \
    int main(int argc, char** argv) { return kw::test::RunWindowTest<Test>(argc, argv); }
