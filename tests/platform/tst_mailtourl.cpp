// The "mailto:" text as the real shell hands it to the mail program: the
// structure and the escapes already in it stay, everything else that an
// address cannot hold is percent-encoded, and Qt reads the result unchanged.
#include "platform/MailtoUrl.h"

#include <QTest>
#include <QUrl>
#include <QUrlQuery>

class TstMailtoUrl : public QObject {
    Q_OBJECT
private slots:
    void encodes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("url");
        QTest::newRow("plain address")
            << QStringLiteral("mailto:info@huellario.example") << QByteArray("mailto:info@huellario.example");
        QTest::newRow("no address") << QStringLiteral("mailto:") << QByteArray("mailto:");
        QTest::newRow("scheme in capitals")
            << QStringLiteral("MAILTO:a@b.example") << QByteArray("mailto:a@b.example");
        QTest::newRow("blanks, accents, line breaks kept")
            << QStringLiteral("mailto:a@b.example?Subject=Registro Usuarios&body=Línea 1%0D%0ALínea 2 ")
            << QByteArray("mailto:a@b.example?Subject=Registro%20Usuarios&body=L%C3%ADnea%201%0D%0AL%C3%"
                          "ADnea%202%20");
        QTest::newRow("percent without two hex digits")
            << QStringLiteral("mailto:a@b.example?body=100% seguro %zz %4")
            << QByteArray("mailto:a@b.example?body=100%25%20seguro%20%25zz%20%254");
        QTest::newRow("lower-case escape kept") << QStringLiteral("mailto:a@b.example?body=a%0d%0ab")
                                                << QByteArray("mailto:a@b.example?body=a%0d%0ab");
        QTest::newRow("reserved characters inside a value")
            << QStringLiteral("mailto:a@b.example?body=1+1=2 #x /y?")
            << QByteArray("mailto:a@b.example?body=1%2B1%3D2%20%23x%20%2Fy%3F");
        QTest::newRow("field separators kept")
            << QStringLiteral("mailto:a@b.example?cc=c@d.example&bcc=e@f.example")
            << QByteArray("mailto:a@b.example?cc=c@d.example&bcc=e@f.example");
        QTest::newRow("plus and blank in the address") << QStringLiteral("mailto:ana+perros @b.example")
                                                       << QByteArray("mailto:ana%2Bperros%20@b.example");
        QTest::newRow("raw line break and markup") << QStringLiteral("mailto:a@b.example?body=<b>\n\"x\"")
                                                   << QByteArray("mailto:a@b.example?body=%3Cb%3E%0A%22x%22");
        QTest::newRow("field without value")
            << QStringLiteral("mailto:a@b.example?body") << QByteArray("mailto:a@b.example?body");
    }
    void encodes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, url);
        const QByteArray encoded = platform::mailtoUrl(text);
        QCOMPARE(encoded, url);
        // What the desktop gets is what Qt makes of it: it must take it as it is.
        const QUrl parsed = QUrl::fromEncoded(encoded, QUrl::StrictMode);
        QVERIFY2(parsed.isValid(), qPrintable(parsed.errorString()));
        QCOMPARE(parsed.scheme(), QStringLiteral("mailto"));
        // Qt writes escapes in capitals; nothing else may change.
        QCOMPARE(parsed.toEncoded().toUpper(), encoded.toUpper());
    }

    void mailProgramReadsTheFieldsBack()
    {
        const QUrl url = QUrl::fromEncoded(platform::mailtoUrl(QStringLiteral(
            "mailto:a@b.example?Subject=Qué tal: bien&body= * Nombre :%0D%0A%0D%0ADeseo que sí. ")));
        const QUrlQuery query(url);
        QCOMPARE(url.path(), QStringLiteral("a@b.example"));
        QCOMPARE(query.queryItemValue(QStringLiteral("Subject"), QUrl::FullyDecoded),
            QStringLiteral("Qué tal: bien"));
        QCOMPARE(query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded),
            QStringLiteral(" * Nombre :\r\n\r\nDeseo que sí. "));
    }

    // A stored address reaches the mail program as one recipient and nothing
    // more, whatever signs it holds.
    void addressOnlyNeverCarriesFields()
    {
        const QString stored = QStringLiteral("a@b.example?cc=x@y.example&attach=/etc/passwd&bcc=z@z#%41");
        const QUrl url
            = QUrl::fromEncoded(platform::mailtoUrl(platform::mailtoAddress(stored)), QUrl::StrictMode);
        QVERIFY2(url.isValid(), qPrintable(url.errorString()));
        QVERIFY(!url.hasQuery());
        QVERIFY(!url.hasFragment());
        QCOMPARE(url.path(QUrl::FullyDecoded), stored);
    }
};

QTEST_MAIN(TstMailtoUrl)
#include "tst_mailtourl.moc"
