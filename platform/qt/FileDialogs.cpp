#include "platform/qt/FileDialogs.h"

#include "platform/qt/Text.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace kw {

TFileDialog::TFileDialog(QObject* parent, Kind kind) : QObject(parent), kind_(kind) {}

bool TFileDialog::Execute()
{
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // Neither dialog asks before replacing a file, nor checks that the file exists.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(kind_ == Kind::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setSizeGripEnabled(true);
    if (!FileName.empty()) {
        const QFileInfo last(ToQString(FileName));
        dialog.setDirectory(last.absolutePath());
        dialog.selectFile(last.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;

    const QString chosen = QDir::cleanPath(QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath());
    const std::string path = ToAnsi(QDir::toNativeSeparators(chosen));
    if (path.size() + 1 > FileNameBufferSize)
        return false;  // the system's dialog fails on a name that does not fit
    FileName = path;
    QDir::setCurrent(QFileInfo(chosen).absolutePath());
    return true;
}

} // namespace kw
