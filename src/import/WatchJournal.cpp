#include "WatchJournal.h"

#include "ImportDriver.h"

#include "core/ErrorReport.h"
#include "core/FileUtil.h"
#include "core/FsName.h"
#include "core/Paths.h"
#include "core/text/Cp932.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <unistd.h>
#endif

namespace plx {

namespace {

const char* destinationName(BatchEntry::Destination to)
{
    switch (to) {
    case BatchEntry::Destination::Dust:
        return "dust";
    case BatchEntry::Destination::Keep:
        return "keep";
    case BatchEntry::Destination::Rejected:
        return "rejected";
    case BatchEntry::Destination::Stay:
        break;
    }
    return "stay";
}

BatchEntry::Destination destinationOf(const QString& name)
{
    if (name == QLatin1String("dust"))
        return BatchEntry::Destination::Dust;
    if (name == QLatin1String("keep"))
        return BatchEntry::Destination::Keep;
    if (name == QLatin1String("rejected"))
        return BatchEntry::Destination::Rejected;
    return BatchEntry::Destination::Stay;
}

QJsonArray toArray(const QStringList& lines)
{
    QJsonArray array;
    for (const QString& line : lines)
        array.append(line);
    return array;
}

QStringList toLines(const QJsonValue& value)
{
    QStringList lines;
    for (const QJsonValue& line : value.toArray())
        lines.append(line.toString());
    return lines;
}

// Makes the moves out of and into a folder durable before the journal that
// would redo them goes.
void syncFolder(const QString& folder)
{
#ifndef Q_OS_WIN
    const int fd = ::open(fsname::encode(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(folder);
#endif
}

// A path in a JSON file: as text when it is one, else its bytes in base64
// behind "raw:" (JSON text cannot carry a name that is not UTF-8).
QString pathToJson(const QString& path)
{
    const QByteArray raw = fsname::encode(path);
    return QByteArrayView(raw).isValidUtf8() ? path : QStringLiteral("raw:") + QString::fromLatin1(raw.toBase64());
}

QString pathFromJson(const QString& text)
{
    if (text.startsWith(QLatin1String("raw:")))
        return fsname::decode(QByteArray::fromBase64(text.mid(4).toLatin1()));
    return text;
}

QString folderOf(const QString& path)
{
    return QDir::cleanPath(path.section(QLatin1Char('/'), 0, -2, QString::SectionIncludeLeadingSep));
}

bool stillTheSame(const BatchEntry& entry)
{
    const std::optional<FileIdentity> now = FileIdentity::of(entry.path);
    return now && *now == entry.identity;
}

} // namespace

namespace {
WatchStepObserver g_watchStepObserver = nullptr;
}

void setWatchStepObserver(WatchStepObserver observer)
{
    g_watchStepObserver = observer;
}

void watchStepReached(const char* step)
{
    if (g_watchStepObserver)
        g_watchStepObserver(step);
}

WatchJournal::WatchJournal(const Paths& paths, Protocol protocol)
    : m_installFolder(installationFolderOf(paths)), m_dustFolder(QDir(paths.dustFolder).absolutePath()),
      m_rejectedFolder(rejectedFolderOf(paths))
{
    const QString prg = QFileInfo(paths.codePath).absolutePath();
    const QString prefix = prg + (protocol == Protocol::Eiaj ? QStringLiteral("/E_Watch") : QStringLiteral("/K_Watch"));
    m_journalPath = prefix + QStringLiteral(".jnl");
    m_workPath = prefix + QStringLiteral(".wrk");
    m_handledPath = prefix + QStringLiteral(".done");
    m_instanceLockPath = prefix + QStringLiteral(".lock");
    loadHandled();
}

QString WatchJournal::rejectedFolderOf(const Paths& paths)
{
    return QDir(QDir(paths.dustFolder).absolutePath() + QStringLiteral("/.."))
        .absoluteFilePath(QStringLiteral("Rejected"));
}

QString WatchJournal::installationFolderOf(const Paths& paths)
{
    return QDir::cleanPath(QFileInfo(paths.codePath).absolutePath() + QStringLiteral("/.."));
}

bool WatchJournal::isInstallationFolder(const QString& folder) const
{
    const auto resolved = [](const QString& path) {
        const QString canonical = QFileInfo(path).canonicalFilePath();
        return canonical.isEmpty() ? QDir::cleanPath(QFileInfo(path).absoluteFilePath()) : canonical;
    };
    const QString install = resolved(m_installFolder);
    const QString candidate = resolved(folder);
    return candidate.compare(install, Qt::CaseInsensitive) == 0 ||
           candidate.startsWith(install + QLatin1Char('/'), Qt::CaseInsensitive);
}

void WatchJournal::setWatchedFolder(const QString& folder)
{
    m_watchedFolder = QDir::cleanPath(folder);
}

bool WatchJournal::movable(const BatchEntry& entry) const
{
    const QString folder = folderOf(entry.path);
    return !m_watchedFolder.isEmpty() && folder == m_watchedFolder && !isInstallationFolder(folder);
}

void WatchJournal::write(const QList<BatchEntry>& entries, const QStringList& heading)
{
    QJsonArray files;
    for (const BatchEntry& e : entries) {
        files.append(QJsonObject{{QStringLiteral("path"), pathToJson(e.path)},
                                 {QStringLiteral("identity"), e.identity.toJson()},
                                 {QStringLiteral("outcome"), e.outcome},
                                 {QStringLiteral("to"), QLatin1String(destinationName(e.to))},
                                 {QStringLiteral("errors"), toArray(e.errorLines)}});
    }
    const QJsonObject journal{{QStringLiteral("heading"), toArray(heading)}, {QStringLiteral("files"), files}};
    fileutil::writeAtomically(m_journalPath, QJsonDocument(journal).toJson());
}

void WatchJournal::discard()
{
    QFile::remove(m_journalPath);
}

WatchJournal::Recovery WatchJournal::recover()
{
    Recovery recovery;
    const bool journalled = QFileInfo::exists(m_journalPath);
    if (QFileInfo::exists(m_workPath)) {
        // The rename never happened: the data file is as it was before the
        // batch, and its files are where they were.
        QFile::remove(m_workPath);
        if (journalled) {
            discard();
            recovery.state = Recovery::State::RolledBack;
        }
        return recovery;
    }
    if (!journalled)
        return recovery;

    QJsonParseError error{};
    QString unreadable;
    QJsonDocument document;
    try {
        document = QJsonDocument::fromJson(fileutil::readAll(m_journalPath), &error);
        if (error.error != QJsonParseError::NoError || !document.isObject() ||
            !document.object().value(QStringLiteral("files")).isArray())
            unreadable =
                error.error != QJsonParseError::NoError ? error.errorString() : QStringLiteral("形式が違います");
    } catch (const RuntimeFailure& failure) {
        unreadable = failure.description();
    }
    if (!unreadable.isEmpty()) {
        // The batch reached the data file (its work file is gone), but which
        // files it took is lost. Nothing is moved: the files stay and are
        // taken again, and the import refuses the keys already there. The
        // journal is kept aside for whoever looks into it.
        const QString base = m_journalPath + QStringLiteral(".damaged-") +
                             QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        QString aside = base;
        for (int n = 2; QFileInfo::exists(aside); ++n)
            aside = base + QLatin1Char('-') + QString::number(n);
        if (!QFile::rename(m_journalPath, aside))
            throw RuntimeFailure(
                QStringLiteral("取り込みの記録を読めず、退避もできません。(%1: %2)").arg(m_journalPath, unreadable));
        recovery.state = Recovery::State::Damaged;
        recovery.damage = QStringLiteral("取り込みの記録を読めません。(%1: %2) 記録は %3 に退避しました。"
                                         "ﾌｫﾙﾀﾞに残ったﾌｧｲﾙは取り込み直します（登録済みの納品ｷｰは005で除かれます）。")
                              .arg(m_journalPath, unreadable, aside);
        return recovery;
    }
    const QJsonObject journal = document.object();
    const QStringList heading = toLines(journal.value(QStringLiteral("heading")));
    for (const QJsonValue& value : journal.value(QStringLiteral("files")).toArray()) {
        const QJsonObject file = value.toObject();
        BatchEntry entry;
        entry.path = pathFromJson(file.value(QStringLiteral("path")).toString());
        entry.identity = FileIdentity::fromJson(file.value(QStringLiteral("identity")).toObject());
        entry.outcome = file.value(QStringLiteral("outcome")).toInt(-1);
        entry.to = destinationOf(file.value(QStringLiteral("to")).toString());
        entry.errorLines = toLines(file.value(QStringLiteral("errors")));
        recovery.entries.append(entry);
    }
    complete(recovery.entries, heading);
    recovery.state = Recovery::State::Completed;
    return recovery;
}

void WatchJournal::complete(QList<BatchEntry>& entries, const QStringList& heading)
{
    bool handledChanged = false;
    for (BatchEntry& entry : entries) {
        if (entry.to == BatchEntry::Destination::Stay || !movable(entry) || !stillTheSame(entry))
            continue;
        bool moved = false;
        switch (entry.to) {
        case BatchEntry::Destination::Dust:
            moved = ImportDriver::moveToDust(m_dustFolder, entry.path, &entry.moveError);
            if (moved)
                entry.movedTo = QDir(m_dustFolder).filePath(entry.path.section(QLatin1Char('/'), -1));
            break;
        case BatchEntry::Destination::Rejected:
            moved = moveToRejected(entry, heading);
            break;
        case BatchEntry::Destination::Keep:
        case BatchEntry::Destination::Stay:
            break;
        }
        if (!moved) {
            entry.moveFailed = entry.to != BatchEntry::Destination::Keep;
            m_handled.insert(entry.path, entry.identity);
            handledChanged = true;
        }
        if (moved)
            watchStepReached("moved");
    }
    QSet<QString> folders;
    for (const BatchEntry& entry : entries) {
        if (!entry.movedTo.isEmpty())
            folders << folderOf(entry.path) << folderOf(entry.movedTo);
    }
    for (const QString& folder : folders)
        syncFolder(folder);
    if (handledChanged)
        saveHandled();
    discard();
}

bool WatchJournal::moveToRejected(BatchEntry& entry, const QStringList& heading)
{
    if (!fileutil::makeFolder(m_rejectedFolder)) {
        entry.moveError = QStringLiteral("ﾌｫﾙﾀﾞを作成できません");
        return false;
    }
    // An earlier file of the same name stays: the new one takes a number.
    const QString name = entry.path.section(QLatin1Char('/'), -1);
    QString target = QDir(m_rejectedFolder).filePath(name);
    for (int n = 2; fsname::isFile(target) || QFileInfo::exists(target); ++n)
        target = QDir(m_rejectedFolder).filePath(name + QLatin1Char('.') + QString::number(n));
    // The error list first: a move redone after a kill writes it again.
    QByteArray list;
    for (const QString& line : heading + entry.errorLines)
        list += cp932::encode(line) + "\r\n";
    if (!fsname::writeWhole(target + QStringLiteral(".err"), list, entry.moveError) ||
        !fsname::moveFile(entry.path, target, entry.moveError))
        return false;
    entry.movedTo = target;
    return true;
}

bool WatchJournal::handled(const QString& path, const FileIdentity& identity) const
{
    const auto it = m_handled.find(path);
    return it != m_handled.end() && *it == identity;
}

void WatchJournal::forgetChanged(const QString& folder)
{
    const QString prefix = QDir(folder).absolutePath() + QLatin1Char('/');
    bool changed = false;
    for (auto it = m_handled.begin(); it != m_handled.end();) {
        const std::optional<FileIdentity> now = FileIdentity::of(it.key());
        if (it.key().startsWith(prefix) && (!now || *now != it.value())) {
            it = m_handled.erase(it);
            changed = true;
        } else {
            ++it;
        }
    }
    if (changed)
        saveHandled();
}

void WatchJournal::loadHandled()
{
    const QJsonDocument document = QJsonDocument::fromJson(fileutil::readAll(m_handledPath));
    const QJsonObject files = document.object();
    for (auto it = files.begin(); it != files.end(); ++it)
        m_handled.insert(pathFromJson(it.key()), FileIdentity::fromJson(it.value().toObject()));
}

void WatchJournal::saveHandled()
{
    QJsonObject files;
    for (auto it = m_handled.begin(); it != m_handled.end(); ++it)
        files.insert(pathToJson(it.key()), it.value().toJson());
    fileutil::writeAtomically(m_handledPath, QJsonDocument(files).toJson());
}

} // namespace plx
