#include "editor/RichEdit.h"

#include "editor/DocumentText.h"
#include "editor/RtfDocument.h"
#include "platform/qt/Fonts.h"

#include <QMimeData>
#include <QPointer>
#include <QStringDecoder>
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

// The text of UTF-8 bytes, a byte-order mark at the start included: saving
// must give the file's bytes back.
QString FromUtf8Exactly(const std::string& utf8)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless);
    return decoder(QByteArrayView(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

// Plain text and nothing richer: it goes in as a source file's text does.
bool HoldsPlainTextOnly(const QMimeData* source)
{
    return source->hasText() && !source->hasHtml() && !source->hasFormat(QStringLiteral("text/markdown")) &&
           !source->hasFormat(QStringLiteral("application/x-qrichtext"));
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
    ShowLiteralCharacters(*document());
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

std::unique_ptr<QTextDocument> TRichEdit::NewDocument() const
{
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(this->document()->defaultFont());
    // Filling it is no step the user could undo.
    document->setUndoRedoEnabled(false);
    return document;
}

void TRichEdit::ShowDocument(std::unique_ptr<QTextDocument> filled)
{
    // Built aside and swapped in whole, the document is laid out once, not
    // after every insertion, and the editor's own document changes only once
    // the new one is complete.
    filled->setUndoRedoEnabled(true);
    // The editor's first document belongs to its text control, which deletes
    // it on replacement; the ones made here belong to the editor.
    QPointer<QTextDocument> previous = document();
    filled->setParent(this);
    setDocument(filled.release());
    if (previous && previous->parent() == this)
        delete previous.data();
    ShowLiteralCharacters(*document());
    moveCursor(QTextCursor::Start);
}

bool TRichEdit::LoadRtf(std::string_view bytes)
{
    auto formatted = NewDocument();
    if (!BuildDocumentFromRtf(bytes, *formatted))
        return false;
    ShowDocument(std::move(formatted));
    encoding_ = SourceEncoding::Utf8;
    return true;
}

void TRichEdit::LoadPlain(std::string_view bytes)
{
    const DecodedSource source = DecodeSource(bytes);
    auto plain = NewDocument();
    QTextCursor cursor(plain.get());
    InsertSourceText(cursor, FromUtf8Exactly(source.utf8));
    ShowDocument(std::move(plain));
    encoding_ = source.encoding;
}

std::string TRichEdit::PlainTextForSaving() const
{
    QString text = SourceText(*document());
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    const QByteArray utf8 = text.toUtf8();
    return EncodeSource(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), encoding_);
}

bool TRichEdit::canInsertFromMimeData(const QMimeData* source) const
{
    return !RtfFrom(source).isEmpty() || QTextEdit::canInsertFromMimeData(source);
}

QMimeData* TRichEdit::createMimeDataFromSelection() const
{
    // Characters that only our own objects carry would not survive Qt's rich
    // formats: a selection holding one goes out as its exact text.
    QTextDocument selected;
    QTextCursor(&selected).insertFragment(textCursor().selection());
    if (!HoldsLiteralCharacters(selected))
        return QTextEdit::createMimeDataFromSelection();
    auto* exact = new QMimeData;
    exact->setText(SourceText(selected));
    return exact;
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
    if (HoldsPlainTextOnly(source)) {
        QTextCursor cursor = textCursor();
        InsertSourceText(cursor, source->text());
        setTextCursor(cursor);
        ensureCursorVisible();
        return;
    }
    QTextEdit::insertFromMimeData(source);
}

} // namespace kw
