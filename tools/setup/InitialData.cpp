#include "InitialData.h"

namespace setup {

namespace {

// The species lookup lists the species in code order, so the codes follow
// the order the owner expects to see: dogs and cats first, "OTROS" last.
constexpr const char* kPerros = "A";
constexpr const char* kGatos = "B";
constexpr const char* kAves = "C";
constexpr const char* kRoedores = "D";
constexpr const char* kConejos = "E";
constexpr const char* kHurones = "F";
constexpr const char* kReptiles = "G";
constexpr const char* kPeces = "H";
constexpr const char* kOtros = "Z";

void addAll(std::vector<Breed>& breeds, const char* species, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        breeds.push_back({ QString::fromUtf8(name), QString::fromLatin1(species) });
}

} // namespace

const std::vector<Species>& initialSpecies()
{
    static const std::vector<Species> species = {
        { QString::fromLatin1(kPerros), QStringLiteral("PERROS") },
        { QString::fromLatin1(kGatos), QStringLiteral("GATOS") },
        { QString::fromLatin1(kAves), QStringLiteral("AVES") },
        { QString::fromLatin1(kRoedores), QStringLiteral("ROEDORES") },
        { QString::fromLatin1(kConejos), QStringLiteral("CONEJOS") },
        { QString::fromLatin1(kHurones), QStringLiteral("HURONES") },
        { QString::fromLatin1(kReptiles), QStringLiteral("REPTILES") },
        { QString::fromLatin1(kPeces), QStringLiteral("PECES") },
        { QString::fromLatin1(kOtros), QStringLiteral("OTROS") },
    };
    return species;
}

const std::vector<Breed>& initialBreeds()
{
    static const std::vector<Breed> breeds = [] {
        std::vector<Breed> all;
        addAll(all, kPerros,
            { "AIREDALE TERRIER", "AKITA AMERICANO", "AKITA INU", "ALANO ESPAÑOL", "ALASKAN MALAMUTE",
                "AMERICAN STAFFORDSHIRE", "BASENJI", "BASSET HOUND", "BEAGLE", "BEARDED COLLIE",
                "BICHON FRISE", "BICHON HABANERO", "BICHON MALTES", "BOBTAIL", "BORDER COLLIE",
                "BORDER TERRIER", "BORZOI", "BOSTON TERRIER", "BOXER", "BOYERO DE BERNA", "BOYERO DE FLANDES",
                "BRACO ALEMAN", "BRACO DE WEIMAR", "BULL TERRIER", "BULLDOG AMERICANO", "BULLDOG FRANCES",
                "BULLDOG INGLES", "BULLMASTIFF", "CA DE BOU", "CAIRN TERRIER", "CANE CORSO", "CANICHE",
                "CANICHE TOY", "CARLINO", "CAVALIER KING CHARLES", "CHESAPEAKE BAY RETRIEVER", "CHIHUAHUA",
                "CHIN JAPONES", "CHOW CHOW", "COCKER SPANIEL AMERICANO", "COCKER SPANIEL INGLES", "COLLIE",
                "CRESTADO CHINO", "DALMATA", "DOBERMANN", "DOGO ALEMAN", "DOGO ARGENTINO", "DOGO DE BURDEOS",
                "FOX TERRIER", "GALGO AFGANO", "GALGO ESPAÑOL", "GALGO INGLES", "GALGO ITALIANO",
                "GOLDEN RETRIEVER", "GRIFON DE BRUSELAS", "HUSKY SIBERIANO", "JACK RUSSELL TERRIER",
                "KOMONDOR", "LABRADOR RETRIEVER", "LEBREL IRLANDES", "LEONBERGER", "LHASA APSO",
                "MASTIN DEL PIRINEO", "MASTIN ESPAÑOL", "MASTIN NAPOLITANO", "MASTIN TIBETANO", "MESTIZO",
                "MONTAÑA DE LOS PIRINEOS", "PAPILLON", "PASTOR ALEMAN", "PASTOR AUSTRALIANO",
                "PASTOR BELGA GROENENDAEL", "PASTOR BELGA MALINOIS", "PASTOR BELGA TERVUEREN",
                "PASTOR BLANCO SUIZO", "PASTOR CATALAN", "PASTOR DE BRIE", "PASTOR DE LOS PIRINEOS",
                "PASTOR DE SHETLAND", "PASTOR GARAFIANO", "PASTOR VASCO", "PEKINES", "PERDIGUERO DE BURGOS",
                "PERRO DE AGUA ESPAÑOL", "PERRO DE PRESA CANARIO", "PERRO DE PRESA MALLORQUIN",
                "PERRO SIN PELO DEL PERU", "PINSCHER MINIATURA", "PODENCO ANDALUZ", "PODENCO CANARIO",
                "PODENCO IBICENCO", "POINTER", "POMERANIA", "RATONERO BODEGUERO ANDALUZ",
                "RHODESIAN RIDGEBACK", "ROTTWEILER", "SABUESO ESPAÑOL", "SABUESO SAN HUBERTO", "SAMOYEDO",
                "SAN BERNARDO", "SCHNAUZER GIGANTE", "SCHNAUZER MEDIANO", "SCHNAUZER MINIATURA",
                "SCOTTISH TERRIER", "SETTER INGLES", "SETTER IRLANDES", "SHAR PEI", "SHIBA INU", "SHIH TZU",
                "SPANIEL BRETON", "SPITZ ALEMAN", "SPRINGER SPANIEL INGLES", "STAFFORDSHIRE BULL TERRIER",
                "TECKEL", "TERRANOVA", "WELSH CORGI CARDIGAN", "WELSH CORGI PEMBROKE",
                "WEST HIGHLAND WHITE TERRIER", "WHIPPET", "XOLOITZCUINTLE", "YORKSHIRE TERRIER" });
        addAll(all, kGatos,
            { "ABISINIO", "AMERICANO DE PELO CORTO", "ANGORA TURCO", "AZUL RUSO", "BALINES", "BENGALI",
                "BOBTAIL JAPONES", "BOMBAY", "BOSQUE DE NORUEGA", "BRITANICO DE PELO CORTO", "BURMES",
                "CARTUJO", "COMUN EUROPEO", "CORNISH REX", "CURL AMERICANO", "DEVON REX", "ESFINGE",
                "EXOTICO DE PELO CORTO", "HABANA", "HIMALAYO", "MAINE COON", "MANX", "OCICAT", "ORIENTAL",
                "PERSA", "RAGDOLL", "SAGRADO DE BIRMANIA", "SAVANNAH", "SCOTTISH FOLD", "SELKIRK REX",
                "SIAMES", "SIBERIANO", "SOMALI", "TONKINES", "VAN TURCO" });
        addAll(all, kAves,
            { "AGAPORNIS", "AMAZONA", "CACATUA", "CANARIO", "COTORRA ARGENTINA", "DIAMANTE MANDARIN",
                "GUACAMAYO", "JILGUERO", "LORO GRIS AFRICANO", "NINFA", "PALOMA", "PERIQUITO", "ROSELLA" });
        addAll(all, kRoedores,
            { "ARDILLA COREANA", "CHINCHILLA", "COBAYA", "DEGU", "HAMSTER ROBOROWSKI", "HAMSTER RUSO",
                "HAMSTER SIRIO", "JERBO", "RATA", "RATON" });
        addAll(all, kConejos,
            { "CONEJO BELIER", "CONEJO CABEZA DE LEON", "CONEJO ENANO", "CONEJO GIGANTE DE FLANDES",
                "CONEJO REX" });
        addAll(all, kHurones, { "HURON" });
        addAll(all, kReptiles,
            { "CAMALEON", "DRAGON BARBUDO", "GECKO LEOPARDO", "IGUANA VERDE", "PITON REAL",
                "SERPIENTE DEL MAIZ", "TORTUGA DE FLORIDA", "TORTUGA MEDITERRANEA" });
        addAll(all, kPeces,
            { "BETTA", "CARPA KOI", "ESCALAR", "GUPPY", "NEON", "PEZ DE COLORES", "PEZ PAYASO" });
        addAll(all, kOtros, { "SIN RAZA DEFINIDA" });
        return all;
    }();
    return breeds;
}

const std::vector<QString>& initialPetCodes()
{
    static const std::vector<QString> codes = { QStringLiteral("0000001"), QStringLiteral("0000002") };
    return codes;
}

} // namespace setup
