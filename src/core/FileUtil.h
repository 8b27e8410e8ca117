#pragma once

#include <QByteArray>
#include <QString>

namespace plx::fileutil {

// Reads a whole file; throws RuntimeFailure when it exists but cannot be read.
// A missing file reads as empty.
QByteArray readAll(const QString& path);

// Replaces `path` with `bytes` through a work file in the same folder that is
// flushed to disk and renamed over the old file (replaceFile): a crash at any
// moment leaves the old file or the new one, never a torn one. Throws
// RuntimeFailure.
void writeAtomically(const QString& path, const QByteArray& bytes);
// The same without throwing: false with the system's reason alone.
bool writeAtomically(const QString& path, const QByteArray& bytes, QString& why);

// Renames `from` over `to` in one step (the old `to` is replaced atomically).
// The new file keeps the permissions and the group of the file it replaces,
// so that the other accounts sharing an installation can still write it
// whatever this process's umask; a file that was not there gets what a new
// file of its folder gets (shareWithFolder). Throws RuntimeFailure.
void replaceFile(const QString& from, const QString& to);
// The same without throwing: false with the system's reason alone.
bool renameKeepingMode(const QString& from, const QString& to, QString& why);

// Writes `bytes` as the whole file at `path` (a work file, not yet in place) and
// flushes it to disk. A work file left behind (by a program that was killed,
// perhaps another account's) is removed first, not written through. Throws
// RuntimeFailure.
void writeAndSync(const QString& path, const QByteArray& bytes);

// Flushes a file's data to disk. Throws RuntimeFailure.
void syncFile(const QString& path);

// Gives a file this process has just created the group's write permission when
// its folder has it: in a folder an installation's accounts share (group-
// writable, set-group-ID), a file made under a umask of 022 would otherwise
// shut the group out. A file in any other folder keeps the mode the umask gave.
// `fd` is an open descriptor of the file. Does nothing for another account's
// file; failures are ignored (the file stays as it was made).
void shareWithFolder(int fd, const QString& folder);
// The same for a file or folder named by its path (a link is left alone). The
// file is not opened, so the POSIX locks this process holds on it stay.
void shareWithFolder(const QString& path);

// Creates the folder `path` and any missing folder above it, each shared as
// shareWithFolder says; true when it is there afterwards.
bool makeFolder(const QString& path);

// Creates a new, empty file with a unique name beginning with `prefix` in
// `folder` (open for writing, mode as the umask gives it, shared as
// shareWithFolder says) and returns its descriptor; `path` receives its
// name. Returns -1 with `error` set (the system's text) when it cannot.
int createUniqueFile(const QString& folder, const QString& prefix, QString& path, QString& error);

// Puts the finished file `from` in place as `folder/stem + suffix` without ever
// replacing a file: when that name is taken, as `stem-2 + suffix`, `stem-3 +
// suffix`, ... It is linked under the new name only when complete, so no
// program sees it half-written, and two programs publishing the same name at
// the same moment each get their own. `from` is gone afterwards. Returns the
// path it got; throws RuntimeFailure.
QString publishExclusively(const QString& from, const QString& folder, const QString& stem, const QString& suffix);

} // namespace plx::fileutil
