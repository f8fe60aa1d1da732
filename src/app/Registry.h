// The window registry: one instance of every window and of the data module,
// created once at start-up in a fixed order and destroyed in reverse at exit.
// It alone hands each window what it uses; only src/app/ reads the globals.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QObject;
class TMenuGeneral;
class TModuloGeneral;
class TFichaPerro;
class TFicheroMascotas;
class TAboutBox;
class TFichaAlbum;
class TFichaFoto;
class TFichaRegSanidad;
class TFichaSanidad;
class TFichaBuscar;
class TFichaBorrar;
class TFicheroVeterinarios;
class TFichaVeterinarios;
class TFichaVacunas;
class TFichaRegVacunas;
class TFicheroAvisos;
class TFichaRegAvisos;
class TFicheroIniAvisos;

// The global references: set while the registry exists, null otherwise.
extern TMenuGeneral* MenuGeneral;
extern TModuloGeneral* ModuloGeneral;
extern TFichaPerro* FichaPerro;
extern TFicheroMascotas* FicheroMascotas;
extern TAboutBox* AboutBox;
extern TFichaAlbum* FichaAlbum;
extern TFichaFoto* FichaFoto;
extern TFichaRegSanidad* FichaRegSanidad;
extern TFichaSanidad* FichaSanidad;
extern TFichaBuscar* FichaBuscar;
extern TFichaBorrar* FichaBorrar;
extern TFicheroVeterinarios* FicheroVeterinarios;
extern TFichaVeterinarios* FichaVeterinarios;
extern TFichaVacunas* FichaVacunas;
extern TFichaRegVacunas* FichaRegVacunas;
extern TFicheroAvisos* FicheroAvisos;
extern TFichaRegAvisos* FichaRegAvisos;
extern TFicheroIniAvisos* FicheroIniAvisos;

namespace app {

class Registry {
public:
    struct Entry {
        QString className;
        QObject* object;
    };

    // Creates the 17 entries in order, all windows hidden. The data module
    // connects to the database; its engine::EngineError propagates after
    // what was already created has been destroyed again.
    Registry();
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // The entries in the order they were created.
    const std::vector<Entry>& entries() const { return m_entries; }
    QStringList creationOrder() const;

private:
    template <class T, class... Args> void create(T*& global, const char* className, Args&... args);
    void wire();
    void destroyAll();

    std::vector<Entry> m_entries;
    std::vector<std::unique_ptr<QObject>> m_owned;
    std::vector<std::function<void()>> m_forget;
};

} // namespace app
