// The form in which a "mailto:" text reaches the desktop's mail handler.
// Windows compose such texts unencoded, with spaces, accents and "%0D%0A"
// for line breaks; a valid address needs everything else percent-encoded.
#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The text as a fully encoded "mailto:" address (UTF-8). The first "?"
// opens the header fields, "&" separates them and the first "=" of each
// ends its name; those stay as they are, and so does every "%" followed by
// two hexadecimal digits. Every other character that an address cannot
// hold is percent-encoded, "+" too, since some mail programs read it as a blank.
QByteArray mailtoUrl(const QString& text);

// A "mailto:" text for a stored address and nothing else: the characters that
// would open or separate header fields, or start an escape (? & = # %), are
// percent-encoded, so an address can never add recipients or attachments.
QString mailtoAddress(const QString& address);

} // namespace platform
