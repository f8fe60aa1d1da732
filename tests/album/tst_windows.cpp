// The album and photo windows: their layout, the picture that follows the
// current photograph, Ajustar, the photo window's close, the picture
// chooser, Abrir, and what a picture that fails to load does.
#include "AlbumFixture.h"

#include "controls/Accelerators.h"
#include "controls/Fonts.h"
#include "pictures/Picture.h"
#include "pictures/PictureDecoders.h"
#include "platform/Application.h"
#include "platform/EnterAsTab.h"
#include "support/TestMain.h"
#include "support/TestWindows.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

using namespace albumtest;
using recordtest::click;

namespace {

const QString kLuna = QStringLiteral("0000001");
const QString kToby = QStringLiteral("0000002");
const QSize kFrame(369, 297);

// A test card at its own size inside the frame: where it lands.
QRect centred(QSize own)
{
    return QRect(QPoint((kFrame.width() - own.width()) / 2, (kFrame.height() - own.height()) / 2), own);
}

// Answers the picture chooser once it shows: types `name` into its file
// name box and accepts it, or cancels when `name` is null. `seen` gets what
// the chooser offered: its file name box and its current filter entry.
void answerChooser(
    TFichaFoto& foto, const QString& name, QStringList* seen = nullptr, const QString& filterEntry = {})
{
    QTimer::singleShot(0, &foto, [&foto, name, seen, filterEntry] {
        QFileDialog* chooser = foto.findChild<QFileDialog*>(QStringLiteral("OpenDialog"));
        if (!chooser || !chooser->isVisible()) {
            qWarning("the picture chooser is not shown");
            return;
        }
        auto* nameBox = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        auto* types = chooser->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        if (seen)
            *seen = { nameBox->text(), types->currentText() };
        if (!filterEntry.isEmpty())
            types->setCurrentIndex(types->findText(filterEntry));
        if (name.isNull()) {
            chooser->reject();
            return;
        }
        nameBox->setText(name);
        static_cast<QDialog*>(chooser)->accept(); // as its Open button does
    });
}

} // namespace

class TestAlbumWindows : public QObject {
    Q_OBJECT
private slots:
    void albumLayout()
    {
        AlbumProgram f;
        TFichaAlbum& w = *f.album;
        w.ensureBuilt();
        QCOMPARE(w.windowTitle(), QStringLiteral("  Albúm de Fotografias."));
        QCOMPARE(w.size(), QSize(742, 390));
        QCOMPARE(w.helpTopic(), 4);
        QVERIFY(w.helpIsPopup());
        const std::vector<std::tuple<TDsFancyButton*, QString, QRect>> buttons {
            { w.But_Abrir, "&Abrir", { 31, 345, 95, 30 } },
            { w.But_Ajustar, "A&justar", { 147, 345, 95, 30 } },
            { w.But_Anadir, "Aña&dir", { 264, 345, 95, 30 } },
            { w.But_Modificar, "&Modificar", { 381, 345, 95, 30 } },
            { w.But_Borrar, "&Borrar", { 498, 345, 95, 30 } },
            { w.But_Salir, "&Salir", { 615, 345, 95, 30 } },
        };
        for (const auto& [b, caption, place] : buttons) {
            QCOMPARE(b->caption(), caption);
            QCOMPARE(b->geometry(), place);
        }
        QVERIFY(!recordtest::button(&w, "But_Ver"));
        QCOMPARE(w.Bevel1->geometry(), QRect(0, 320, 750, 9));
        QCOMPARE(w.DbGridMascotas->geometry(), QRect(8, 12, 337, 75));
        QCOMPARE(w.DBGrid1->geometry(), QRect(8, 104, 337, 201));
        QCOMPARE(w.Imagen->geometry(), QRect(QPoint(360, 12), kFrame));
        QCOMPARE(w.DbGridMascotas->model()->headerData(0, Qt::Horizontal).toString(),
            QStringLiteral("Seleccionar Mascota"));
        QCOMPARE(w.DbGridMascotas->columnWidth(0), 332);
        QCOMPARE(w.DBGrid1->model()->columnCount(), 1);
        QCOMPARE(w.DBGrid1->model()->headerData(0, Qt::Horizontal).toString(),
            QStringLiteral("Descripción Fotografia"));
        QCOMPARE(w.DBGrid1->columnWidth(0), 330);
        QCOMPARE(w.DBGrid1->selectionBehavior(), QAbstractItemView::SelectRows);
        QWidget* next = w.DbGridMascotas->nextInFocusChain();
        while (w.DbGridMascotas->isAncestorOf(next))
            next = next->nextInFocusChain();
        QCOMPARE(next, w.DBGrid1);
    }

    void photoLayout()
    {
        AlbumProgram f;
        TFichaFoto& w = *f.foto;
        w.ensureBuilt();
        QCOMPARE(w.windowTitle(), QStringLiteral("  Datos de la Fotografia."));
        QCOMPARE(w.size(), QSize(692, 223));
        QCOMPARE(w.helpTopic(), 5);
        QVERIFY(w.helpIsPopup());
        QCOMPARE(w.But_Aceptar->geometry(), QRect(218, 184, 95, 30));
        QCOMPARE(w.But_Cancelar->geometry(), QRect(378, 184, 95, 30));
        QVERIFY(!w.But_Cerrar);
        QCOMPARE(w.Bevel1->geometry(), QRect(0, 165, 692, 5));
        const std::vector<std::tuple<QLabel*, QString, int>> labels { { w.Label1, "Mascota :", 29 },
            { w.Label2, "Descripción :", 77 }, { w.Label3, "Ubicación :", 125 } };
        for (const auto& [label, text, top] : labels) {
            QCOMPARE(label->text(), text);
            QCOMPARE(label->geometry().right() + 1, 107);
            QCOMPARE(label->y(), top);
        }
        QCOMPARE(w.EDIT_DESC->geometry(), QRect(122, 75, 516, 21));
        QCOMPARE(w.EDIT_CARPETA->geometry(), QRect(122, 123, 516, 21));
        QCOMPARE(w.DBEdit1->geometry(), QRect(122, 27, 516, 21));
        QCOMPARE(w.DBEdit1->palette().color(QPalette::Base), QColor(192, 220, 192));
        QCOMPARE(w.EDIT_DESC->charCase(), bound::DBEdit::CharCase::Upper);
        QCOMPARE(w.DBEdit1->charCase(), bound::DBEdit::CharCase::Upper);
        QCOMPARE(w.EDIT_CARPETA->charCase(), bound::DBEdit::CharCase::Normal);
        QCOMPARE(w.EDIT_DESC->nextInFocusChain(), w.EDIT_CARPETA);
        QCOMPARE(w.EDIT_CARPETA->nextInFocusChain(), w.DBEdit1);
        QCOMPARE(w.SpeedButton2->geometry(), QRect(644, 121, 32, 27));
        QCOMPARE(w.SpeedButton2->toolTip(), QStringLiteral("Seleccionar Imagen"));
        QCOMPARE(w.SpeedButton2->focusPolicy(), Qt::NoFocus);
        QVERIFY(w.SpeedButton2->autoRaise());
        QCOMPARE(w.SpeedButton2->cursor().shape(), Qt::PointingHandCursor);

        // The chooser's six entries, in order, as its list shows them.
        QFileDialog* chooser = w.pictureChooser();
        auto* types = chooser->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        QStringList shown;
        for (int i = 0; i < types->count(); ++i)
            shown << types->itemText(i);
        QCOMPARE(shown,
            (QStringList { "Todos los formatos", "Bitmaps (*.bmp)", "JPEG Formato imagen (*.jpg)",
                "JPEG Formato imagen (*.jpeg)", "Enhaced Metafiles (*.emf)", "Metafiles (*.wmf)" }));
        QCOMPARE(chooser->nameFilters().first(),
            QStringLiteral("Todos los formatos (*.bmp *.jpg *.jpeg *.emf *.wmf)"));
        QCOMPARE(chooser->nameFilters().at(2), QStringLiteral("JPEG Formato imagen (*.jpg) (*.jpg)"));
    }

    // The picture display on opening, moving, choosing another pet: each
    // photograph at its own size or stretched, as its ADJUST says.
    void pictureFollowsTheCurrentPhotograph()
    {
        AlbumProgram f;
        const QString red = f.writePicture("Uno.bmp", fixtures::bitmap(fixtures::card({ 40, 30 })));
        const QString green = f.writePicture("Dos.JPG", fixtures::jpeg(fixtures::card({ 60, 40 })));
        f.addPhotos(kLuna, { { "UNO", red, false }, { "DOS", green, true } });
        f.showAlbum();

        QCOMPARE(f.area().image().size(), QSize(40, 30));
        QVERIFY(!f.area().stretched());
        QCOMPARE(f.area().imageRect(), centred({ 40, 30 }));
        // The bitmap's bottom-left colour is see-through.
        QCOMPARE(f.area().image().pixelColor(2, 28).alpha(), 0);
        QCOMPARE(f.area().image().pixelColor(2, 2), QColor(Qt::red));

        f.choosePhoto(1);
        QVERIFY(f.area().stretched());
        QCOMPARE(f.area().image().size(), kFrame);
        QCOMPARE(f.area().imageRect(), QRect(QPoint(0, 0), kFrame));

        // The other pet has none: the grid is empty and the area cleared.
        f.choosePet(1);
        QCOMPARE(f.album->DBGrid1->model()->rowCount(), 0);
        QVERIFY(f.area().isEmpty());
        // Back to the first pet: its first photograph at once.
        f.choosePet(0);
        QCOMPARE(f.area().image().size(), QSize(40, 30));
        QVERIFY(!f.area().stretched());

        // What the window draws: the picture's red quarter in the frame, the
        // window's white ground beside it.
        const QImage shot = f.album->grab().toImage();
        const QPoint origin = f.album->Imagen->pos() + centred({ 40, 30 }).topLeft();
        QCOMPARE(shot.pixelColor(origin + QPoint(5, 5)), QColor(Qt::red));
        QCOMPARE(shot.pixelColor(origin + QPoint(35, 5)), QColor(Qt::green));
        QVERIFY(f.log.boxes.isEmpty());
        f.album->close();
    }

    // The photographs beside the one shown are decoded in the background, so
    // moving to either takes no decode of its own, in both directions.
    void neighboursAreReadAhead()
    {
        AlbumProgram f;
        const QString one = f.writePicture("uno.jpg", fixtures::jpeg(fixtures::photograph({ 1200, 900 })));
        const QString two = f.writePicture("dos.jpg", fixtures::jpeg(fixtures::photograph({ 1200, 900 }, 5)));
        const QString three = f.writePicture("tres.bmp", fixtures::bitmap(fixtures::card({ 40, 30 })));
        f.addPhotos(kLuna, { { "A", one, false }, { "B", two, true }, { "C", three, false } });
        const int aheadBefore = pictures::readAheadDecodeCount();
        f.showAlbum();
        for (const int row : { 1, 2, 1, 0 }) {
            pictures::waitForReadAhead();
            const int before = pictures::decodeCount();
            f.choosePhoto(row);
            QCOMPARE(f.album->DBGrid1->currentIndex().row(), row);
            QCOMPARE(pictures::decodeCount(), before); // the move decoded nothing itself
        }
        pictures::waitForReadAhead();
        QCOMPARE(pictures::readAheadDecodeCount(), aheadBefore + 2); // the second and the third
        QCOMPARE(f.area().image().size(), QSize(369, 297));
        QVERIFY(f.log.boxes.isEmpty());
        f.album->close();
    }

    // A picture that cannot be loaded: the message the loader gives, and
    // the previous picture stays; the operation that caused it has happened.
    void failingPictureKeepsThePreviousOne_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("damaged bitmap")
            << "roto.bmp" << QByteArray("BM\x10\x00 not a bitmap at all", 24) << "Bitmap image is not valid.";
        QTest::newRow("damaged jpeg")
            << "roto.jpg" << QByteArray("\xff\xd8\xff\xe0 truncated", 14) << "JPEG error #";
        QTest::newRow("moved file") << "movido.jpg" << QByteArray() << "Cannot open file \"";
        QTest::newRow("other extension")
            << "nota.txt" << QByteArray("hola") << "Unknown picture file extension (.txt)";
    }
    void failingPictureKeepsThePreviousOne()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        AlbumProgram f;
        const QString good = f.writePicture("bueno.bmp", fixtures::bitmap(fixtures::card({ 50, 50 })));
        const QString bad = bytes.isNull() ? f.picturePath(name) : f.writePicture(name, bytes);
        f.addPhotos(kLuna, { { "BUENA", good, false }, { "MALA", bad, false } });
        f.showAlbum();
        QCOMPARE(f.area().image().size(), QSize(50, 50));

        f.choosePhoto(1);
        QCOMPARE(f.log.boxes.size(), 1);
        QVERIFY2(f.log.boxes[0].text.startsWith(message), qPrintable(f.log.boxes[0].text));
        QCOMPARE(f.log.boxes[0].title, QStringLiteral("Huellario"));
        QCOMPARE(f.log.boxes[0].icon, platform::MessageIcon::Error);
        if (bytes.isNull())
            QVERIFY(f.log.boxes[0].text.contains(bad));
        // The failing photograph is current; the area still shows the good one.
        QCOMPARE(f.photos().field("DESCRIPCION").asString(), QStringLiteral("MALA"));
        QCOMPARE(f.area().image().size(), QSize(50, 50));

        // Abrir hands the path over all the same, and reports nothing.
        click(f.album.get(), "But_Abrir");
        QCOMPARE(f.shell->opened(), QStringList { bad });
        QCOMPARE(f.log.boxes.size(), 1);
        f.album->close();
    }

    void abrirHandsTheStoredLocationOver()
    {
        AlbumProgram f;
        const QString pic = f.writePicture("Con Espacio.bmp", fixtures::bitmap(fixtures::card({ 8, 8 })));
        f.shell->setAnswer(platform::kShellNoHandler);
        f.addPhotos(kLuna,
            { { "FOTO", pic, false }, { "WEB", "https://ejemplo.es/foto.jpg", false },
                { "VACIA", {}, false } });
        f.showAlbum();
        f.log.boxes.clear();
        click(f.album.get(), "But_Abrir");
        QCOMPARE(f.shell->opened(), QStringList { pic });
        // An address is no picture file: it never reaches the desktop.
        f.choosePhoto(1);
        click(f.album.get(), "But_Abrir");
        f.choosePhoto(2);
        click(f.album.get(), "But_Abrir");
        QCOMPARE(f.shell->opened(), QStringList { pic });
        // Whatever the shell answered, nothing is reported (the address
        // itself failed to load as a picture: one message for that).
        QCOMPARE(f.log.boxes.size(), 1);
        QVERIFY(f.log.boxes[0].text.startsWith(
            QStringLiteral("Cannot open file \"https://ejemplo.es/foto.jpg\". ")));
        f.album->close();
    }

    void ajustarTwiceReturnsToTheStart()
    {
        AlbumProgram f;
        const QString pic = f.writePicture("foto.jpeg", fixtures::jpeg(fixtures::card({ 100, 80 })));
        f.addPhotos(kLuna, { { "FOTO", pic, false } });
        f.showAlbum();
        QVERIFY(!f.area().stretched());

        QTest::keyClick(f.album->DbGridMascotas, Qt::Key_J);
        QVERIFY(f.area().stretched());
        QCOMPARE(f.area().image().size(), kFrame);
        QCOMPARE(f.photos().state(), engine::TableState::Browse);
        QCOMPARE(f.storedPhotos(), QStringList { kLuna + "|" + pic + "|FOTO|1" });

        click(f.album.get(), "But_Ajustar");
        QVERIFY(!f.area().stretched());
        QCOMPARE(f.area().image().size(), QSize(100, 80));
        QCOMPARE(f.storedPhotos(), QStringList { kLuna + "|" + pic + "|FOTO|0" });

        // The choice survives closing and reopening the album.
        click(f.album.get(), "But_Ajustar");
        f.album->close();
        QVERIFY(!f.photos().active());
        QVERIFY(!f.pets().active());
        f.showAlbum();
        QVERIFY(f.area().stretched());
        QVERIFY(f.log.boxes.isEmpty());
        f.album->close();
    }

    void ajustarWithoutPhotographsDoesNothing()
    {
        AlbumProgram f;
        f.showAlbum();
        QVERIFY(f.area().isEmpty());
        click(f.album.get(), "But_Ajustar");
        QCOMPARE(f.photos().state(), engine::TableState::Browse);
        QVERIFY(f.storedPhotos().isEmpty());
        QVERIFY(f.area().isEmpty());
        QVERIFY(f.log.boxes.isEmpty());
        f.album->close();
    }

    // A reload that fails stops Ajustar before the flag is written; the next
    // table operation drops the untouched edit.
    void ajustarWhoseReloadFailsStoresNothing()
    {
        AlbumProgram f;
        const QString pic = f.writePicture("foto.bmp", fixtures::bitmap(fixtures::card({ 20, 20 })));
        f.addPhotos(kLuna, { { "FOTO", pic, false } });
        f.showAlbum();
        QVERIFY(QFile::remove(pic));
        click(f.album.get(), "But_Ajustar");
        QCOMPARE(f.log.boxes.size(), 1);
        QVERIFY(f.log.boxes[0].text.startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(pic)));
        QCOMPARE(f.photos().state(), engine::TableState::Edit);
        QVERIFY(!f.photos().field("ADJUST").asBoolean());
        QVERIFY(f.area().stretched());
        QCOMPARE(f.area().image().size(), QSize(20, 20));
        f.album->close();
        QCOMPARE(f.storedPhotos(), QStringList { kLuna + "|" + pic + "|FOTO|0" });
    }

    // Añadir clears the area; Cancelar in the photo window shows the current
    // photograph again, at its own size whatever its ADJUST.
    void addingThenCancelling()
    {
        AlbumProgram f;
        const QString pic = f.writePicture("foto.bmp", fixtures::bitmap(fixtures::card({ 30, 20 })));
        f.addPhotos(kLuna, { { "FOTO", pic, true } });
        f.showAlbum();
        QVERIFY(f.area().stretched());

        bool clearedMeanwhile = false;
        boundtest::whenShown(f.foto.get(), [&] {
            clearedMeanwhile = f.area().isEmpty();
            QCOMPARE(f.photos().state(), engine::TableState::Insert);
            click(f.foto.get(), "But_Cancelar");
        });
        click(f.album.get(), "But_Anadir");
        QVERIFY(clearedMeanwhile);
        QVERIFY(!f.foto->isVisible());
        QCOMPARE(f.area().image().size(), QSize(30, 20));
        QVERIFY(!f.area().stretched());
        QCOMPARE(f.photos().state(), engine::TableState::Browse);

        // The first Ajustar stretches it again, storing what it held.
        click(f.album.get(), "But_Ajustar");
        QVERIFY(f.area().stretched());
        QCOMPARE(f.storedPhotos(), QStringList { kLuna + "|" + pic + "|FOTO|1" });
        QVERIFY(f.log.boxes.isEmpty());
        f.album->close();
    }

    // A location typed into its box is stored as typed, capitals and small
    // letters alike; the description is turned into capitals. The new
    // photograph belongs to the current pet and is shown.
    void typedLocationIsStoredAsTyped()
    {
        AlbumProgram f;
        const QString pic
            = f.writePicture("MiPerro En Casa.bmp", fixtures::bitmap(fixtures::card({ 16, 16 })));
        f.showAlbum();
        f.choosePet(1);
        boundtest::whenShown(f.foto.get(), [&] {
            QCOMPARE(f.foto->DBEdit1->text(), QStringLiteral("TOBY"));
            f.foto->EDIT_DESC->setFocus();
            QTest::keyClicks(f.foto->EDIT_DESC, QStringLiteral("En casa"));
            QTest::keyClick(f.foto->EDIT_DESC, Qt::Key_Tab);
            QTest::keyClicks(f.foto->EDIT_CARPETA, pic);
            QTest::keyClick(f.foto->EDIT_CARPETA, Qt::Key_A, Qt::AltModifier);
        });
        click(f.album.get(), "But_Anadir");
        QVERIFY(!f.foto->isVisible());
        QCOMPARE(f.storedPhotos(), QStringList { kToby + "|" + pic + "|EN CASA|" });
        QCOMPARE(f.area().image().size(), QSize(16, 16));
        QVERIFY(f.log.boxes.isEmpty());
        f.album->close();
    }

    // The chooser: shown with no name and the first entry at first, later
    // with the last file and entry; "bmp" added to a bare name; cancelled,
    // nothing changes. The chosen picture is shown in the album at once,
    // stretched as ADJUST says, and at its own size after Aceptar.
    void pictureChooser()
    {
        AlbumProgram f;
        const QString first = f.writePicture("Primera.bmp", fixtures::bitmap(fixtures::card({ 24, 24 })));
        const QString second = f.writePicture("Segunda.bmp", fixtures::bitmap(fixtures::card({ 12, 12 })));
        f.addPhotos(kLuna, { { "FOTO", first, true } });
        f.showAlbum();

        f.photos().edit();
        f.foto->show();
        QStringList seen;
        answerChooser(*f.foto, QFileInfo(second).absolutePath() + "/Segunda", &seen, "Bitmaps (*.bmp)");
        f.foto->SpeedButton2->click();
        QCOMPARE(seen, (QStringList { QString(), "Todos los formatos" }));
        QCOMPARE(f.photos().field("CARPETA").asString(), second);
        QCOMPARE(f.foto->EDIT_CARPETA->text(), second);
        // Behind the photo window the album already shows it, stretched.
        QCOMPARE(f.area().image().size(), kFrame);
        QVERIFY(f.area().stretched());

        // Cancelled: nothing changes; the chooser keeps the last file and entry.
        answerChooser(*f.foto, QString(), &seen);
        f.foto->SpeedButton2->click();
        QCOMPARE(seen, (QStringList { "Segunda.bmp", "Bitmaps (*.bmp)" }));
        QCOMPARE(f.photos().field("CARPETA").asString(), second);

        // A name that names no file comes back as typed.
        const QString missing = f.picturePath("Nueva.JPG");
        answerChooser(*f.foto, missing);
        f.foto->SpeedButton2->click();
        QCOMPARE(f.photos().field("CARPETA").asString(), missing);
        QCOMPARE(f.log.boxes.size(), 1);
        f.log.boxes.clear();
        answerChooser(*f.foto, second);
        f.foto->SpeedButton2->click();
        QVERIFY(f.log.boxes.isEmpty());

        click(f.foto.get(), "But_Aceptar");
        QVERIFY(!f.foto->isVisible());
        QCOMPARE(f.storedPhotos(), QStringList { kLuna + "|" + second + "|FOTO|1" });
        QCOMPARE(f.area().image().size(), QSize(12, 12));
        QVERIFY(!f.area().stretched());
        f.album->close();
    }

    void chooserPathLongerThanTheFieldIsRefused()
    {
        AlbumProgram f;
        f.addPhotos(kLuna, { { "FOTO", {}, false } });
        f.showAlbum();
        f.photos().edit();
        f.foto->show();
        const QString longName = f.picturePath(QString(120, QLatin1Char('x')) + ".bmp");
        answerChooser(*f.foto, longName);
        f.foto->SpeedButton2->click();
        QCOMPARE(f.log.boxes.size(), 1);
        QVERIFY(f.log.boxes[0].text.contains(QStringLiteral("más de 100 caracteres")));
        QVERIFY(f.photos().field("CARPETA").isNull());
        click(f.foto.get(), "But_Cancelar");
        f.album->close();
    }

    // The photo window's close: Aceptar with a location that does not load
    // shows the message once and the window stays for the correction;
    // Cancelar shows it once and the window closes.
    void photoWindowCloseWithAFailingPicture()
    {
        AlbumProgram f;
        const QString good = f.writePicture("buena.bmp", fixtures::bitmap(fixtures::card({ 10, 10 })));
        f.addPhotos(kLuna, { { "FOTO", good, false } });
        f.showAlbum();

        const QString wrong = good.toUpper();
        boundtest::whenShown(f.foto.get(), [&] {
            QLineEdit* box = f.foto->EDIT_CARPETA;
            box->setFocus();
            box->selectAll();
            QTest::keyClicks(box, wrong);
            QTest::keyClick(box, Qt::Key_A, Qt::AltModifier);
            QCOMPARE(f.log.boxes.size(), 1);
            QVERIFY(f.log.boxes[0].text.startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(wrong)));
            // Not stored; the window stays for the correction.
            QVERIFY(f.foto->isVisible());
            QCOMPARE(f.photos().state(), engine::TableState::Edit);
            QCOMPARE(f.storedPhotos(), QStringList { kLuna + "|" + good + "|FOTO|0" });
            // Corrected and accepted: the window closes.
            box->selectAll();
            QTest::keyClicks(box, good);
            QTest::keyClick(box, Qt::Key_A, Qt::AltModifier);
        });
        QTest::keyClick(f.album->DbGridMascotas, Qt::Key_M);
        QVERIFY(!f.foto->isVisible());
        QCOMPARE(f.log.boxes.size(), 1);
        QCOMPARE(f.storedPhotos(), QStringList { kLuna + "|" + good + "|FOTO|0" });

        // The file goes away; Cancelar shows why once, and the window closes.
        QVERIFY(QFile::remove(good));
        boundtest::whenShown(
            f.foto.get(), [&] { QTest::keyClick(f.foto->EDIT_DESC, Qt::Key_C, Qt::AltModifier); });
        QTest::keyClick(f.album->DbGridMascotas, Qt::Key_M);
        QVERIFY(!f.foto->isVisible());
        QCOMPARE(f.log.boxes.size(), 2);
        QVERIFY(f.log.boxes[1].text.startsWith(QStringLiteral("Cannot open file")));
        f.album->close();
    }

    // The photo window closed by the window manager (Alt+F4) acts as
    // Cancelar in every state: a new photograph, a changed description, a
    // location whose picture does not load after Aceptar. The list never
    // shows what was left, and no later move stores it.
    void closedByTheDesktopActsAsCancelar_data()
    {
        QTest::addColumn<QString>("state");
        QTest::newRow("new") << "new";
        QTest::newRow("changed") << "changed";
        QTest::newRow("failing picture") << "failing picture";
    }
    void closedByTheDesktopActsAsCancelar()
    {
        QFETCH(QString, state);
        AlbumProgram f;
        const QString one = f.writePicture("uno.bmp", fixtures::bitmap(fixtures::card({ 10, 10 })));
        const QString two = f.writePicture("dos.bmp", fixtures::bitmap(fixtures::card({ 20, 20 })));
        const QString small = f.writePicture("small.jpg", fixtures::jpeg(fixtures::card({ 16, 12 })));
        const QString broken = f.writePicture("roto.ico", QByteArray("\0\0\1\0\1\0 no es un icono", 22));
        f.addPhotos(kLuna, { { "UNO", one, false }, { "DOS", two, false } });
        const QStringList stored = f.storedPhotos();
        f.showAlbum();
        const QString button = state == "changed" ? "But_Modificar" : "But_Anadir";

        int boxesBeforeClose = -1;
        QStringList storedMeanwhile;
        boundtest::whenShown(f.foto.get(), [&] {
            if (state == "changed") {
                f.foto->EDIT_DESC->setFocus();
                QTest::keyClicks(f.foto->EDIT_DESC, QStringLiteral(" otra"));
            } else {
                answerChooser(*f.foto, state == "new" ? small : broken);
                f.foto->SpeedButton2->click();
            }
            if (state == "failing picture") {
                click(f.foto.get(), "But_Aceptar");
                QVERIFY(f.foto->isVisible());
                storedMeanwhile = f.storedPhotos();
            }
            boxesBeforeClose = f.log.boxes.size();
            f.foto->close(); // what the window manager's close asks of the window
        });
        click(f.album.get(), qPrintable(button));
        QVERIFY(!f.foto->isVisible());
        QCOMPARE(f.photos().state(), engine::TableState::Browse);
        if (state == "failing picture") {
            // Aceptar stored nothing: the picture's message, once, and the window stayed.
            QCOMPARE(storedMeanwhile, stored);
            QCOMPARE(boxesBeforeClose, 2);
            QVERIFY(f.log.boxes[1].text.startsWith(QStringLiteral("Icon image is not valid")));
        }
        // The list shows the two stored photographs as they are stored.
        QAbstractItemModel& rows = *f.album->DBGrid1->model();
        QCOMPARE(rows.rowCount(), 2);
        QCOMPARE(rows.index(0, 0).data().toString(), QStringLiteral("UNO"));
        QCOMPARE(rows.index(1, 0).data().toString(), QStringLiteral("DOS"));
        QCOMPARE(f.album->DBGrid1->currentIndex().row(), f.photos().rowIndex());
        // Moving about and leaving store nothing, and say nothing more.
        f.choosePhoto(1);
        f.choosePhoto(0);
        click(f.album.get(), "But_Salir");
        QVERIFY(!f.album->isVisible());
        QCOMPARE(f.storedPhotos(), stored);
        QCOMPARE(f.log.boxes.size(), boxesBeforeClose);
    }

    // While a picture's message is up, the window shows what it speaks of:
    // the location box holds the location, and the grid is on the record.
    void failureMessageComesAfterTheWindowsFollow()
    {
        AlbumProgram f;
        const QString one = f.writePicture("uno.bmp", fixtures::bitmap(fixtures::card({ 10, 10 })));
        const QString broken = f.writePicture("roto.ico", QByteArray("\0\0\1\0\1\0 no es un icono", 22));
        f.addPhotos(kLuna, { { "UNO", one, false }, { "ROTA", broken, false } });
        f.showAlbum();

        struct Seen {
            QString text;
            QString location;
            int gridRow = -1;
            int tableRow = -1;
        };
        QList<Seen> seen;
        platform::setMessageHook([&](const QString&, const QString& text, platform::MessageIcon) {
            seen.append({ text, f.foto->isVisible() ? f.foto->EDIT_CARPETA->text() : QString(),
                f.album->DBGrid1->currentIndex().row(), f.photos().rowIndex() });
        });
        // A move in the grid to the photograph that does not load.
        f.choosePhoto(1);
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].gridRow, 1);
        QCOMPARE(seen[0].tableRow, 1);

        // A new photograph whose picture, picked with the chooser, does not load.
        f.choosePhoto(0);
        seen.clear();
        boundtest::whenShown(f.foto.get(), [&] {
            answerChooser(*f.foto, broken);
            f.foto->SpeedButton2->click();
            click(f.foto.get(), "But_Cancelar");
        });
        click(f.album.get(), "But_Anadir");
        QVERIFY(!seen.isEmpty());
        QVERIFY(seen[0].text.startsWith(QStringLiteral("Icon image is not valid")));
        QCOMPARE(seen[0].location, broken);
        QCOMPARE(seen[0].gridRow, seen[0].tableRow);
        QCOMPARE(f.album->DBGrid1->model()->rowCount(), 2);
        f.album->close();
    }

    // Borrar removes the record and leaves the picture file on disk.
    void borrarLeavesTheFile()
    {
        AlbumProgram f;
        const QString pic = f.writePicture("foto.bmp", fixtures::bitmap(fixtures::card({ 10, 10 })));
        f.addPhotos(kLuna, { { "FOTO", pic, false } });
        f.showAlbum();
        boundtest::whenShown(f.borrar.get(), [&] { QTest::keyClick(f.borrar.get(), Qt::Key_E); });
        QTest::keyClick(f.album->DbGridMascotas, Qt::Key_B);
        QVERIFY(f.storedPhotos().isEmpty());
        QVERIFY(QFileInfo::exists(pic));
        QVERIFY(f.area().isEmpty());
        f.album->close();
    }

    // Closing the album releases the pet link, which shows a photograph once
    // more: its failing picture is reported and the album closes all the same.
    void albumClosesWhenAPictureFailsOnTheWay()
    {
        AlbumProgram f;
        const QString good = f.writePicture("buena.bmp", fixtures::bitmap(fixtures::card({ 10, 10 })));
        f.addPhotos(kLuna, { { "ROTA", f.picturePath("no-esta.bmp"), false } });
        f.addPhotos(kToby, { { "BUENA", good, false } });
        f.showAlbum();
        f.choosePet(1);
        QCOMPARE(f.area().image().size(), QSize(10, 10));
        f.log.boxes.clear();
        QTest::keyClick(f.album->DbGridMascotas, Qt::Key_S);
        QVERIFY(!f.album->isVisible());
        QVERIFY(!f.photos().active());
        QVERIFY(!f.pets().active());
        QVERIFY(f.area().isEmpty());
        QVERIFY(!f.log.boxes.isEmpty());
        for (const auto& box : f.log.boxes)
            QVERIFY(box.text.startsWith(QStringLiteral("Cannot open file")));
    }
};

HLR_TEST_MAIN(TestAlbumWindows, WindowsWithEnterAsTab)

#include "tst_windows.moc"
