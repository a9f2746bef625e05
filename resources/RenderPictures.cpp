// Renders the program's SVG pictures to the PNG files that are compiled into
// it, each at its designed size and colour depth, and writes the Windows icon.
//
//   RenderPictures <folder of the SVG sources> <output folder>

#include <QColor>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <ranges>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

enum class Depth {
    Indexed,   // 256 colours, on white
    Rgb,       // true colour without alpha; the picture paints its own background
    RgbOnWhite,
    Argb,
};

struct Job {
    const char* source;
    const char* output;
    int width;
    int height;
    Depth depth;
};

constexpr std::array kJobs{
    Job{"console", "console", 33, 19, Depth::Indexed},
    Job{"new", "new", 21, 20, Depth::Rgb},
    Job{"open", "open", 21, 20, Depth::Rgb},
    Job{"save", "save", 21, 20, Depth::Rgb},
    Job{"cut", "cut", 21, 20, Depth::Rgb},
    Job{"copy", "copy", 21, 20, Depth::Rgb},
    Job{"paste", "paste", 21, 20, Depth::Rgb},
    Job{"delete", "delete", 21, 20, Depth::Rgb},
    Job{"compile", "compile", 21, 20, Depth::Rgb},
    Job{"compile-run", "compile-run", 21, 20, Depth::Rgb},
    Job{"banner", "banner", 468, 121, Depth::Rgb},
    Job{"logo", "logo", 175, 37, Depth::RgbOnWhite},
    Job{"kestrelwork-16", "kestrelwork-16", 16, 16, Depth::Argb},
    Job{"kestrelwork", "kestrelwork-32", 32, 32, Depth::Argb},
    Job{"kestrelwork", "kestrelwork-48", 48, 48, Depth::Argb},
};

QImage Render(const QString& svgPath, QSize size, QColor background)
{
    QSvgRenderer renderer(svgPath);
    if (!renderer.isValid())
        throw std::runtime_error("cannot read " + svgPath.toStdString());
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), size));
    return image;
}

QImage Converted(const QImage& image, Depth depth)
{
    switch (depth) {
    case Depth::Indexed:
        // The pictures have far fewer than 256 colours, so the palette is exact.
        return image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    case Depth::Rgb:
    case Depth::RgbOnWhite:
        return image.convertToFormat(QImage::Format_RGB888);
    case Depth::Argb:
        return image.convertToFormat(QImage::Format_ARGB32);
    }
    return image;
}

void Save(const QImage& image, const QString& path)
{
    if (!image.save(path, "PNG"))
        throw std::runtime_error("cannot write " + path.toStdString());
}

// --- The Windows icon -------------------------------------------------------
// An .ico file is a directory of device-independent bitmaps: each entry is a
// BITMAPINFOHEADER whose height counts the colour rows and the mask rows, an
// optional palette, the colour rows bottom-up and a 1-bit mask (1 = transparent).

bool Opaque(QRgb pixel)
{
    return qAlpha(pixel) >= 128;
}

// The picture without partial transparency: what a palette entry can show.
QImage Flattened(const QImage& argb)
{
    QImage flat = argb.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            if (!Opaque(argb.pixel(x, y)))
                flat.setPixel(x, y, qRgb(0, 0, 0));
    return flat;
}

// The commonest opaque colours. The icon is drawn in flat faces, so these are
// its faces and outline; the anti-aliased edge pixels then take the nearest.
QList<QRgb> CommonestColours(const QImage& argb, qsizetype count)
{
    std::map<QRgb, int> frequency;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            if (const QRgb pixel = argb.pixel(x, y); Opaque(pixel))
                ++frequency[pixel | 0xFF000000u];
    std::vector<std::pair<int, QRgb>> byFrequency;
    for (const auto& [colour, times] : frequency)
        byFrequency.emplace_back(-times, colour);
    std::sort(byFrequency.begin(), byFrequency.end());
    QList<QRgb> table;
    for (const auto& entry : byFrequency | std::views::take(count))
        table.push_back(entry.second);
    if (table.isEmpty())
        table.push_back(qRgb(0, 0, 0));
    return table;
}

QImage Paletted(const QImage& argb, int bitCount)
{
    return Flattened(argb).convertToFormat(QImage::Format_Indexed8, CommonestColours(argb, 1 << bitCount),
                                           Qt::ThresholdDither | Qt::AvoidDither);
}

int RowBytes(int width, int bitCount)
{
    return (width * bitCount + 31) / 32 * 4;
}

// Packs one row of palette indices or colours, padded to four bytes.
QByteArray ColourRow(const QImage& image, int y, int bitCount)
{
    QByteArray row(RowBytes(image.width(), bitCount), '\0');
    for (int x = 0; x < image.width(); ++x) {
        if (bitCount == 32) {
            const QRgb pixel = image.pixel(x, y);
            row[x * 4 + 0] = char(qBlue(pixel));
            row[x * 4 + 1] = char(qGreen(pixel));
            row[x * 4 + 2] = char(qRed(pixel));
            row[x * 4 + 3] = char(qAlpha(pixel));
        } else if (bitCount == 8) {
            row[x] = char(image.pixelIndex(x, y));
        } else {
            const int shift = (x % 2 == 0) ? 4 : 0;
            row[x / 2] = char(row[x / 2] | (image.pixelIndex(x, y) << shift));
        }
    }
    return row;
}

QByteArray MaskRow(const QImage& argb, int y)
{
    QByteArray row(RowBytes(argb.width(), 1), '\0');
    for (int x = 0; x < argb.width(); ++x)
        if (!Opaque(argb.pixel(x, y)))
            row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
    return row;
}

QByteArray Dib(const QImage& argb, int bitCount)
{
    const QImage pixels = (bitCount == 32) ? argb : Paletted(argb, bitCount);
    const int paletteSize = (bitCount == 32) ? 0 : (1 << bitCount);
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint32(40) << qint32(argb.width()) << qint32(argb.height() * 2) << quint16(1)
        << quint16(bitCount) << quint32(0) << quint32(0) << qint32(0) << qint32(0)
        << quint32(paletteSize) << quint32(0);
    for (int i = 0; i < paletteSize; ++i) {
        const QRgb colour = (i < pixels.colorCount()) ? pixels.color(i) : qRgb(0, 0, 0);
        out << quint8(qBlue(colour)) << quint8(qGreen(colour)) << quint8(qRed(colour)) << quint8(0);
    }
    for (int y = argb.height() - 1; y >= 0; --y)
        data += ColourRow(pixels, y, bitCount);
    for (int y = argb.height() - 1; y >= 0; --y)
        data += MaskRow(argb, y);
    return data;
}

QByteArray Ico(std::span<const QImage> sizes)
{
    constexpr std::array kBitCounts{4, 8, 32};
    std::vector<QByteArray> entries;
    std::vector<std::pair<QSize, int>> shapes;
    for (const QImage& image : sizes)
        for (int bitCount : kBitCounts) {
            entries.push_back(Dib(image, bitCount));
            shapes.emplace_back(image.size(), bitCount);
        }

    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(entries.size());
    quint32 offset = 6 + 16 * quint32(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto& [size, bitCount] = shapes[i];
        out << quint8(size.width()) << quint8(size.height()) << quint8(bitCount == 4 ? 16 : 0)
            << quint8(0) << quint16(1) << quint16(bitCount) << quint32(entries[i].size()) << offset;
        offset += quint32(entries[i].size());
    }
    for (const QByteArray& entry : entries)
        file += entry;
    return file;
}

void WriteFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

void RenderAll(const QDir& sources, const QDir& output)
{
    std::vector<QImage> icons;
    for (const Job& job : kJobs) {
        const QColor background = (job.depth == Depth::Argb) ? QColor(Qt::transparent) : QColor(Qt::white);
        const QImage image = Converted(
            Render(sources.filePath(QString::fromLatin1(job.source) + ".svg"), {job.width, job.height}, background),
            job.depth);
        Save(image, output.filePath(QString::fromLatin1(job.output) + ".png"));
        if (job.depth == Depth::Argb)
            icons.push_back(image);
    }
    WriteFile(output.filePath("kestrelwork.ico"), Ico(icons));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: RenderPictures <svg folder> <output folder>\n");
        return 2;
    }
    // A build machine has no display; the renderer needs none.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    try {
        const QDir output(QString::fromLocal8Bit(argv[2]));
        if (!output.mkpath("."))
            throw std::runtime_error(std::string("cannot make ") + argv[2]);
        RenderAll(QDir(QString::fromLocal8Bit(argv[1])), output);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "RenderPictures: %s\n", error.what());
        return 1;
    }
    return 0;
}
