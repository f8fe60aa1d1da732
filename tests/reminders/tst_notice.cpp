// The text of huellario --avisos's desktop notice: the count, one line per
// reminder with its days and remarks, markup escaped where the server reads
// it, and the rest counted past the lines shown. The notice itself, posted
// to a stand-in server, is checked by notify_check.py.
#include "reminders/DesktopNotice.h"

#include <QTest>

Q_DECLARE_METATYPE(std::vector<data::StoredReminder>)

namespace {

QDate day(int d)
{
    return QDate(2027, 3, d);
}

} // namespace

class TstNotice : public QObject {
    Q_OBJECT
private slots:
    void composedText_data()
    {
        QTest::addColumn<std::vector<data::StoredReminder>>("due");
        QTest::addColumn<bool>("markup");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("body");
        using R = std::vector<data::StoredReminder>;
        QTest::newRow("one day") << R { { day(1), day(1), "VACUNA RABIA", {}, {} } } << false
                                 << "Huellario: 1 aviso pendiente"
                                 << "VACUNA RABIA (el 01/03/2027)";
        QTest::newRow("a range with remarks")
            << R { { day(1), day(5), "DESPARASITAR", "PASTILLA", "CON COMIDA" } } << false
            << "Huellario: 1 aviso pendiente"
            << "DESPARASITAR (del 01/03/2027 al 05/03/2027): PASTILLA CON COMIDA";
        QTest::newRow("no first day, second remark only")
            << R { { {}, day(9), "PIENSO", {}, "COMPRAR" } } << false << "Huellario: 1 aviso pendiente"
            << "PIENSO (hasta el 09/03/2027): COMPRAR";
        QTest::newRow("no description")
            << R { { day(1), day(1), {}, {}, {} } } << false << "Huellario: 1 aviso pendiente"
            << "(sin descripción) (el 01/03/2027)";
        QTest::newRow("several, in order")
            << R { { day(1), day(2), "A", {}, {} }, { day(1), day(1), "B", {}, {} } } << false
            << "Huellario: 2 avisos pendientes"
            << "A (del 01/03/2027 al 02/03/2027)\nB (el 01/03/2027)";
        // Text from the tables is never taken for markup.
        QTest::newRow("markup escaped") << R { { day(1), day(1), "PERRO & GATO <B>", "1 < 2", {} } } << true
                                        << "Huellario: 1 aviso pendiente"
                                        << "PERRO &amp; GATO &lt;B&gt; (el 01/03/2027): 1 &lt; 2";
        QTest::newRow("plain text kept")
            << R { { day(1), day(1), "PERRO & GATO <B>", {}, {} } } << false << "Huellario: 1 aviso pendiente"
            << "PERRO & GATO <B> (el 01/03/2027)";
    }
    void composedText()
    {
        QFETCH(std::vector<data::StoredReminder>, due);
        QFETCH(bool, markup);
        QFETCH(QString, summary);
        QFETCH(QString, body);
        const reminders::Notice notice = reminders::composeNotice(due, markup);
        QCOMPARE(notice.summary, summary);
        QCOMPARE(notice.body, body);
    }

    // A long list would not fit a notice: the first ones, then how many more.
    void manyAreCounted_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("last");
        QTest::newRow("all fit") << reminders::kNoticeLines << "AVISO 8 (el 01/03/2027)";
        QTest::newRow("one more") << reminders::kNoticeLines + 1 << "… y 1 aviso más, en Huellario.";
        QTest::newRow("many more") << 30 << "… y 22 avisos más, en Huellario.";
    }
    void manyAreCounted()
    {
        QFETCH(int, count);
        QFETCH(QString, last);
        std::vector<data::StoredReminder> due;
        for (int i = 1; i <= count; ++i)
            due.push_back({ day(1), day(1), QStringLiteral("AVISO %1").arg(i), {}, {} });
        const reminders::Notice notice = reminders::composeNotice(due, false);
        QCOMPARE(notice.summary, QStringLiteral("Huellario: %1 avisos pendientes").arg(count));
        const QStringList lines = notice.body.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), std::min(count, reminders::kNoticeLines + 1));
        QCOMPARE(lines.first(), QStringLiteral("AVISO 1 (el 01/03/2027)"));
        QCOMPARE(lines.last(), last);
    }

    void lastNoticeFileFollowsXdgStateHome()
    {
        const QByteArray saved = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", "/tmp/estado");
        QCOMPARE(reminders::lastNoticeFile(), QStringLiteral("/tmp/estado/huellario/avisos-notificados"));
        // A relative value is not a base directory (XDG rules).
        qputenv("XDG_STATE_HOME", "relativo");
        QCOMPARE(
            reminders::lastNoticeFile(), QDir::homePath() + "/.local/state/huellario/avisos-notificados");
        qputenv("XDG_STATE_HOME", saved);
    }
};

QTEST_MAIN(TstNotice)
#include "tst_notice.moc"
