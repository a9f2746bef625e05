#pragma once
// The two fonts the windows are designed in. Debian's fonts-wine carries
// metric-compatible versions of both; without them the system's sans font
// stands in.

#include <QFont>

namespace kw {

inline constexpr const char* MsSansSerif = "MS Sans Serif";
inline constexpr const char* Tahoma = "Tahoma";

// Registers the fonts with Qt; once, before any window is made.
void LoadSystemFonts();

// A font of `points` points at 96 pixels per inch (8 points: 11 pixels high).
QFont VclFont(const char* family, int points = 8);

} // namespace kw
