// The picture chooser as the program shows it, with Qt's Spanish texts
// loaded at start-up: its column titles, menu and buttons in Spanish, also
// once a folder's path is typed, and columns wide enough for what they show.
#include "AlbumFixture.h"

#include "app/Main.h"
#include "controls/Fonts.h"
#include "platform/Application.h"
#include "platform/EnterAsTab.h"
#include "platform/FlatStyle.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeView>

using namespace albumtest;

class TestAlbumChooser : public QObject {
    Q_OBJECT
private slots:
    // Qt's texts in the chooser: column titles, the list's menu and the
    // buttons, before and after a folder's path is typed into the name box
    // (which makes Qt name its accept button again).
    void spanishTexts()
    {
        AlbumProgram f;
        f.writePicture("small.jpg", QByteArray(15600, 'x'));
        const QString folder = QFileInfo(f.picturePath("small.jpg")).absolutePath();
        QFileDialog& chooser = shown(f, folder);
        auto* files = chooser.findChild<QTreeView*>(QStringLiteral("treeView"));
        auto* nameBox = chooser.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        auto* buttons = chooser.findChild<QDialogButtonBox*>();
        auto texts = [&] {
            QStringList all;
            for (int column = 0; column < files->model()->columnCount(); ++column)
                all << files->model()->headerData(column, Qt::Horizontal).toString();
            for (const char* name :
                { "qt_rename_action", "qt_delete_action", "qt_show_hidden_action", "qt_new_folder_action" })
                all << chooser.findChild<QAction*>(QLatin1String(name))->text();
            for (QAbstractButton* button : buttons->buttons())
                all << button->text();
            return all;
        };
        const QStringList spanish { "Nombre", "Tamaño", "Tipo", "Última modificación", "Cambia&r de nombre",
            "&Borrar", "Mostrar los fic&heros ocultos", "&Nueva carpeta", "&Abrir", "Cancelar" };
        QCOMPARE(texts(), spanish);
        nameBox->setFocus();
        QTest::keyClicks(nameBox, folder);
        QCOMPARE(texts(), spanish);
        QTest::keyClicks(nameBox, QStringLiteral("/"));
        QCOMPARE(texts(), spanish);
        chooser.reject();
    }

    // Each column is as wide as its title and what it shows: no size, type
    // or date is cut short.
    void columnsFitWhatTheyShow()
    {
        AlbumProgram f;
        f.writePicture("small.jpg", QByteArray(15600, 'x'));
        QFileDialog& chooser = shown(f, QFileInfo(f.picturePath("small.jpg")).absolutePath());
        auto* files = chooser.findChild<QTreeView*>(QStringLiteral("treeView"));
        QHeaderView* titles = files->header();
        const QModelIndex row = files->model()->index(0, 0, files->rootIndex());
        for (int column = 1; column < titles->count(); ++column) {
            const QString shownText = row.siblingAtColumn(column).data().toString();
            QVERIFY(!shownText.isEmpty());
            // The text and the margins the style leaves on either side.
            const int needed = files->fontMetrics().horizontalAdvance(shownText) + 6;
            QVERIFY2(titles->sectionSize(column) >= needed,
                qPrintable(QStringLiteral("%1: %2 < %3")
                               .arg(shownText)
                               .arg(titles->sectionSize(column))
                               .arg(needed)));
            QVERIFY(titles->sectionSize(column) >= titles->sectionSizeHint(column));
        }
        // The name takes what is left of the list's width.
        QCOMPARE(titles->length(), files->viewport()->width());
        chooser.reject();
    }

private:
    // The chooser shown on `folder`, its list read.
    static QFileDialog& shown(AlbumProgram& f, const QString& folder)
    {
        f.foto->ensureBuilt();
        QFileDialog* chooser = f.foto->pictureChooser();
        chooser->setDirectory(folder);
        chooser->show();
        if (!QTest::qWaitForWindowExposed(chooser))
            qFatal("the chooser was not shown");
        auto* files = chooser->findChild<QTreeView*>(QStringLiteral("treeView"));
        if (!QTest::qWaitFor([&] { return files->model()->rowCount(files->rootIndex()) == 1; }))
            qFatal("the chooser did not list the folder");
        return *chooser;
    }
};

int main(int argc, char** argv)
{
    // Qt's chooser keeps its column widths among the user's settings and
    // brings them back: each run starts from none.
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    platform::Application app(argc, argv);
    platform::Application::setLastResortIsFault(true);
    controls::installFontSubstitutions();
    const bool translated = app::loadQtTranslations(app);
    platform::skin::switchOn();
    if (!translated)
        qWarning("Qt's Spanish catalogue was not found");
    TestAlbumChooser test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_chooser.moc"
