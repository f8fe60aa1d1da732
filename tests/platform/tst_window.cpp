// The window base: activation once per showing, the closing step however
// the window closes, Escape never closing, F1 help, frame and centring.
#include "platform/Help.h"
#include "platform/Window.h"
#include "platform/WindowManager.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <memory>

namespace {

class CountingWindow : public platform::Window {
public:
    using platform::Window::Window;
    int activations = 0;
    int closings = 0;
    bool visibleAtActivation = false;

protected:
    void activate() override
    {
        ++activations;
        visibleAtActivation = isVisible();
    }
    void closing() override { ++closings; }
};

// A window that makes one box in its building step and counts the builds.
class BuildingWindow : public platform::Window {
public:
    BuildingWindow()
    {
        setClientSize(300, 200);
        buildUnlessDeferred();
    }
    int builds = 0;
    bool builtBeforeActivation = false;
    QLineEdit* box = nullptr;

protected:
    void build() override
    {
        ++builds;
        box = new QLineEdit(this);
        box->setFocus();
    }
    void activate() override { builtBeforeActivation = box != nullptr; }
};

// A box that handles Escape itself, as an editor undoing its change would.
class EscapeBox : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
    int escapes = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Escape) {
            ++escapes;
            event->accept();
            return;
        }
        QLineEdit::keyPressEvent(event);
    }
};

} // namespace

class TstWindow : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { platform::help::setHook({}); }

    void buildingAtConstructionOrFirstShowing()
    {
        BuildingWindow direct;
        QCOMPARE(direct.builds, 1);
        QVERIFY(direct.isBuilt());

        std::unique_ptr<BuildingWindow> deferred;
        {
            const platform::Window::DeferBuilding defer;
            deferred = std::make_unique<BuildingWindow>();
        }
        QCOMPARE(deferred->builds, 0);
        QVERIFY(!deferred->box);
        deferred->show();
        QCOMPARE(deferred->builds, 1);
        QVERIFY(deferred->builtBeforeActivation);
        QVERIFY(QTest::qWaitForWindowExposed(deferred.get()));
        deferred->close();
        deferred->ensureBuilt();
        deferred->show();
        QCOMPARE(deferred->builds, 1);
        deferred->close();

        // Deferral ends with its scope.
        BuildingWindow after;
        QCOMPARE(after.builds, 1);
    }

    void activationOncePerShowing()
    {
        CountingWindow window;
        window.setClientSize(300, 200);
        window.show();
        QCOMPARE(window.activations, 1);
        QVERIFY(window.visibleAtActivation);
        window.show(); // already visible: not a new showing
        QCOMPARE(window.activations, 1);
        window.close();
        window.show();
        QCOMPARE(window.activations, 2);
    }

    void noActivationWhenChildDialogCloses()
    {
        CountingWindow window;
        CountingWindow child(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTimer::singleShot(0, &child, [&] { child.close(); });
        child.showModal();
        QCOMPARE(child.activations, 1);
        QCOMPARE(child.closings, 1);
        QApplication::setActiveWindow(&window);
        QApplication::processEvents();
        QCOMPARE(window.activations, 1);
        QCOMPARE(window.closings, 0);
    }

    void noActivationOnComingBack()
    {
        CountingWindow window;
        CountingWindow other;
        window.show();
        other.show();
        QApplication::setActiveWindow(&other);
        QApplication::setActiveWindow(&window);
        QApplication::processEvents();
        QCOMPARE(window.activations, 1);
    }

    void closingOncePerClose_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("close()") << 0;
        QTest::newRow("window manager close") << 1;
        QTest::newRow("done()") << 2;
        QTest::newRow("reject()") << 3;
        QTest::newRow("hide()") << 4;
    }
    void closingOncePerClose()
    {
        QFETCH(int, way);
        CountingWindow window;
        window.show();
        switch (way) {
        case 0:
            window.close();
            break;
        case 1: {
            QCloseEvent event;
            QApplication::sendEvent(&window, &event);
            break;
        }
        case 2:
            window.done(QDialog::Accepted);
            break;
        case 3:
            window.reject();
            break;
        case 4:
            window.hide();
            break;
        }
        QVERIFY(!window.isVisible());
        QCOMPARE(window.closings, 1);
        window.close(); // closed already: nothing more
        QCOMPARE(window.closings, 1);
    }

    void showModalReturnsWhenClosed()
    {
        CountingWindow window;
        QTimer::singleShot(0, &window, [&] {
            QVERIFY(window.isModal() || window.isVisible());
            window.close();
        });
        window.showModal();
        QCOMPARE(window.activations, 1);
        QCOMPARE(window.closings, 1);
    }

    void escapeNeverCloses()
    {
        CountingWindow window;
        auto* box = new EscapeBox(&window);
        auto* plain = new QLineEdit(&window);
        plain->move(0, 40);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Escape);
        QCOMPARE(box->escapes, 1);
        plain->setFocus();
        QTest::keyClick(plain, Qt::Key_Escape);
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(window.isVisible());
        QCOMPARE(window.closings, 0);
    }

    void escapeInModalWindow()
    {
        CountingWindow window;
        bool stillVisible = false;
        QTimer::singleShot(0, &window, [&] {
            QTest::keyClick(&window, Qt::Key_Escape);
            stillVisible = window.isVisible();
            window.close();
        });
        window.showModal();
        QVERIFY(stillVisible);
    }

    void f1ShowsTopic_data()
    {
        QTest::addColumn<int>("topic");
        QTest::addColumn<bool>("popup");
        QTest::newRow("topic") << 7 << false;
        QTest::newRow("pop-up topic") << 4 << true;
        QTest::newRow("no topic") << 0 << false;
    }
    void f1ShowsTopic()
    {
        QFETCH(int, topic);
        QFETCH(bool, popup);
        QList<platform::help::Request> requests;
        platform::help::setHook([&](const platform::help::Request& request) { requests.append(request); });
        CountingWindow window;
        window.setClientSize(400, 300);
        window.setHelpTopic(topic, popup);
        auto* box = new QLineEdit(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        box->setFocus();
        QTest::keyClick(box, Qt::Key_F1); // from a control: the window's topic
        if (topic == 0) {
            QVERIFY(requests.isEmpty());
            return;
        }
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests[0].topic, topic);
        using Kind = platform::help::Request::Kind;
        QCOMPARE(requests[0].kind, popup ? Kind::Popup : Kind::Topic);
        if (popup)
            QCOMPARE(requests[0].position, window.mapToGlobal(QPoint(0, 0)));
    }

    void frameSizeAndCentring()
    {
        CountingWindow window;
        window.setClientSize(420, 203);
        const Qt::WindowFlags flags = window.windowFlags();
        QVERIFY(flags & Qt::WindowTitleHint);
        QVERIFY(!(flags & Qt::WindowCloseButtonHint));
        QVERIFY(!(flags & Qt::WindowSystemMenuHint));
        QVERIFY(!(flags & Qt::WindowMinMaxButtonsHint));
        window.show();
        QCOMPARE(window.size(), QSize(420, 203));
        const QPoint centre = window.screen()->availableGeometry().center();
        QVERIFY(qAbs(window.geometry().center().x() - centre.x()) <= 1);
        QVERIFY(qAbs(window.geometry().center().y() - centre.y()) <= 1);
        // Moved away, it is centred again at the next showing.
        window.close();
        window.move(0, 0);
        window.show();
        QVERIFY(qAbs(window.geometry().center().x() - centre.x()) <= 1);
    }
    // A window is a dialog of the window that showed it: the innermost modal
    // window, else the active one; each showing takes its own opener.
    void transientForTheWindowThatShowsIt()
    {
        CountingWindow first;
        first.setClientSize(300, 200);
        CountingWindow second;
        second.setClientSize(200, 100);
        first.show();
        first.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&first));
        second.show();
        QVERIFY(second.windowHandle());
        QCOMPARE(second.windowHandle()->transientParent(), first.windowHandle());
        second.close();

        CountingWindow modal;
        modal.setClientSize(250, 150);
        modal.setWindowModality(Qt::ApplicationModal);
        modal.show();
        QTRY_COMPARE(QApplication::activeModalWidget(), &modal);
        second.setWindowModality(Qt::ApplicationModal);
        second.show();
        QCOMPARE(second.windowHandle()->transientParent(), modal.windowHandle());
        second.close();
        modal.close();
    }

    // A modal window minimised anyway comes back when the window manager
    // activates a window under it; nothing happens without a hidden one.
    void hiddenModalWindowComesBack()
    {
        CountingWindow main;
        main.setClientSize(300, 200);
        main.show();
        QVERIFY(!platform::windowmanager::restoreHiddenModal());
        CountingWindow modal;
        modal.setClientSize(200, 100);
        modal.setWindowModality(Qt::ApplicationModal);
        modal.show();
        QTRY_COMPARE(QApplication::activeModalWidget(), &modal);
        QVERIFY(!platform::windowmanager::restoreHiddenModal());
        modal.setWindowState(modal.windowState() | Qt::WindowMinimized);
        QTRY_VERIFY(modal.isMinimized());
        QVERIFY(platform::windowmanager::restoreHiddenModal());
        QTRY_VERIFY(!modal.isMinimized());
        QVERIFY(modal.isVisible());
        QCOMPARE(modal.activations, 1); // brought back, not shown anew
        modal.close();
    }
};

QTEST_MAIN(TstWindow)
#include "tst_window.moc"
