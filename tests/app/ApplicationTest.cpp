// The application object and forms: creation order and the main window,
// failures inside and outside creation handlers, modal showing in a nested
// loop, closing that hides, and the exit code.

#include "platform/qt/Application.h"
#include "tests/support/DialogAnswers.h"
#include "tests/support/WindowTest.h"

#include <QTest>
#include <QTimer>

#include <stdexcept>
#include <vector>

using namespace kw;

namespace {

std::vector<std::string> events;

class QuietForm : public TForm {
public:
    QuietForm() { SetCreateHandler(&QuietForm::FormCreate); }
    void FormCreate(TObject*) { events.push_back("quiet created"); }
};

class FailingCreateForm : public TForm {
public:
    FailingCreateForm() { SetCreateHandler(&FailingCreateForm::FormCreate); }
    void FormCreate(TObject*)
    {
        events.push_back("create started");
        throw std::runtime_error("Failed to create key Kestrelwork");
    }
};

class FailingConstructorForm : public TForm {
public:
    FailingConstructorForm() { throw std::runtime_error("cannot make the window"); }
};

QuietForm* MainForm = nullptr;
QuietForm* OtherForm = nullptr;
FailingCreateForm* FailingForm = nullptr;
FailingConstructorForm* NeverForm = nullptr;

} // namespace

class ApplicationTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void firstCreatedFormIsTheMainWindow();
    void failureInACreationHandlerIsReportedAndCreationCompletes();
    void failureOutsideAHandlerLeavesCreateForm();
    void failureReportShowsItsTextAsItStands_data();
    void failureReportShowsItsTextAsItStands();
    void modalShowingRunsANestedLoopAndClosingHides();
    void closingTheMainWindowEndsTheLoopWithZero();

private:
    std::vector<std::string> creationEvents_;
    bool mainWindowHiddenUntilRun_ = false;
};

void ApplicationTest::initTestCase()
{
    // The first form a process creates is its main window, so every slot
    // shares the two made here, whatever order the slots run in.
    events.clear();
    Application->CreateForm(MainForm);
    Application->CreateForm(OtherForm);
    creationEvents_ = events;
    mainWindowHiddenUntilRun_ = !MainForm->isVisible();
}

void ApplicationTest::firstCreatedFormIsTheMainWindow()
{
    QVERIFY(MainForm);
    QCOMPARE(Application->MainForm(), MainForm);
    QCOMPARE(creationEvents_, (std::vector<std::string>{"quiet created", "quiet created"}));
    QVERIFY(mainWindowHiddenUntilRun_);
    // A form created later never takes its place.
    QuietForm* later = nullptr;
    Application->CreateForm(later);
    QVERIFY(later);
    QCOMPARE(Application->MainForm(), MainForm);
}

void ApplicationTest::failureInACreationHandlerIsReportedAndCreationCompletes()
{
    events.clear();
    test::DialogAnswers answers;
    answers.PressOkOnMessageBox();
    Application->CreateForm(FailingForm);
    QVERIFY(answers.AllAnswered());
    QVERIFY(FailingForm);
    QCOMPARE(events, std::vector<std::string>{"create started"});
    QCOMPARE(answers.MessageBoxes().at(0).text, QStringLiteral("Failed to create key Kestrelwork."));
    QCOMPARE(answers.MessageBoxes().at(0).icon, QMessageBox::Critical);
}

void ApplicationTest::failureOutsideAHandlerLeavesCreateForm()
{
    // Not a handler's failure: it goes up to the program entry, which
    // reports it as a last resort and ends with exit code 1.
    test::DialogAnswers answers;
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, Application->CreateForm(NeverForm));
    QVERIFY(!NeverForm);
    QVERIFY(answers.MessageBoxes().empty());
}

void ApplicationTest::failureReportShowsItsTextAsItStands_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("tag") << QStringLiteral("Cannot open file \"/tmp/<b>x.c\". No such file or directory")
                         << QStringLiteral("Cannot open file \"/tmp/<b>x.c\". No such file or directory.");
    QTest::newRow("entity") << QStringLiteral("Cannot create file \"/tmp/a&lt;b.c\". Permission denied")
                            << QStringLiteral("Cannot create file \"/tmp/a&lt;b.c\". Permission denied.");
    QTest::newRow("whole document") << QStringLiteral("<html><body><h1>big</h1></body></html>")
                                    << QStringLiteral("<html><body><h1>big</h1></body></html>.");
    QTest::newRow("line breaks") << QStringLiteral("first<br>second\nthird")
                                 << QStringLiteral("first<br>second\nthird.");
}

void ApplicationTest::failureReportShowsItsTextAsItStands()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    test::DialogAnswers answers;
    answers.PressOkOnMessageBox();
    Application->HandleException(std::make_exception_ptr(std::runtime_error(message.toStdString())));
    QVERIFY(answers.AllAnswered());
    QCOMPARE(answers.MessageBoxes().at(0).text, shown);
    QVERIFY(answers.MessageBoxes().at(0).plainText);
}

void ApplicationTest::modalShowingRunsANestedLoopAndClosingHides()
{
    bool shownWhileModal = false;
    QTimer::singleShot(50, [&] {
        shownWhileModal = OtherForm->isVisible() && QApplication::activeModalWidget() == OtherForm;
        OtherForm->Close();
    });
    OtherForm->ShowModal();
    QVERIFY(shownWhileModal);
    QVERIFY(!OtherForm->isVisible());
    // Hidden, not destroyed: it shows again.
    QTimer::singleShot(0, [] { OtherForm->Close(); });
    OtherForm->ShowModal();
    QVERIFY(!OtherForm->isVisible());
}

void ApplicationTest::closingTheMainWindowEndsTheLoopWithZero()
{
    OtherForm->Show();  // another open window does not keep the program running
    QTimer::singleShot(50, [] { MainForm->Close(); });
    QTimer::singleShot(5000, [] { QCoreApplication::exit(3); });
    const int exitCode = Application->Run();
    OtherForm->Close();
    QCOMPARE(exitCode, 0);
}

KW_WINDOW_TEST_MAIN(ApplicationTest)

#include "ApplicationTest.moc"
