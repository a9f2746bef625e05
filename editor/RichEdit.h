#pragma once
// TRichEdit: the source editor's rich-text editing control.

#include "editor/SourceText.h"

#include <QTextEdit>

#include <memory>
#include <string>
#include <string_view>

namespace kw {

class TRichEdit : public QTextEdit {
public:
    explicit TRichEdit(QWidget* parent);

    // How file contents are read: false reads an RTF document formatted,
    // true reads everything as plain text (an RTF document shows as markup).
    bool PlainText = false;

    // Replaces the whole text with a file's content: as an RTF document in
    // rich-text mode when it is one, otherwise as plain text, which always
    // succeeds.
    void LoadFromFileContent(std::string_view bytes);

    // The whole text as plain text, lines ending CR LF, in the encoding the
    // last opened file came in.
    std::string PlainTextForSaving() const;

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void HideInactiveSelection();
    std::unique_ptr<QTextDocument> NewDocument() const;
    void ShowDocument(std::unique_ptr<QTextDocument> filled);
    bool LoadRtf(std::string_view bytes);
    void LoadPlain(std::string_view bytes);

    SourceEncoding encoding_ = SourceEncoding::Utf8;
};

} // namespace kw
