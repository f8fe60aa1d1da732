// The maker's addresses and the composition of the news sign-up e-mail,
// kept apart from the about window so the text can be checked on its own.
#pragma once

#include <QString>
#include <QStringList>

namespace about {

inline const QString kMakerAddress = QStringLiteral("contacto@huellario.example");
inline const QString kMakerWeb = QStringLiteral("www.huellario.example");
inline const QString kMakerNotice = QStringLiteral("© 2026 Huellario Software");

inline const QString kSignUpSubject = QStringLiteral("Registro Usuarios");
// Line breaks inside the body are written as the mail handler reads them.
inline const QString kLineSeparator = QStringLiteral("%0D%0A");
inline const QString kClosingText
    = QStringLiteral("%0D%0A%0D%0ADeseo que me envíen noticias sobre las nuevas versiones y actualizaciones "
                     "del programa%0D%0Ade Huellario. ");

// The five values a mail is composed from.
struct MailRequest {
    QString recipient;
    QString subject;
    QString copy;
    QString blindCopy;
    QString body;
};

// The lines of the sign-up form the body is made of.
QStringList signUpTemplate();
// The lines joined by kLineSeparator; an empty line leaves only its separator.
QString joinBodyLines(const QStringList& lines);
// The "mailto:" text handed to the shell: the recipient, the fields that are
// not empty, then always the body with the closing text. Nothing is
// percent-encoded here; the shell makes an address of it.
QString composeMail(const MailRequest& request);
// The three lines shown when the shell answers `result` (32 or less) for a
// text of `length` characters.
QString failureMessage(int result, qsizetype length);

} // namespace about
