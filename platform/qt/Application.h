#pragma once
// TApplication: the application object. It sets the title, creates the
// forms (the first one created becomes the main window), runs the event
// loop, and reports failures.

#include "platform/qt/Form.h"

#include <QApplication>

#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace kw {

class TApplication {
public:
    TApplication(int& argc, char** argv);
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    void Initialize();
    void SetTitle(const std::string& title);
    const std::string& Title() const { return title_; }

    // Creates a form, assigns `reference` before the form's creation handler
    // runs, and keeps the form until the application ends.
    template <class Form>
    void CreateForm(Form*& reference)
    {
        const bool first = !mainFormChosen_;
        mainFormChosen_ = true;
        auto form = std::make_unique<Form>();
        reference = form.get();
        TForm* created = form.get();
        forms_.push_back(std::move(form));
        if (first)
            mainForm_ = created;
        created->RunCreateHandler();
    }

    TForm* MainForm() const { return mainForm_; }

    // Shows the main window and dispatches events until it is closed; 0 then.
    int Run();

    // The default failure report: a message box captioned with the title.
    void ShowException(const std::string& message);
    void HandleException(std::exception_ptr failure);

private:
    std::unique_ptr<QApplication> qt_;
    std::string title_;
    std::vector<std::unique_ptr<TForm>> forms_;
    TForm* mainForm_ = nullptr;
    bool mainFormChosen_ = false;
};

// The one application object, set while a TApplication exists.
extern TApplication* Application;

// The message a failure carries, as the report shows it before the full-stop rule.
std::string FailureMessage(std::exception_ptr failure);

} // namespace kw
