// How field values travel between the record buffer and SQLite, private to
// the engine: storage form, binding, reading, and the sort keys that order
// the visible records exactly as SQLite's index does.
#pragma once

#include "FieldDef.h"

#include <QByteArray>
#include <QDate>
#include <QVariant>
#include <optional>
#include <sqlite3.h>
#include <string>

namespace engine::values {

// A value as the file stores it: NULL, an integer or UTF-8 text.
struct Stored {
    enum class Type { Null, Integer, Text } type = Type::Null;
    qint64 integer = 0;
    QByteArray text;
};

// The stored form of a buffer value for a field of `kind`; an empty text or
// an invalid date stores NULL.
Stored toStored(FieldKind kind, const QVariant& value);
void bind(sqlite3_stmt* stmt, int index, const Stored& value);
inline void bind(sqlite3_stmt* stmt, int index, FieldKind kind, const QVariant& value)
{
    bind(stmt, index, toStored(kind, value));
}
// A column of the current result row as a buffer value (QString, QDate,
// QTime, bool, qint64 or null).
QVariant read(sqlite3_stmt* stmt, int column, FieldKind kind);

// Sort keys: byte strings whose plain byte order is SQLite's order of the
// values (NULL first, then numbers, then text by bytes), NOCASE folding ASCII
// letters as SQLite does. A record's key ends with its rowid.
void appendKey(std::string& key, const Stored& value, bool noCase);
// `textual`: the column holds text or NULL only (text, date, time, memo),
// which spares asking SQLite for the value's type.
void appendKey(std::string& key, sqlite3_stmt* stmt, int column, bool noCase, bool textual);
void appendRowid(std::string& key, qint64 rowid);
qint64 rowidOfKey(std::string_view key);

// A date in the short date format, leading blanks allowed in day and month
// (" 1/ 2/2024"); nullopt when the text is not one.
std::optional<QDate> parseShortDate(const QString& text, const QString& format);

} // namespace engine::values
