// Fuzzes Windows metafiles: libwmf's SVG output drawn by Qt Svg, as the
// helper huellario-metafile runs them.
#include "FuzzTarget.h"

#include "pictures/metafile/MetafileRender.h"

HLR_FUZZ_INITIALISE

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const QByteArray input = fuzz::bytes(data, size);
    // One frame per input, picked by its length, keeps each run short.
    const pictures::Request request = fuzz::request(size);
    try {
        pictures::metafile::render(input, pictures::metafile::Kind::Windows, &request);
    } catch (const pictures::DecodeError&) {
    }
    return 0;
}
