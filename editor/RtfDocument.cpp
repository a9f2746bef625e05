#include "editor/RtfDocument.h"

#include "editor/RtfReader.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

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
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    return text;
}

} // namespace

bool BuildDocumentFromRtf(std::string_view content, QTextDocument& document)
{
    const std::optional<RtfDocument> rtf = ReadRtf(content);
    if (!rtf)
        return false;
    document.clear();
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    bool first = true;
    for (const RtfParagraph& paragraph : rtf->paragraphs) {
        QTextBlockFormat block;
        block.setAlignment(ToAlignment(paragraph.alignment));
        if (first)
            cursor.setBlockFormat(block);
        else
            cursor.insertBlock(block);
        first = false;
        for (const RtfRun& run : paragraph.runs)
            cursor.insertText(RunText(run.text), ToCharFormat(run.format));
    }
    cursor.endEditBlock();
    return true;
}

} // namespace kw
