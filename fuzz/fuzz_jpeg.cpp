// Fuzzes JPEGs through libjpeg-turbo: header, scaled decode, crop and skip.
#include "FuzzTarget.h"

HLR_FUZZ_INITIALISE

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const QByteArray input = fuzz::bytes(data, size);
    try {
        platform::pictures::jpegSize(input);
    } catch (const platform::pictures::DecodeError&) {
    }
    for (std::size_t which = 0; which < 3; ++which) {
        try {
            platform::pictures::decodeJpeg(input, fuzz::request(which));
        } catch (const platform::pictures::DecodeError&) {
        }
    }
    return 0;
}
