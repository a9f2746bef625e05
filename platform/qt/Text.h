#pragma once
// The system keeps every string as bytes in the ANSI code page, which is
// UTF-8 on POSIX and the user's code page on Windows; Qt wants QString.

#include <QString>
#include <string>

namespace kw {

inline QString ToQString(const std::string& ansi)
{
    return QString::fromLocal8Bit(ansi.data(), static_cast<qsizetype>(ansi.size()));
}

inline std::string ToAnsi(const QString& text)
{
    return text.toLocal8Bit().toStdString();
}

} // namespace kw
