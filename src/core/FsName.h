#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

struct stat;

namespace plx::fsname {

// File names as the file system holds them: bytes. The desk's other systems
// write CP932 names, which are not UTF-8; Qt's own name conversion turns such
// bytes into U+FFFD and the file can then be neither listed nor opened. A
// path here is a QString that keeps every byte: UTF-8 sequences are their
// characters, and each byte that is not part of one is held as the lone
// surrogate U+DC80-U+DCFF ("surrogate escape"). decode() and encode() are
// exact inverses for any name; every system call on such a path goes through
// encode().
QString decode(const QByteArray& bytes);
QByteArray encode(const QString& path);

// The path as a person reads it, one line of UTF-8 text: a name that is not
// UTF-8 but whole CP932 is shown as CP932; any other byte that is not UTF-8
// as \xHH; a TAB, LF, CR or other control character as \t, \n, \r, \xHH, so
// a name never breaks a line or a tab-separated field.
QString display(const QString& path);
// display(), with every character CP932 cannot hold written as \u{HHHH}: the
// form a name takes in a CP932 file (the error list, the run log).
QString displayCp932(const QString& path);

// The names of the entries of `folder` (without "." and ".."), exact; an
// unreadable folder lists nothing.
QStringList list(const QString& folder);

// stat() of the path; nothing when it fails.
bool statPath(const QString& path, struct stat& st);
// Opens the file for reading; -1 with `why` (the system's text) when it cannot.
int openRead(const QString& path, QString& why);
// rename(); false with `why` when it fails.
bool renamePath(const QString& from, const QString& to, QString& why);
// Moves a file to `to` (replacing a file there): rename(), or on another file
// system a copy flushed to disk and then the removal of the original; false
// with `why` when it cannot (the original stays).
bool moveFile(const QString& from, const QString& to, QString& why);
// Writes `bytes` as the whole file through a work file beside it (".NAME.tmp"),
// flushed to disk and renamed into place; false with `why` when it cannot.
bool writeWhole(const QString& path, const QByteArray& bytes, QString& why);
// Whether the path names a regular file.
bool isFile(const QString& path);

// The system's text for errno.
QString systemError(int error);

} // namespace plx::fsname
