// Fuzzes JPEGs through libjpeg-turbo (header, scaled decode, crop and skip)
// and through our own reading of baseline files, with one and with three
// threads, at sizes small enough that every input reaches it.
#include "FuzzTarget.h"

#include "platform/JpegScan.h"

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
    // The scan's own limits are the header's: it runs only after libjpeg-turbo
    // has read a header within the caps.
    try {
        if (platform::pictures::jpegSize(input).isValid()) {
            for (const int threads : { 1, 3 }) {
                platform::pictures::jpegscan::setThreads(threads);
                platform::pictures::jpegscan::eighthScale(input);
                platform::pictures::jpegscan::region(input, QRect(3, 5, 40, 30), 16);
            }
            platform::pictures::jpegscan::setThreads(0);
        }
    } catch (const platform::pictures::DecodeError&) {
    }
    return 0;
}
