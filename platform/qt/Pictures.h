#pragma once
// The program's pictures, compiled into it from the SVG sources in resources/.

#include <QIcon>
#include <QPixmap>

namespace kw {

// A picture by name ("open", "console", "banner", ...), at its designed size.
QPixmap Picture(const char* name);

// The program icon at 16, 32 and 48 pixels.
QIcon ProgramIcon();

} // namespace kw
