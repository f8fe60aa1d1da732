// Fuzzes JPEGs through libjpeg-turbo as the album asks for them: the header,
// the scaled decode of a stretched picture, crop and skip at its own size.
#include "FuzzTarget.h"

HLR_FUZZ_INITIALISE

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const QByteArray input = fuzz::bytes(data, size);
    try {
        pictures::jpegSize(input);
    } catch (const pictures::DecodeError&) {
    }
    for (std::size_t which = 0; which < 3; ++which) {
        try {
            pictures::decodeJpeg(input, fuzz::request(which));
        } catch (const pictures::DecodeError&) {
        }
    }
    return 0;
}
