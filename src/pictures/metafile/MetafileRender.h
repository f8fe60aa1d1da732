// Metafiles drawn the way the album shows them: emf through libemf2svg, wmf
// through libwmf, both as SVG drawn by Qt Svg. Runs inside huellario-metafile
// (and the fuzzers), never inside the program itself.
#pragma once

#include "pictures/PictureDecoders.h"

namespace pictures::metafile {

enum class Kind { Enhanced, Windows };

struct Rendered {
    QSize own; // the metafile's own size in pixels at 96 dots per inch
    QImage image; // what the frame shows; empty when only the size was asked
};

// Throws pictures::DecodeError. A null `request` asks for the size only.
Rendered render(const QByteArray& data, Kind kind, const pictures::Request* request);

} // namespace pictures::metafile
