// The About window as the main menu shows it: its frame and layout, the same
// content at every showing, the ways its Close button is pressed, the logo's
// transparent white, and the main window blocked meanwhile.

#include "app/AboutWindow.h"
#include "app/MainWindow.h"
#include "platform/core/MemoryRegistry.h"
#include "platform/qt/Application.h"
#include "platform/qt/Pictures.h"
#include "tests/support/DialogAnswers.h"
#include "tests/support/WindowTest.h"

#include <QSignalSpy>
#include <QTest>

#include <functional>

using namespace kw;
using kw::test::DialogAnswers;

namespace {

using Press = std::function<void()>;

// What a test saw of the About window while it was up.
struct Showing {
    QImage content;
    QWidget* modal = nullptr;
    QWidget* focus = nullptr;
    int clicksThroughToMainWindow = 0;
    bool menuOpened = false;
};

void ClickTheMainWindow(Showing& seen)
{
    QSignalSpy clicks(Form1->SpeedButton1, &QToolButton::clicked);
    const QPoint button = Form1->SpeedButton1->mapTo(Form1, Form1->SpeedButton1->rect().center());
    QTest::mouseClick(Form1->windowHandle(), Qt::LeftButton, {}, button);
    const QPoint picture = Form1->Image1->mapTo(Form1, QPoint(10, 8));
    QTest::mouseClick(Form1->windowHandle(), Qt::RightButton, {}, picture);
    QApplication::processEvents();
    seen.clicksThroughToMainWindow = int(clicks.count());
    seen.menuOpened = Form1->PopupMenu2->isVisible();
    Form1->PopupMenu2->close();
}

// Chooses "About" in the main menu; while the window is up, looks at it,
// tries the main window, and closes it with `press`.
Showing ShowAbout(const Press& press)
{
    Showing seen;
    DialogAnswers answers;
    answers.Handle([&seen, &press](QWidget* window) {
        seen.modal = window;
        seen.focus = window->focusWidget();
        seen.content = window->grab().toImage();
        ClickTheMainWindow(seen);
        press();
        if (window->isVisible())
            window->close();  // the press failed; the test reports it
    });
    Form1->About2->trigger();
    answers.WaitUntilAnswered();
    return seen;
}

} // namespace

Q_DECLARE_METATYPE(std::function<void()>)

class AboutWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void frameHasNoCaptionButton();
    void layout_data();
    void layout();
    void logoWhiteIsNotPainted();
    void closeButtonPresses_data();
    void closeButtonPresses();

private:
    MemoryRegistry registry_;
    std::unique_ptr<ScopedRegistryOverride> useRegistry_;
    QImage firstContent_;
};

void AboutWindowTest::initTestCase()
{
    useRegistry_ = std::make_unique<ScopedRegistryOverride>(registry_);
    test::StartAsTheProgramDoes();
    Form1->Show();
    QVERIFY(QTest::qWaitForWindowExposed(Form1));
    QVERIFY(!Form4->isVisible());
}

void AboutWindowTest::frameHasNoCaptionButton()
{
    QCOMPARE(Form4->windowTitle(), QStringLiteral("About..."));
    const Qt::WindowFlags flags = Form4->windowFlags();
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
    QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    for (Qt::WindowType button : {Qt::WindowSystemMenuHint, Qt::WindowCloseButtonHint, Qt::WindowMinimizeButtonHint,
                                  Qt::WindowMaximizeButtonHint, Qt::WindowContextHelpButtonHint})
        QVERIFY(!flags.testFlag(button));
    QCOMPARE(Form4->size(), QSize(483, 222));
    QCOMPARE(Form4->minimumSize(), Form4->maximumSize());
    QVERIFY(!Form4->windowIcon().isNull());
}

void AboutWindowTest::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::newRow("Bevel1") << "Bevel1" << QRect(0, 0, 481, 137) << "";
    QTest::newRow("Bevel2") << "Bevel2" << QRect(0, 144, 481, 73) << "";
    QTest::newRow("Image1") << "Image1" << QRect(8, 8, 465, 121) << "";
    QTest::newRow("Image2") << "Image2" << QRect(296, 168, 177, 41) << "";
    QTest::newRow("Label6") << "Label6" << QRect(8, 168, 3, 13) << "";
    QTest::newRow("BitBtn1") << "BitBtn1" << QRect(200, 184, 75, 25) << "Close";
    QTest::newRow("Label2") << "Label2" << QRect(160, 88, 142, 13) << "ver: 0.01a [ build 18.09.2007 ]";
    // Sized to its text in the window's font: only its top-left corner is fixed.
    QTest::newRow("Label3") << "Label3" << QRect(8, 152, 0, 0) << "Kestrelwork for GP2X";
}

void AboutWindowTest::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    auto* control = Form4->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
    QVERIFY(control);
    if (geometry.isEmpty())
        QCOMPARE(control->pos(), geometry.topLeft());
    else
        QCOMPARE(control->geometry(), geometry);
    if (auto* label = qobject_cast<QLabel*>(control); label && label->pixmap().isNull())
        QCOMPARE(label->text(), text);
    if (auto* button = qobject_cast<QPushButton*>(control)) {
        QCOMPARE(button->text(), text);
        QCOMPARE(button->accessibleName(), text);
        QVERIFY(button->icon().isNull());
    } else {
        QCOMPARE(control->focusPolicy(), Qt::NoFocus);
    }
}

void AboutWindowTest::logoWhiteIsNotPainted()
{
    const QImage shot = Form4->grab().toImage();
    const QImage logo = Picture("logo").toImage();
    const QRgb face = Form4->palette().color(QPalette::Window).rgb();
    const QPoint at = Form4->Image2->pos();
    int white = 0;
    for (int y = 0; y < logo.height(); ++y) {
        for (int x = 0; x < logo.width(); ++x) {
            const bool isWhite = (logo.pixel(x, y) & 0xFFFFFFu) == 0xFFFFFFu;
            white += isWhite;
            const QRgb expected = isWhite ? face : logo.pixel(x, y);
            QCOMPARE(shot.pixel(at + QPoint(x, y)) & 0xFFFFFFu, expected & 0xFFFFFFu);
        }
    }
    QVERIFY(white > logo.width() * logo.height() / 4);
    QCOMPARE(logo.size(), QSize(175, 37));
}

void AboutWindowTest::closeButtonPresses_data()
{
    QTest::addColumn<Press>("press");
    const auto key = [](Qt::Key k) { return Press([k] { QTest::keyClick(Form4->windowHandle(), k); }); };
    QTest::newRow("click") << Press([] { QTest::mouseClick(Form4->BitBtn1, Qt::LeftButton); });
    QTest::newRow("Return") << key(Qt::Key_Return);
    QTest::newRow("Enter") << key(Qt::Key_Enter);
    QTest::newRow("Space") << key(Qt::Key_Space);
}

void AboutWindowTest::closeButtonPresses()
{
    QFETCH(Press, press);
    QSignalSpy clicked(Form4->BitBtn1, &QPushButton::clicked);
    const Showing seen = ShowAbout(press);

    QCOMPARE(seen.modal, static_cast<QWidget*>(Form4));
    QCOMPARE(seen.focus, static_cast<QWidget*>(Form4->BitBtn1));
    QCOMPARE(clicked.count(), 1);
    QVERIFY(!Form4->isVisible());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY((Form4->frameGeometry().center() - screen.center()).manhattanLength() <= 2);

    // While it was up, the main window's tool bar and menu did not respond.
    QCOMPARE(seen.clicksThroughToMainWindow, 0);
    QVERIFY(!seen.menuOpened);

    // Every showing looks like the first.
    QVERIFY(!seen.content.isNull());
    if (firstContent_.isNull())
        firstContent_ = seen.content;
    QCOMPARE(seen.content, firstContent_);

    // Once it has closed, the same clicks reach the main window again.
    Showing after;
    ClickTheMainWindow(after);
    QCOMPARE(after.clicksThroughToMainWindow, 1);
    QVERIFY(after.menuOpened);
}

KW_WINDOW_TEST_MAIN(AboutWindowTest)

#include "AboutWindowTest.moc"
