#pragma once

#include <QByteArray>
#include <QString>

namespace plx::fileutil {

// Reads a whole file; throws RuntimeFailure when it exists but cannot be read.
// A missing file reads as empty.
QByteArray readAll(const QString& path);

// Replaces `path` with `bytes` through a temporary file in the same folder that
// is flushed to disk and renamed over the old file: a crash at any moment leaves
// the old file or the new one, never a torn one. Throws RuntimeFailure.
void writeAtomically(const QString& path, const QByteArray& bytes);

// Renames `from` over `to` in one step (the old `to` is replaced atomically).
// Throws RuntimeFailure.
void replaceFile(const QString& from, const QString& to);

// Writes `bytes` as the whole file at `path` (a work file, not yet in place) and
// flushes it to disk. Throws RuntimeFailure.
void writeAndSync(const QString& path, const QByteArray& bytes);

// Flushes a file's data to disk. Throws RuntimeFailure.
void syncFile(const QString& path);

} // namespace plx::fileutil
