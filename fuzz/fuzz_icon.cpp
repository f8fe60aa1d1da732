// Fuzzes icon files: our directory parse and choice, then Qt's reader.
#include "FuzzTarget.h"

HLR_FUZZ_INITIALISE

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const QByteArray input = fuzz::bytes(data, size);
    try {
        pictures::iconSize(input);
    } catch (const pictures::DecodeError&) {
    }
    for (std::size_t which = 0; which < 3; ++which) {
        try {
            pictures::decodeIcon(input, fuzz::request(which));
        } catch (const pictures::DecodeError&) {
        }
    }
    return 0;
}
