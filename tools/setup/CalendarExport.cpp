#include "CalendarExport.h"

#include "engine/AliasRegistry.h"
#include "engine/EngineError.h"

#include <QCryptographicHash>
#include <QDir>
#include <QSaveFile>
#include <map>

namespace setup {

namespace {

constexpr int kLineOctets = 75;

QByteArray dateValue(const QDate& date)
{
    return date.toString(QStringLiteral("yyyyMMdd")).toLatin1();
}

bool isUtf8Continuation(char c)
{
    return (uchar(c) & 0xC0) == 0x80;
}

} // namespace

QString calendarText(const QString& text)
{
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QString escaped;
    escaped.reserve(lines.size());
    for (const QChar c : lines) {
        if (c == QLatin1Char('\\') || c == QLatin1Char(';') || c == QLatin1Char(','))
            escaped += QLatin1Char('\\') + c;
        else if (c == QLatin1Char('\n'))
            escaped += QLatin1String("\\n");
        else
            escaped += c;
    }
    return escaped;
}

QByteArray foldedLine(const QByteArray& line)
{
    QByteArray folded;
    qsizetype from = 0;
    int room = kLineOctets;
    while (line.size() - from > room) {
        qsizetype cut = from + room;
        while (cut > from && isUtf8Continuation(line[cut]))
            --cut;
        if (cut == from) // not UTF-8 after all: cut where the line is full
            cut = from + room;
        folded += line.mid(from, cut - from) + "\r\n ";
        from = cut;
        room = kLineOctets - 1; // the blank that starts the next line counts
    }
    folded += line.mid(from) + "\r\n";
    return folded;
}

Calendar calendarOf(const std::vector<data::StoredReminder>& reminders, const QDateTime& stamp)
{
    Calendar calendar;
    QByteArray& out = calendar.text;
    const auto put = [&out](const QByteArray& line) { out += foldedLine(line); };
    put("BEGIN:VCALENDAR");
    put("VERSION:2.0");
    put("PRODID:-//Huellario//Avisos y Recordatorios//ES");
    put("CALSCALE:GREGORIAN");
    put("METHOD:PUBLISH");
    put("X-WR-CALNAME:" + calendarText(QStringLiteral("Avisos de Huellario")).toUtf8());
    const QByteArray dtstamp = stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toLatin1();
    // Identical reminders get a number each, in the order they are stored.
    std::map<QByteArray, int> seen;
    for (const data::StoredReminder& r : reminders) {
        // A calendar event needs both days; such a reminder is never due
        // without its last day, and an empty first day means no day at all.
        if (!r.start.isValid() || !r.end.isValid() || r.end < r.start) {
            ++calendar.skipped;
            continue;
        }
        const QByteArray key = dateValue(r.start) + '|' + dateValue(r.end) + '|' + r.description.toUtf8();
        const int copy = ++seen[key];
        QByteArray uid = QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex();
        if (copy > 1)
            uid += '-' + QByteArray::number(copy);
        put("BEGIN:VEVENT");
        put("UID:" + uid + "@huellario");
        put("DTSTAMP:" + dtstamp);
        put("DTSTART;VALUE=DATE:" + dateValue(r.start));
        // The end of an all-day event is the day after its last.
        put("DTEND;VALUE=DATE:" + dateValue(r.end.addDays(1)));
        if (!r.description.isEmpty())
            put("SUMMARY:" + calendarText(r.description).toUtf8());
        QStringList remarks;
        for (const QString& remark : { r.remark1, r.remark2 })
            if (!remark.isEmpty())
                remarks << remark;
        if (!remarks.isEmpty())
            put("DESCRIPTION:" + calendarText(remarks.join(QLatin1Char('\n'))).toUtf8());
        // A reminder marks a day; it does not make the owner busy.
        put("TRANSP:TRANSPARENT");
        put("END:VEVENT");
        ++calendar.events;
    }
    put("END:VCALENDAR");
    return calendar;
}

int exportReminders(const Options& options, const QString& file, QTextStream& out, QTextStream& err)
{
    QString folder = options.folder;
    if (folder.isEmpty()) {
        const engine::AliasRegistry aliases(
            options.aliasFile.isEmpty() ? engine::AliasRegistry::defaultFile() : options.aliasFile);
        folder = aliases.folderOf(QStringLiteral("HLR10")).value_or(QString());
        if (folder.isEmpty()) {
            err << "No se han exportado los avisos: el alias HLR10 no está registrado en " << aliases.file()
                << "; indique la carpeta de datos con --dir." << Qt::endl;
            return Failed;
        }
    }
    Calendar calendar;
    try {
        calendar = calendarOf(data::readReminders(folder), QDateTime::currentDateTimeUtc());
    } catch (const engine::EngineError& error) {
        err << "No se han exportado los avisos: " << error.message() << Qt::endl;
        return Failed;
    }
    QSaveFile target(file);
    if (!target.open(QIODevice::WriteOnly) || target.write(calendar.text) != calendar.text.size()
        || !target.commit()) {
        err << "No se han exportado los avisos: no se puede escribir «" << QDir::toNativeSeparators(file)
            << "» (" << target.errorString() << ")." << Qt::endl;
        return Failed;
    }
    out << "Exportados " << calendar.events << (calendar.events == 1 ? " aviso" : " avisos") << " de «"
        << QDir::toNativeSeparators(folder) << "» a «" << QDir::toNativeSeparators(file) << "».";
    if (calendar.skipped == 1)
        out << " 1 aviso sin fecha de inicio o de fin, o que acaba antes de empezar, no se ha exportado.";
    else if (calendar.skipped > 1)
        out << " " << calendar.skipped
            << " avisos sin fecha de inicio o de fin, o que acaban antes de empezar, no se han exportado.";
    out << Qt::endl;
    return Installed;
}

} // namespace setup
