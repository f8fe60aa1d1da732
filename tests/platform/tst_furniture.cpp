// The standard window furniture: the pictures drawn in code, the band and
// the field labels placed as windows ask.
#include "platform/Furniture.h"

#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QTest>

namespace furniture = platform::furniture;

class TestFurniture : public QObject {
    Q_OBJECT
private slots:
    void picturesAreMadeOnce()
    {
        QCOMPARE(furniture::backgroundPicture().cacheKey(), furniture::backgroundPicture().cacheKey());
        const QImage paws = furniture::backgroundPicture().toImage();
        int grey = 0;
        for (int y = 0; y < paws.height(); y += 7)
            for (int x = 0; x < paws.width(); x += 7)
                grey += paws.pixelColor(x, y) != Qt::white;
        const int samples = (paws.width() / 7 + 1) * (paws.height() / 7 + 1);
        QVERIFY(grey > samples / 50); // prints are there
        QVERIFY(grey < samples / 3); // on a mostly white ground
        const QImage stop = furniture::stopSignPicture().toImage();
        QCOMPARE(stop.size(), QSize(32, 32));
        QCOMPARE(stop.pixelColor(0, 0).alpha(), 0); // octagon: the corners stay clear
        const QColor band = stop.pixelColor(16, 4);
        QVERIFY(band.red() > 180 && band.green() < 60);
        QCOMPARE(stop.pixelColor(16, 20), QColor(Qt::white)); // the palm
    }

    void bandAndLabelsArePlaced()
    {
        QWidget window;
        window.resize(742, 390);
        QFrame* band = furniture::addSeparator(&window, 320);
        QCOMPARE(band->geometry(), QRect(0, 320, 742, 9));
        QCOMPARE(band->frameShadow(), QFrame::Sunken);
        QLabel* label = furniture::addFieldLabel(&window, QStringLiteral("Fecha :"), 120, 40);
        QCOMPARE(label->geometry().right() + 1, 120);
        QCOMPARE(label->y(), 40);
        QVERIFY(label->font().bold());
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(128, 0, 0));
        QVERIFY(!label->autoFillBackground());
        QLabel* white = furniture::addFieldLabel(
            &window, QStringLiteral("Raza :"), 120, 70, furniture::LabelBack::White);
        QVERIFY(white->autoFillBackground());
        QLabel* image = furniture::addBackground(&window);
        QCOMPARE(image->geometry(), window.rect());
        QCOMPARE(image->objectName(), QStringLiteral("Image1"));
        // The picture shows where nothing else is drawn: the paws reach the screen.
        const QImage shot = image->grab().toImage();
        int grey = 0;
        for (int y = 0; y < shot.height(); y += 5)
            for (int x = 0; x < shot.width(); x += 5)
                grey += shot.pixelColor(x, y) != Qt::white;
        QVERIFY(grey > 0);
    }

    // A right-aligned label's text ends at its right edge: the colon's last
    // column of ink is the label's last column, whether the label was sized
    // to its text or is a fixed frame whose text grows leftwards.
    void rightAlignedTextEndsAtTheEdge()
    {
        // The face the program puts first, whose colon ends before its advance.
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), { QStringLiteral("Liberation Sans") });
        QWidget window;
        window.resize(300, 80);
        QPalette white = window.palette();
        white.setColor(QPalette::Window, Qt::white);
        window.setPalette(white);
        window.setAutoFillBackground(true);
        QLabel* sized = furniture::addFieldLabel(&window, QStringLiteral("Mascota :"), 107, 10);
        auto* frame = new QLabel(&window);
        furniture::styleFieldLabel(frame);
        frame->setAlignment(Qt::AlignRight | Qt::AlignTop);
        frame->setGeometry(0, 40, 151, 17);
        frame->setText(QStringLiteral("Rabia :"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage shot = window.grab().toImage();
        auto inkEnd = [&](const QRect& area) {
            int last = -1;
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    if (shot.pixelColor(x, y).lightness() < 160)
                        last = qMax(last, x);
            return last;
        };
        QCOMPARE(inkEnd(sized->geometry()) + 1, 107);
        QCOMPARE(inkEnd(frame->geometry()) + 1, 151);
        QCOMPARE(sized->geometry().right() + 1, 107);
    }
};

QTEST_MAIN(TestFurniture)
#include "tst_furniture.moc"
