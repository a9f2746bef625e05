#pragma once
// uBrowseForFolder: asks the user for a folder with the shell's folder
// browser (on POSIX, our own browser in its place). The browser has no owner
// window, so the window that asked stays usable while it is open.

#include <cstdint>
#include <string>

namespace kw {

// The shell's types for the browser callback: a window handle (HWND) and a
// message parameter (LPARAM). On POSIX the handle is our browser window.
using BrowseWindow = void*;
using BrowseParam = std::intptr_t;
using BrowseCallback = int (*)(BrowseWindow window, unsigned message, BrowseParam parameter, BrowseParam data);

// The browser's messages that the callback uses.
inline constexpr unsigned BrowseInitializedMessage = 1;     // BFFM_INITIALIZED
inline constexpr unsigned BrowseSetSelectionMessage = 0x466; // BFFM_SETSELECTIONA
inline constexpr std::uintptr_t BrowseSelectionIsPath = 1;  // its wParam: lParam is a path string

// The initial folder of the latest call, empty or not; the callback reads it.
extern std::string BrowseInitialFolder;

// On initialisation, selects and shows BrowseInitialFolder in the browser;
// every other message is ignored. Returns 0 in every case.
int BrowseInitCallback(BrowseWindow window, unsigned message, BrowseParam parameter, BrowseParam data);

// Sends a message to an open browser (SendMessageA on Windows).
std::intptr_t SendBrowserMessage(BrowseWindow window, unsigned message, std::uintptr_t wParam, BrowseParam lParam);

// Shows the browser with `text` above the folder tree and returns the chosen
// folder's full path, or "" when the user cancelled or the item has no
// file-system path. A non-empty `initialFolder` is selected when the browser opens.
std::string BrowseForFolder(const std::string& text, const std::string& initialFolder);

} // namespace kw
