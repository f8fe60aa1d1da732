#include "about/SignUpMail.h"

namespace about {

QStringList signUpTemplate()
{
    // The blanks in front line the colons up in a proportional font.
    return {
        QStringLiteral("Cumplimente los siguientes campos."),
        QString(),
        QStringLiteral("           * Nombre y Apellidos :"),
        QString(),
        QStringLiteral("            * Correo Electrónico :"),
        QString(),
        QStringLiteral("                                Ciudad :"),
        QString(),
        QStringLiteral("                            Provincia :"),
        QString(),
        QStringLiteral(" Como conoció el programa :"),
        QString(),
        QStringLiteral("                        Comentarios :"),
        QString(),
        QString(),
        QString(),
        QStringLiteral("* Campos Obligatorios."),
    };
}

QString joinBodyLines(const QStringList& lines)
{
    return lines.join(kLineSeparator);
}

QString composeMail(const MailRequest& request)
{
    QString text = QStringLiteral("mailto:") + request.recipient;
    // The first field after the recipient opens with "?", every later one with "&".
    bool first = true;
    const auto addField = [&text, &first](const QString& name, const QString& value) {
        text += (first ? QLatin1Char('?') : QLatin1Char('&')) + name + QLatin1Char('=') + value;
        first = false;
    };
    if (!request.subject.isEmpty())
        addField(QStringLiteral("Subject"), request.subject);
    if (!request.copy.isEmpty())
        addField(QStringLiteral("cc"), request.copy);
    if (!request.blindCopy.isEmpty())
        addField(QStringLiteral("bcc"), request.blindCopy);
    addField(QStringLiteral("body"), request.body + kClosingText);
    return text;
}

QString failureMessage(int result, qsizetype length)
{
    return QStringLiteral("Error Num %1 en ShellExecute.").arg(result) + QLatin1Char('\r')
        + QStringLiteral("No se ha podido abrir el programa de correo; consulte la ayuda (tecla F1) "
                         "para saber cómo resolverlo.")
        + QLatin1Char('\r') + QStringLiteral("lenght(mail) =  %1").arg(length);
}

} // namespace about
