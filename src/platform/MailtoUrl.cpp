#include "platform/MailtoUrl.h"

#include <QStringList>

namespace platform {

namespace {

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// The characters a mail address or a header field may hold as they are.
bool keptAsIs(char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return true;
    switch (c) {
    case '-':
    case '.':
    case '_':
    case '~':
    case '!':
    case '$':
    case '\'':
    case '(':
    case ')':
    case '*':
    case ',':
    case ';':
    case ':':
    case '@':
        return true;
    default:
        return false;
    }
}

QByteArray encodePart(const QString& part)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    const QByteArray bytes = part.toUtf8();
    QByteArray out;
    out.reserve(bytes.size() * 3);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        // An escape already in the text (the body's "%0D%0A") is kept.
        if (c == '%' && i + 2 < bytes.size() && isHexDigit(bytes[i + 1]) && isHexDigit(bytes[i + 2])) {
            out += bytes.mid(i, 3);
            i += 2;
        } else if (keptAsIs(c)) {
            out += c;
        } else {
            const auto byte = static_cast<unsigned char>(c);
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 0x0F];
        }
    }
    return out;
}

} // namespace

QByteArray mailtoUrl(const QString& text)
{
    static const QString scheme = QStringLiteral("mailto:");
    const QString rest = text.startsWith(scheme, Qt::CaseInsensitive) ? text.mid(scheme.size()) : text;
    const qsizetype question = rest.indexOf(QLatin1Char('?'));
    QByteArray url = "mailto:" + encodePart(rest.left(question));
    if (question < 0)
        return url;
    url += '?';
    const QStringList fields = rest.mid(question + 1).split(QLatin1Char('&'));
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            url += '&';
        const qsizetype equals = fields[i].indexOf(QLatin1Char('='));
        url += encodePart(fields[i].left(equals));
        if (equals >= 0)
            url += '=' + encodePart(fields[i].mid(equals + 1));
    }
    return url;
}

QString mailtoAddress(const QString& address)
{
    QString text = QStringLiteral("mailto:");
    for (const QChar c : address) {
        switch (c.unicode()) {
        case '?':
        case '&':
        case '=':
        case '#':
        case '%':
            text += QStringLiteral("%%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
            break;
        default:
            text += c;
        }
    }
    return text;
}

} // namespace platform
