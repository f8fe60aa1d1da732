// Fuzzes bitmaps, through Qt's reader behind our header checks.
#include "FuzzTarget.h"

HLR_FUZZ_INITIALISE

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const QByteArray input = fuzz::bytes(data, size);
    try {
        pictures::bitmapSize(input);
    } catch (const pictures::DecodeError&) {
    }
    for (std::size_t which = 0; which < 3; ++which) {
        try {
            pictures::decodeBitmap(input, fuzz::request(which));
        } catch (const pictures::DecodeError&) {
        }
    }
    return 0;
}
