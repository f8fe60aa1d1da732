#include "FieldDef.h"

#include "EngineError.h"
#include "SchemaSql.h"
#include "Sqlite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

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
    for (const IndexDef& index : def.indexes)
        statements << createIndexStatement(table, index);
    return statements;
}

QString indexColumnSql(const IndexField& field)
{
    switch (field.order) {
    case TextOrder::NoCase:
        return quoted(field.field) + QStringLiteral(" COLLATE NOCASE");
    case TextOrder::Spanish:
        return spanishKeySql(quoted(field.field));
    case TextOrder::Binary:
        break;
    }
    return quoted(field.field);
}

QString createIndexStatement(const QString& tableName, const IndexDef& index)
{
    QStringList parts;
    for (const IndexField& f : index.fields)
        parts << indexColumnSql(f);
    return QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
        .arg(quoted(index.name), quoted(tableName), parts.join(QStringLiteral(", ")));
}

namespace {

// Each accented letter, small and capital, and what it sorts as: the Spanish
// ones and those of Catalan and Galician names. No more: SQLite's parser
// refuses an expression nested much deeper than this.
const std::pair<const char16_t*, const char*> kAccented[] = { { u"áàÁÀ", "a" }, { u"éèÉÈ", "e" },
    { u"íÍ", "i" }, { u"óòÓÒ", "o" }, { u"úüÚÜ", "u" }, { u"çÇ", "c" } };
// Ñ comes after every N and before O.
constexpr char16_t kEnye[] = u"ñÑ";
constexpr char kEnyeKey[] = "n\x7f";

} // namespace

QString spanishKeySql(const QString& expression)
{
    QString key = expression;
    for (const auto& [accented, plain] : kAccented)
        for (const QChar letter : QStringView(accented))
            key = QStringLiteral("replace(%1,'%2','%3')").arg(key, letter, QLatin1String(plain));
    for (const QChar letter : QStringView(kEnye))
        key = QStringLiteral("replace(%1,'%2','n'||char(127))").arg(key, letter);
    // Small letters, so that signs and digits come before every letter.
    return QStringLiteral("lower(%1)").arg(key);
}

namespace {

EngineError notOurs(const QString& filePath, const QString& why)
{
    return EngineError(QStringLiteral("El archivo %1 no es una tabla de Huellario: %2.").arg(filePath, why));
}

// The key columns of a CREATE INDEX statement, split at the commas of its
// outermost parentheses.
QStringList indexColumns(const QString& create)
{
    static const QRegularExpression onWord(
        QStringLiteral("\\bON\\b"), QRegularExpression::CaseInsensitiveOption);
    const qsizetype on = create.indexOf(onWord);
    const qsizetype open = on < 0 ? -1 : create.indexOf(QLatin1Char('('), on);
    QStringList parts;
    if (open < 0)
        return parts;
    int depth = 0;
    bool quote = false;
    QString current;
    for (qsizetype i = open + 1; i < create.size(); ++i) {
        const QChar c = create[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"'))
            quote = !quote;
        if (!quote && c == QLatin1Char('('))
            ++depth;
        if (!quote && c == QLatin1Char(')') && depth-- == 0) {
            parts << current.trimmed();
            return parts;
        }
        if (!quote && depth == 0 && c == QLatin1Char(',')) {
            parts << current.trimmed();
            current.clear();
            continue;
        }
        current += c;
    }
    return {};
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
        static const QRegularExpression blank(QStringLiteral("\\s"));
        const qsizetype end = column.indexOf(blank);
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
    // Plain string work, no regular expressions: every table open reads its
    // columns, and compiling a pattern per column cost the start-up dearly.
    const auto squeezed = [](const QString& text, bool keepBrackets) {
        QString out;
        out.reserve(text.size());
        for (const QChar c : text) {
            if (c.isSpace() || c == QLatin1Char('"') || c == QLatin1Char('`')
                || (!keepBrackets && (c == QLatin1Char('[') || c == QLatin1Char(']'))))
                continue;
            out += c.toUpper();
        }
        return out;
    };
    const QString shape = squeezed(rest, false);
    const QString withBrackets = squeezed(rest, true); // GLOB patterns keep their brackets
    const QString column = squeezed(name, false);

    if (shape == QLatin1String("INTEGERPRIMARYKEYAUTOINCREMENT"))
        return FieldDef { name, FieldKind::Counter, 0 };
    if (shape == QLatin1String("INTEGERCHECK(") + column + QLatin1String("IN(0,1))"))
        return FieldDef { name, FieldKind::Logical, 0 };
    if (shape == QLatin1String("TEXT"))
        return FieldDef { name, FieldKind::Memo, 0 };
    const QString lengthCheck = QLatin1String("TEXTCHECK(LENGTH(") + column + QLatin1String(")<=");
    if (shape.startsWith(lengthCheck) && shape.endsWith(QLatin1Char(')'))) {
        const QStringView digits = QStringView(shape).mid(lengthCheck.size()).chopped(1);
        bool ok = !digits.isEmpty();
        for (const QChar c : digits)
            ok = ok && c >= QLatin1Char('0') && c <= QLatin1Char('9');
        const int size = ok ? digits.toInt(&ok) : 0;
        if (ok)
            return FieldDef { name, FieldKind::Text, size };
    }
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
              QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'index' AND tbl_name = ?1 "
                             "AND sql IS NOT NULL ORDER BY rowid")),
        db, filePath);
    sqlite3_bind_text(indexes.get(), 1, nameUtf8.constData(), int(nameUtf8.size()), SQLITE_STATIC);
    int step;
    QStringList indexSql;
    while ((step = sqlite3_step(indexes.get())) == SQLITE_ROW) {
        def.indexes.push_back(
            { QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(indexes.get(), 0))), {} });
        indexSql << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(indexes.get(), 1)));
    }
    check(step, db, filePath);
    indexes.finalize();

    for (qsizetype i = 0; i < qsizetype(def.indexes.size()); ++i) {
        IndexDef& index = def.indexes[size_t(i)];
        const QStringList columns = indexColumns(indexSql[i]);
        sql::Statement info;
        check(
            info.prepare(db, QStringLiteral("PRAGMA index_xinfo(%1)").arg(quoted(index.name))), db, filePath);
        while ((step = sqlite3_step(info.get())) == SQLITE_ROW) {
            if (sqlite3_column_int(info.get(), 5) == 0) // the rowid SQLite keeps after the key
                continue;
            const auto text = [&](int col) {
                return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(info.get(), col)));
            };
            if (sqlite3_column_int(info.get(), 1) == -2) {
                // A key computed from a field: only the Spanish order is ours.
                const qsizetype at = qsizetype(index.fields.size());
                const auto field = std::find_if(def.fields.begin(), def.fields.end(), [&](const FieldDef& f) {
                    return at < columns.size() && columns[at] == spanishKeySql(quoted(f.name));
                });
                if (field == def.fields.end())
                    throw notOurs(filePath,
                        QStringLiteral("el índice %1 no ordena de una forma conocida").arg(index.name));
                index.fields.push_back({ field->name, TextOrder::Spanish });
                continue;
            }
            const bool noCase = text(4).compare(QLatin1String("NOCASE"), Qt::CaseInsensitive) == 0;
            index.fields.push_back({ text(2), noCase ? TextOrder::NoCase : TextOrder::Binary });
        }
        check(step, db, filePath);
    }

    sql::Statement version;
    check(version.prepare(db, QStringLiteral("PRAGMA user_version")), db, filePath);
    check(sqlite3_step(version.get()), db, filePath);
    def.formatVersion = std::max(1, sqlite3_column_int(version.get(), 0));
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
    statements << schema::createStatements(def)
               << QStringLiteral("PRAGMA user_version = %1").arg(def.formatVersion)
               << QStringLiteral("COMMIT");
    for (const QString& statement : statements) {
        char* error = nullptr;
        if (sqlite3_exec(db.get(), statement.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
            const QString why = QString::fromUtf8(error ? error : "");
            sqlite3_free(error);
            throw fail(why);
        }
    }
}

namespace {

sql::Connection openFile(const QString& path, int flags)
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, flags, nullptr);
    sql::Connection db(raw);
    if (rc != SQLITE_OK)
        throw EngineError(
            QStringLiteral("No se puede abrir el archivo de tabla %1: %2").arg(path, db.errorText()));
    sqlite3_busy_timeout(db.get(), 5000);
    return db;
}

void syncFile(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!synced)
        throw EngineError(QStringLiteral("No se puede guardar en el disco el archivo de tabla %1: %2")
                              .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
}

} // namespace

int tableFileFormat(const QString& filePath)
{
    // SQLite's header: the magic text at 0, user_version big-endian at 60.
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray header = file.read(64);
    if (header.size() < 64 || !header.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return -1;
    const auto* bytes = reinterpret_cast<const unsigned char*>(header.constData()) + 60;
    const int version
        = int(quint32(bytes[0]) << 24 | quint32(bytes[1]) << 16 | quint32(bytes[2]) << 8 | bytes[3]);
    return std::max(1, version);
}

QString spanishKey(const QString& text)
{
    QString key;
    key.reserve(text.size());
    for (const QChar c : text) {
        if (QStringView(schema::kEnye).contains(c)) {
            key += QLatin1String(schema::kEnyeKey);
            continue;
        }
        QChar plain = c;
        for (const auto& [accented, letter] : schema::kAccented)
            if (QStringView(accented).contains(c))
                plain = QLatin1Char(letter[0]);
        // lower() of SQLite changes ASCII letters only.
        key += plain.unicode() < 128 ? plain.toLower() : plain;
    }
    return key;
}

void copyTableFile(const QString& from, const QString& to)
{
    if (QFileInfo::exists(to))
        throw EngineError(QStringLiteral("El archivo de tabla %1 ya existe; no se sobrescribe.").arg(to));
    sql::Connection source = openFile(from, SQLITE_OPEN_READONLY);
    sql::Connection target = openFile(to, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_EXCLUSIVE);
    const auto fail = [&](const QString& why) {
        target.reset();
        QFile::remove(to);
        return EngineError(
            QStringLiteral("No se puede copiar el archivo de tabla %1 en %2: %3").arg(from, to, why));
    };
    sqlite3_backup* backup = sqlite3_backup_init(target.get(), "main", source.get(), "main");
    if (!backup)
        throw fail(target.errorText());
    int rc = sqlite3_backup_step(backup, -1);
    while (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        sqlite3_sleep(50);
        rc = sqlite3_backup_step(backup, -1);
    }
    const int finished = sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE || finished != SQLITE_OK)
        throw fail(target.errorText());
    // The copy keeps the rollback journal the contract asks for.
    if (sqlite3_exec(target.get(), "PRAGMA journal_mode = DELETE", nullptr, nullptr, nullptr) != SQLITE_OK)
        throw fail(target.errorText());
    target.reset();
    try {
        syncFile(to);
    } catch (const EngineError& error) {
        QFile::remove(to);
        throw;
    }
}

void checkTableFile(const QString& path)
{
    sql::Connection db = openFile(path, SQLITE_OPEN_READONLY);
    sqlite3_stmt* statement = nullptr;
    QString answer;
    if (sqlite3_prepare_v2(db.get(), "PRAGMA integrity_check(1)", -1, &statement, nullptr) == SQLITE_OK
        && sqlite3_step(statement) == SQLITE_ROW)
        answer = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    else
        answer = db.errorText();
    sqlite3_finalize(statement);
    if (answer != QLatin1String("ok"))
        throw EngineError(QStringLiteral("El archivo de tabla %1 está dañado: %2").arg(path, answer));
}

void changeTableFile(const QString& path, const QStringList& statements, int version)
{
    sql::Connection db = openFile(path, SQLITE_OPEN_READWRITE);
    QStringList all { QStringLiteral("PRAGMA synchronous = EXTRA"), QStringLiteral("BEGIN IMMEDIATE") };
    all << statements << QStringLiteral("PRAGMA user_version = %1").arg(version) << QStringLiteral("COMMIT");
    for (const QString& statement : all) {
        char* error = nullptr;
        if (sqlite3_exec(db.get(), statement.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
            const QString why = QString::fromUtf8(error ? error : "");
            sqlite3_free(error);
            sqlite3_exec(db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
            throw EngineError(
                QStringLiteral("No se puede cambiar el archivo de tabla %1: %2").arg(path, why));
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
