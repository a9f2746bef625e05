#include "platform/qt/Fonts.h"

#include <QFile>
#include <QFontDatabase>

#include <cmath>

namespace kw {

void LoadSystemFonts()
{
    for (const char* file : {"/usr/share/wine/fonts/ms_sans_serif.ttf", "/usr/share/wine/fonts/tahoma.ttf"}) {
        if (QFile::exists(QString::fromLatin1(file)))
            QFontDatabase::addApplicationFont(QString::fromLatin1(file));
    }
}

QFont VclFont(const char* family, int points)
{
    QFont font(QString::fromLatin1(family));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
    return font;
}

} // namespace kw
