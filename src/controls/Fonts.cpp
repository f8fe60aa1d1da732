// Font substitutions and the font helper.
#include "controls/Fonts.h"

#include <QFontMetrics>
#include <QStringList>

namespace controls {

void installFontSubstitutions()
{
    // Each face falls back in turn, so a desktop without the first choice still gets a close match.
    // Liberation Sans comes first for the windows' small font: it is as narrow as the face the
    // boxes were sized for, where DejaVu Sans cuts a date off in its 73-pixel box.
    QFont::insertSubstitutions(QString::fromLatin1(kSansSerifFace),
        { QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif") });
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

QFont withoutFallbacksFor(const QFont& font, const QString& text)
{
    QFont single = font;
    single.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::NoFontMerging));
    const QFontMetrics metrics(single);
    for (const char32_t letter : text.toUcs4()) {
        if (!metrics.inFontUcs4(letter))
            return font;
    }
    return single;
}

} // namespace controls
