#include "platform/qt/Form.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>

namespace kw {

namespace {
constexpr int ModalResultCancel = 2;  // what a form closed by its close command returns
}

TForm::TForm(Qt::WindowFlags flags) : QWidget(nullptr, flags)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
}

int TForm::ShowModal()
{
    setWindowModality(Qt::ApplicationModal);
    show();
    QEventLoop loop;
    connect(this, &TForm::Closed, &loop, &QEventLoop::quit);
    if (isVisible())
        loop.exec(QEventLoop::DialogExec);
    setWindowModality(Qt::NonModal);
    return ModalResultCancel;
}

void TForm::Show()
{
    show();
}

void TForm::Close()
{
    close();
}

void TForm::SetClientSize(int width, int height)
{
    resize(width, height);
}

void TForm::RunCreateHandler()
{
    if (onCreate_)
        GuardedDispatch(onCreate_);
}

void TForm::closeEvent(QCloseEvent* event)
{
    // Closing is never refused, and hides: the form lives until the program ends.
    event->accept();
    emit Closed();
}

void TForm::showEvent(QShowEvent* event)
{
    // Every window of the system is centred on the screen when first shown.
    if (!placed_) {
        placed_ = true;
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    QWidget::showEvent(event);
}

} // namespace kw
