#include "tests/support/DialogAnswers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

namespace kw::test {

DialogAnswers::DialogAnswers()
{
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, &DialogAnswers::Poll);
    timer_.start();
}

DialogAnswers::~DialogAnswers() = default;

void DialogAnswers::TypeFileName(const QString& path)
{
    Handle([path](QWidget* window) {
        auto* dialog = qobject_cast<QFileDialog*>(window);
        if (!dialog) {
            window->close();
            return;
        }
        auto* nameBox = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        nameBox->setText(path);
        QTest::keyClick(nameBox, Qt::Key_Return);
    });
}

void DialogAnswers::CancelFileDialog()
{
    Handle([](QWidget* window) {
        if (auto* dialog = qobject_cast<QDialog*>(window))
            dialog->reject();
        else
            window->close();
    });
}

void DialogAnswers::PressOkOnMessageBox()
{
    Handle([this](QWidget* window) {
        auto* box = qobject_cast<QMessageBox*>(window);
        if (!box) {
            unexpected_ << window->metaObject()->className();
            window->close();
            return;
        }
        MessageBoxSeen seen{box->windowTitle(), box->text(), box->icon(), {}};
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
    answers_.push_back(std::move(act));
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
    lastHandled_ = modal;
    sinceHandled_.start();
    QPointer<QWidget> guard(modal);
    if (answers_.empty()) {
        unexpected_ << QString::fromLatin1(modal->metaObject()->className()) + QLatin1Char(' ') + modal->windowTitle();
        modal->close();
        return;
    }
    auto act = std::move(answers_.front());
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

QStringList FailureReportsDuring(const std::function<void()>& body)
{
    DialogAnswers answers;
    for (int i = 0; i < 8; ++i)
        answers.PressOkOnMessageBox();
    body();
    QStringList texts;
    for (const MessageBoxSeen& seen : answers.MessageBoxes())
        texts << seen.text;
    return texts;
}

} // namespace kw::test
