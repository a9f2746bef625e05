#pragma once
// TForm: the base of every window. Closing hides it and never destroys it;
// ShowModal runs a nested event loop until the form closes.

#include "platform/qt/Dispatch.h"

#include <QWidget>

#include <functional>

namespace kw {

class TForm : public QWidget {
    Q_OBJECT

public:
    explicit TForm(Qt::WindowFlags flags = Qt::Window);

    // Shows the form modally for the whole application and returns when it closes.
    int ShowModal();
    void Show();
    void Close();

    // Sets the size of the client area, as the window layouts give it.
    void SetClientSize(int width, int height);

    // Runs the creation handler, guarded. The application calls it once the
    // form's components exist.
    void RunCreateHandler();

signals:
    void Closed();

protected:
    // The creation handler, set by the derived form's constructor.
    template <class Form>
    void SetCreateHandler(void (Form::*handler)(TObject*))
    {
        auto* form = static_cast<Form*>(this);
        onCreate_ = [form, handler] { (form->*handler)(form); };
    }

    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    std::function<void()> onCreate_;
    bool placed_ = false;
};

} // namespace kw
