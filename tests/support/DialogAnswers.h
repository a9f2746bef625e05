#pragma once
// Answers the program's real modal dialogs from a test: each answer waits
// for the next modal window to open, inside whatever nested event loop shows
// it, and then acts on it as a user would.

#include <QElapsedTimer>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

namespace kw::test {

struct MessageBoxSeen {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    // Whether the text is drawn as it stands, not read as markup.
    bool plainText = false;
};

class DialogAnswers : public QObject {
public:
    DialogAnswers();
    ~DialogAnswers() override;

    // The next file dialog gets `path` typed into its name box and confirmed.
    void TypeFileName(const QString& path);
    // The next file dialog is cancelled.
    void CancelFileDialog();
    // The next message box is read and closed with OK; `whileShown` runs
    // first, while the box is still up.
    void PressOkOnMessageBox(std::function<void()> whileShown = {});
    // The next modal window, whatever it is: `act` gets it and must close it.
    void Handle(std::function<void(QWidget*)> act);

    const std::vector<MessageBoxSeen>& MessageBoxes() const { return messageBoxes_; }
    // Dialogs that opened with no answer waiting for them (they were closed).
    const QStringList& Unexpected() const { return unexpected_; }
    bool AllAnswered() const { return answers_.empty(); }

    // Runs the event loop until every answer has been used, or the time is up.
    bool WaitUntilAnswered(int milliseconds = 10000);

private:
    struct PendingAnswer {
        std::function<bool(QWidget*)> matches;
        std::function<void(QWidget*)> act;
    };
    void Answer(std::function<bool(QWidget*)> matches, std::function<void(QWidget*)> act);
    void Poll();

    QTimer timer_;
    std::deque<PendingAnswer> answers_;
    std::vector<MessageBoxSeen> messageBoxes_;
    QStringList unexpected_;
    QWidget* lastHandled_ = nullptr;
    QElapsedTimer sinceHandled_;
};

} // namespace kw::test
