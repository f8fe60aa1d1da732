// Which web texts from the tables the desktop may open, and as what address.
// A text of the owner's is opened in the web browser or not at all: never as
// a file, a program or an address of another kind.
#pragma once

#include <QString>
#include <QUrl>

namespace platform {

// The address `text` stands for: an http or https address as it is; a text
// without a scheme that begins with a host name ("www.clinica.es",
// "clinica.es/citas", "localhost:8080") as an http address. Anything else
// gives an invalid URL and is never opened: another scheme (file:,
// javascript:, data:, ...), a path, an empty text, a text with blanks,
// control characters or backslashes, an address without a host.
QUrl webUrlFor(const QString& text);

} // namespace platform
