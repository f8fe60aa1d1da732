// Shared by the picture fuzzers: a Qt application for the readers and fonts,
// and the frames the album asks for.
#pragma once

#include "pictures/PictureDecoders.h"

#include <QGuiApplication>

#include <cstddef>
#include <cstdint>

namespace fuzz {

inline int initialise(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int qtArgc = 1;
    static QGuiApplication application(qtArgc, *argv);
    (void)argc;
    return 0;
}

// The album's frame at its own size and stretched; a small frame too, so the
// crop paths run on small inputs.
inline pictures::Request request(std::size_t which)
{
    using pictures::BitmapTransparency;
    using pictures::Fit;
    switch (which % 3) {
    case 0:
        return { QSize(369, 297), Fit::OwnSize, BitmapTransparency::Opaque };
    case 1:
        return { QSize(369, 297), Fit::Stretch, BitmapTransparency::BottomLeftPixel };
    default:
        return { QSize(7, 5), Fit::OwnSize, BitmapTransparency::BottomLeftPixel };
    }
}

inline QByteArray bytes(const uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

} // namespace fuzz

#define HLR_FUZZ_INITIALISE                                                                                  \
    extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)                                             \
    {                                                                                                        \
        return fuzz::initialise(argc, argv);                                                                 \
    }
