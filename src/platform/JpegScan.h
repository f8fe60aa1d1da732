// Our own reading of a plain baseline JPEG's entropy-coded data, for the two
// things the album needs from a large photograph that libjpeg-turbo can only
// give after Huffman-decoding every block of it: the picture at an eighth of
// its size (each block's DC term alone) and the coefficients of one region.
// Anything else (progressive, arithmetic, CMYK, corrupt or truncated data) is
// declined, and the caller decodes the file through libjpeg-turbo instead.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace platform::pictures::jpegscan {

// The picture at an eighth of its size, each side rounded up, with the pixels
// libjpeg-turbo gives at that scale; declined unless the file is one the scan
// reads.
std::optional<QImage> eighthScale(const QByteArray& data);

// The quantised coefficients of whole MCUs around a region of the picture, in
// libjpeg's block layout (natural order), ready to be written out as a small
// JPEG of their own.
struct Region {
    struct Plane {
        int h = 1;
        int v = 1;
        int quantTable = 0;
        int blocksWide = 0; // of this region, whole MCUs
        int blocksHigh = 0;
        std::vector<int16_t> coefficients; // 64 per block, rows of blocks
    };
    QRect pixels; // the region's place in the picture
    std::vector<Plane> planes; // one per component: 1 (grey) or 3 (YCbCr)
    std::array<std::array<uint16_t, 64>, 4> quant {}; // natural order
};

// The region of whole MCUs covering `wanted` with at least `margin` pixels
// more on each side where the picture has them; declined like eighthScale().
// Only the MCU rows down to the region's last are decoded.
std::optional<Region> region(const QByteArray& data, QRect wanted, int margin);

// How many threads one picture is read with. 0, the default: one per
// processor, at most four, and only for data large enough to gain from them;
// a test sets a number to have it used whatever the size.
void setThreads(int threads);

} // namespace platform::pictures::jpegscan
