#include "platform/qt/Components.h"
#include "platform/qt/Pictures.h"

#include <QDataStream>
#include <QFile>
#include <QImageReader>
#include <QtTest>

#include <algorithm>
#include <set>
#include <utility>

namespace {

const QStringList kButtons{"new", "open", "save", "cut", "copy", "paste", "delete", "compile", "compile-run"};

QImage Resource(const QString& name)
{
    return QImage(QStringLiteral(":/pictures/%1.png").arg(name));
}

int CountPixels(const QImage& image, auto predicate)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += predicate(image.pixel(x, y)) ? 1 : 0;
    return count;
}

} // namespace

class PicturesTest : public QObject {
    Q_OBJECT

private slots:
    void HasItsDesignedSize_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        for (const QString& button : kButtons)
            QTest::newRow(qPrintable(button)) << button << QSize(21, 20);
        QTest::newRow("console") << "console" << QSize(33, 19);
        QTest::newRow("banner") << "banner" << QSize(468, 121);
        QTest::newRow("logo") << "logo" << QSize(175, 37);
        for (int size : {16, 32, 48})
            QTest::newRow(qPrintable(QString("icon %1").arg(size)))
                << QString("kestrelwork-%1").arg(size) << QSize(size, size);
    }

    void HasItsDesignedSize()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QCOMPARE(kw::Picture(name.toLatin1().constData()).size(), size);
    }

    void HasItsBackgroundAndDepth_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRgb>("corner");
        QTest::addColumn<QImage::Format>("format");
        for (const QString& button : kButtons)
            QTest::newRow(qPrintable(button)) << button << qRgb(0xC0, 0xC0, 0xC0) << QImage::Format_RGB32;
        QTest::newRow("console, 256 colours") << "console" << qRgb(255, 255, 255) << QImage::Format_Indexed8;
        QTest::newRow("logo") << "logo" << qRgb(255, 255, 255) << QImage::Format_RGB32;
        QTest::newRow("icon") << "kestrelwork-32" << qRgba(0, 0, 0, 0) << QImage::Format_ARGB32;
    }

    // The bottom-left pixel is the one the program draws transparent.
    void HasItsBackgroundAndDepth()
    {
        QFETCH(QString, name);
        QFETCH(QRgb, corner);
        QFETCH(QImage::Format, format);
        const QImage image = Resource(name);
        QCOMPARE(image.format(), format);
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(argb.pixel(0, image.height() - 1), corner);
    }

    void ButtonKeepsItsDrawingOnlyWhenTheGreyGoes_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString& button : kButtons)
            QTest::newRow(qPrintable(button)) << button;
    }

    void ButtonKeepsItsDrawingOnlyWhenTheGreyGoes()
    {
        QFETCH(QString, name);
        const QPixmap picture = kw::Picture(name.toLatin1().constData());
        const auto notGrey = [](QRgb pixel) { return (pixel & 0xFFFFFFu) != 0xC0C0C0u; };
        const int drawn = CountPixels(picture.toImage(), notGrey);
        QVERIFY2(drawn > 40, "the picture shows something");

        const QImage glyph = kw::WithTransparentCorner(picture).toImage();
        QCOMPARE(qAlpha(glyph.pixel(0, glyph.height() - 1)), 0);
        QCOMPARE(CountPixels(glyph, [](QRgb pixel) { return qAlpha(pixel) == 255; }), drawn);
    }

    void ConsoleScreenIsLitYellowOrange()
    {
        const QColor screen = Resource("console").pixelColor(16, 9);
        QVERIFY(screen.red() > 200);
        QVERIFY(screen.green() > 100);
        QVERIFY(screen.blue() < 80);
    }

    // The windows print the version line in yellow there.
    void BannerIsDarkBehindTheVersionLines_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::newRow("splash") << QRect(48, 80, 142, 13);
        QTest::newRow("about") << QRect(152, 80, 142, 13);
    }

    void BannerIsDarkBehindTheVersionLines()
    {
        QFETCH(QRect, area);
        const QImage behind = Resource("banner").copy(area);
        QCOMPARE(CountPixels(behind, [](QRgb pixel) { return qGray(pixel) > 80; }), 0);
    }

    void WindowsIconHoldsEachSizeInThreeDepths()
    {
        QFile file(QStringLiteral(KW_ICON_FILE));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QDataStream in(&file);
        in.setByteOrder(QDataStream::LittleEndian);
        quint16 reserved = 0, type = 0, count = 0;
        in >> reserved >> type >> count;
        QCOMPARE(type, quint16(1));
        std::set<std::pair<int, int>> entries;
        for (int i = 0; i < count; ++i) {
            quint8 width = 0, height = 0, colours = 0, zero = 0;
            quint16 planes = 0, bitCount = 0;
            quint32 bytes = 0, offset = 0;
            in >> width >> height >> colours >> zero >> planes >> bitCount >> bytes >> offset;
            QCOMPARE(height, width);
            entries.emplace(width, bitCount);
        }
        const std::set<std::pair<int, int>> expected{
            {16, 4}, {16, 8}, {16, 32}, {32, 4}, {32, 8}, {32, 32}, {48, 4}, {48, 8}, {48, 32}};
        QCOMPARE(entries, expected);

        QImageReader reader(QStringLiteral(KW_ICON_FILE), "ico");
        QCOMPARE(reader.imageCount(), 9);
        for (int i = 0; i < reader.imageCount(); ++i) {
            QVERIFY(reader.jumpToImage(i));
            const QImage image = reader.read();
            QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
            QVERIFY(image.width() == 16 || image.width() == 32 || image.width() == 48);
            QVERIFY(qAlpha(image.pixel(0, 0)) == 0);
            QVERIFY(qAlpha(image.pixel(image.width() / 2, image.height() / 2)) == 255);
        }
    }
};

QTEST_MAIN(PicturesTest)
#include "PicturesTest.moc"
