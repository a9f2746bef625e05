#include "editor/RtfDocument.h"

#include "editor/RtfReader.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

#include <utility>
#include <vector>

namespace kw {

namespace {

QColor ToQColor(const RtfColour& colour)
{
    return QColor(colour.red, colour.green, colour.blue);
}

QTextCharFormat ToCharFormat(const RtfCharFormat& rtf)
{
    QTextCharFormat format;
    format.setFontWeight(rtf.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(rtf.italic);
    format.setFontUnderline(rtf.underline);
    format.setFontStrikeOut(rtf.strike);
    if (rtf.halfPoints && *rtf.halfPoints > 0)
        format.setFontPointSize(*rtf.halfPoints / 2.0);
    if (rtf.fontFamily)
        format.setFontFamilies({QString::fromUtf8(rtf.fontFamily->data(), static_cast<qsizetype>(rtf.fontFamily->size()))});
    if (rtf.foreground)
        format.setForeground(ToQColor(*rtf.foreground));
    if (rtf.background)
        format.setBackground(ToQColor(*rtf.background));
    return format;
}

Qt::Alignment ToAlignment(RtfAlignment alignment)
{
    switch (alignment) {
    case RtfAlignment::Centre: return Qt::AlignHCenter;
    case RtfAlignment::Right: return Qt::AlignRight;
    case RtfAlignment::Justify: return Qt::AlignJustify;
    case RtfAlignment::Left: break;
    }
    return Qt::AlignLeft;
}

QString RunText(const std::string& utf8)
{
    // A line break inside a paragraph stays a line break, not a new paragraph.
    QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    if (utf8.find('\n') != std::string::npos)
        text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    return text;
}

// A document uses few distinct formats many times over. Handing the
// document the same format object again lets it reuse the format's cached
// hash instead of hashing a new one for every run.
class FormatCache {
public:
    const QTextCharFormat& For(const RtfCharFormat& rtf)
    {
        for (const auto& [key, format] : formats_) {
            if (key == rtf)
                return format;
        }
        if (formats_.size() >= MaxKept)
            formats_.erase(formats_.begin());
        formats_.emplace_back(rtf, ToCharFormat(rtf));
        return formats_.back().second;
    }

private:
    static constexpr std::size_t MaxKept = 16;
    std::vector<std::pair<RtfCharFormat, QTextCharFormat>> formats_;
};

} // namespace

bool BuildDocumentFromRtf(std::string_view content, QTextDocument& document)
{
    const std::optional<RtfDocument> rtf = ReadRtf(content);
    if (!rtf)
        return false;
    document.clear();
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    FormatCache formats;
    QTextBlockFormat blocks[4];
    for (RtfAlignment alignment : {RtfAlignment::Left, RtfAlignment::Centre, RtfAlignment::Right, RtfAlignment::Justify})
        blocks[static_cast<int>(alignment)].setAlignment(ToAlignment(alignment));
    bool first = true;
    for (const RtfParagraph& paragraph : rtf->paragraphs) {
        const QTextBlockFormat& block = blocks[static_cast<int>(paragraph.alignment)];
        if (first)
            cursor.setBlockFormat(block);
        else
            cursor.insertBlock(block);
        first = false;
        for (const RtfRun& run : paragraph.runs)
            cursor.insertText(RunText(run.text), formats.For(run.format));
    }
    cursor.endEditBlock();
    return true;
}

} // namespace kw
