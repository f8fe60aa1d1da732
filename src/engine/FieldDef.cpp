#include "FieldDef.h"

#include "EngineError.h"
#include "SchemaSql.h"
#include "Sqlite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <optional>

namespace engine {

namespace schema {

using sql::quoted;

QString tableNameOf(const QString& fileName)
{
    return QFileInfo(fileName).completeBaseName();
}

QString columnSql(const FieldDef& field)
{
    const QString c = quoted(field.name);
    switch (field.kind) {
    case FieldKind::Text:
        return QStringLiteral("TEXT CHECK(length(%1) <= %2)").arg(c).arg(field.size);
    case FieldKind::Date:
        // The '+0 days' makes SQLite normalise, so 2024-02-30 fails the check.
        return QStringLiteral(
            "TEXT CHECK(%1 IS NULL OR (%1 GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]' "
            "AND date(%1, '+0 days') IS %1))")
            .arg(c);
    case FieldKind::Time:
        return QStringLiteral("TEXT CHECK(%1 IS NULL OR (%1 GLOB '[0-9][0-9]:[0-9][0-9]:[0-9][0-9]' "
                              "AND time(%1, '+0 seconds') IS %1))")
            .arg(c);
    case FieldKind::Logical:
        return QStringLiteral("INTEGER CHECK(%1 IN (0, 1))").arg(c);
    case FieldKind::Counter:
        return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case FieldKind::Memo:
        return QStringLiteral("TEXT");
    }
    return QStringLiteral("TEXT");
}

QStringList createStatements(const TableDef& def)
{
    const QString table = def.tableName.isEmpty() ? tableNameOf(def.fileName) : def.tableName;
    QStringList columns;
    for (const FieldDef& field : def.fields)
        columns << quoted(field.name) + QLatin1Char(' ') + columnSql(field);
    QStringList statements;
    statements << QStringLiteral("CREATE TABLE %1 (\n  %2\n)")
                      .arg(quoted(table), columns.join(QStringLiteral(",\n  ")));
    for (const IndexDef& index : def.indexes) {
        QStringList parts;
        for (const IndexField& f : index.fields)
            parts << quoted(f.field) + (f.noCase ? QStringLiteral(" COLLATE NOCASE") : QString());
        statements << QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
                          .arg(quoted(index.name), quoted(table), parts.join(QStringLiteral(", ")));
    }
    return statements;
}

namespace {

EngineError notOurs(const QString& filePath, const QString& why)
{
    return EngineError(QStringLiteral("El archivo %1 no es una tabla de Huellario: %2.").arg(filePath, why));
}

// The column definitions of a CREATE TABLE statement, split at the commas
// that are outside parentheses and quotes.
QStringList columnDefinitions(const QString& create)
{
    const qsizetype open = create.indexOf(QLatin1Char('('));
    const qsizetype close = create.lastIndexOf(QLatin1Char(')'));
    QStringList parts;
    if (open < 0 || close <= open)
        return parts;
    int depth = 0;
    QChar quote;
    QString current;
    for (qsizetype i = open + 1; i < close; ++i) {
        const QChar ch = create.at(i);
        if (!quote.isNull()) {
            if (ch == quote)
                quote = QChar();
        } else if (ch == QLatin1Char('"') || ch == QLatin1Char('\'') || ch == QLatin1Char('`')) {
            quote = ch;
        } else if (ch == QLatin1Char('[')) {
            quote = QLatin1Char(']');
        } else if (ch == QLatin1Char('(')) {
            ++depth;
        } else if (ch == QLatin1Char(')')) {
            --depth;
        } else if (ch == QLatin1Char(',') && depth == 0) {
            parts << current.trimmed();
            current.clear();
            continue;
        }
        current += ch;
    }
    if (!current.trimmed().isEmpty())
        parts << current.trimmed();
    return parts;
}

// Splits "NAME rest" with the name in any of SQLite's quotings.
std::pair<QString, QString> splitName(const QString& column)
{
    if (column.isEmpty())
        return {};
    const QChar first = column.at(0);
    QChar closing;
    if (first == QLatin1Char('"') || first == QLatin1Char('`'))
        closing = first;
    else if (first == QLatin1Char('['))
        closing = QLatin1Char(']');
    if (closing.isNull()) {
        const qsizetype end = column.indexOf(QRegularExpression(QStringLiteral("\\s")));
        if (end < 0)
            return { column, QString() };
        return { column.left(end), column.mid(end).trimmed() };
    }
    QString name;
    qsizetype i = 1;
    for (; i < column.size(); ++i) {
        if (column.at(i) == closing) {
            if (i + 1 < column.size() && column.at(i + 1) == closing && closing != QLatin1Char(']')) {
                name += closing;
                ++i;
                continue;
            }
            break;
        }
        name += column.at(i);
    }
    return { name, column.mid(i + 1).trimmed() };
}

bool isTableConstraint(const QString& column)
{
    static const QRegularExpression constraint(
        QStringLiteral("^(CONSTRAINT|PRIMARY|UNIQUE|CHECK|FOREIGN)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    return constraint.match(column).hasMatch();
}

// The kind and size of a column from its type and checks; the spacing and
// quoting of the text do not matter, so files made with the sqlite3 client
// after the contract read back too.
std::optional<FieldDef> classify(const QString& name, const QString& rest)
{
    static const QRegularExpression noise(QStringLiteral("[\\s\"`\\[\\]]"));
    QString shape = rest.toUpper();
    shape.remove(QRegularExpression(QStringLiteral("\\s")));
    const QString withBrackets = shape; // GLOB patterns keep their brackets
    shape.remove(noise);
    QString column = name.toUpper();
    column.remove(noise);
    const QString n = QRegularExpression::escape(column);

    if (shape == QLatin1String("INTEGERPRIMARYKEYAUTOINCREMENT"))
        return FieldDef { name, FieldKind::Counter, 0 };
    if (QRegularExpression(QStringLiteral("^INTEGERCHECK\\(%1IN\\(0,1\\)\\)$").arg(n))
            .match(shape)
            .hasMatch())
        return FieldDef { name, FieldKind::Logical, 0 };
    if (shape == QLatin1String("TEXT"))
        return FieldDef { name, FieldKind::Memo, 0 };
    const QRegularExpression text(QStringLiteral("^TEXTCHECK\\(LENGTH\\(%1\\)<=(\\d+)\\)$").arg(n));
    if (const auto m = text.match(shape); m.hasMatch())
        return FieldDef { name, FieldKind::Text, m.captured(1).toInt() };
    if (shape.startsWith(QLatin1String("TEXTCHECK("))) {
        if (shape.contains(QLatin1String("DATE(") + column)
            || withBrackets.contains(QLatin1String("-[0-9][0-9]-")))
            return FieldDef { name, FieldKind::Date, 0 };
        if (shape.contains(QLatin1String("TIME(") + column)
            || withBrackets.contains(QLatin1String(":[0-9][0-9]:")))
            return FieldDef { name, FieldKind::Time, 0 };
    }
    return std::nullopt;
}

void check(int rc, sqlite3* db, const QString& filePath)
{
    if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE)
        throw EngineError(QStringLiteral("No se puede leer el archivo de tabla %1: %2")
                              .arg(filePath, QString::fromUtf8(sqlite3_errmsg(db))));
}

} // namespace

TableDef readDef(sqlite3* db, const QString& filePath, const QString& tableName)
{
    TableDef def;
    def.fileName = QFileInfo(filePath).fileName();
    def.tableName = tableName;

    sql::Statement master;
    check(master.prepare(
              db, QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?1")),
        db, filePath);
    const QByteArray nameUtf8 = tableName.toUtf8();
    sqlite3_bind_text(master.get(), 1, nameUtf8.constData(), int(nameUtf8.size()), SQLITE_STATIC);
    const int rc = sqlite3_step(master.get());
    check(rc, db, filePath);
    if (rc != SQLITE_ROW)
        throw notOurs(filePath, QStringLiteral("no contiene la tabla %1").arg(tableName));
    const QString create
        = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(master.get(), 0)));
    master.finalize();

    for (const QString& column : columnDefinitions(create)) {
        if (isTableConstraint(column))
            continue;
        const auto [name, rest] = splitName(column);
        const std::optional<FieldDef> field = classify(name, rest);
        if (!field)
            throw notOurs(filePath, QStringLiteral("el campo %1 no tiene un tipo conocido").arg(name));
        def.fields.push_back(*field);
    }
    if (def.fields.empty())
        throw notOurs(filePath, QStringLiteral("la tabla %1 no tiene campos").arg(tableName));

    sql::Statement indexes;
    check(indexes.prepare(db,
              QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = ?1 "
                             "AND sql IS NOT NULL ORDER BY rowid")),
        db, filePath);
    sqlite3_bind_text(indexes.get(), 1, nameUtf8.constData(), int(nameUtf8.size()), SQLITE_STATIC);
    int step;
    while ((step = sqlite3_step(indexes.get())) == SQLITE_ROW)
        def.indexes.push_back(
            { QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(indexes.get(), 0))), {} });
    check(step, db, filePath);
    indexes.finalize();

    for (IndexDef& index : def.indexes) {
        sql::Statement info;
        check(
            info.prepare(db, QStringLiteral("PRAGMA index_xinfo(%1)").arg(quoted(index.name))), db, filePath);
        while ((step = sqlite3_step(info.get())) == SQLITE_ROW) {
            if (sqlite3_column_int(info.get(), 5) == 0) // the rowid SQLite keeps after the key
                continue;
            const auto text = [&](int col) {
                return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(info.get(), col)));
            };
            index.fields.push_back(
                { text(2), text(4).compare(QLatin1String("NOCASE"), Qt::CaseInsensitive) == 0 });
        }
        check(step, db, filePath);
    }
    return def;
}

} // namespace schema

void createTableFile(const QString& folder, const TableDef& def)
{
    const QString path = QDir(folder).filePath(def.fileName);
    if (QFileInfo::exists(path))
        throw EngineError(QStringLiteral("El archivo de tabla %1 ya existe; no se sobrescribe.").arg(path));

    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &raw,
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_EXCLUSIVE, nullptr);
    sql::Connection db(raw);
    auto fail = [&](const QString& why) {
        const QString text = QStringLiteral("No se puede crear el archivo de tabla %1: %2").arg(path, why);
        db.reset();
        QFile::remove(path);
        return EngineError(text);
    };
    if (rc != SQLITE_OK)
        throw fail(db.errorText());

    QStringList statements { QStringLiteral("PRAGMA journal_mode = DELETE"), QStringLiteral("BEGIN") };
    statements << schema::createStatements(def) << QStringLiteral("COMMIT");
    for (const QString& statement : statements) {
        char* error = nullptr;
        if (sqlite3_exec(db.get(), statement.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
            const QString why = QString::fromUtf8(error ? error : "");
            sqlite3_free(error);
            throw fail(why);
        }
    }
}

TableDef readTableDef(const QString& filePath)
{
    if (!QFileInfo(filePath).isFile())
        throw EngineError(QStringLiteral("No existe el archivo de tabla %1.").arg(filePath));
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(filePath.toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    sql::Connection db(raw);
    if (rc != SQLITE_OK)
        throw EngineError(
            QStringLiteral("No se puede abrir el archivo de tabla %1: %2").arg(filePath, db.errorText()));
    return schema::readDef(db.get(), filePath, schema::tableNameOf(filePath));
}

} // namespace engine
