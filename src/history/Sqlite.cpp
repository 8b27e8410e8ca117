#include "Sqlite.h"

#include <sqlite3.h>

namespace plx::sqlite {

Error::Error(int code, QString message)
    : std::runtime_error(message.toStdString()), m_code(code), m_message(std::move(message))
{
}

bool Error::isDamage() const
{
    const int primary = m_code & 0xff;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

bool Error::isBusy() const
{
    const int primary = m_code & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

Database::~Database()
{
    close();
}

void Database::open(const QString& path, bool create)
{
    close();
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc));
        const int code = m_db ? sqlite3_extended_errcode(m_db) : rc;
        close();
        throw Error(code, message);
    }
    sqlite3_extended_result_codes(m_db, 1);
}

void Database::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

void Database::check(int rc) const
{
    if (rc == SQLITE_OK || rc == SQLITE_DONE || rc == SQLITE_ROW)
        return;
    throw Error(m_db ? sqlite3_extended_errcode(m_db) : rc,
                m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc)));
}

void Database::exec(const char* sql)
{
    check(sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr));
}

QString Database::scalar(const char* sql)
{
    Statement statement(*this, sql);
    return statement.step() ? statement.text(0) : QString();
}

qint64 Database::lastInsertId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

bool Database::isReadOnly() const
{
    return sqlite3_db_readonly(m_db, "main") == 1;
}

void Database::setBusyTimeout(int milliseconds)
{
    check(sqlite3_busy_timeout(m_db, milliseconds));
}

Statement::Statement(Database& db, const char* sql) : m_db(db)
{
    db.check(sqlite3_prepare_v2(db.handle(), sql, -1, &m_stmt, nullptr));
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

Statement& Statement::bind(int i, qint64 value)
{
    m_db.check(sqlite3_bind_int64(m_stmt, i, value));
    return *this;
}

Statement& Statement::bind(int i, const QString& value)
{
    const QByteArray utf8 = value.toUtf8();
    m_db.check(sqlite3_bind_text(m_stmt, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT));
    return *this;
}

Statement& Statement::bindBlob(int i, const QByteArray& value)
{
    m_db.check(sqlite3_bind_blob(m_stmt, i, value.constData(), int(value.size()), SQLITE_TRANSIENT));
    return *this;
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    m_db.check(rc);
    return false;
}

void Statement::run()
{
    while (step()) {
    }
    reset();
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

qint64 Statement::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

QString Statement::text(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, column)) : QString();
}

QByteArray Statement::blob(int column) const
{
    const void* data = sqlite3_column_blob(m_stmt, column);
    return data ? QByteArray(static_cast<const char*>(data), sqlite3_column_bytes(m_stmt, column)) : QByteArray();
}

Transaction::Transaction(Database& db) : m_db(db)
{
    db.exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction()
{
    if (m_open) {
        try {
            m_db.exec("ROLLBACK");
        } catch (const Error&) {
            // A statement error may have rolled it back already.
        }
    }
}

void Transaction::commit()
{
    m_db.exec("COMMIT");
    m_open = false;
}

} // namespace plx::sqlite
