// The font faces the windows name, and their substitution by the faces found on a Linux desktop.
// installFontSubstitutions() is called once at program start, before any window is built.
#pragma once

#include <QFont>
#include <QString>

namespace controls {

inline constexpr char kSansSerifFace[] = "MS Sans Serif";
inline constexpr char kTimesFace[] = "Times New Roman";
inline constexpr char kBerlingFace[] = "Berling Antiqua";

// Maps the faces above to installed ones: a narrow sans serif (Liberation Sans), Liberation Serif
// (same metrics as Times New Roman) and a serif face. Calling it again does no harm.
void installFontSubstitutions();

// A font of the given face and character height in pixels.
QFont makeFont(const QString& face, int pixelHeight, bool bold = false, bool italic = false);

} // namespace controls
