#pragma once

#include <QFont>

// The program's face at a character height in pixels: Tahoma where it is
// installed, else a sans face of similar width.
QFont UiFont(int pixelSize, bool bold = false);
