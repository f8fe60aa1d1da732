#include "platform/WebUrl.h"

namespace platform {

namespace {

bool isAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
        || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Letters, digits, "+", "-" and ".", beginning with a letter.
bool isSchemeName(const QString& name)
{
    if (name.isEmpty() || !isAsciiLetter(name.front()))
        return false;
    for (QChar c : name) {
        if (!isAsciiLetter(c) && !isAsciiDigit(c) && c != QLatin1Char('+') && c != QLatin1Char('-')
            && c != QLatin1Char('.'))
            return false;
    }
    return true;
}

bool isPort(QStringView digits)
{
    if (digits.isEmpty() || digits.size() > 5)
        return false;
    for (QChar c : digits) {
        if (!isAsciiDigit(c))
            return false;
    }
    return true;
}

// Where the host and port of an address without a scheme end.
qsizetype authorityEnd(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('/') || c == QLatin1Char('?') || c == QLatin1Char('#'))
            return i;
    }
    return text.size();
}

// "host" or "host:port", the host a dotted name (letters of any script, so
// that accented names work) or "localhost". A path ("./x", "~/x", "/x")
// never passes, nor does "user@host".
bool isHostAndPort(QStringView authority)
{
    const qsizetype colon = authority.indexOf(QLatin1Char(':'));
    const QStringView host = colon < 0 ? authority : authority.left(colon);
    if (colon >= 0 && !isPort(authority.mid(colon + 1)))
        return false;
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    bool dotted = false;
    QChar previous = QLatin1Char('.');
    for (QChar c : host) {
        if (c == QLatin1Char('.')) {
            if (previous == QLatin1Char('.') || previous == QLatin1Char('-'))
                return false;
            dotted = true;
        } else if (c == QLatin1Char('-')) {
            if (previous == QLatin1Char('.'))
                return false;
        } else if (!c.isLetterOrNumber()) {
            return false;
        }
        previous = c;
    }
    return dotted;
}

bool hasForbiddenCharacter(const QString& text)
{
    for (QChar c : text) {
        if (c.isSpace() || c.unicode() < 0x20 || c.category() == QChar::Other_Control
            || c.category() == QChar::Other_Format || c == QLatin1Char('\\'))
            return true;
    }
    return false;
}

} // namespace

QUrl webUrlFor(const QString& text)
{
    if (text.isEmpty() || hasForbiddenCharacter(text))
        return {};
    QString address = text;
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    const QString scheme = colon > 0 ? text.left(colon) : QString();
    // "www.clinica.es:8080" names a host and a port, not a scheme.
    const bool hasScheme = isSchemeName(scheme)
        && !isPort(QStringView(text).mid(colon + 1, authorityEnd(text.mid(colon + 1))));
    if (hasScheme) {
        if (scheme.compare(QLatin1String("http"), Qt::CaseInsensitive) != 0
            && scheme.compare(QLatin1String("https"), Qt::CaseInsensitive) != 0)
            return {};
    } else {
        if (!isHostAndPort(QStringView(text).left(authorityEnd(text))))
            return {};
        address = QStringLiteral("http://") + text;
    }
    const QUrl url(address, QUrl::TolerantMode);
    if (!url.isValid() || url.host().isEmpty())
        return {};
    return url;
}

} // namespace platform
