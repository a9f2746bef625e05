#include "platform/qt/Pictures.h"

namespace kw {

QPixmap Picture(const char* name)
{
    return QPixmap(QStringLiteral(":/pictures/%1.png").arg(QLatin1String(name)));
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/pictures/kestrelwork-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace kw
