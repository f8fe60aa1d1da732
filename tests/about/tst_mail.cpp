// The news sign-up e-mail's text: the template joined with its separators,
// the order and marks of the fields, the failure message, and what the mail
// program reads once the shell has made an address of it.
#include "SignUpText.h"

#include "about/SignUpMail.h"
#include "platform/MailtoUrl.h"

#include <QTest>
#include <QUrl>
#include <QUrlQuery>

using about::MailRequest;

class TstMail : public QObject {
    Q_OBJECT
private slots:
    void signUpTextIsExact()
    {
        const MailRequest request { about::kMakerAddress, QStringLiteral("Registro Usuarios"), {}, {},
            about::joinBodyLines(about::signUpTemplate()) };
        const QString text = about::composeMail(request);
        QCOMPARE(text, abouttest::signUpText);
        QCOMPARE(text.size(), abouttest::signUpLength);

        // 17 lines, 16 separators; the closing text adds two before "Deseo que"
        // and one before its last words.
        QCOMPARE(about::signUpTemplate().size(), 17);
        QCOMPARE(request.body.count(QStringLiteral("%0D%0A")), 16);
        QCOMPARE(text.count(QStringLiteral("%0D%0A")), 19);
        QVERIFY(text.contains(QStringLiteral("Obligatorios.%0D%0A%0D%0ADeseo que")));
        QVERIFY(text.endsWith(QStringLiteral("programa%0D%0Ade Huellario. ")));
        // Nothing but the line breaks is written as an escape.
        QCOMPARE(text.count(QLatin1Char('%')), 19 * 2);
    }

    void emptyLinesGiveTheirSeparatorsOnly_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("body");
        QTest::newRow("none") << QStringList {} << QString();
        QTest::newRow("one empty") << QStringList { QString() } << QString();
        QTest::newRow("empty between") << QStringList { "a", "", "b" } << "a%0D%0A%0D%0Ab";
        QTest::newRow("empty at both ends") << QStringList { "", " a ", "" } << "%0D%0A a %0D%0A";
    }
    void emptyLinesGiveTheirSeparatorsOnly()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, body);
        QCOMPARE(about::joinBodyLines(lines), body);
    }

    void fieldOrderAndMarks_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("copy");
        QTest::addColumn<QString>("blindCopy");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("fields");
        const QString s = QStringLiteral("Asunto");
        const QString c = QStringLiteral("c@x.example");
        const QString b = QStringLiteral("b@x.example");
        QTest::newRow("body only") << ""
                                   << ""
                                   << ""
                                   << "Hola"
                                   << "?body=Hola";
        QTest::newRow("empty body") << ""
                                    << ""
                                    << ""
                                    << ""
                                    << "?body=";
        QTest::newRow("subject") << s << ""
                                 << ""
                                 << "Hola"
                                 << "?Subject=Asunto&body=Hola";
        QTest::newRow("copy") << "" << c << ""
                              << "Hola"
                              << "?cc=c@x.example&body=Hola";
        QTest::newRow("blind copy") << ""
                                    << "" << b << ""
                                    << "?bcc=b@x.example&body=";
        QTest::newRow("copy and blind copy") << "" << c << b << "Hola"
                                             << "?cc=c@x.example&bcc=b@x.example&body=Hola";
        QTest::newRow("all") << s << c << b << "Hola"
                             << "?Subject=Asunto&cc=c@x.example&bcc=b@x.example&body=Hola";
    }
    void fieldOrderAndMarks()
    {
        QFETCH(QString, subject);
        QFETCH(QString, copy);
        QFETCH(QString, blindCopy);
        QFETCH(QString, body);
        QFETCH(QString, fields);
        const QString text
            = about::composeMail({ QStringLiteral("a@b.example"), subject, copy, blindCopy, body });
        QCOMPARE(text, "mailto:a@b.example" + fields + about::kClosingText);
    }

    void failureMessageHasThreeLines_data()
    {
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("third");
        QTest::newRow("no handler") << 31 << 545 << "Error Num 31 en ShellExecute."
                                    << "lenght(mail) =  545";
        QTest::newRow("missing file") << 2 << 7 << "Error Num 2 en ShellExecute."
                                      << "lenght(mail) =  7";
        QTest::newRow("zero") << 0 << 12345 << "Error Num 0 en ShellExecute."
                              << "lenght(mail) =  12345";
    }
    void failureMessageHasThreeLines()
    {
        QFETCH(int, result);
        QFETCH(int, length);
        QFETCH(QString, first);
        QFETCH(QString, third);
        const QString message = about::failureMessage(result, length);
        QVERIFY(!message.contains(QLatin1Char('\n')));
        QCOMPARE(
            message.split(QLatin1Char('\r')), (QStringList { first, abouttest::failureSecondLine, third }));
    }

    // The mail program must get back exactly the form's lines and the closing
    // sentence, line breaks, blanks and accents included.
    void mailProgramReadsTheSignUpForm()
    {
        const QUrl url = QUrl::fromEncoded(platform::mailtoUrl(abouttest::signUpText), QUrl::StrictMode);
        QVERIFY2(url.isValid(), qPrintable(url.errorString()));
        QCOMPARE(url.path(), QStringLiteral("contacto@huellario.example"));
        const QUrlQuery query(url);
        QCOMPARE(query.queryItemValue(QStringLiteral("Subject"), QUrl::FullyDecoded),
            QStringLiteral("Registro Usuarios"));
        const QString body = query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded);
        QCOMPARE(body,
            about::signUpTemplate().join(QStringLiteral("\r\n"))
                + QStringLiteral("\r\n\r\nDeseo que me envíen noticias sobre las nuevas versiones y "
                                 "actualizaciones del programa\r\nde Huellario. "));
    }
};

QTEST_MAIN(TstMail)
#include "tst_mail.moc"
