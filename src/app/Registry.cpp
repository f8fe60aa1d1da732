#include "app/Registry.h"

#include "about/Acerca.h"
#include "album/Album.h"
#include "album/FicFoto.h"
#include "app/Main.h"
#include "data/ModGen.h"
#include "health/FicSani.h"
#include "health/FicVac.h"
#include "health/FicVeter.h"
#include "health/FigRgVac.h"
#include "health/TabVeter.h"
#include "health/sanidad.h"
#include "platform/Window.h"
#include "records/Borrar.h"
#include "records/Buscar.h"
#include "records/FicPerro.h"
#include "records/TabMascotas.h"
#include "records/Warning.h"
#include "reminders/FicAvis.h"
#include "reminders/FicIni.h"
#include "reminders/FicRAvis.h"

TMenuGeneral* MenuGeneral = nullptr;
TModuloGeneral* ModuloGeneral = nullptr;
TFichaPerro* FichaPerro = nullptr;
TFicheroMascotas* FicheroMascotas = nullptr;
TAboutBox* AboutBox = nullptr;
TFichaAlbum* FichaAlbum = nullptr;
TFichaFoto* FichaFoto = nullptr;
TFichaRegSanidad* FichaRegSanidad = nullptr;
TFichaSanidad* FichaSanidad = nullptr;
TFichaBuscar* FichaBuscar = nullptr;
TFichaBorrar* FichaBorrar = nullptr;
TFicheroVeterinarios* FicheroVeterinarios = nullptr;
TFichaVeterinarios* FichaVeterinarios = nullptr;
TFichaVacunas* FichaVacunas = nullptr;
TFichaRegVacunas* FichaRegVacunas = nullptr;
TFicheroAvisos* FicheroAvisos = nullptr;
TFichaRegAvisos* FichaRegAvisos = nullptr;
TFicheroIniAvisos* FicheroIniAvisos = nullptr;

namespace app {

template <class T, class... Args> void Registry::create(T*& global, const char* className, Args&... args)
{
    auto object = std::make_unique<T>(args...);
    global = object.get();
    m_entries.push_back({ QString::fromLatin1(className), object.get() });
    m_owned.push_back(std::move(object));
    m_forget.push_back([&global] { global = nullptr; });
}

Registry::Registry()
{
    // The hidden windows make their controls at their first showing: start-up
    // only waits for the main window's.
    const platform::Window::DeferBuilding defer;
    try {
        create(MenuGeneral, "TMenuGeneral");
        create(ModuloGeneral, "TModuloGeneral");
        TModuloGeneral& data = *ModuloGeneral;
        create(FichaPerro, "TFichaPerro", data);
        create(AboutBox, "TAboutBox");
        create(FichaAlbum, "TFichaAlbum", data);
        create(FichaFoto, "TFichaFoto", data);
        create(FichaRegSanidad, "TFichaRegSanidad", data);
        create(FichaSanidad, "TFichaSanidad", data);
        create(FichaBuscar, "TFichaBuscar");
        create(FichaBorrar, "TFichaBorrar");
        create(FicheroVeterinarios, "TFicheroVeterinarios", data);
        create(FichaVeterinarios, "TFichaVeterinarios", data);
        create(FichaVacunas, "TFichaVacunas", data);
        create(FichaRegVacunas, "TFichaRegVacunas", data);
        create(FicheroAvisos, "TFicheroAvisos", data);
        create(FichaRegAvisos, "TFichaRegAvisos", data);
        create(FicheroIniAvisos, "TFicheroIniAvisos", data);
        // Windows the program grew later come after the first release's.
        create(FicheroMascotas, "TFicheroMascotas", data);
        wire();
    } catch (...) {
        destroyAll();
        throw;
    }
}

void Registry::wire()
{
    ModuloGeneral->warnUser = records::warnUser;

    MenuGeneral->setWindows({ .data = ModuloGeneral,
        .pet = FichaPerro,
        .petList = FicheroMascotas,
        .album = FichaAlbum,
        .healthRegister = FichaRegSanidad,
        .vaccinations = FichaVacunas,
        .clinics = FicheroVeterinarios,
        .reminders = FicheroAvisos,
        .about = AboutBox,
        .pendingReminders = FicheroIniAvisos });

    FicheroMascotas->setPetWindow(FichaPerro);
    FicheroMascotas->setSearchDialog(FichaBuscar);
    FichaAlbum->setRecordWindow(FichaFoto);
    FichaAlbum->setDeleteDialog(FichaBorrar);
    FichaFoto->setAlbumWindow(FichaAlbum);
    FichaRegSanidad->setRecordWindow(FichaSanidad);
    FichaRegSanidad->setDeleteDialog(FichaBorrar);
    FichaRegSanidad->setSearchDialog(FichaBuscar);
    FicheroVeterinarios->setRecordWindow(FichaVeterinarios);
    FicheroVeterinarios->setDeleteDialog(FichaBorrar);
    FichaVacunas->setRecordWindow(FichaRegVacunas);
    FicheroAvisos->setRecordWindow(FichaRegAvisos);
    FicheroAvisos->setDeleteDialog(FichaBorrar);
}

Registry::~Registry()
{
    destroyAll();
}

QStringList Registry::creationOrder() const
{
    QStringList names;
    for (const Entry& entry : m_entries)
        names.append(entry.className);
    return names;
}

void Registry::destroyAll()
{
    // Reverse order: the windows go before the data module they use, the
    // main window last.
    while (!m_owned.empty()) {
        m_owned.pop_back();
        m_forget.back()();
        m_forget.pop_back();
        m_entries.pop_back();
    }
}

} // namespace app
