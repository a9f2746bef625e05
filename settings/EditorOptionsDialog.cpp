#include "settings/EditorOptionsDialog.h"

#include "platform/qt/Fonts.h"
#include "platform/qt/Pictures.h"

namespace kw {

TForm3* Form3 = nullptr;

TForm3::TForm3()
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Editor Options"));
    setWindowIcon(ProgramIcon());
    setFont(VclFont(MsSansSerif));
    SetClientSize(377, 250);
}

} // namespace kw
