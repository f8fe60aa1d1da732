// Thin owners for SQLite handles, private to the engine: a connection and a
// prepared statement that resets itself, so no read lock outlives a call.
#pragma once

#include <QByteArray>
#include <QString>
#include <sqlite3.h>
#include <utility>

namespace engine::sql {

// A connection; closed when the owner goes.
class Connection {
public:
    Connection() = default;
    explicit Connection(sqlite3* db)
        : m_db(db)
    {
    }
    Connection(Connection&& other) noexcept
        : m_db(std::exchange(other.m_db, nullptr))
    {
    }
    Connection& operator=(Connection&& other) noexcept
    {
        if (this != &other) {
            reset();
            m_db = std::exchange(other.m_db, nullptr);
        }
        return *this;
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() { reset(); }

    void reset()
    {
        if (m_db)
            sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    sqlite3* get() const { return m_db; }
    explicit operator bool() const { return m_db != nullptr; }
    QString errorText() const { return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString(); }

private:
    sqlite3* m_db = nullptr;
};

// A prepared statement. step() returns true while there is a row; errors are
// reported through the callback given at preparation, which throws.
class Statement {
public:
    Statement() = default;
    Statement(Statement&& other) noexcept
        : m_stmt(std::exchange(other.m_stmt, nullptr))
    {
    }
    Statement& operator=(Statement&& other) noexcept
    {
        if (this != &other) {
            finalize();
            m_stmt = std::exchange(other.m_stmt, nullptr);
        }
        return *this;
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() { finalize(); }

    // Returns the SQLite result code; the statement stays empty on failure.
    int prepare(sqlite3* db, const QString& text)
    {
        finalize();
        const QByteArray utf8 = text.toUtf8();
        return sqlite3_prepare_v3(
            db, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr);
    }
    void finalize()
    {
        if (m_stmt)
            sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
    sqlite3_stmt* get() const { return m_stmt; }
    explicit operator bool() const { return m_stmt != nullptr; }

private:
    sqlite3_stmt* m_stmt = nullptr;
};

// Resets a statement and clears its bindings when a use of it ends, also
// when the use ends by an exception.
class ResetGuard {
public:
    explicit ResetGuard(sqlite3_stmt* stmt)
        : m_stmt(stmt)
    {
    }
    ResetGuard(const ResetGuard&) = delete;
    ResetGuard& operator=(const ResetGuard&) = delete;
    ~ResetGuard()
    {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }

private:
    sqlite3_stmt* m_stmt;
};

// A quoted SQL identifier: "NAME" with inner quotes doubled.
inline QString quoted(const QString& name)
{
    QString text = name;
    text.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace engine::sql
