// The help file format, the shipped HLR20.HLP, and the viewer's answers to a
// missing or damaged file.
#include "platform/Dialogs.h"
#include "platform/Help.h"
#include "platform/Window.h"
#include "support/MessageLog.h"
#include "support/TestPaths.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <optional>

class TstHelp : public QObject {
    Q_OBJECT
private slots:
    void init() { m_log.emplace(); }
    void cleanup()
    {
        m_log.reset();
        platform::help::setHook({});
        for (QWidget* widget : QApplication::topLevelWidgets())
            widget->close();
    }

    void parse_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("topics");
        QTest::addColumn<QString>("error");
        QTest::newRow("two topics") << QByteArray("HLR-HELP 1\n@@ 1 Uno\n<p>a</p>\n@@ 2 Dos\n<p>b</p>\n") << 2
                                    << QString();
        QTest::newRow("comments and CRLF")
            << QByteArray("\r\nHLR-HELP 1\r\n# nota\r\n@@ 3 Tres\r\n<p>c</p>\r\n") << 1 << QString();
        QTest::newRow("no header") << QByteArray("@@ 1 Uno\n") << 0 << "falta la cabecera";
        QTest::newRow("not UTF-8") << QByteArray("HLR-HELP 1\n@@ 1 Ni\xf1o\n") << 0 << "UTF-8";
        QTest::newRow("duplicate topic") << QByteArray("HLR-HELP 1\n@@ 1 A\n@@ 1 B\n") << 0 << "dos veces";
        QTest::newRow("bad number") << QByteArray("HLR-HELP 1\n@@ x A\n") << 0 << "número de tema";
        QTest::newRow("text before topics")
            << QByteArray("HLR-HELP 1\nhola\n@@ 1 A\n") << 0 << "antes del primer";
        QTest::newRow("no topics") << QByteArray("HLR-HELP 1\n") << 0 << "ningún tema";
        QTest::newRow("binary") << QByteArray("\x00\x01\x02", 3) << 0 << "dañado";
    }
    void parse()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, topics);
        QFETCH(QString, error);
        QString message;
        const auto file = platform::HelpFile::parse(data, &message);
        if (error.isEmpty()) {
            QVERIFY2(file.has_value(), qPrintable(message));
            QCOMPARE(file->topics().size(), topics);
        } else {
            QVERIFY(!file.has_value());
            QVERIFY2(message.contains(error), qPrintable(message));
            QVERIFY(message.startsWith(QStringLiteral("El archivo de ayuda está dañado")));
        }
    }

    void shippedFileHasTopicsOneToNine()
    {
        QString message;
        const auto file = platform::HelpFile::load(QStringLiteral(HLR_BIN_DIR "/HLR20.HLP"), &message);
        QVERIFY2(file.has_value(), qPrintable(message));
        for (int topic = 1; topic <= 9; ++topic) {
            QVERIFY2(file->topics().contains(topic), qPrintable(QString::number(topic)));
            const auto& body = file->topics()[topic].body;
            QVERIFY(body.size() > 200);
            QVERIFY2(body.contains(QStringLiteral("Intro")), "each topic explains the Enter key");
            QVERIFY2(body.contains(QStringLiteral("F1")), "each topic explains F1");
        }
    }

    void missingFileIsReported_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("contents") << 0;
        QTest::newRow("topic") << 1;
        QTest::newRow("pop-up") << 2;
    }
    void missingFileIsReported()
    {
        QFETCH(int, way);
        QTemporaryDir dir;
        platform::help::setHelpFile(dir.filePath(QStringLiteral("HLR20.HLP")));
        platform::Window window;
        window.show();
        if (way == 0)
            platform::help::showContents(&window);
        else if (way == 1)
            platform::help::showTopic(&window, 3);
        else
            platform::help::showPopup(&window, 3);
        QCOMPARE(m_log->messages.size(), 1);
        QVERIFY(m_log->messages[0].startsWith(QStringLiteral("No se encuentra el archivo de ayuda")));
        QVERIFY(window.isVisible());
    }

    void damagedFileIsReported()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("HLR20.HLP"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("basura\x00\xff", 8);
        file.close();
        platform::help::setHelpFile(path);
        platform::help::showTopic(nullptr, 2);
        QCOMPARE(m_log->messages.size(), 1);
        QVERIFY(m_log->messages[0].startsWith(QStringLiteral("El archivo de ayuda está dañado")));
    }

    void viewerShowsTopic()
    {
        platform::help::setHelpFile(QStringLiteral(HLR_BIN_DIR "/HLR20.HLP"));
        platform::Window window;
        window.show();
        platform::help::showTopic(&window, 7);
        QVERIFY(m_log->messages.isEmpty());
        auto* text = window.findChild<QTextBrowser*>();
        QVERIFY(text);
        QVERIFY(text->window()->isVisible());
        QCOMPARE(text->window()->windowTitle(), QStringLiteral("Ayuda de Huellario"));
        QVERIFY(text->toPlainText().contains(QStringLiteral("Clínicas")));
        platform::help::showTopic(&window, 99);
        QCOMPARE(m_log->messages.size(), 1);
        QVERIFY(m_log->messages[0].contains(QStringLiteral("99")));
    }

    void popupAtClientCorner()
    {
        platform::help::setHelpFile(QStringLiteral(HLR_BIN_DIR "/HLR20.HLP"));
        platform::Window window;
        window.setClientSize(500, 300);
        window.show();
        platform::help::showPopup(&window, 8);
        auto* popup = window.findChild<QLabel*>();
        QVERIFY(popup);
        QVERIFY(popup->isVisible());
        QCOMPARE(popup->pos(), window.mapToGlobal(QPoint(0, 0)));
        QVERIFY(popup->text().contains(QStringLiteral("Avisos")));
        QTest::keyClick(popup, Qt::Key_Space);
        QTRY_VERIFY(!window.findChild<QLabel*>() || !popup->isVisible());
    }

private:
    std::optional<testsupport::MessageLog> m_log;
};

QTEST_MAIN(TstHelp)
#include "tst_help.moc"
