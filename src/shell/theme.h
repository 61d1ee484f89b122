// The program's look: the flat style with the silver colour scheme.
#pragma once

#include <QPalette>

namespace keldra {

// The silver palette built on the frame colour RGB 198, 197, 215, black text on light faces.
QPalette silver_palette();

// Switches the whole application, including windows made later, to the Fusion style with the
// silver palette. Needs a QApplication.
void apply_silver_theme();

} // namespace keldra
