#include "settings/CompilerOptionsDialog.h"

#include "platform/qt/Fonts.h"
#include "platform/qt/Pictures.h"

namespace kw {

TForm2* Form2 = nullptr;

TForm2::TForm2()
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Compiler Options"));
    setWindowIcon(ProgramIcon());
    setFont(VclFont(MsSansSerif));
    SetClientSize(435, 327);
}

} // namespace kw
