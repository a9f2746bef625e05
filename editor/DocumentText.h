#pragma once
// A source text in the editor's document, both ways.
//
// A QTextDocument takes some characters as structure rather than text:
// U+2029 and Qt's frame markers U+FDD0 and U+FDD1 end a block, U+2028 is a
// line break inside one, and U+FFFC stands for an embedded object such as a
// picture. A source file may hold any of them as plain characters, and its
// bytes must survive an open and a save. So each of them goes into the
// document as an object of our own that carries its code and shows it in a
// small box; everything else goes in as text.
//
// Reading the text back gives each such object its character again, a line
// break for every block end and every line break inside a block (a pasted
// table gives one line a cell), and nothing for pictures and other objects,
// which a plain-text file cannot hold.

#include <QString>

class QTextCursor;
class QTextDocument;

namespace kw {

// Inserts `text` at the cursor, in place of its selection, as one step of the
// undo history. CR LF, LF and CR each end a line.
void InsertSourceText(QTextCursor& cursor, const QString& text);

// The document's text, lines separated by LF.
QString SourceText(const QTextDocument& document);

// Whether the document holds any character that only our objects can carry.
bool HoldsLiteralCharacters(const QTextDocument& document);

// Lets the document draw the characters that InsertSourceText put in as
// objects; needed once for every document an editor shows.
void ShowLiteralCharacters(QTextDocument& document);

} // namespace kw
