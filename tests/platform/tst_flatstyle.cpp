// The flat skin: switched on and off as a whole, flat boxes and lookup lists
// on their own ground with a tinted one-pixel border, a check box without a
// value that reads as neither ticked nor unticked, the focused check box, and
// grids framed on all four sides.
#include "platform/FlatStyle.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

namespace {

const QColor kBoxBlue(196, 219, 244);

QPalette boxPalette(QPalette palette)
{
    palette.setColor(QPalette::Base, kBoxBlue);
    palette.setColor(QPalette::Button, kBoxBlue);
    return palette;
}

QColor at(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y).toRgb();
}

int darkPixels(const QImage& image, const QRect& area)
{
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            dark += at(image, x, y).lightness() < 90;
    return dark;
}

} // namespace

class TestFlatStyle : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { platform::skin::switchOff(); }

    void switchedOnAndOffAsAWhole()
    {
        const QString before = QApplication::style()->name();
        QVERIFY(!platform::skin::isOn());
        platform::skin::switchOn();
        QVERIFY(platform::skin::isOn());
        QVERIFY(qobject_cast<platform::FlatStyle*>(QApplication::style()));
        QStyle* on = QApplication::style();
        platform::skin::switchOn(); // a second time changes nothing
        QCOMPARE(QApplication::style(), on);
        platform::skin::switchOff();
        QVERIFY(!platform::skin::isOn());
        QVERIFY(!qobject_cast<platform::FlatStyle*>(QApplication::style()));
        QCOMPARE(QApplication::style()->name(), before);
        platform::skin::switchOff();
        QCOMPARE(QApplication::style()->name(), before);
    }

    // Boxes and lookup lists: their ground up to a one-pixel border, which
    // is tinted while the box has the focus.
    void boxesAndListsAreFlat()
    {
        platform::skin::switchOn();
        QWidget window;
        auto* other = new QLineEdit(&window);
        other->setGeometry(0, 0, 100, 21);
        auto* edit = new QLineEdit(&window);
        edit->setGeometry(0, 30, 200, 21);
        auto* combo = new QComboBox(&window);
        combo->setGeometry(0, 60, 200, 21);
        combo->addItems({ QStringLiteral("UNO"), QStringLiteral("DOS") });
        for (QWidget* box : std::initializer_list<QWidget*> { other, edit, combo })
            box->setPalette(boxPalette(box->palette()));
        window.resize(220, 100);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        other->setFocus();
        QTRY_VERIFY(other->hasFocus());

        for (QWidget* box : std::initializer_list<QWidget*> { edit, combo }) {
            const QImage idle = box->grab().toImage();
            const int mid = box->height() / 2;
            QCOMPARE(at(idle, 0, mid), platform::FlatStyle::borderColor());
            QCOMPARE(at(idle, 1, mid), kBoxBlue);
            QCOMPARE(at(idle, 1, 1), kBoxBlue); // no gradient at the top either
            QCOMPARE(at(idle, 1, box->height() - 2), kBoxBlue);
            box->setFocus();
            QTRY_VERIFY(box->hasFocus());
            const QImage focused = box->grab().toImage();
            QCOMPARE(at(focused, 0, mid), platform::FlatStyle::tintColor());
        }
        // The open list lies on the box's ground, not on a grey menu.
        QCOMPARE(QApplication::style()->styleHint(QStyle::SH_ComboBox_Popup, nullptr, combo), 0);
        combo->showPopup();
        QTRY_VERIFY(combo->view()->isVisible());
        const QImage list = combo->view()->viewport()->grab().toImage();
        QCOMPARE(at(list, list.width() - 3, list.height() - 2), kBoxBlue);
        combo->hidePopup();
    }

    // Ticked shows a tick, unticked an empty box, and no value a light box
    // with a grey bar: never the dark filled square that reads as ticked.
    void checkBoxStates()
    {
        platform::skin::switchOn();
        QCheckBox box(QStringLiteral("Grande"));
        box.setTristate(true);
        box.setPalette(boxPalette(box.palette()));
        box.resize(80, 17);
        QStyleOptionButton option;
        option.initFrom(&box);
        const QRect indicator
            = box.style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, &box).adjusted(1, 1, -1, -1);
        auto drawn = [&](Qt::CheckState state) {
            box.setCheckState(state);
            return box.grab().toImage();
        };
        const QImage ticked = drawn(Qt::Checked);
        const QImage unticked = drawn(Qt::Unchecked);
        const QImage noValue = drawn(Qt::PartiallyChecked);
        QVERIFY(darkPixels(ticked, indicator) >= 8);
        QCOMPARE(darkPixels(unticked, indicator), 0);
        QCOMPARE(darkPixels(noValue, indicator), 0);
        QCOMPARE(at(unticked, indicator.center().x(), indicator.top() + 1), kBoxBlue);
        QVERIFY(at(noValue, indicator.center().x(), indicator.top() + 1) != kBoxBlue);
        QVERIFY(noValue != unticked);
    }

    // The box with the focus looks different from the others in every state,
    // ticked included, and from a box the pointer is merely over.
    void focusedCheckBoxStandsOut()
    {
        platform::skin::switchOn();
        QWidget window;
        window.resize(80, 30);
        auto* other = new QCheckBox(&window);
        other->setGeometry(0, 0, 14, 17);
        auto* box = new QCheckBox(&window);
        box->setGeometry(30, 0, 14, 17);
        for (QCheckBox* b : { other, box }) {
            b->setTristate(true);
            b->setPalette(boxPalette(b->palette()));
        }
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        for (const Qt::CheckState state : { Qt::Checked, Qt::Unchecked, Qt::PartiallyChecked }) {
            box->setCheckState(state);
            other->setFocus();
            QTRY_VERIFY(other->hasFocus());
            const QImage resting = box->grab().toImage();
            box->setFocus();
            QTRY_VERIFY(box->hasFocus());
            const QImage focused = box->grab().toImage();
            QVERIFY2(focused != resting, qPrintable(QStringLiteral("state %1").arg(int(state))));
            // The pointer over a box without the focus is not the focus.
            QStyleOptionButton option;
            option.initFrom(box);
            option.state &= ~QStyle::State_HasFocus;
            option.state |= QStyle::State_MouseOver;
            option.state |= state == Qt::Checked ? QStyle::State_On
                : state == Qt::Unchecked         ? QStyle::State_Off
                                                 : QStyle::State_NoChange;
            option.rect = QRect(0, 0, 13, 13);
            QImage hovered(13, 13, QImage::Format_ARGB32);
            QImage withFocus(13, 13, QImage::Format_ARGB32);
            {
                QPainter p(&hovered);
                box->style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &p, box);
            }
            option.state |= QStyle::State_HasFocus;
            option.state &= ~QStyle::State_MouseOver;
            {
                QPainter p(&withFocus);
                box->style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &p, box);
            }
            QVERIFY(hovered != withFocus);
        }
    }

    // A grid's frame is a one-pixel border on all four sides, seen on a
    // white window as on any other ground.
    void gridFrameOnAllSides()
    {
        platform::skin::switchOn();
        QWidget window;
        QPalette white = window.palette();
        white.setColor(QPalette::Window, Qt::white);
        window.setPalette(white);
        window.setAutoFillBackground(true);
        window.resize(220, 120);
        QStandardItemModel model(2, 1);
        auto* grid = new QTableView(&window);
        grid->setModel(&model);
        grid->setGeometry(10, 10, 200, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage shot = grid->grab().toImage();
        const int right = shot.width() - 1;
        const int bottom = shot.height() - 1;
        const QColor border = platform::FlatStyle::borderColor();
        QCOMPARE(at(shot, 0, bottom / 2), border);
        QCOMPARE(at(shot, right, bottom / 2), border);
        QCOMPARE(at(shot, right / 2, bottom), border);
        QCOMPARE(at(shot, right / 2, 0), border);
    }
};

QTEST_MAIN(TestFlatStyle)
#include "tst_flatstyle.moc"
