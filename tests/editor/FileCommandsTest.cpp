// Open, Save, Cut, Copy, Paste and Delete through the real main window and
// its real file dialogs, with the files read back byte for byte.

#include "app/AboutWindow.h"
#include "app/MainWindow.h"
#include "platform/core/MemoryRegistry.h"
#include "platform/qt/Application.h"
#include "tests/support/DialogAnswers.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WindowTest.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextCursor>

#include <filesystem>
#include <fcntl.h>
#include <unistd.h>

using namespace kw;
using kw::test::ToQString;
using kw::test::DialogAnswers;
using kw::test::ReadFileBytes;
using kw::test::TempFolder;
using kw::test::WriteFileBytes;

namespace {

QString EditorText()
{
    return Form1->RichEdit1->toPlainText();
}

// While alive, file permissions are checked as an ordinary user's, so that
// a read-only file stops a write even when the tests run as root.
class ScopedOrdinaryUser {
public:
    ScopedOrdinaryUser() : active_(::geteuid() == 0 && ::setegid(65534) == 0 && ::seteuid(65534) == 0) {}
    ~ScopedOrdinaryUser()
    {
        if (active_) {
            [[maybe_unused]] const int user = ::seteuid(0);
            [[maybe_unused]] const int group = ::setegid(0);
        }
    }
    ScopedOrdinaryUser(const ScopedOrdinaryUser&) = delete;
    ScopedOrdinaryUser& operator=(const ScopedOrdinaryUser&) = delete;

private:
    bool active_;
};

const char* const FormattedRtf =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}}{\\colortbl;\\red255\\green0\\blue0;}\n"
    "\\pard plain {\\b bold} {\\i italic} {\\cf1 red}\\par\n"
    "second line\\par\n}";

} // namespace

class FileCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cancelledDialogsChangeNothing();
    void rtfBeforeTheFirstSaveShowsFormattedAndSavesItsText();
    void savingBeforeAnyOpenLeavesTheSourceEmpty();
    void firstSaveSwitchesToPlainTextAndDropsFormatting();
    void rtfAfterASaveShowsAsMarkup();
    void openAThenSaveAsBKeepsTheSource();
    void dialogsStartFromTheirLastName();
    void aNameTooLongForTheDialogCountsAsCancelled();
    void lineEndsBecomeCrLf_data();
    void lineEndsBecomeCrLf();
    void bytesThatAreNotUtf8SurviveARoundTrip();
    void everyUtf8CharacterSurvivesARoundTrip_data();
    void everyUtf8CharacterSurvivesARoundTrip();
    void charactersQtTakesAsStructureStayOnTheirLine();
    void charactersQtTakesAsStructureSurviveCutAndPaste();
    void pastedRichContentSavesOnlyTheTextShown_data();
    void pastedRichContentSavesOnlyTheTextShown();
    void emptyEditorSavesAnEmptyFile();
    void failures();
    void editingCommands();
    void pastedRichTextKeepsItsFormattingUntilSaved();

private:
    void SaveAs(const std::filesystem::path& file);

    MemoryRegistry registry_;
    std::unique_ptr<ScopedRegistryOverride> useRegistry_;
    std::unique_ptr<TempFolder> folder_;
};

void FileCommandsTest::initTestCase()
{
    useRegistry_ = std::make_unique<ScopedRegistryOverride>(registry_);
    test::StartAsTheProgramDoes();
    Form1->Show();
}

void FileCommandsTest::init()
{
    folder_ = std::make_unique<TempFolder>();
    std::filesystem::permissions(folder_->Path(), std::filesystem::perms::all);
    // Every slot meets the editor as a fresh run of the program does: empty,
    // in rich-text mode, nothing opened or saved yet.
    Form1->RichEdit1->clear();
    Form1->RichEdit1->PlainText = false;
    Form1->OpenDialog1->FileName.clear();
    Form1->SaveDialog1->FileName.clear();
}

void FileCommandsTest::SaveAs(const std::filesystem::path& file)
{
    DialogAnswers answers;
    answers.TypeFileName(ToQString(file));
    Form1->SpeedButton3->click();
    QVERIFY(answers.AllAnswered());
}

void FileCommandsTest::cancelledDialogsChangeNothing()
{
    Form1->RichEdit1->setPlainText(QStringLiteral("kept"));
    DialogAnswers answers;
    answers.CancelFileDialog();
    answers.CancelFileDialog();
    Form1->SpeedButton2->click();
    Form1->SpeedButton3->click();
    QVERIFY(answers.AllAnswered());
    QCOMPARE(EditorText(), QStringLiteral("kept"));
    QVERIFY(CurrentSourcePath().empty());
    QVERIFY(!Form1->RichEdit1->PlainText);
    QVERIFY(std::filesystem::is_empty(folder_->Path()));
}

void FileCommandsTest::rtfBeforeTheFirstSaveShowsFormattedAndSavesItsText()
{
    const auto rtf = *folder_ / "notes.rtf";
    WriteFileBytes(rtf, FormattedRtf);
    test::OpenInEditor(rtf);
    QCOMPARE(EditorText(), QStringLiteral("plain bold italic red\nsecond line"));

    QTextDocument* document = Form1->RichEdit1->document();
    auto formatAt = [document](const QString& word) {
        QTextCursor found = document->find(word);
        QTextCursor inside(document);
        inside.setPosition(found.selectionStart() + 1);
        return inside.charFormat();
    };
    QVERIFY(formatAt("bold").fontWeight() >= QFont::Bold);
    QVERIFY(formatAt("italic").fontItalic());
    QCOMPARE(formatAt("red").foreground().color(), QColor(255, 0, 0));
    QVERIFY(formatAt("plain").fontWeight() < QFont::Bold);

    // Not yet saved: the switch happens at the first confirmed save.
    QVERIFY(!Form1->RichEdit1->PlainText);
}

void FileCommandsTest::savingBeforeAnyOpenLeavesTheSourceEmpty()
{
    // Also run in a process of its own (see CMakeLists.txt), where the empty
    // source is the program's own start state rather than the fixture's.
    QVERIFY(CurrentSourcePath().empty());
    QVERIFY(!Form1->RichEdit1->PlainText);
    Form1->RichEdit1->setPlainText(QStringLiteral("fresh"));
    const auto file = *folder_ / "fresh.c";
    SaveAs(file);
    QCOMPARE(ReadFileBytes(file), std::string("fresh"));
    QVERIFY(CurrentSourcePath().empty());
    QVERIFY(Form1->RichEdit1->PlainText);
}

void FileCommandsTest::firstSaveSwitchesToPlainTextAndDropsFormatting()
{
    const auto rtf = *folder_ / "notes.rtf";
    WriteFileBytes(rtf, FormattedRtf);
    test::OpenInEditor(rtf);
    QVERIFY(!Form1->RichEdit1->PlainText);
    const std::string sourceBefore = CurrentSourcePath();
    const auto copy = *folder_ / "notes.txt";
    SaveAs(copy);
    QCOMPARE(ReadFileBytes(copy), std::string("plain bold italic red\r\nsecond line"));
    QVERIFY(Form1->RichEdit1->PlainText);
    QCOMPARE(CurrentSourcePath(), sourceBefore);
}

void FileCommandsTest::rtfAfterASaveShowsAsMarkup()
{
    SaveAs(*folder_ / "first.c");
    QVERIFY(Form1->RichEdit1->PlainText);
    const auto rtf = *folder_ / "again.rtf";
    WriteFileBytes(rtf, FormattedRtf);
    test::OpenInEditor(rtf);
    QVERIFY(EditorText().startsWith(QStringLiteral("{\\rtf1\\ansi")));
    QVERIFY(EditorText().contains(QStringLiteral("{\\b bold}")));
}

void FileCommandsTest::openAThenSaveAsBKeepsTheSource()
{
    const auto a = *folder_ / "a.c";
    const auto other = *folder_ / "elsewhere";
    std::filesystem::create_directory(other);
    WriteFileBytes(a, "int a;\r\n");
    test::OpenInEditor(a);
    QCOMPARE(std::filesystem::current_path(), folder_->Path());
    SaveAs(other / "b.c");
    QCOMPARE(EditorText(), QStringLiteral("int a;\n"));
    QCOMPARE(QString::fromStdString(CurrentSourcePath()), ToQString(a));
    QCOMPARE(std::filesystem::current_path(), other);
    QCOMPARE(ReadFileBytes(other / "b.c"), std::string("int a;\r\n"));
    // Saving over an existing file replaces it without a question.
    Form1->RichEdit1->setPlainText(QStringLiteral("int b;"));
    SaveAs(other / "b.c");
    QCOMPARE(ReadFileBytes(other / "b.c"), std::string("int b;"));
}

void FileCommandsTest::dialogsStartFromTheirLastName()
{
    const auto first = *folder_ / "first.c";
    WriteFileBytes(first, "x\n");
    test::OpenInEditor(first);
    SaveAs(*folder_ / "saved.c");

    for (TFileDialog* dialog : {static_cast<TFileDialog*>(Form1->OpenDialog1), static_cast<TFileDialog*>(Form1->SaveDialog1)}) {
        QString shownFolder, shownName;
        DialogAnswers answers;
        answers.Handle([&](QWidget* window) {
            auto* fileDialog = qobject_cast<QFileDialog*>(window);
            shownFolder = fileDialog->directory().absolutePath();
            shownName = fileDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
            fileDialog->reject();
        });
        dialog->Execute();
        QVERIFY(answers.AllAnswered());
        const std::filesystem::path expected = dialog == Form1->OpenDialog1 ? first : *folder_ / "saved.c";
        QCOMPARE(shownFolder, ToQString(expected.parent_path()));
        QCOMPARE(shownName, ToQString(expected.filename()));
    }
}

void FileCommandsTest::aNameTooLongForTheDialogCountsAsCancelled()
{
    const std::string before = CurrentSourcePath();
    const QString text = EditorText();
    // 259 bytes fit the dialog's 260-byte buffer with its terminating zero; 260 do not.
    const std::string prefix = folder_->Path().string() + "/";
    const auto named = [&](std::size_t bytes) { return prefix + std::string(bytes - prefix.size(), 'n'); };
    const std::string fits = named(259);
    const std::string tooLong = named(260);
    WriteFileBytes(fits, "fits\n");
    WriteFileBytes(tooLong, "too long\n");

    test::OpenInEditor(tooLong);
    QCOMPARE(CurrentSourcePath(), before);
    QCOMPARE(EditorText(), text);
    test::OpenInEditor(fits);
    QCOMPARE(CurrentSourcePath(), fits);
    QCOMPARE(EditorText(), QStringLiteral("fits\n"));
}

void FileCommandsTest::lineEndsBecomeCrLf_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("LF") << QByteArray("one\ntwo\n\nfour\n");
    QTest::newRow("CR") << QByteArray("one\rtwo\r\rfour\r");
    QTest::newRow("CR LF") << QByteArray("one\r\ntwo\r\n\r\nfour\r\n");
    QTest::newRow("mixed") << QByteArray("one\ntwo\r\n\rfour\r");
}

void FileCommandsTest::lineEndsBecomeCrLf()
{
    QFETCH(QByteArray, bytes);
    const auto file = *folder_ / "lines.c";
    WriteFileBytes(file, bytes.toStdString());
    test::OpenInEditor(file);
    QCOMPARE(Form1->RichEdit1->document()->blockCount(), 5);
    QCOMPARE(EditorText(), QStringLiteral("one\ntwo\n\nfour\n"));
    SaveAs(file);
    QCOMPARE(ReadFileBytes(file), std::string("one\r\ntwo\r\n\r\nfour\r\n"));
}

void FileCommandsTest::bytesThatAreNotUtf8SurviveARoundTrip()
{
    // Windows-1252 text, with a no-break space and the bytes 1252 leaves undefined.
    std::string bytes = "// Gr\xFC\xDF" "e \x80 \xA0 caf\xE9\r\nint x; /* \x81\x8D\x8F\x90\x9D */\r\n";
    const auto file = *folder_ / "legacy.c";
    WriteFileBytes(file, bytes);
    test::OpenInEditor(file);
    QVERIFY(EditorText().startsWith(QStringLiteral("// Grüße € ")));
    SaveAs(*folder_ / "copy.c");
    QCOMPARE(ReadFileBytes(*folder_ / "copy.c"), bytes);

    // UTF-8 stays UTF-8.
    const std::string utf8 = "// Grüße — Ελληνικά\r\n";
    WriteFileBytes(file, utf8);
    test::OpenInEditor(file);
    SaveAs(*folder_ / "copy.c");
    QCOMPARE(ReadFileBytes(*folder_ / "copy.c"), utf8);
}

void FileCommandsTest::everyUtf8CharacterSurvivesARoundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("line separator") << QByteArray("a\u2028b\r\n\u2028\r\n");
    QTest::newRow("paragraph separator") << QByteArray("a\u2029b\u2029");
    QTest::newRow("object replacement") << QByteArray("\uFFFC x \uFFFC");
    QTest::newRow("Qt's frame markers") << QByteArray("[\uFDD0|\uFDD1]\r\n\uFDD1\uFDD0");
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBFint x;\r\n");
    QTest::newRow("no-break space, soft hyphen") << QByteArray("a\u00A0b\u00ADc");
    QTest::newRow("controls and NUL") << QByteArray("\x01\x07\t\x0B\x0C\x1B\x7F|\0|", 10);
    QTest::newRow("noncharacters") << QByteArray("\uFFFE\uFFFF\U0010FFFF\uFDEF");
    QTest::newRow("astral and combining") << QByteArray("\U0001F600 e\u0301");
    QTest::newRow("direction and zero width") << QByteArray("\u202E\u2066x\u2069\u200B\u200D\uFEFF");
}

void FileCommandsTest::everyUtf8CharacterSurvivesARoundTrip()
{
    QFETCH(QByteArray, bytes);
    const auto file = *folder_ / "source.c";
    WriteFileBytes(file, bytes.toStdString());
    test::OpenInEditor(file);
    SaveAs(*folder_ / "copy.c");
    QCOMPARE(QByteArray::fromStdString(ReadFileBytes(*folder_ / "copy.c")), bytes);
}

void FileCommandsTest::charactersQtTakesAsStructureStayOnTheirLine()
{
    const auto file = *folder_ / "odd.c";
    WriteFileBytes(file, "a\u2028b\u2029c\uFDD0d\uFDD1e\uFFFCf");
    test::OpenInEditor(file);
    TRichEdit* editor = Form1->RichEdit1;
    QCOMPARE(editor->document()->blockCount(), 1);
    QApplication::processEvents();
    QCOMPARE(editor->document()->firstBlock().layout()->lineCount(), 1);
    // Each takes visible room on the line, where the user sees it.
    QTextCursor cursor(editor->document());
    for (int letter = 0; letter < 5; ++letter) {
        cursor.setPosition(letter * 2 + 1);
        const QRect before = editor->cursorRect(cursor);
        cursor.setPosition(letter * 2 + 2);
        const QRect after = editor->cursorRect(cursor);
        QCOMPARE(after.top(), before.top());
        QVERIFY2(after.left() - before.left() >= 8, qPrintable(QString::number(letter)));
    }
}

void FileCommandsTest::charactersQtTakesAsStructureSurviveCutAndPaste()
{
    const std::string bytes = "x \u2028 \u2029 \uFDD0\uFDD1 \uFFFC\r\ny";
    const auto file = *folder_ / "odd.c";
    WriteFileBytes(file, bytes);
    test::OpenInEditor(file);
    TRichEdit* editor = Form1->RichEdit1;
    editor->selectAll();
    Form1->SpeedButton4->click();  // Cut
    QCOMPARE(QApplication::clipboard()->text(), QString::fromUtf8("x \u2028 \u2029 \uFDD0\uFDD1 \uFFFC\ny"));
    QVERIFY(editor->document()->isEmpty());
    Form1->SpeedButton6->click();  // Paste
    // Plain text from another program goes in the same way.
    QApplication::clipboard()->setText(QString::fromUtf8("\r\n\u2028\uFFFC"));
    Form1->SpeedButton6->click();
    SaveAs(*folder_ / "copy.c");
    QCOMPARE(ReadFileBytes(*folder_ / "copy.c"), bytes + "\r\n\u2028\uFFFC");
}

void FileCommandsTest::pastedRichContentSavesOnlyTheTextShown_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QByteArray>("saved");
    const QString picture = QStringLiteral(
        "<img src=\"data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8BQDwAEhQGAhKmMIQAAAABJRU5ErkJggg==\">");
    QTest::newRow("table") << QStringLiteral("<p>before</p><table><tr><td>1</td><td>2</td></tr>"
                                             "<tr><td>3</td><td></td></tr></table><p>after</p>")
                           << QByteArray("before\r\n1\r\n2\r\n3\r\n\r\nafter");
    // Qt keeps a paragraph before a table at the start and one after every
    // table, shown as empty lines; they are saved as such.
    QTest::newRow("table in a table") << QStringLiteral("<table><tr><td>out<table><tr><td>in</td></tr></table>"
                                                        "</td></tr></table>")
                                      << QByteArray("\r\nout\r\nin\r\n\r\n");
    QTest::newRow("picture") << QStringLiteral("a") + picture + QStringLiteral("b") << QByteArray("ab");
    QTest::newRow("line break") << QStringLiteral("one<br>two") << QByteArray("one\r\ntwo");
    QTest::newRow("no-break space") << QStringLiteral("a&nbsp;b") << QByteArray("a\u00A0b");
    QTest::newRow("list") << QStringLiteral("<ul><li>x</li><li>y</li></ul>") << QByteArray("x\r\ny");
    QTest::newRow("rule") << QStringLiteral("<p>a</p><hr><p>b</p>") << QByteArray("a\r\n\r\nb");
}

void FileCommandsTest::pastedRichContentSavesOnlyTheTextShown()
{
    QFETCH(QString, html);
    QFETCH(QByteArray, saved);
    auto* data = new QMimeData;
    data->setHtml(html);
    QApplication::clipboard()->setMimeData(data);
    Form1->SpeedButton6->click();
    SaveAs(*folder_ / "pasted.c");
    QCOMPARE(QByteArray::fromStdString(ReadFileBytes(*folder_ / "pasted.c")), saved);
}

void FileCommandsTest::emptyEditorSavesAnEmptyFile()
{
    Form1->RichEdit1->clear();
    const auto file = *folder_ / "empty.c";
    WriteFileBytes(file, "something\r\n");
    SaveAs(file);
    QVERIFY(std::filesystem::exists(file));
    QCOMPARE(std::filesystem::file_size(file), std::uintmax_t{0});
}

void FileCommandsTest::failures()
{
    Form1->RichEdit1->setPlainText(QStringLiteral("kept text"));
    // A typed name of a file that does not exist: the source names it all the
    // same. The report shows the name as it is, markup and all.
    const auto missing = *folder_ / "missing <b>x&lt;y.c";
    {
        DialogAnswers answers;
        answers.TypeFileName(ToQString(missing));
        answers.PressOkOnMessageBox();
        Form1->SpeedButton2->click();
        QVERIFY(answers.AllAnswered());
        QCOMPARE(answers.MessageBoxes().at(0).text,
                 QStringLiteral("Cannot open file \"%1\". No such file or directory.").arg(ToQString(missing)));
        QVERIFY(answers.MessageBoxes().at(0).plainText);
    }
    QCOMPARE(QString::fromStdString(CurrentSourcePath()), ToQString(missing));
    QCOMPARE(EditorText(), QStringLiteral("kept text"));

    // Saving over a read-only file.
    const auto locked = *folder_ / "locked&lt;<i>.c";
    WriteFileBytes(locked, "old\r\n");
    std::filesystem::permissions(locked, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                             std::filesystem::perms::others_read);
    {
        ScopedOrdinaryUser ordinary;
        if (::faccessat(AT_FDCWD, locked.c_str(), W_OK, AT_EACCESS) == 0)
            QSKIP("cannot act as an ordinary user here");
        DialogAnswers answers;
        answers.TypeFileName(ToQString(locked));
        answers.PressOkOnMessageBox();
        Form1->SpeedButton3->click();
        QVERIFY(answers.AllAnswered());
        QCOMPARE(answers.MessageBoxes().at(0).text,
                 QStringLiteral("Cannot create file \"%1\". Permission denied.").arg(ToQString(locked)));
        QVERIFY(answers.MessageBoxes().at(0).plainText);
    }
    QCOMPARE(ReadFileBytes(locked), std::string("old\r\n"));
    QVERIFY(Form1->RichEdit1->PlainText);
}

void FileCommandsTest::editingCommands()
{
    TRichEdit* editor = Form1->RichEdit1;
    QClipboard* clipboard = QApplication::clipboard();
    editor->setPlainText(QStringLiteral("alpha beta gamma"));
    clipboard->setText(QStringLiteral("CLIP"));

    // With nothing selected, Cut, Copy and Delete change nothing; Paste inserts at the caret.
    QTextCursor caret = editor->textCursor();
    caret.setPosition(6);
    editor->setTextCursor(caret);
    for (TSpeedButton* button : {Form1->SpeedButton4, Form1->SpeedButton5, Form1->SpeedButton7})
        button->click();
    QCOMPARE(editor->toPlainText(), QStringLiteral("alpha beta gamma"));
    QCOMPARE(clipboard->text(), QStringLiteral("CLIP"));
    Form1->SpeedButton6->click();
    QCOMPARE(editor->toPlainText(), QStringLiteral("alpha CLIPbeta gamma"));

    auto select = [editor](int from, int to) {
        QTextCursor selection = editor->textCursor();
        selection.setPosition(from);
        selection.setPosition(to, QTextCursor::KeepAnchor);
        editor->setTextCursor(selection);
    };
    select(0, 5);
    Form1->SpeedButton5->click();  // Copy
    QCOMPARE(clipboard->text(), QStringLiteral("alpha"));
    select(6, 10);
    Form1->SpeedButton7->click();  // Delete leaves the clipboard alone
    QCOMPARE(editor->toPlainText(), QStringLiteral("alpha beta gamma"));
    QCOMPARE(clipboard->text(), QStringLiteral("alpha"));

    // With the focus in the log panel, Cut still cuts the editor's selection.
    select(11, 16);
    Form1->Memo1->setFocus();
    Form1->SpeedButton4->click();
    QCOMPARE(editor->toPlainText(), QStringLiteral("alpha beta "));
    QCOMPARE(clipboard->text(), QStringLiteral("gamma"));
    select(0, 5);
    Form1->SpeedButton6->click();  // Paste replaces the selection
    QCOMPARE(editor->toPlainText(), QStringLiteral("gamma beta "));
    // The selection is only highlighted while the editor has the focus.
    const QPalette colours = editor->palette();
    QCOMPARE(colours.color(QPalette::Inactive, QPalette::Highlight), colours.color(QPalette::Inactive, QPalette::Base));
}

void FileCommandsTest::pastedRichTextKeepsItsFormattingUntilSaved()
{
    TRichEdit* editor = Form1->RichEdit1;
    editor->clear();
    auto* html = new QMimeData;
    html->setHtml(QStringLiteral("<b>strong</b> words"));
    QApplication::clipboard()->setMimeData(html);
    Form1->SpeedButton6->click();

    auto* rtf = new QMimeData;
    rtf->setData(QStringLiteral("text/rtf"), QByteArray("{\\rtf1 {\\i slanted}}"));
    QApplication::clipboard()->setMimeData(rtf);
    Form1->SpeedButton6->click();
    QCOMPARE(editor->toPlainText(), QStringLiteral("strong wordsslanted"));

    auto formatAt = [editor](int position) {
        QTextCursor cursor(editor->document());
        cursor.setPosition(position);
        return cursor.charFormat();
    };
    QVERIFY(formatAt(2).fontWeight() >= QFont::Bold);
    QVERIFY(formatAt(15).fontItalic());

    const auto file = *folder_ / "pasted.c";
    SaveAs(file);
    QCOMPARE(ReadFileBytes(file), std::string("strong wordsslanted"));
}

KW_WINDOW_TEST_MAIN(FileCommandsTest)

#include "FileCommandsTest.moc"
