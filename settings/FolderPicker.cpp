#include "settings/FolderPicker.h"

namespace kw {

std::string BrowseInitialFolder;

int BrowseInitCallback(BrowseWindow window, unsigned message, BrowseParam, BrowseParam)
{
    if (message == BrowseInitializedMessage) {
        SendBrowserMessage(window, BrowseSetSelectionMessage, BrowseSelectionIsPath,
                           reinterpret_cast<BrowseParam>(BrowseInitialFolder.c_str()));
    }
    return 0;
}

} // namespace kw
