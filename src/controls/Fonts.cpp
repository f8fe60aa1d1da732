// Font substitutions and the font helper.
#include "controls/Fonts.h"

#include <QStringList>

namespace controls {

void installFontSubstitutions()
{
    // Each face falls back in turn, so a desktop without the first choice still gets a close match.
    QFont::insertSubstitutions(QString::fromLatin1(kSansSerifFace),
        { QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"), QStringLiteral("Sans Serif") });
    QFont::insertSubstitutions(QString::fromLatin1(kTimesFace),
        { QStringLiteral("Liberation Serif"), QStringLiteral("Nimbus Roman"), QStringLiteral("DejaVu Serif"),
            QStringLiteral("Serif") });
    QFont::insertSubstitutions(QString::fromLatin1(kBerlingFace),
        { QStringLiteral("DejaVu Serif"), QStringLiteral("Liberation Serif"), QStringLiteral("Serif") });
}

QFont makeFont(const QString& face, int pixelHeight, bool bold, bool italic)
{
    QFont font(face);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

} // namespace controls
