// The splash window through a real start-up: it closes on the second tick of
// its timer and before the main window shows, ignores clicks, has its rounded
// outline, and shows the yellow version line over the banner.

#include "app/AboutWindow.h"
#include "app/MainWindow.h"
#include "app/SplashWindow.h"
#include "platform/core/MemoryRegistry.h"
#include "platform/qt/Application.h"
#include "platform/qt/Pictures.h"
#include "tests/support/WindowTest.h"

#include <QElapsedTimer>
#include <QTest>

#include <optional>

using namespace kw;

namespace {

struct Tick {
    qint64 at;
    bool splashVisible;
    QStringList windowsOnScreen;
};

QStringList WindowsOnScreen()
{
    QStringList names;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            names << (window->objectName().isEmpty() ? QLatin1String(window->metaObject()->className()) : window->objectName());
    }
    return names;
}

// Watches every event of the start-up, from inside its event loops: when the
// splash shows and hides, each tick of its timer, and when the main window shows.
class StartUpRecorder : public QObject {
public:
    StartUpRecorder()
    {
        clock_.start();
        qApp->installEventFilter(this);
    }
    ~StartUpRecorder() override { qApp->removeEventFilter(this); }

    std::optional<qint64> splashShown, splashHidden, mainWindowShown;
    std::vector<Tick> ticks;

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        const qint64 now = clock_.elapsed();
        if (Form5 && receiver == Form5 && event->type() == QEvent::Show && !splashShown)
            splashShown = now;
        if (Form5 && receiver == Form5 && event->type() == QEvent::Hide && !splashHidden)
            splashHidden = now;
        if (Form5 && receiver == Form5->Timer1 && event->type() == QEvent::Timer)
            ticks.push_back({now, Form5->isVisible(), WindowsOnScreen()});
        if (Form1 && receiver == Form1 && event->type() == QEvent::Show && !mainWindowShown) {
            mainWindowShown = now;
            // The start-up is over: leave the program's event loop the usual way.
            QTimer::singleShot(0, Form1, [] { Form1->Close(); });
        }
        return false;
    }

private:
    QElapsedTimer clock_;
};

// Clicks on the splash while it is up; it has nothing that answers them.
void ClickOnTheSplashSoon()
{
    QTimer::singleShot(500, [] {
        if (!Form5 || !Form5->windowHandle())
            return;
        const QPoint middle = Form5->rect().center();
        QTest::mouseClick(Form5->windowHandle(), Qt::LeftButton, {}, middle);
        QTest::mouseClick(Form5->windowHandle(), Qt::RightButton, {}, middle);
        QTest::mouseDClick(Form5->windowHandle(), Qt::LeftButton, {}, QPoint(60, 85));
    });
}

QRgb At(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFFu;
}

} // namespace

class SplashWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void closesOnTheSecondTickBeforeTheMainWindowShows();
    void cornersAreCutAlongQuarterEllipses();
    void versionLineIsYellowOverTheBanner();
    void layout();

private:
    MemoryRegistry registry_;
    std::unique_ptr<ScopedRegistryOverride> useRegistry_;
    StartUpRecorder recorder_;
    int exitCode_ = -1;
};

void SplashWindowTest::initTestCase()
{
    // The start-up as the program entry runs it.
    useRegistry_ = std::make_unique<ScopedRegistryOverride>(registry_);
    ClickOnTheSplashSoon();
    QTimer::singleShot(15000, [] { QCoreApplication::exit(99); });
    test::StartAsTheProgramDoes();
    exitCode_ = Application->Run();
}

void SplashWindowTest::closesOnTheSecondTickBeforeTheMainWindowShows()
{
    QCOMPARE(exitCode_, 0);
    QVERIFY(recorder_.splashShown && recorder_.splashHidden && recorder_.mainWindowShown);

    // Two ticks, both while the splash was up; the second closed it.
    QCOMPARE(recorder_.ticks.size(), std::size_t{2});
    QVERIFY(recorder_.ticks[0].splashVisible);
    QVERIFY(recorder_.ticks[1].splashVisible);
    QVERIFY(*recorder_.splashHidden >= recorder_.ticks[1].at);
    QCOMPARE(SplashTickCount, 3);
    QVERIFY(!Form5->Timer1->isActive());
    QVERIFY(!Form5->isVisible());

    const qint64 shownFor = *recorder_.splashHidden - *recorder_.splashShown;
    QVERIFY2(shownFor >= 1700 && shownFor <= 3500, qPrintable(QString::number(shownFor)));

    // The main window appears only after the splash has gone, and nothing
    // else of the program was on the screen meanwhile: the clicks made on the
    // splash opened nothing and did not close it early.
    QVERIFY(*recorder_.mainWindowShown > *recorder_.splashHidden);
    for (const Tick& tick : recorder_.ticks)
        QCOMPARE(tick.windowsOnScreen, QStringList({"Form5"}));
    for (QWidget* child : Form5->findChildren<QWidget*>())
        QCOMPARE(child->focusPolicy(), Qt::NoFocus);
}

void SplashWindowTest::cornersAreCutAlongQuarterEllipses()
{
    // Pixels cut from each row at a corner of a 25 x 25 corner ellipse, from
    // the outer row inwards; the rows below keep their full width.
    const int cut[] = {9, 7, 5, 4, 3, 2, 2, 1, 1};
    const QRegion mask = Form5->mask();
    QCOMPARE(mask.boundingRect(), QRect(0, 0, 465, 122));
    for (int row = 0; row < 13; ++row) {
        const int inset = row < int(std::size(cut)) ? cut[row] : 0;
        for (int x = 0; x < 14; ++x) {
            const bool inside = x >= inset;
            // The four corners mirror each other.
            for (QPoint pixel : {QPoint(x, row), QPoint(464 - x, row), QPoint(x, 121 - row), QPoint(464 - x, 121 - row)})
                QVERIFY2(mask.contains(pixel) == inside, qPrintable(QStringLiteral("%1,%2").arg(pixel.x()).arg(pixel.y())));
        }
    }
    // Between the corners, every pixel of the window is inside.
    const QRegion edges = QRegion(14, 0, 465 - 28, 122) + QRegion(0, 14, 465, 122 - 28);
    QCOMPARE(mask.intersected(edges), edges);
}

void SplashWindowTest::versionLineIsYellowOverTheBanner()
{
    const QImage shot = Form5->grab().toImage();
    const QImage banner = Picture("banner").toImage();
    const QRect line = Form5->Label1->geometry();
    int yellow = 0, fromBanner = 0;
    for (int y = line.top(); y <= line.bottom(); ++y) {
        for (int x = line.left(); x <= line.right(); ++x) {
            const QColor seen(shot.pixel(x, y)), under(banner.pixel(x, y));
            // Each pixel is the banner's, or the banner blended towards yellow.
            QVERIFY2(seen.red() >= under.red() - 1 && seen.green() >= under.green() - 1 && seen.blue() <= under.blue() + 1,
                     qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            yellow += At(shot, x, y) == 0xFFFF00u;
            fromBanner += At(shot, x, y) == At(banner, x, y);
        }
    }
    QVERIFY2(yellow >= 20, qPrintable(QString::number(yellow)));
    QVERIFY2(fromBanner > line.width() * line.height() / 2, qPrintable(QString::number(fromBanner)));

    // The banner ends at row 120; the bottom row shows the window's colour.
    const QRgb face = Form5->palette().color(QPalette::Window).rgb() & 0xFFFFFFu;
    for (int x : {20, 232, 440})
        QCOMPARE(At(shot, x, 121), face);
    // Unscaled: the picture's column 464 is the window's last column.
    QCOMPARE(At(shot, 464, 40), At(banner, 464, 40));
}

void SplashWindowTest::layout()
{
    QCOMPARE(Form5->size(), QSize(465, 122));
    QCOMPARE(Form5->minimumSize(), Form5->maximumSize());
    QVERIFY(Form5->windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(Form5->Image1->geometry(), QRect(0, 0, 465, 121));
    QCOMPARE(Form5->Image1->pixmap().size(), QSize(468, 121));
    QCOMPARE(Form5->Label1->geometry(), QRect(48, 80, 142, 13));  // sized to its text
    QCOMPARE(Form5->Label1->text(), QStringLiteral("ver: 0.01a [ build 18.09.2007 ]"));
    QCOMPARE(Form5->Label1->font().pixelSize(), 11);
    QCOMPARE(Form5->Label1->font().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(Form5->Timer1->interval(), 1000);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(qAbs(Form5->frameGeometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(Form5->frameGeometry().center().y() - screen.center().y()) <= 1);
}

KW_WINDOW_TEST_MAIN(SplashWindowTest)

#include "SplashWindowTest.moc"
