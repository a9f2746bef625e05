// The program entry: the application object, its title, the main window and
// the About window, then the event loop.

#include "app/AboutWindow.h"
#include "app/MainWindow.h"
#include "platform/qt/Application.h"

#include <exception>

int main(int argc, char** argv)
{
    kw::TApplication application(argc, argv);
    try {
        kw::Application->Initialize();
        kw::Application->SetTitle(kw::ProgramTitle);
        kw::Application->CreateForm(kw::Form1);
        kw::Application->CreateForm(kw::Form4);
        return kw::Application->Run();
    } catch (...) {
        // A failure outside any handler during start-up: reported, and the program ends.
        kw::Application->HandleException(std::current_exception());
        return 1;
    }
}
