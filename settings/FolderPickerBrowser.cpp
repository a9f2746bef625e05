#include "settings/FolderPickerBrowser.h"

#include "platform/qt/Text.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <QWindow>

namespace kw {

namespace {

constexpr int BrowserWidth = 320;
constexpr int BrowserHeight = 380;

} // namespace

FolderBrowser::FolderBrowser(const QString& text, BrowseCallback callback, BrowseParam data)
    : callback_(callback), data_(data)
{
    setObjectName(QStringLiteral("FolderBrowser"));
    setWindowTitle(QStringLiteral("Browse For Folder"));

    // The caller's text is shown as it is, never read as markup.
    auto* prompt = new QLabel(text, this);
    prompt->setObjectName(QStringLiteral("BrowseText"));
    prompt->setTextFormat(Qt::PlainText);
    prompt->setWordWrap(true);

    folders_ = new QFileSystemModel(this);
    folders_->setReadOnly(true);
    folders_->setFilter(QDir::AllDirs | QDir::Drives | QDir::Hidden | QDir::NoDotAndDotDot);
    folders_->setRootPath(QDir::rootPath());

    tree_ = new QTreeView(this);
    tree_->setObjectName(QStringLiteral("FolderTree"));
    tree_->setAccessibleName(QStringLiteral("Folders"));
    tree_->setModel(folders_);
    tree_->setHeaderHidden(true);
    for (int column = 1; column < folders_->columnCount(); ++column)
        tree_->hideColumn(column);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setSelectionBehavior(QAbstractItemView::SelectRows);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setObjectName(QStringLiteral("OkButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(tree_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &FolderBrowser::UpdateOkButton);
    // Folders are read in the background; the one to show may arrive later.
    connect(folders_, &QFileSystemModel::directoryLoaded, this, [this] {
        if (!shownFolder_.isEmpty())
            tree_->scrollTo(folders_->index(shownFolder_));
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(tree_, 1);
    layout->addWidget(buttons);
    resize(BrowserWidth, BrowserHeight);

    tree_->expand(folders_->index(QDir::rootPath()));
    ShowFolder(QDir::homePath());
    UpdateOkButton();
}

std::string FolderBrowser::Run()
{
    // The browser has no owner, but an open application-modal window would
    // block it: as that window's transient, it stays reachable without
    // disabling the window that asked.
    if (QWidget* asking = QApplication::activeModalWidget()) {
        winId();
        windowHandle()->setTransientParent(asking->windowHandle());
    }
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    show();
    if (callback_)
        callback_(static_cast<QObject*>(this), BrowseInitializedMessage, 0, data_);
    if (isVisible())
        loop.exec();
    return result() == QDialog::Accepted ? ToAnsi(SelectedFolder()) : std::string();
}

std::intptr_t FolderBrowser::HandleMessage(unsigned message, std::uintptr_t wParam, BrowseParam lParam)
{
    if (message == BrowseSetSelectionMessage && wParam == BrowseSelectionIsPath && lParam != 0)
        SelectFolder(ToQString(reinterpret_cast<const char*>(lParam)));
    return 0;
}

void FolderBrowser::SelectFolder(const QString& path)
{
    const QModelIndex folder = folders_->index(QFileInfo(path).absoluteFilePath());
    if (!folder.isValid() || !folders_->isDir(folder))
        return;
    ShowFolder(folders_->filePath(folder));
    tree_->setCurrentIndex(folder);
}

QString FolderBrowser::SelectedFolder() const
{
    const QModelIndexList rows = tree_->selectionModel()->selectedRows();
    if (rows.isEmpty() || !folders_->isDir(rows.first()))
        return {};
    // "/" for the root, and no trailing slash on any other folder.
    return QDir::cleanPath(folders_->filePath(rows.first()));
}

void FolderBrowser::ShowFolder(const QString& path)
{
    shownFolder_ = path;
    const QModelIndex folder = folders_->index(path);
    for (QModelIndex above = folder.parent(); above.isValid(); above = above.parent())
        tree_->expand(above);
    tree_->scrollTo(folder);
}

void FolderBrowser::UpdateOkButton()
{
    // Only a folder can be confirmed.
    ok_->setEnabled(!SelectedFolder().isEmpty());
}

std::intptr_t SendBrowserMessage(BrowseWindow window, unsigned message, std::uintptr_t wParam, BrowseParam lParam)
{
    auto* browser = qobject_cast<FolderBrowser*>(static_cast<QObject*>(window));
    return browser ? browser->HandleMessage(message, wParam, lParam) : 0;
}

std::string BrowseForFolder(const std::string& text, const std::string& initialFolder)
{
    BrowseInitialFolder = initialFolder;
    FolderBrowser browser(ToQString(text), initialFolder.empty() ? nullptr : &BrowseInitCallback, 0);
    return browser.Run();
}

} // namespace kw
