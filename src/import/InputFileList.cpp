#include "InputFileList.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

namespace plx {

namespace {

const QString kFileType = QStringLiteral("ﾌｧｲﾙ");

bool isSeparator(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

} // namespace

InputFileList::InputFileList(const QString& masks)
{
    const QString text = masks.trimmed().isEmpty() ? QStringLiteral("*.*") : masks;
    m_maskList = QLatin1Char(';') + text + QLatin1Char(';');
}

bool InputFileList::isExcluded(const QString& name)
{
    static const QStringList excluded{QStringLiteral(".SYS"), QStringLiteral(".DLL"), QStringLiteral(".VXD"),
                                      QStringLiteral(".386"), QStringLiteral(".DRV"), QStringLiteral(".EXE"),
                                      QStringLiteral(".INI")};
    return excluded.contains(name.right(4).toUpper());
}

bool InputFileList::accepts(const QString& name) const
{
    if (name == QLatin1String(".") || name == QLatin1String("..") || isExcluded(name))
        return false;
    // The masks are looked up as texts in the list, not matched as patterns:
    // "*.*", the whole name, "*.ext" and "base.*" are the forms that work.
    if (m_maskList.contains(QLatin1String("*.*"), Qt::CaseSensitive))
        return true;
    if (m_maskList.contains(name + QLatin1Char(';'), Qt::CaseSensitive))
        return true;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return false;
    const QString byExtension = QStringLiteral("*.") + name.mid(dot + 1) + QLatin1Char(';');
    const QString byBase = name.left(dot + 1) + QStringLiteral("*;");
    return m_maskList.contains(byExtension, Qt::CaseSensitive) || m_maskList.contains(byBase, Qt::CaseSensitive);
}

QList<InputFileRow> InputFileList::scan(const QString& folder) const
{
    QList<InputFileRow> rows;
    const QDir dir(folder);
    // Normal files only: no folders, no hidden files; by name so that files of
    // the same second keep a stable order.
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& info : entries) {
        if (!accepts(info.fileName()))
            continue;
        InputFileRow row;
        row.name = info.fileName();
        row.typeText = kFileType;
        row.size = info.size();
        row.sizeText = sizeText(row.size);
        row.modified = info.lastModified();
        row.dateText = dateText(row.modified);
        rows.append(row);
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const InputFileRow& a, const InputFileRow& b) { return a.dateText < b.dateText; });
    return rows;
}

QString InputFileList::sizeText(qint64 bytes)
{
    const qint64 thousands = bytes / 1000;
    const qint64 rest = bytes % 1000;
    const qint64 kilobytes = thousands + ((rest > 90 || thousands == 0) ? 1 : 0);
    return QLatin1Char(' ') + QString::number(kilobytes) + QStringLiteral("KB");
}

QString InputFileList::weekdayName(int dayOfWeek)
{
    static const QString names[] = {QStringLiteral("月曜日"), QStringLiteral("火曜日"), QStringLiteral("水曜日"),
                                    QStringLiteral("木曜日"), QStringLiteral("金曜日"), QStringLiteral("土曜日"),
                                    QStringLiteral("日曜日")};
    if (dayOfWeek < 1 || dayOfWeek > 7)
        return QString();
    return names[dayOfWeek - 1];
}

QString InputFileList::dateText(const QDateTime& at)
{
    const QDate d = at.date();
    const QTime t = at.time();
    const auto two = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    return QStringLiteral("%1年%2月%3日 (%4) %5時%6分%7秒")
        .arg(d.year(), 4, 10, QLatin1Char('0'))
        .arg(two(d.month()), two(d.day()), weekdayName(d.dayOfWeek()), two(t.hour()), two(t.minute()), two(t.second()));
}

QString InputFileList::parentFolder(const QString& path)
{
    qsizetype last = -1;
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (isSeparator(path.at(i))) {
            last = i;
            break;
        }
    }
    if (last < 0)
        return path;
    if (last == 0)
        return path.left(1); // the root
    if (last == 2 && path.at(1) == QLatin1Char(':'))
        return path.left(3); // a drive root such as C:\ keeps its separator
    return path.left(last);
}

QStringList InputFileList::folderEntries(const QString& folder)
{
    QStringList entries;
    if (parentFolder(folder) != folder)
        entries.append(parentEntry());
    entries += QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    return entries;
}

QString InputFileList::typedFolder(const QString& text, const QString& current)
{
    QString path = QDir::fromNativeSeparators(text.trimmed());
    if (path.isEmpty())
        return QString();
    if (path == QLatin1String("~"))
        path = QDir::homePath();
    else if (path.startsWith(QLatin1String("~/")))
        path = QDir::homePath() + path.mid(1);
    else if (QDir::isRelativePath(path))
        path = QDir(current).filePath(path);
    const QFileInfo info(QDir::cleanPath(path));
    if (!info.isDir() || !info.isReadable() || !info.isExecutable())
        return QString();
    return QDir::cleanPath(info.absoluteFilePath());
}

QStringList InputFileList::drivePlaces(const QList<MountedVolume>& volumes, const QString& home)
{
    static const QList<QByteArray> systemFileSystems{
        "proc",     "sysfs",    "devtmpfs",  "devpts",    "tmpfs",       "ramfs",          "cgroup",
        "cgroup2",  "mqueue",   "debugfs",   "tracefs",   "securityfs",  "pstore",         "bpf",
        "configfs", "fusectl",  "hugetlbfs", "autofs",    "binfmt_misc", "nsfs",           "rpc_pipefs",
        "efivarfs", "squashfs", "overlay",   "selinuxfs", "fuse.portal", "fuse.gvfsd-fuse"};
    static const QStringList systemFolders{QStringLiteral("/proc"), QStringLiteral("/sys"),  QStringLiteral("/dev"),
                                           QStringLiteral("/run"),  QStringLiteral("/boot"), QStringLiteral("/snap"),
                                           QStringLiteral("/var"),  QStringLiteral("/usr"),  QStringLiteral("/etc"),
                                           QStringLiteral("/tmp")};
    const auto under = [](const QString& path, const QString& folder) {
        return path == folder || path.startsWith(folder + QLatin1Char('/'));
    };

    QStringList places{QStringLiteral("/")};
    const QString homeRoot = QDir::cleanPath(home);
    if (!home.isEmpty() && !places.contains(homeRoot))
        places.append(homeRoot);
    QStringList others;
    for (const MountedVolume& volume : volumes) {
        const QString root = QDir::cleanPath(volume.root);
        if (!volume.ready || !volume.isFolder || root.isEmpty() || places.contains(root) || others.contains(root))
            continue;
        if (systemFileSystems.contains(volume.fileSystem))
            continue;
        const bool removableMedia = under(root, QStringLiteral("/run/media"));
        bool system = false;
        for (const QString& folder : systemFolders)
            system = system || under(root, folder);
        if (system && !removableMedia)
            continue;
        others.append(root);
    }
    others.sort();
    return places + others;
}

QStringList InputFileList::driveRoots()
{
    QList<MountedVolume> volumes;
    for (const QStorageInfo& storage : QStorageInfo::mountedVolumes()) {
        MountedVolume volume;
        volume.root = storage.rootPath();
        volume.fileSystem = storage.fileSystemType();
        volume.ready = storage.isValid() && storage.isReady();
        volume.isFolder = QFileInfo(volume.root).isDir();
        volumes.append(volume);
    }
    const QString home = QDir::homePath();
    return drivePlaces(volumes, QFileInfo(home).isDir() ? home : QString());
}

QString InputFileList::driveOf(const QString& folder, const QStringList& roots)
{
    const QString path = QDir::cleanPath(folder);
    QString best;
    qsizetype bestLength = -1;
    for (const QString& root : roots) {
        const QString clean = QDir::cleanPath(root);
        const bool holds = path == clean || (clean.endsWith(QLatin1Char('/')) && path.startsWith(clean)) ||
                           path.startsWith(clean + QLatin1Char('/'));
        if (holds && clean.size() > bestLength) {
            best = root;
            bestLength = clean.size();
        }
    }
    return best;
}

} // namespace plx
