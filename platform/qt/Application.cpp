#include "platform/qt/Application.h"

#include "platform/core/Exceptions.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Text.h"

#include <QMessageBox>
#include <QPushButton>

namespace kw {

TApplication* Application = nullptr;

namespace {

// Qt must never see an exception; this catches what a handler outside our
// guarded dispatch would let through.
class GuardedQApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (...) {
            ReportHandlerFailure(std::current_exception());
            return false;
        }
    }
};

} // namespace

std::string FailureMessage(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "Unknown failure";
    }
}

void ReportHandlerFailure(std::exception_ptr failure)
{
    if (Application)
        Application->HandleException(failure);
}

TApplication::TApplication(int& argc, char** argv)
    : qt_(std::make_unique<GuardedQApplication>(argc, argv))
{
    Application = this;
    // Only the main window's closing ends the program, whatever else is open.
    qt_->setQuitOnLastWindowClosed(false);
}

TApplication::~TApplication()
{
    // Forms go before the Qt application, the last-created first.
    while (!forms_.empty())
        forms_.pop_back();
    Application = nullptr;
}

void TApplication::Initialize()
{
    LoadSystemFonts();
    qt_->setFont(VclFont(MsSansSerif));
}

void TApplication::SetTitle(const std::string& title)
{
    title_ = title;
    // No display name is set: Qt would append it to every window's caption.
    qt_->setApplicationName(ToQString(title));
}

int TApplication::Run()
{
    if (!mainForm_)
        return 0;
    QObject::connect(mainForm_, &TForm::Closed, qt_.get(), [] { QCoreApplication::exit(0); });
    mainForm_->Show();
    return QApplication::exec();
}

void TApplication::ShowException(const std::string& message)
{
    const std::string text = FailureReportText(message);
    QMessageBox box;
    box.setWindowTitle(ToQString(title_));
    box.setIcon(QMessageBox::Critical);
    // The message may carry a file name or a setting's value: shown as it
    // is, never taken for markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(ToQString(text));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void TApplication::HandleException(std::exception_ptr failure)
{
    ShowException(FailureMessage(failure));
}

} // namespace kw
