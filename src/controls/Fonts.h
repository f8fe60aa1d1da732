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

// `font` without fallback faces when its own face shows every letter of
// `text`: Qt then does not look the other faces up, a good part of the cost
// of a face's first use. Otherwise `font` as it is, so letters the face lacks
// still come from another.
QFont withoutFallbacksFor(const QFont& font, const QString& text);

} // namespace controls
