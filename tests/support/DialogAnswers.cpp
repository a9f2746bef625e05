#include "tests/support/DialogAnswers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTextDocument>

namespace kw::test {

DialogAnswers::DialogAnswers()
{
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, &DialogAnswers::Poll);
    timer_.start();
}

DialogAnswers::~DialogAnswers() = default;

namespace {
bool IsFileDialog(QWidget* window)
{
    return qobject_cast<QFileDialog*>(window) != nullptr;
}

bool IsMessageBox(QWidget* window)
{
    return qobject_cast<QMessageBox*>(window) != nullptr;
}
} // namespace

void DialogAnswers::TypeFileName(const QString& path)
{
    Answer(IsFileDialog, [path](QWidget* window) {
        auto* nameBox = window->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        nameBox->setText(path);
        QTest::keyClick(nameBox, Qt::Key_Return);
    });
}

void DialogAnswers::CancelFileDialog()
{
    Answer(IsFileDialog, [](QWidget* window) { qobject_cast<QDialog*>(window)->reject(); });
}

void DialogAnswers::PressOkOnMessageBox(std::function<void()> whileShown)
{
    Answer(IsMessageBox, [this, whileShown](QWidget* window) {
        if (whileShown)
            whileShown();
        auto* box = qobject_cast<QMessageBox*>(window);
        const bool plainText = box->textFormat() == Qt::PlainText ||
                               (box->textFormat() == Qt::AutoText && !Qt::mightBeRichText(box->text()));
        MessageBoxSeen seen{box->windowTitle(), box->text(), box->icon(), {}, plainText};
        for (QAbstractButton* button : box->buttons())
            seen.buttons << button->text().remove(QLatin1Char('&'));
        messageBoxes_.push_back(seen);
        if (QAbstractButton* ok = box->button(QMessageBox::Ok))
            ok->click();
        else
            box->close();
    });
}

void DialogAnswers::Handle(std::function<void(QWidget*)> act)
{
    Answer([](QWidget*) { return true; }, std::move(act));
}

void DialogAnswers::Answer(std::function<bool(QWidget*)> matches, std::function<void(QWidget*)> act)
{
    answers_.push_back({std::move(matches), std::move(act)});
}

void DialogAnswers::Poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    if (modal == lastHandled_) {
        // An answer that did not close its window would leave the test hanging.
        if (sinceHandled_.elapsed() > 3000) {
            unexpected_ << QStringLiteral("still open after its answer: ") + modal->windowTitle();
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
        }
        return;
    }
    const bool answered = !answers_.empty() && answers_.front().matches(modal);
    if (!answered) {
        // A dialog nobody expected is closed and noted; the program's own
        // modal windows that close by themselves (the splash) are left alone.
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            unexpected_ << QString::fromLatin1(modal->metaObject()->className()) + QLatin1Char(' ') + modal->windowTitle();
            dialog->reject();
        }
        return;
    }
    lastHandled_ = modal;
    sinceHandled_.start();
    QPointer<QWidget> guard(modal);
    auto act = std::move(answers_.front().act);
    answers_.pop_front();
    act(modal);
    // A window that stays open after its answer may be met again later.
    QTimer::singleShot(0, this, [this, guard] {
        if (!guard || !guard->isVisible())
            lastHandled_ = nullptr;
    });
}

bool DialogAnswers::WaitUntilAnswered(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (!answers_.empty() && clock.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return answers_.empty();
}

} // namespace kw::test
