// Picture files for the photo album: bmp, jpg/jpeg, emf, wmf and ico, chosen
// by extension, decoded only as far as a frame of the given size shows them.
#pragma once

#include "engine/EngineError.h"
#include "pictures/PictureTypes.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <vector>

namespace pictures {

// A picture that cannot be shown. Its message is the one the application's
// error handler shows, exactly:
//   "Cannot open file "<path>". <system's reason>"  missing, unreadable, not a file
//   "Unknown picture file extension (.<ext>)"
//   "Bitmap image is not valid" / "Icon image is not valid" /
//   "Metafile is not valid" / "JPEG error #<libjpeg message number>"
//   "La imagen "<path>" es demasiado grande para mostrarla"     over the caps
//   "La imagen "<path>" es demasiado compleja para mostrarla"   JPEG over the scan cap
//   "No se encuentra el programa auxiliar "<path>""              metafile helper missing
class PictureError : public engine::EngineError {
public:
    using engine::EngineError::EngineError;
};

// Loads the picture at `path` for a frame of `frame` pixels (each side 1 to
// PictureLimits::maxFrameSide, else std::invalid_argument):
//  - Fit::Stretch: an image of exactly `frame`;
//  - Fit::OwnSize: the part of the picture at its own size that the frame
//    shows, that is its centre, min(own, frame) on each side. Draw it at
//    ((frame.width() - image.width()) / 2, (frame.height() - image.height()) / 2).
// The format comes from the extension, without regard to case. JPEGs are
// decoded scaled down or cropped, never in full; metafiles are parsed in the
// short-lived helper huellario-metafile beside the program, so a hang or crash
// of the metafile libraries costs only that process. Throws PictureError.
QImage loadPicture(
    const QString& path, QSize frame, Fit fit, BitmapTransparency transparency = BitmapTransparency::Opaque);

// The picture's own size in pixels (metafiles at 96 dots per inch), read from
// its header wherever the format allows, without decoding it. Same errors as
// loadPicture().
QSize pictureSize(const QString& path);

// A picture the album expects to show soon, as loadPicture() would be asked.
struct PictureRequest {
    QString path;
    QSize frame;
    Fit fit = Fit::OwnSize;
    BitmapTransparency transparency = BitmapTransparency::Opaque;

    bool operator==(const PictureRequest&) const = default;
};

// Decodes these pictures in the background, in order, through loadPicture()'s
// own loader, limits and cache, so that showing one of them later is served
// from the cache. Each call replaces the pictures a former call left undone
// and abandons the one being decoded unless it is asked for again. Nothing is
// reported; a failing picture fails when it is shown.
void readAhead(std::vector<PictureRequest> requests);
// Until the background work is done (tests and benchmarks).
void waitForReadAhead();

// What the album uses, as the picture module hands it over: the program
// loads the decoders (and libjpeg) only when the album first shows a picture.
// The module's extern "C" function hlr_pictures_loaders() returns them.
struct Loaders {
    QImage (*load)(const QString& path, QSize frame, Fit fit, BitmapTransparency transparency);
    void (*readAhead)(std::vector<PictureRequest> requests);
};

} // namespace pictures
