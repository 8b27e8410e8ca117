#pragma once

#include <QByteArray>
#include <QString>

#include <stdexcept>

struct sqlite3;
struct sqlite3_stmt;

namespace plx::sqlite {

// A failure of the SQLite library: its result code and its message.
class Error : public std::runtime_error
{
public:
    Error(int code, QString message);
    int code() const { return m_code; }
    const QString& message() const { return m_message; }
    // The file is not a database, or its pages are damaged.
    bool isDamage() const;
    // Another connection holds the file past the busy timeout.
    bool isBusy() const;

private:
    int m_code;
    QString m_message;
};

// One open database file. Closed when it ends.
class Database
{
public:
    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens (creating when `create`) the file at `path`. Throws Error.
    void open(const QString& path, bool create);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    sqlite3* handle() const { return m_db; }

    // Runs one or more statements without results. Throws Error.
    void exec(const char* sql);
    // The first column of the first row of `sql` as text (empty when none).
    QString scalar(const char* sql);
    qint64 lastInsertId() const;
    // The file could be opened for reading only (this account may not write it).
    bool isReadOnly() const;
    void setBusyTimeout(int milliseconds);
    // Throws Error for result code `rc` when it is not OK (or DONE / ROW).
    void check(int rc) const;

private:
    sqlite3* m_db = nullptr;
};

// A prepared statement of a Database. Finalized when it ends.
class Statement
{
public:
    Statement(Database& db, const char* sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Parameters are 1-based, as SQLite numbers them.
    Statement& bind(int i, qint64 value);
    Statement& bind(int i, const QString& value);
    Statement& bindBlob(int i, const QByteArray& value);
    // Runs the statement to its next row: true with a row, false when done.
    bool step();
    // Runs a statement that returns no row and resets it for the next binding.
    void run();
    void reset();

    qint64 integer(int column) const;
    QString text(int column) const;
    QByteArray blob(int column) const;

private:
    Database& m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

// A transaction that rolls back unless committed. BEGIN IMMEDIATE takes the
// file's write lock at once, so a busy file fails here, before any change.
class Transaction
{
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& m_db;
    bool m_open = true;
};

} // namespace plx::sqlite
