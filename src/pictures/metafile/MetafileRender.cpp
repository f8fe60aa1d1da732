#include "pictures/metafile/MetafileRender.h"

#include <QColor>
#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>

#include <cmath>
#include <cstdlib>
#include <memory>

#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/ipa.h>
#include <libwmf/macro.h>
#include <libwmf/svg.h>

namespace pictures::metafile {

namespace {

using pictures::DecodeError;
using pictures::Failure;

struct Svg {
    QByteArray text;
    QSize own;
};

[[noreturn]] void notValid()
{
    throw DecodeError { Failure::NotValid, 0 };
}

// Hundredths of a millimetre to pixels at 96 dots per inch.
int pixelsFromFrame(qint64 hundredths)
{
    return int(std::llround(double(hundredths) * 96.0 / 2540.0));
}

// The own size comes from the header's frame rectangle, as on the desktop the
// files were made on.
QSize enhancedSize(const QByteArray& data)
{
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    if (data.size() < 88 || qFromLittleEndian<quint32>(bytes) != 1
        || qFromLittleEndian<quint32>(bytes + 40) != 0x464D4520u)
        notValid();
    const auto value = [bytes](int offset) { return qint64(qFromLittleEndian<qint32>(bytes + offset)); };
    const qint64 width = value(32) - value(24);
    const qint64 height = value(36) - value(28);
    if (width <= 0 || height <= 0 || width > 100'000'000 || height > 100'000'000)
        notValid();
    return QSize(std::max(1, pixelsFromFrame(width)), std::max(1, pixelsFromFrame(height)));
}

// libemf2svg trusts the sizes and offsets in the file: the framing of the
// records and the header's own offsets are checked here first.
void checkEnhancedFraming(const QByteArray& data)
{
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    const qint64 size = data.size();
    const auto u32 = [bytes](qint64 offset) { return qint64(qFromLittleEndian<quint32>(bytes + offset)); };
    const qint64 headerSize = u32(4);
    if (headerSize < 88 || headerSize > size || headerSize % 4 != 0)
        notValid();
    const auto inside = [headerSize](qint64 offset, qint64 length) {
        return length == 0 || (offset >= 88 && offset + length <= headerSize);
    };
    if (!inside(u32(64), 2 * u32(60)))
        notValid();
    if (headerSize >= 100 && !inside(u32(92), u32(88)))
        notValid();
    for (qint64 at = 0; at + 8 <= size;) {
        const qint64 type = u32(at);
        const qint64 length = u32(at + 4);
        if (length < 8 || length % 4 != 0 || at + length > size)
            notValid();
        if (type == 14) // EMR_EOF
            return;
        at += length;
    }
    notValid();
}

Svg enhancedToSvg(const QByteArray& data, bool wantSvg)
{
    Svg result { {}, enhancedSize(data) };
    checkEnhancedFraming(data);
    pictures::checkOwnSize(result.own);
    if (!wantSvg)
        return result;
    QByteArray copy = data;
    // Without a length libemf2svg reads the description up to a terminator
    // that may lie past the end of the file; an empty one has no offset.
    if (qFromLittleEndian<quint32>(copy.constData() + 60) == 0)
        qToLittleEndian<quint32>(0, copy.data() + 64);
    char nameSpace[] = "";
    generatorOptions options {};
    options.nameSpace = nameSpace;
    options.verbose = false;
    options.emfplus = true;
    options.svgDelimiter = true;
    char* out = nullptr;
    size_t length = 0;
    const int ok = emf2svg(copy.data(), size_t(copy.size()), &out, &length, &options);
    const std::unique_ptr<char, decltype(&std::free)> owner(out, &std::free);
    if (!ok || !out || length == 0)
        notValid();
    result.text = QByteArray(out, qsizetype(length));
    return result;
}

// libwmf's SVG layer writes every colour as the nearest of the 147 SVG colour
// names, so (123,45,67) comes out sienna; and it fills at half opacity once
// the background mode is transparent, which in Windows only concerns hatches
// and text. Its drawing calls are wrapped: the text each one writes gets the
// device context's own colours back, solid fills opaque.
wmfFunctionReference svgLayer {};

QByteArray& svgText(wmfAPI* api)
{
    return *static_cast<QByteArray*>(WMF_SVG_GetData(api)->out->context);
}

int appendText(char* text, void* context)
{
    static_cast<QByteArray*>(context)->append(text);
    return 0;
}

int clearText(void* context)
{
    static_cast<QByteArray*>(context)->clear();
    return 0;
}

QByteArray hexColour(const wmfRGB& colour)
{
    return QColor(colour.r, colour.g, colour.b).name().toLatin1();
}

// In the text written from `from` on, the values of `property` ("fill:" or
// "stroke:") other than none become `colour`.
void restoreColour(QByteArray& text, qsizetype from, const QByteArray& property, const wmfRGB* colour)
{
    if (!colour)
        return;
    const QByteArray value = hexColour(*colour);
    for (qsizetype at = text.indexOf(property, from); at >= 0; at = text.indexOf(property, at + 1)) {
        const qsizetype start = at + property.size();
        qsizetype end = start;
        while (end < text.size() && text[end] != ';' && text[end] != '"')
            ++end;
        const QByteArray old = text.mid(start, end - start).trimmed();
        if (old != "none" && !old.startsWith("url("))
            text.replace(start, end - start, value);
    }
}

void restoreColours(wmfAPI* api, qsizetype from, const wmfRGB* fill, const wmfRGB* stroke)
{
    QByteArray& text = svgText(api);
    restoreColour(text, from, "fill:", fill);
    restoreColour(text, from, "stroke:", stroke);
    for (qsizetype at = text.indexOf("fill-opacity:0.5", from); at >= 0;
         at = text.indexOf("fill-opacity:0.5", at))
        text.replace(at, 16, "fill-opacity:1.0");
}

// A shape: filled with the brush, outlined with the pen.
template <auto Slot, typename Arguments> void shape(wmfAPI* api, Arguments* arguments)
{
    const qsizetype from = svgText(api).size();
    (svgLayer.*Slot)(api, arguments);
    wmfDC* dc = arguments->dc;
    restoreColours(api, from, dc && dc->brush ? WMF_BRUSH_COLOR(dc->brush) : nullptr,
        dc && dc->pen ? WMF_PEN_COLOR(dc->pen) : nullptr);
}

void pixel(wmfAPI* api, wmfDrawPixel_t* arguments)
{
    const qsizetype from = svgText(api).size();
    svgLayer.draw_pixel(api, arguments);
    restoreColours(api, from, &arguments->color, &arguments->color);
}

void text(wmfAPI* api, wmfDrawText_t* arguments)
{
    const qsizetype from = svgText(api).size();
    svgLayer.draw_text(api, arguments);
    restoreColours(api, from, arguments->dc ? WMF_DC_TEXTCOLOR(arguments->dc) : nullptr, nullptr);
}

void svgWithOwnColours(wmfAPI* api)
{
    wmf_svg_function(api);
    auto* layer = static_cast<wmfFunctionReference*>(api->function_reference);
    if (!layer || !layer->draw_rectangle)
        return;
    svgLayer = *layer;
    layer->draw_pixel = pixel;
    layer->draw_text = text;
    layer->draw_pie = shape<&wmfFunctionReference::draw_pie, wmfDrawArc_t>;
    layer->draw_chord = shape<&wmfFunctionReference::draw_chord, wmfDrawArc_t>;
    layer->draw_arc = shape<&wmfFunctionReference::draw_arc, wmfDrawArc_t>;
    layer->draw_ellipse = shape<&wmfFunctionReference::draw_ellipse, wmfDrawArc_t>;
    layer->draw_line = shape<&wmfFunctionReference::draw_line, wmfDrawLine_t>;
    layer->poly_line = shape<&wmfFunctionReference::poly_line, wmfPolyLine_t>;
    layer->draw_polygon = shape<&wmfFunctionReference::draw_polygon, wmfPolyLine_t>;
    layer->draw_polypolygon = shape<&wmfFunctionReference::draw_polypolygon, wmfPolyPoly_t>;
    layer->draw_rectangle = shape<&wmfFunctionReference::draw_rectangle, wmfDrawRectangle_t>;
    layer->region_frame = shape<&wmfFunctionReference::region_frame, wmfPolyRectangle_t>;
    layer->region_paint = shape<&wmfFunctionReference::region_paint, wmfPolyRectangle_t>;
}

// libwmf tracks its own allocations and frees them with the API.
struct WmfApi {
    wmfAPI* api = nullptr;
    ~WmfApi()
    {
        if (api)
            wmf_api_destroy(api);
    }
};

Svg windowsToSvg(const QByteArray& data, bool wantSvg)
{
    wmfAPI_Options options {};
    options.function = svgWithOwnColours;
    const unsigned long flags
        = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    WmfApi wmf;
    if (wmf_api_create(&wmf.api, flags, &options) != wmf_E_None)
        notValid();
    QByteArray copy = data;
    if (wmf_mem_open(wmf.api, reinterpret_cast<unsigned char*>(copy.data()), long(copy.size())) != wmf_E_None)
        notValid();
    wmfD_Rect bounds {};
    if (wmf_scan(wmf.api, 0, &bounds) != wmf_E_None)
        notValid();
    unsigned int width = 0;
    unsigned int height = 0;
    if (wmf_display_size(wmf.api, &width, &height, 96, 96) != wmf_E_None || width == 0 || height == 0
        || width > unsigned(PictureLimits::maxSide) || height > unsigned(PictureLimits::maxSide))
        throw DecodeError { width == 0 || height == 0 ? Failure::NotValid : Failure::TooLarge, 0 };
    Svg result { {}, QSize(int(width), int(height)) };
    pictures::checkOwnSize(result.own);
    if (!wantSvg)
        return result;
    wmf_svg_t* device = WMF_SVG_GetData(wmf.api);
    device->bbox = bounds;
    device->width = width;
    device->height = height;
    device->flags |= WMF_SVG_INLINE_IMAGES;
    wmfStream stream { &result.text, appendText, clearText };
    device->out = &stream;
    const wmf_error_t played = wmf_play(wmf.api, 0, &bounds);
    device->out = nullptr;
    if (played != wmf_E_None || result.text.isEmpty())
        notValid();
    return result;
}

} // namespace

Rendered render(const QByteArray& data, Kind kind, const pictures::Request* request)
{
    const Svg svg = kind == Kind::Enhanced ? enhancedToSvg(data, request) : windowsToSvg(data, request);
    Rendered result { svg.own, {} };
    if (!request)
        return result;
    QSvgRenderer renderer(svg.text);
    if (!renderer.isValid())
        notValid();
    const QRect part = request->fit == Fit::Stretch ? QRect(QPoint(0, 0), request->frame)
                                                    : pictures::visiblePart(svg.own, request->frame);
    QImage image(part.size(), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        throw DecodeError { Failure::TooLarge, 0 };
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        if (request->fit == Fit::Stretch)
            renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(request->frame)));
        else
            renderer.render(&painter, QRectF(QPointF(-part.x(), -part.y()), QSizeF(svg.own)));
    }
    result.image = std::move(image);
    return result;
}

} // namespace pictures::metafile
