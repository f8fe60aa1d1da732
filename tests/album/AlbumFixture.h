// The album windows' program in-process: an installed data folder with two
// named pets, the data module, the album, photo and delete windows wired as
// the registry wires them, picture files in a scratch folder, a recording
// desktop shell and a log of message boxes.
#pragma once

#include "album/Album.h"
#include "album/FicFoto.h"
#include "album/PictureArea.h"
#include "bound/DBGrid.h"
#include "records/Borrar.h"
#include "support/PetFixture.h"
#include "support/PictureFixtures.h"
#include "support/Rows.h"

#include "platform/Shell.h"

#include <QFile>

namespace albumtest {

namespace fixtures = testsupport::picturefiles;

struct Photo {
    QString description;
    QString location;
    bool adjust = false;
};

class AlbumProgram : public pettest::Program {
public:
    AlbumProgram()
    {
        m_module = std::make_unique<TModuloGeneral>();
        attach(*m_module);
        setPets({ pettest::pet(QStringLiteral("0000001"), QStringLiteral("LUNA")),
            pettest::pet(QStringLiteral("0000002"), QStringLiteral("TOBY")) });
        auto fake = std::make_unique<platform::RecordingShell>();
        shell = fake.get();
        platform::setShell(std::move(fake));
        const platform::Window::DeferBuilding defer;
        album = std::make_unique<TFichaAlbum>(*m_module);
        foto = std::make_unique<TFichaFoto>(*m_module);
        borrar = std::make_unique<TFichaBorrar>();
        album->setRecordWindow(foto.get());
        album->setDeleteDialog(borrar.get());
        foto->setAlbumWindow(album.get());
    }
    ~AlbumProgram() override
    {
        borrar.reset();
        foto.reset();
        album.reset();
        m_module.reset();
        platform::setShell(nullptr);
    }

    engine::Table& photos() const { return *data().TablaAlbum; }

    // Writes a picture file into the scratch folder and returns its path.
    QString writePicture(const QString& name, const QByteArray& bytes) const
    {
        QString path = m_pictures.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    QString picturePath(const QString& name) const { return m_pictures.filePath(name); }

    // Stores the photographs of the pet with this code; tables left closed.
    void addPhotos(const QString& code, const std::vector<Photo>& list) const
    {
        engine::Table& p = pets();
        p.open();
        p.locate(QStringLiteral("CODIGO"), code);
        photos().open();
        for (const Photo& photo : list) {
            boundtest::addRecord(photos(),
                { { QStringLiteral("DESCRIPCION"), photo.description },
                    { QStringLiteral("CARPETA"), photo.location },
                    { QStringLiteral("ADJUST"), photo.adjust } });
        }
        photos().close();
        p.close();
    }

    // Every stored photograph, "CODIGO|CARPETA|DESCRIPCION|ADJUST" in rowid order.
    QStringList storedPhotos() const
    {
        engine::Table reader(data().DbGeneral, QStringLiteral("Lector"), QStringLiteral("ALBUM.DB"));
        reader.open();
        return testsupport::joinedRows(reader.readRows(0, reader.recordCount(),
            { QStringLiteral("CODIGO"), QStringLiteral("CARPETA"), QStringLiteral("DESCRIPCION"),
                QStringLiteral("ADJUST") }));
    }

    // Shows the album as the main window does, but without waiting for it.
    void showAlbum() const
    {
        album->show();
        album->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(album.get()));
    }

    // The pet selector's choice, as a click on its row makes it.
    void choosePet(int row) const
    {
        album->DbGridMascotas->setCurrentIndex(album->DbGridMascotas->model()->index(row, 0));
    }
    void choosePhoto(int row) const
    {
        album->DBGrid1->setCurrentIndex(album->DBGrid1->model()->index(row, 0));
    }

    album::PictureArea& area() const { return *album->Imagen; }

    pettest::MessageLog log;
    platform::RecordingShell* shell = nullptr;
    std::unique_ptr<TFichaAlbum> album;
    std::unique_ptr<TFichaFoto> foto;
    std::unique_ptr<TFichaBorrar> borrar;

private:
    QTemporaryDir m_pictures;
    std::unique_ptr<TModuloGeneral> m_module;
};

} // namespace albumtest
