// The folder picker on Windows: the shell's own folder browser.

#include "settings/FolderPicker.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <array>

namespace kw {

namespace {

// The shell calls back with its own calling convention; BrowseInitCallback
// keeps the portable one.
int CALLBACK ShellBrowseCallback(HWND window, UINT message, LPARAM parameter, LPARAM data)
{
    return BrowseInitCallback(window, message, parameter, data);
}

// The item list the browser returns; the shell allocated it with its task
// allocator, which must free it.
class ItemList {
public:
    explicit ItemList(PIDLIST_ABSOLUTE items) : items_(items) {}
    ~ItemList() { CoTaskMemFree(items_); }
    ItemList(const ItemList&) = delete;
    ItemList& operator=(const ItemList&) = delete;

    PIDLIST_ABSOLUTE get() const { return items_; }
    explicit operator bool() const { return items_ != nullptr; }

private:
    PIDLIST_ABSOLUTE items_;
};

} // namespace

std::intptr_t SendBrowserMessage(BrowseWindow window, unsigned message, std::uintptr_t wParam, BrowseParam lParam)
{
    return SendMessageA(static_cast<HWND>(window), message, wParam, lParam);
}

// The browser needs COM in apartment mode on the calling thread; Qt's Windows
// platform initialises it so on the GUI thread, where every handler runs.
std::string BrowseForFolder(const std::string& text, const std::string& initialFolder)
{
    BROWSEINFOA info{};  // no owner window, and no root item: the tree starts at the desktop
    BrowseInitialFolder = initialFolder;
    std::array<char, MAX_PATH + 1> path{};
    info.pszDisplayName = path.data();
    info.lpszTitle = text.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = initialFolder.empty() ? nullptr : &ShellBrowseCallback;
    info.lParam = 0;

    const ItemList items(SHBrowseForFolderA(&info));
    if (!items)
        return {};
    if (!SHGetPathFromIDListA(items.get(), path.data()))
        return {};
    return std::string(path.data());
}

} // namespace kw
