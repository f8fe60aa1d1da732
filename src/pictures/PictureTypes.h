// The words shared by the picture loader, its decoders and the metafile
// helper: how a picture fills its frame, and the limits against hostile files.
#pragma once

#include <QtGlobal>

namespace pictures {

// How a picture fills its frame.
enum class Fit {
    // At its own size, centred, cut at the frame's edges.
    OwnSize,
    // Stretched to fill the frame exactly, proportions not kept.
    Stretch,
};

// Whether a bitmap's pixels of the colour of its bottom-left pixel come out
// transparent, as in a picture area that lets what lies behind it show
// through. Icons and metafiles carry their own transparency; JPEGs have none.
enum class BitmapTransparency { Opaque, BottomLeftPixel };

// Limits against hostile files; a picture beyond them is refused as too
// large (the first five) or, for a metafile that runs too long, as not valid.
struct PictureLimits {
    static constexpr qint64 maxFileBytes = qint64(256) * 1024 * 1024;
    static constexpr int maxSide = 65500; // each side, in pixels, of the picture's own size
    static constexpr qint64 maxPixels = 100'000'000; // own width × height of a picture decoded whole
    // What one JPEG may decode: it is read only at the scale or in the part
    // the frame needs (an eighth of a 200-megapixel photograph is 3 million).
    static constexpr qint64 maxDecodedPixels = qint64(4096) * 4096;
    static constexpr int maxAllocationMiB = 512; // decoder memory for one picture
    static constexpr int maxFrameSide = 4096; // frames larger than this are a caller's mistake
    static constexpr int maxJpegScans = 500; // progressive JPEG scans
    static constexpr int metafileMilliseconds = 5000; // wall time of the metafile helper
};

} // namespace pictures
