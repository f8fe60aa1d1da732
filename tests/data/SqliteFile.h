// Reads a table file straight through SQLite, so the tests check what is on
// disk without going through the engine.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <sqlite3.h>

#include <stdexcept>
#include <vector>

class SqliteFile {
public:
    explicit SqliteFile(const QString& path, bool writable = false, bool create = false)
    {
        const int flags
            = writable ? SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) : SQLITE_OPEN_READONLY;
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags, nullptr) != SQLITE_OK) {
            const std::string message = sqlite3_errmsg(m_db);
            sqlite3_close(m_db);
            throw std::runtime_error(path.toStdString() + ": " + message);
        }
    }
    ~SqliteFile() { sqlite3_close(m_db); }
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;

    // Every row of the result, NULL as an invalid QVariant.
    std::vector<QVariantList> rows(const QString& sql, const QVariantList& params = {}) const
    {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK)
            throw std::runtime_error(sql.toStdString() + ": " + sqlite3_errmsg(m_db));
        for (int i = 0; i < params.size(); ++i) {
            const QByteArray text = params[i].toString().toUtf8();
            sqlite3_bind_text(stmt, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
        std::vector<QVariantList> result;
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            QVariantList row;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                switch (sqlite3_column_type(stmt, c)) {
                case SQLITE_NULL:
                    row << QVariant();
                    break;
                case SQLITE_INTEGER:
                    row << QVariant(qint64(sqlite3_column_int64(stmt, c)));
                    break;
                default:
                    row << QVariant(
                        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)),
                            sqlite3_column_bytes(stmt, c)));
                }
            }
            result.push_back(row);
        }
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE)
            throw std::runtime_error(sql.toStdString() + ": " + sqlite3_errmsg(m_db));
        return result;
    }

    // Runs a statement that returns no rows.
    void exec(const QString& sql, const QVariantList& params = {}) { rows(sql, params); }

    QVariant value(const QString& sql, const QVariantList& params = {}) const
    {
        const auto all = rows(sql, params);
        return all.empty() || all.front().isEmpty() ? QVariant() : all.front().front();
    }

private:
    sqlite3* m_db = nullptr;
};
