#include "album/PictureLoaders.h"

#include "platform/ProgramFiles.h"

// Defined by the decoders' objects: present when a program links them, null
// otherwise (then it is looked up in the module).
extern "C" const pictures::Loaders* hlr_pictures_loaders() __attribute__((weak));

namespace album {

namespace {

QString& moduleOverride()
{
    static QString path;
    return path;
}

// The loaders, loading the module at the first call; null and `error` when it cannot be loaded.
const pictures::Loaders* loaders(QString* error)
{
    static const pictures::Loaders* found = hlr_pictures_loaders ? hlr_pictures_loaders() : nullptr;
    if (!found) {
        QFunctionPointer entry = nullptr;
        if (platform::loadProgramModule(picturesModule(), error, "hlr_pictures_loaders", &entry))
            found = reinterpret_cast<const pictures::Loaders* (*)()>(entry)();
    }
    return found;
}

} // namespace

QString picturesModule()
{
    if (!moduleOverride().isEmpty())
        return moduleOverride();
    return platform::programModule(QStringLiteral("huellario-imagenes.so"));
}

void setPicturesModule(const QString& path)
{
    moduleOverride() = path;
}

QImage loadPicture(
    const QString& path, QSize frame, pictures::Fit fit, pictures::BitmapTransparency transparency)
{
    QString error;
    const pictures::Loaders* found = loaders(&error);
    if (!found)
        throw engine::EngineError(
            QStringLiteral("No se pueden mostrar las fotografías: %1. Vuelva a instalar Huellario.")
                .arg(error));
    return found->load(path, frame, fit, transparency);
}

void readAhead(std::vector<pictures::PictureRequest> requests)
{
    QString error;
    if (const pictures::Loaders* found = loaders(&error))
        found->readAhead(std::move(requests));
}

} // namespace album
