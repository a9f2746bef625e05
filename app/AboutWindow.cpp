#include "app/AboutWindow.h"

#include "platform/qt/Fonts.h"
#include "platform/qt/Pictures.h"

namespace kw {

TForm4* Form4 = nullptr;

TForm4::TForm4()
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("About..."));
    setWindowIcon(ProgramIcon());
    setFont(VclFont(MsSansSerif));
    SetClientSize(483, 222);
}

} // namespace kw
