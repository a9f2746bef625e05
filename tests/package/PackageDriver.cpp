// Drives the installed program from inside, as a user would with the mouse:
// loaded into it as a Qt generic plugin (QT_QPA_GENERIC_PLUGINS), it opens
// the source named in KW_DRIVE_SOURCE through the Open dialog, presses
// Compile and cancels the Save dialog, waits until the build's terminal has
// finished (the file KW_DRIVE_DONE exists), and closes the main window. The
// program itself is the packaged binary, untouched; whatever goes wrong
// ends it with a message that names the step.

#include "tests/support/DialogAnswers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGenericPlugin>
#include <QTimer>
#include <QWidget>

namespace {

using kw::test::DialogAnswers;

QWidget* MainWindow()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String("Form1"))
            return window;
    }
    return nullptr;
}

// A click posted to the event loop, so that the dialog the handler shows
// runs its nested loop outside of the driver's own step.
void PostClick(const char* buttonName)
{
    auto* button = MainWindow()->findChild<QAbstractButton*>(QLatin1String(buttonName));
    if (!button)
        qFatal("kw-driver: the main window has no %s", buttonName);
    QTimer::singleShot(0, button, &QAbstractButton::click);
}

class Driver : public QObject {
public:
    Driver()
    {
        timer_.setInterval(20);
        connect(&timer_, &QTimer::timeout, this, &Driver::Step);
        timer_.start();
        sinceStart_.start();
    }

private:
    enum class Stage { WaitForMainWindow, Opening, Compiling, WaitForTerminal, Closed };

    bool Idle() const
    {
        return answers_.AllAnswered() && !QApplication::activeModalWidget();
    }

    void Step()
    {
        if (!answers_.Unexpected().isEmpty())
            qFatal("kw-driver: a window nobody expected: %s", qPrintable(answers_.Unexpected().join(", ")));
        if (sinceStart_.elapsed() > 90000)
            qFatal("kw-driver: still waiting at stage %d after 90 s", static_cast<int>(stage_));
        switch (stage_) {
        case Stage::WaitForMainWindow:
            if (MainWindow() && MainWindow()->isVisible() && Idle()) {
                answers_.TypeFileName(qEnvironmentVariable("KW_DRIVE_SOURCE"));
                PostClick("SpeedButton2");
                stage_ = Stage::Opening;
            }
            break;
        case Stage::Opening:
            if (Idle()) {
                answers_.CancelFileDialog();
                PostClick("SpeedButton8");
                stage_ = Stage::Compiling;
            }
            break;
        case Stage::Compiling:
            if (Idle())
                stage_ = Stage::WaitForTerminal;
            break;
        case Stage::WaitForTerminal:
            if (QFileInfo::exists(qEnvironmentVariable("KW_DRIVE_DONE"))) {
                stage_ = Stage::Closed;
                MainWindow()->close();
            }
            break;
        case Stage::Closed:
            break;
        }
    }

    QTimer timer_;
    QElapsedTimer sinceStart_;
    DialogAnswers answers_;
    Stage stage_ = Stage::WaitForMainWindow;
};

class PackageDriverPlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "PackageDriver.json")
public:
    // The application keeps the object and deletes it when it ends.
    QObject* create(const QString& /*name*/, const QString& /*spec*/) override { return new Driver; }
};

} // namespace

#include "PackageDriver.moc"
