#include "editor/DocumentText.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextObjectInterface>

#include <algorithm>
#include <utility>
#include <vector>

namespace kw {

namespace {

// The object that stands for a character the document would take as
// structure, and the property that carries the character.
constexpr int LiteralCharacterObject = QTextFormat::UserObject + 1;
constexpr int LiteralCharacterCode = QTextFormat::UserProperty + 1;

constexpr char16_t LineBreak = 0x2028;
constexpr char16_t BlockEnd = 0x2029;
constexpr char16_t FrameStart = 0xFDD0;
constexpr char16_t FrameEnd = 0xFDD1;
constexpr char16_t EmbeddedObject = 0xFFFC;

bool IsStructure(QChar c)
{
    switch (c.unicode()) {
    case LineBreak:
    case BlockEnd:
    case FrameStart:
    case FrameEnd:
    case EmbeddedObject:
        return true;
    default:
        return false;
    }
}

QString WithLfLineEnds(QString text)
{
    if (text.contains(QLatin1Char('\r'))) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    }
    return text;
}

QTextCharFormat LiteralFormat(char16_t character)
{
    QTextCharFormat format;
    format.setObjectType(LiteralCharacterObject);
    format.setProperty(LiteralCharacterCode, static_cast<int>(character));
    return format;
}

QTextCharFormat FormatAt(const QTextDocument& document, int position)
{
    const QTextBlock block = document.findBlock(position);
    for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
        if (fragment.fragment().contains(position))
            return fragment.fragment().charFormat();
    }
    return {};
}

bool IsLiteral(const QTextFormat& format)
{
    return format.objectType() == LiteralCharacterObject;
}

// Draws a literal character as its code in a thin box, the way text views
// show a character they have no picture for.
class LiteralCharacterBox : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    using QObject::QObject;

    QSizeF intrinsicSize(QTextDocument* document, int, const QTextFormat& format) override
    {
        const QFont text = TextFont(*document, format);
        const QFontMetricsF label(LabelFont(text));
        return {label.horizontalAdvance(Label(format)) + 2 * Margin, QFontMetricsF(text).ascent()};
    }

    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document, int,
                    const QTextFormat& format) override
    {
        painter->save();
        painter->setFont(LabelFont(TextFont(*document, format)));
        painter->drawRect(rect.adjusted(0.5, 0.5, -1.5, -0.5));
        painter->drawText(rect, Qt::AlignCenter, Label(format));
        painter->restore();
    }

private:
    static constexpr qreal Margin = 2;

    static QFont TextFont(const QTextDocument& document, const QTextFormat& format)
    {
        return format.toCharFormat().font().resolve(document.defaultFont());
    }

    static QFont LabelFont(QFont font)
    {
        if (font.pixelSize() > 0)
            font.setPixelSize(std::max(6, font.pixelSize() * 3 / 4));
        else
            font.setPointSizeF(std::max(5.0, font.pointSizeF() * 0.75));
        return font;
    }

    static QString Label(const QTextFormat& format)
    {
        return QStringLiteral("%1").arg(format.intProperty(LiteralCharacterCode), 4, 16, QLatin1Char('0')).toUpper();
    }
};

} // namespace

void InsertSourceText(QTextCursor& cursor, const QString& text)
{
    QString plain = WithLfLineEnds(text);
    std::vector<std::pair<int, char16_t>> literals;
    for (qsizetype i = 0; i < plain.size(); ++i) {
        if (IsStructure(plain[i])) {
            literals.emplace_back(static_cast<int>(i), plain[i].unicode());
            plain[i] = QChar::ObjectReplacementCharacter;
        }
    }
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    const QTextCharFormat typed = cursor.charFormat();
    const int start = cursor.position();
    // Every character takes one position, a line end too, so the i-th
    // character lands at start + i.
    cursor.insertText(plain);
    for (const auto& [index, character] : literals) {
        QTextCursor one(cursor.document());
        one.setPosition(start + index);
        one.setPosition(start + index + 1, QTextCursor::KeepAnchor);
        one.mergeCharFormat(LiteralFormat(character));
    }
    cursor.endEditBlock();
    // What is typed next takes the text's format, not the last object's.
    cursor.setCharFormat(typed);
}

QString SourceText(const QTextDocument& document)
{
    QString text = document.toRawText();
    // Rewritten in place: what is kept never runs ahead of what is read.
    QChar* const begin = text.data();
    const QChar* const end = begin + text.size();
    QChar* kept = begin;
    for (const QChar* at = begin; at != end; ++at) {
        QChar c = *at;
        switch (c.unicode()) {
        case LineBreak:
        case BlockEnd:
        case FrameStart:
        case FrameEnd:
            c = QLatin1Char('\n');
            break;
        case EmbeddedObject: {
            const QTextCharFormat format = FormatAt(document, static_cast<int>(at - begin));
            if (!IsLiteral(format))
                continue;  // a picture or another object: nothing a text file can hold
            c = QChar(static_cast<char16_t>(format.intProperty(LiteralCharacterCode)));
            break;
        }
        default:
            break;
        }
        *kept++ = c;
    }
    text.truncate(kept - begin);
    return text;
}

bool HoldsLiteralCharacters(const QTextDocument& document)
{
    const QString text = document.toRawText();
    for (qsizetype i = text.indexOf(QChar::ObjectReplacementCharacter); i >= 0;
         i = text.indexOf(QChar::ObjectReplacementCharacter, i + 1)) {
        if (IsLiteral(FormatAt(document, static_cast<int>(i))))
            return true;
    }
    return false;
}

void ShowLiteralCharacters(QTextDocument& document)
{
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    if (!layout->handlerForObject(LiteralCharacterObject))
        layout->registerHandler(LiteralCharacterObject, new LiteralCharacterBox(layout));
}

} // namespace kw

#include "DocumentText.moc"
