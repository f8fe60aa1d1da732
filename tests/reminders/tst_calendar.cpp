// The reminders as an iCalendar file: TEXT escaping, folding at 75 octets
// without cutting a UTF-8 character, all-day events with the day after the
// last as DTEND, UIDs stable across exports, reminders without days left
// out. Parsed by a real iCalendar reader in ics_check.py.
#include "CalendarExport.h"

#include <QTest>

Q_DECLARE_METATYPE(std::vector<data::StoredReminder>)

namespace {

const QDateTime kStamp(QDate(2027, 3, 1), QTime(9, 30, 5), Qt::UTC);

QDate day(int d)
{
    return QDate(2027, 3, d);
}

// The unfolded lines of a calendar; a physical line without its CRLF or
// longer than 75 octets fails the test.
QStringList unfolded(const QByteArray& text)
{
    QList<QByteArray> physical = text.split('\n');
    if (!physical.last().isEmpty()) {
        QTest::qFail("the last line has no CRLF", __FILE__, __LINE__);
        return {};
    }
    physical.removeLast();
    QStringList lines;
    for (const QByteArray& raw : physical) {
        if (!raw.endsWith('\r') || raw.size() - 1 > 75 || (raw.startsWith(' ') && lines.isEmpty())) {
            QTest::qFail(("bad line: " + raw).constData(), __FILE__, __LINE__);
            return {};
        }
        const QByteArray line = raw.chopped(1);
        if (line.startsWith(' '))
            lines.last() += QString::fromUtf8(line.mid(1));
        else
            lines << QString::fromUtf8(line);
    }
    return lines;
}

QStringList valuesOf(const QStringList& lines, const QString& name)
{
    QStringList values;
    for (const QString& line : lines)
        if (line.startsWith(name + QLatin1Char(':')) || line.startsWith(name + QLatin1Char(';')))
            values << line.mid(line.indexOf(QLatin1Char(':')) + 1);
    return values;
}

} // namespace

class TstCalendar : public QObject {
    Q_OBJECT
private slots:
    void textIsEscaped_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("escaped");
        QTest::newRow("plain, accents") << "VACUNA ÑANDÚ CAMIÓN"
                                        << "VACUNA ÑANDÚ CAMIÓN";
        QTest::newRow("comma") << "PIENSO, AGUA"
                               << "PIENSO\\, AGUA";
        QTest::newRow("semicolon") << "A;B"
                                   << "A\\;B";
        QTest::newRow("backslash") << "C:\\FOTOS"
                                   << "C:\\\\FOTOS";
        QTest::newRow("line breaks") << "UNO\nDOS\r\nTRES\rCUATRO"
                                     << "UNO\\nDOS\\nTRES\\nCUATRO";
        QTest::newRow("colon and quote kept") << "HORA: 10 \"CITA\""
                                              << "HORA: 10 \"CITA\"";
    }
    void textIsEscaped()
    {
        QFETCH(QString, text);
        QFETCH(QString, escaped);
        QCOMPARE(setup::calendarText(text), escaped);
    }

    void linesAreFolded_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QList<QByteArray>>("physical");
        const QByteArray a75(75, 'A');
        QTest::newRow("short") << QByteArray("SUMMARY:HOY") << QList<QByteArray> { "SUMMARY:HOY" };
        QTest::newRow("75 octets fit") << a75 << QList<QByteArray> { a75 };
        QTest::newRow("76 octets") << a75 + "B" << QList<QByteArray> { a75, " B" };
        // The continuation's blank counts: 74 octets of text after it.
        QTest::newRow("three lines") << QByteArray(
            75 + 74 + 3, 'C') << QList<QByteArray> { QByteArray(75, 'C'), " " + QByteArray(74, 'C'), " CCC" };
        // "Ñ" is two octets, at octets 75 and 76: it moves whole to the next line.
        QTest::newRow("two-octet character at the fold")
            << QByteArray(74, 'A') + "Ñ" + "Z" << QList<QByteArray> { QByteArray(74, 'A'), " ÑZ" };
        // "€" is three octets, at 74 to 76.
        QTest::newRow("three-octet character at the fold")
            << QByteArray(73, 'A') + "€" + "Z" << QList<QByteArray> { QByteArray(73, 'A'), " €Z" };
        QTest::newRow("character ending at the fold")
            << QByteArray(73, 'A') + "Ñ" + "Z" << QList<QByteArray> { QByteArray(73, 'A') + "Ñ", " Z" };
    }
    void linesAreFolded()
    {
        QFETCH(QByteArray, line);
        QFETCH(QList<QByteArray>, physical);
        QByteArray expected;
        for (const QByteArray& p : physical)
            expected += p + "\r\n";
        QCOMPARE(setup::foldedLine(line), expected);
    }

    // Long texts of accented capitals, folded anywhere, come back whole.
    void longAccentedTextsComeBack()
    {
        const QString description = QString(40, QChar(0x00D1)) + QStringLiteral(", ÁÉÍÓÚ; €");
        const QString remark = QStringLiteral("ÜÑ€").repeated(30);
        const setup::Calendar calendar
            = setup::calendarOf({ { day(1), day(2), description, remark, {} } }, kStamp);
        const QStringList lines = unfolded(calendar.text); // every physical line at most 75 octets
        QCOMPARE(valuesOf(lines, QStringLiteral("SUMMARY")),
            QStringList { QString(40, QChar(0x00D1)) + QStringLiteral("\\, ÁÉÍÓÚ\\; €") });
        QCOMPARE(valuesOf(lines, QStringLiteral("DESCRIPTION")), QStringList { remark });
    }

    void eventsSpanTheirDays_data()
    {
        QTest::addColumn<std::vector<data::StoredReminder>>("reminders");
        QTest::addColumn<QStringList>("starts");
        QTest::addColumn<QStringList>("ends");
        QTest::addColumn<int>("skipped");
        using R = std::vector<data::StoredReminder>;
        QTest::newRow("one day") << R { { day(1), day(1), "HOY", {}, {} } } << QStringList { "20270301" }
                                 << QStringList { "20270302" } << 0;
        QTest::newRow("to the end of a year")
            << R { { QDate(2027, 12, 30), QDate(2027, 12, 31), "AÑO", {}, {} } } << QStringList { "20271230" }
            << QStringList { "20280101" } << 0;
        QTest::newRow("no first day")
            << R { { {}, day(5), "SIN INICIO", {}, {} } } << QStringList {} << QStringList {} << 1;
        QTest::newRow("no last day") << R { { day(1), {}, "SIN FIN", {}, {} } } << QStringList {}
                                     << QStringList {} << 1;
        QTest::newRow("last before first")
            << R { { day(5), day(1), "AL REVÉS", {}, {} } } << QStringList {} << QStringList {} << 1;
        QTest::newRow("kept among skipped")
            << R { { {}, {}, "VACÍO", {}, {} }, { day(2), day(4), "BIEN", {}, {} } }
            << QStringList { "20270302" } << QStringList { "20270305" } << 1;
    }
    void eventsSpanTheirDays()
    {
        QFETCH(std::vector<data::StoredReminder>, reminders);
        QFETCH(QStringList, starts);
        QFETCH(QStringList, ends);
        QFETCH(int, skipped);
        const setup::Calendar calendar = setup::calendarOf(reminders, kStamp);
        const QStringList lines = unfolded(calendar.text);
        QVERIFY(lines.size() > 2);
        QCOMPARE(lines.first(), QStringLiteral("BEGIN:VCALENDAR"));
        QCOMPARE(lines.last(), QStringLiteral("END:VCALENDAR"));
        QVERIFY(lines.contains(QStringLiteral("VERSION:2.0")));
        QCOMPARE(calendar.events, int(starts.size()));
        QCOMPARE(calendar.skipped, skipped);
        QStringList dtstarts;
        for (const QString& line : lines)
            if (line.startsWith(QLatin1String("DTSTART")))
                dtstarts << line;
        QCOMPARE(valuesOf(lines, QStringLiteral("DTSTART")), starts);
        QCOMPARE(valuesOf(lines, QStringLiteral("DTEND")), ends);
        for (const QString& line : dtstarts)
            QVERIFY(line.startsWith(QLatin1String("DTSTART;VALUE=DATE:")));
        QCOMPARE(valuesOf(lines, QStringLiteral("DTSTAMP")),
            QStringList(starts.size(), QStringLiteral("20270301T093005Z")));
    }

    void remarksAreTheDescription()
    {
        const setup::Calendar calendar
            = setup::calendarOf({ { day(1), day(1), "A", "UNO", "DOS" }, { day(1), day(1), "B", {}, "SOLO" },
                                    { day(1), day(1), "C", {}, {} } },
                kStamp);
        const QStringList lines = unfolded(calendar.text);
        QCOMPARE(valuesOf(lines, QStringLiteral("SUMMARY")), (QStringList { "A", "B", "C" }));
        QCOMPARE(valuesOf(lines, QStringLiteral("DESCRIPTION")), (QStringList { "UNO\\nDOS", "SOLO" }));
    }

    void uidsAreStableAndDistinct()
    {
        using R = std::vector<data::StoredReminder>;
        const R reminders { { day(1), day(1), "VACUNA", "X", {} }, { day(1), day(2), "VACUNA", {}, {} },
            { day(1), day(1), "VACUNA", "X", {} }, { day(3), day(3), "OTRO", {}, {} } };
        const QStringList uids = valuesOf(unfolded(setup::calendarOf(reminders, kStamp).text), "UID");
        QCOMPARE(uids.size(), 4);
        QCOMPARE(QSet<QString>(uids.begin(), uids.end()).size(), 4);
        for (const QString& uid : uids)
            QVERIFY2(uid.endsWith(QLatin1String("@huellario")), qPrintable(uid));
        // Another export, later, with a reminder added before them and the
        // remarks changed: each keeps its UID.
        R later = reminders;
        later[0].remark1 = QStringLiteral("CAMBIADA");
        later.insert(later.begin(), { day(1), day(1), "NUEVO", {}, {} });
        const QStringList again
            = valuesOf(unfolded(setup::calendarOf(later, kStamp.addDays(30)).text), "UID");
        QCOMPARE(again.mid(1), uids);
    }
};

QTEST_MAIN(TstCalendar)
#include "tst_calendar.moc"
