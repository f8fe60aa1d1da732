// Paradox tables like those of the earlier Windows version, written with
// pxlib's own writer: the nine tables' fields as that version declared them
// (written out here, apart from our schema and from the importer's own
// list), text in the code page the header names, memos in a .MB file beside
// the table.
#pragma once

#include <QDate>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QTime>
#include <QVariant>

extern "C" {
#include <paradox.h>
}

#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <stdexcept>
#include <vector>

namespace paradoxfixture {

// The bytes a Windows program of the time stored for `text`; the test
// texts use Latin-1 letters, the euro sign and typographic dashes and quotes.
inline QByteArray windows1252(const QString& text)
{
    QByteArray bytes;
    for (const QChar ch : text) {
        switch (ch.unicode()) {
        case 0x20AC:
            bytes += '\x80';
            break;
        case 0x2014:
            bytes += '\x97';
            break;
        case 0x2019:
            bytes += '\x92';
            break;
        default:
            if (ch.unicode() > 0xFF)
                throw std::invalid_argument("windows1252: no byte for this character");
            bytes += char(ch.unicode());
        }
    }
    return bytes;
}

struct Field {
    QString name;
    int type = pxfAlpha;
    int length = 0;
};

// The nine tables' fields as the earlier version declared them, in file
// order; memos keep ten bytes of their beginning in the record.
inline std::vector<Field> earlierFields(const QString& tableName)
{
    const auto text = [](const char* name, int length) {
        return Field { QLatin1String(name), pxfAlpha, length };
    };
    const auto date = [](const char* name) { return Field { QLatin1String(name), pxfDate, 4 }; };
    const auto time = [](const char* name) { return Field { QLatin1String(name), pxfTime, 4 }; };
    const auto logical = [](const char* name) { return Field { QLatin1String(name), pxfLogical, 1 }; };
    const auto counter = [](const char* name) { return Field { QLatin1String(name), pxfAutoInc, 4 }; };
    if (tableName == QLatin1String("FICMAES")) {
        std::vector<Field> fields { counter("CONTADOR"), text("CODIGO", 7), text("SEXO", 1), text("GRUPO", 5),
            date("FEC_NAC"), text("CRIADOR", 40), text("PROPIETARI", 40), text("N_LOE", 25),
            text("TATUAJE", 8), Field { QStringLiteral("MEMORIA"), pxfMemoBLOb, 20 } };
        for (const char* ancestor :
            { "PADRE", "ABO_PAD", "ABA_PAD", "BO_ABO_P", "BA_ABO_P", "BO_ABA_P", "BA_ABA_P", "MADRE",
                "ABO_MAD", "ABA_MAD", "BO_ABO_M", "BA_ABO_M", "BO_ABA_M", "BA_ABA_M" }) {
            fields.push_back(text(ancestor, 40));
            fields.push_back({ QLatin1String(ancestor) + QStringLiteral("_L"), pxfAlpha, 23 });
        }
        for (const Field& f :
            { text("DEFINE1", 40), text("DEFINE2", 40), text("ESPECIE", 25), text("RAZA", 30),
                text("COLOR", 50), text("NOM_OFICIA", 50), text("NOM_FAMI", 50), text("PELO", 50),
                text("CHIP", 30), logical("GRANDE"), logical("MEDIANO"), logical("PEQUENO") })
            fields.push_back(f);
        return fields;
    }
    if (tableName == QLatin1String("ESPECIES"))
        return { text("CODIGO", 1), text("DESCRIPCION", 25) };
    if (tableName == QLatin1String("RAZAS"))
        return { counter("CONTADOR"), text("RAZA", 30), text("ESPECIE", 1) };
    if (tableName == QLatin1String("ALBUM"))
        return { counter("CONTADOR"), text("CODIGO", 7), text("CARPETA", 100), text("DESCRIPCION", 50),
            logical("ADJUST") };
    if (tableName == QLatin1String("SANIDAD"))
        return { counter("CONTADOR"), text("CODIGO", 7), date("FECHA"), text("DESCRIPCIO", 50),
            text("OBSERVA1", 50), text("OBSERVA2", 50), text("MEDICACION", 50), text("VETERINARIO", 50),
            text("TRATAMIENTO", 50), date("PROX_VISITA"), text("CLINICA", 50) };
    if (tableName == QLatin1String("VETERIN"))
        return { counter("CONTADOR"), text("CLINICA", 50), text("VETERINARIO", 50), text("DOMICILIO", 50),
            text("LOCALIDAD", 50), text("TELF1", 15), text("TELF2", 15), text("NIF", 15), text("OBSERV1", 50),
            text("OBSERV2", 50), text("CODPOSTAL", 15), text("PROVINCIA", 40), text("MOVIL", 15),
            text("EMAIL", 50), text("WEB", 50) };
    if (tableName == QLatin1String("VACUNAS"))
        return { text("CODIGO", 7), logical("MOQUILLO_TRIVALENTE"), logical("PARVOVIROSI_LEUCEMIA"),
            logical("POLIVALENTE_LEUCEMIA"), logical("RABIA"), logical("OTRAS"), logical("OTRAS2"),
            date("FECHA_1"), date("FECHA_2"), date("FECHA_3"), date("FECHA_4"), date("FECHA_5"),
            date("FECHA_6") };
    if (tableName == QLatin1String("AVISOS"))
        return { date("INICIO"), date("FIN"), text("CONCEPTO", 50), text("OBSERVA1", 50),
            text("OBSERVA2", 50) };
    if (tableName == QLatin1String("INIAVIS"))
        return { counter("CONTADOR"), text("TIPO", 5), date("INICIO"), date("FINAL"),
            text("NOMBRE_CONCEPTO", 50), time("HORA_INI"), time("HORA_FIN") };
    throw std::invalid_argument("earlierFields: not one of the nine tables");
}

// The file the earlier version kept each table in.
inline QString earlierFileName(const QString& tableName)
{
    static const QMap<QString, QString> files { { QStringLiteral("FICMAES"), QStringLiteral("FICMAES.DB") },
        { QStringLiteral("ESPECIES"), QStringLiteral("ESPECIES.db") },
        { QStringLiteral("RAZAS"), QStringLiteral("RAZAS.DB") },
        { QStringLiteral("ALBUM"), QStringLiteral("ALBUM.DB") },
        { QStringLiteral("SANIDAD"), QStringLiteral("SANIDAD.db") },
        { QStringLiteral("VETERIN"), QStringLiteral("VETERIN.DB") },
        { QStringLiteral("VACUNAS"), QStringLiteral("VACUNAS.db") },
        { QStringLiteral("AVISOS"), QStringLiteral("AVISOS.DB") },
        { QStringLiteral("INIAVIS"), QStringLiteral("INIAVIS.DB") } };
    return files.value(tableName);
}

// Text in a code page other than 1252, through iconv.
inline QByteArray inCodePage(const QString& text, int codePage)
{
    if (codePage == 1252)
        return windows1252(text);
    const iconv_t cd = iconv_open(("CP" + QByteArray::number(codePage)).constData(), "UTF-8");
    if (cd == iconv_t(-1)) // NOLINT(performance-no-int-to-ptr): iconv's own failure value
        throw std::invalid_argument("inCodePage: iconv does not know this code page");
    QByteArray utf8 = text.toUtf8();
    QByteArray out(utf8.size() * 4 + 4, '\0');
    char* in = utf8.data();
    size_t inLeft = size_t(utf8.size());
    char* at = out.data();
    size_t outLeft = size_t(out.size());
    const size_t done = iconv(cd, &in, &inLeft, &at, &outLeft);
    iconv_close(cd);
    if (done == size_t(-1))
        throw std::invalid_argument("inCodePage: a character has no byte in this code page");
    out.truncate(at - out.data());
    return out;
}

// A record by field name: QString (alpha, memo), QByteArray (alpha or memo
// bytes as they are), QDate, QTime, bool or int. Fields left out are blank.
using Record = QMap<QString, QVariant>;

// Writes `folder/fileName` (and its .MB when there is a memo field).
inline void writeTable(const QString& folder, const QString& fileName, const std::vector<Field>& fields,
    const std::vector<Record>& records, int codePage = 1252)
{
    PX_boot();
    pxdoc_t* doc = PX_new();
    // pxlib takes the field array and its names and frees them itself.
    auto* pxFields = static_cast<pxfield_t*>(std::calloc(fields.size(), sizeof(pxfield_t)));
    bool hasMemo = false;
    for (size_t i = 0; i < fields.size(); ++i) {
        pxFields[i].px_fname = strdup(fields[i].name.toLatin1().constData());
        pxFields[i].px_ftype = char(fields[i].type);
        pxFields[i].px_flen = fields[i].length;
        hasMemo = hasMemo || fields[i].type == pxfMemoBLOb;
    }
    const QString path = QDir(folder).filePath(fileName);
    if (PX_create_file(
            doc, pxFields, int(fields.size()), QFile::encodeName(path).constData(), pxfFileTypNonIndexDB)
        < 0)
        throw std::runtime_error("pxlib cannot create " + path.toStdString());
    // pxlib's "codepage" parameter does not reach the header; the header
    // field does, and pxlib writes it out with the records.
    doc->px_head->px_doscodepage = codePage;
    PX_set_tablename(doc, QFileInfo(fileName).completeBaseName().toLatin1().constData());
    if (hasMemo) {
        const QString mb
            = QDir(folder).filePath(QFileInfo(fileName).completeBaseName() + QStringLiteral(".MB"));
        if (PX_set_blob_file(doc, QFile::encodeName(mb).constData()) < 0)
            throw std::runtime_error("pxlib cannot create " + mb.toStdString());
    }
    const int size = PX_get_recordsize(doc);
    for (const Record& record : records) {
        std::vector<char> data(size_t(size), 0);
        int offset = 0;
        for (const Field& field : fields) {
            char* at = data.data() + offset;
            offset += field.length;
            const QVariant value = record.value(field.name);
            if (!value.isValid())
                continue;
            QByteArray bytes = value.typeId() == QMetaType::QByteArray
                ? value.toByteArray()
                : inCodePage(value.toString(), codePage);
            switch (field.type) {
            case pxfAlpha:
                bytes.resize(std::max<qsizetype>(bytes.size(), field.length), '\0');
                PX_put_data_alpha(doc, at, field.length, bytes.data());
                break;
            case pxfMemoBLOb:
                PX_put_data_blob(doc, at, field.length, bytes.data(), int(bytes.size()));
                break;
            case pxfDate:
                PX_put_data_long(doc, at, 4, int(value.toDate().toJulianDay() - 1721425));
                break;
            case pxfTime:
                PX_put_data_long(doc, at, 4, value.toTime().msecsSinceStartOfDay());
                break;
            case pxfLogical:
                PX_put_data_byte(doc, at, 1, value.toBool() ? 1 : 0);
                break;
            default:
                PX_put_data_long(doc, at, 4, value.toInt());
            }
        }
        if (PX_put_record(doc, data.data()) < 0)
            throw std::runtime_error("pxlib cannot write a record of " + path.toStdString());
    }
    PX_close(doc);
    PX_delete(doc);
}

// One of the nine tables with the fields the earlier version gave it.
inline void writeTable(
    const QString& folder, const QString& tableName, const std::vector<Record>& records, int codePage = 1252)
{
    writeTable(folder, earlierFileName(tableName), earlierFields(tableName), records, codePage);
}

} // namespace paradoxfixture
