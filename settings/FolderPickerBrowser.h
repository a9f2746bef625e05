#pragma once
// The folder browser on POSIX, in place of the shell's: the caller's text
// above a tree of folders from the file system's root, with the user's home
// folder shown, and OK only while a folder is selected. It is a window of its
// own, not modal, so the window that opened it stays usable meanwhile.

#include "settings/FolderPicker.h"

#include <QDialog>

class QFileSystemModel;
class QPushButton;
class QTreeView;

namespace kw {

class FolderBrowser : public QDialog {
    Q_OBJECT

public:
    // `callback` (may be null) gets the initialisation message with `data`
    // once the browser is shown, as the shell's browser sends it.
    FolderBrowser(const QString& text, BrowseCallback callback, BrowseParam data);

    // Shows the browser and runs a message loop of its own until it closes.
    // The chosen folder, or "" when cancelled.
    std::string Run();

    // The browser's message handling: the selection message with a path
    // selects and shows that folder; every other message is ignored.
    std::intptr_t HandleMessage(unsigned message, std::uintptr_t wParam, BrowseParam lParam);

private:
    // Selects and shows a folder given by its path, if there is one.
    void SelectFolder(const QString& path);
    // The selected folder's absolute path ("/" for the root), or "" for none.
    QString SelectedFolder() const;
    void ShowFolder(const QString& path);
    void UpdateOkButton();

    QTreeView* tree_;
    QFileSystemModel* folders_;
    QPushButton* ok_;
    QString shownFolder_;
    BrowseCallback callback_;
    BrowseParam data_;
};

} // namespace kw
