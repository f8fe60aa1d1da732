// Paradox tables like those of the earlier Windows version, written with
// pxlib's own writer: the nine tables' fields from our schema, text in the
// Windows code page, memos in a .MB file beside the table.
#pragma once

#include "data/schema/Schema.h"

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

// A table's fields as the earlier version declared them; memos keep ten
// bytes of their beginning in the record.
inline std::vector<Field> fieldsOf(const engine::TableDef& def)
{
    std::vector<Field> fields;
    for (const engine::FieldDef& f : def.fields) {
        switch (f.kind) {
        case engine::FieldKind::Text:
            fields.push_back({ f.name, pxfAlpha, f.size });
            break;
        case engine::FieldKind::Date:
            fields.push_back({ f.name, pxfDate, 4 });
            break;
        case engine::FieldKind::Time:
            fields.push_back({ f.name, pxfTime, 4 });
            break;
        case engine::FieldKind::Logical:
            fields.push_back({ f.name, pxfLogical, 1 });
            break;
        case engine::FieldKind::Counter:
            fields.push_back({ f.name, pxfAutoInc, 4 });
            break;
        case engine::FieldKind::Memo:
            fields.push_back({ f.name, pxfMemoBLOb, 20 });
            break;
        }
    }
    return fields;
}

// A record by field name: QString (alpha, memo), QByteArray (alpha or memo
// bytes as they are), QDate, QTime, bool or int. Fields left out are blank.
using Record = QMap<QString, QVariant>;

// Writes `folder/fileName` (and its .MB when there is a memo field).
inline void writeTable(const QString& folder, const QString& fileName, const std::vector<Field>& fields,
    const std::vector<Record>& records)
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
    PX_set_parameter(doc, "codepage", "1252");
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
            QByteArray bytes = value.typeId() == QMetaType::QByteArray ? value.toByteArray()
                                                                       : windows1252(value.toString());
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
inline void writeTable(const QString& folder, const QString& tableName, const std::vector<Record>& records)
{
    const engine::TableDef& def = schema::table(tableName);
    writeTable(folder, def.fileName, fieldsOf(def), records);
}

} // namespace paradoxfixture
