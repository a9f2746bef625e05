#include "editor/RichEdit.h"

#include "editor/RtfDocument.h"
#include "platform/qt/Fonts.h"

#include <QMimeData>
#include <QPointer>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <memory>

namespace kw {

namespace {
const QStringList RtfMimeTypes = {QStringLiteral("text/rtf"), QStringLiteral("application/rtf"),
                                  QStringLiteral("text/richtext")};

QByteArray RtfFrom(const QMimeData* source)
{
    for (const QString& type : RtfMimeTypes) {
        if (source->hasFormat(type))
            return source->data(type);
    }
    return {};
}
} // namespace

TRichEdit::TRichEdit(QWidget* parent) : QTextEdit(parent)
{
    setFont(VclFont(Tahoma));
    document()->setDefaultFont(VclFont(Tahoma));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QTextEdit::WidgetWidth);
    // Tab moves the focus on and types nothing.
    setTabChangesFocus(true);
    setAcceptRichText(true);
    // The editor's own pop-up menu has no entries.
    setContextMenuPolicy(Qt::PreventContextMenu);
    HideInactiveSelection();
}

void TRichEdit::HideInactiveSelection()
{
    // The selection is highlighted only while the editor has the focus; it
    // stays selected when the focus leaves.
    QPalette colours = palette();
    for (auto group : {QPalette::Inactive, QPalette::Disabled}) {
        colours.setColor(group, QPalette::Highlight, colours.color(group, QPalette::Base));
        colours.setColor(group, QPalette::HighlightedText, colours.color(group, QPalette::Text));
    }
    setPalette(colours);
}

void TRichEdit::LoadFromFileContent(std::string_view bytes)
{
    if (!PlainText && LoadRtf(bytes))
        return;
    LoadPlain(bytes);
}

bool TRichEdit::LoadRtf(std::string_view bytes)
{
    // Built aside and swapped in whole: the editor then lays it out once,
    // not after every inserted run. The editor's own document is only
    // replaced once the content has parsed as RTF.
    auto formatted = std::make_unique<QTextDocument>();
    formatted->setDefaultFont(document()->defaultFont());
    formatted->setUndoRedoEnabled(false);
    if (!BuildDocumentFromRtf(bytes, *formatted))
        return false;
    formatted->setUndoRedoEnabled(true);
    // The editor's first document belongs to its text control, which deletes
    // it on replacement; the ones made here belong to the editor.
    QPointer<QTextDocument> previous = document();
    formatted->setParent(this);
    setDocument(formatted.release());
    if (previous && previous->parent() == this)
        delete previous.data();
    encoding_ = SourceEncoding::Utf8;
    moveCursor(QTextCursor::Start);
    return true;
}

void TRichEdit::LoadPlain(std::string_view bytes)
{
    const DecodedSource source = DecodeSource(bytes);
    encoding_ = source.encoding;
    // The widget keeps one line feed per line end; saving gives CR LF back.
    QString text = QString::fromUtf8(source.utf8.data(), static_cast<qsizetype>(source.utf8.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainText(text);
}

std::string TRichEdit::PlainTextForSaving() const
{
    // The raw text: toPlainText() would turn no-break spaces into blanks.
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.replace(QChar::ObjectReplacementCharacter, QString());
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    const QByteArray utf8 = text.toUtf8();
    return EncodeSource(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), encoding_);
}

bool TRichEdit::canInsertFromMimeData(const QMimeData* source) const
{
    return !RtfFrom(source).isEmpty() || QTextEdit::canInsertFromMimeData(source);
}

void TRichEdit::insertFromMimeData(const QMimeData* source)
{
    // HTML is Qt's own rich format; RTF, as other editors put it on the
    // clipboard, goes through our reader.
    const QByteArray rtf = RtfFrom(source);
    if (!source->hasHtml() && !rtf.isEmpty()) {
        QTextDocument formatted;
        formatted.setDefaultFont(document()->defaultFont());
        if (BuildDocumentFromRtf(std::string_view(rtf.constData(), static_cast<std::size_t>(rtf.size())), formatted)) {
            textCursor().insertFragment(QTextDocumentFragment(&formatted));
            ensureCursorVisible();
            return;
        }
    }
    QTextEdit::insertFromMimeData(source);
}

} // namespace kw
