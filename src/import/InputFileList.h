#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace plx {

// One row of the input-file list.
struct InputFileRow
{
    QString name;       // file name in the folder
    QString typeText;   // 種類: "ﾌｧｲﾙ"
    QString sizeText;   // サイズ: " 2KB"
    QString dateText;   // 更新日時: "2000年05月31日 (水曜日) 14時05分09秒"
    QDateTime modified; // last write, local time
    qint64 size = 0;    // length in bytes
};

// A mounted volume as the system reports it, for the choice of drives.
struct MountedVolume
{
    QString root;          // where it is mounted
    QByteArray fileSystem; // "ext4", "vfat", "proc", ...
    bool ready = false;    // valid and ready to be read
    bool isFolder = false; // the mount point is a folder (not a file mounted over a file)
};

// The order files a folder offers for import: every normal file that is not a
// program or system file and that the masks of the format let through, oldest
// first. Also the folder and drive navigation rules of the selection window.
class InputFileList
{
public:
    // `masks` is the setting text, masks separated by ";" ("*.dat;ORD1.csv");
    // a blank setting stands for "*.*".
    explicit InputFileList(const QString& masks = QStringLiteral("*.*"));

    // The masks as they are searched: ";" + masks + ";".
    const QString& maskList() const { return m_maskList; }

    // Whether a file of this name is listed: not excluded, and let through by
    // the masks. Names are compared case-sensitively.
    bool accepts(const QString& name) const;

    // The listed files of `folder`, ordered by the 更新日時 text ascending (files
    // of the same second by name). An unreadable folder lists nothing.
    QList<InputFileRow> scan(const QString& folder) const;

    // Program and system files never offered: the last four characters, upper
    // case, are .SYS .DLL .VXD .386 .DRV .EXE or .INI.
    static bool isExcluded(const QString& name);

    // The length in kilobytes of 1000 bytes: the whole thousands, plus 1 when the
    // remainder exceeds 90 bytes or there is no whole thousand; written with the
    // blank of a positive number before it: 1,091 bytes " 2KB", 1,090 " 1KB".
    static QString sizeText(qint64 bytes);

    // "YYYY年MM月DD日 (aaaa) HH時NN分SS秒" with the full Japanese weekday,
    // whatever the locale of the system.
    static QString dateText(const QDateTime& at);

    // 日曜日 ... 土曜日 for Qt's day of the week (1 Monday ... 7 Sunday).
    static QString weekdayName(int dayOfWeek);

    // The folder one level up: the text before the last separator. The root "/"
    // stays "/", and a drive root keeps its separator ("C:\foo" gives "C:\").
    // A path without a separator is returned as it is.
    static QString parentFolder(const QString& path);

    // The entry of the folder list that leads one level up.
    static QString parentEntry() { return QStringLiteral(".."); }

    // What the folder list offers in `folder`: the parent entry first (not in a
    // root), then the subfolders by name, ignoring case; hidden ones are left out.
    static QStringList folderEntries(const QString& folder);

    // The folder a typed path names: "~" stands for the home folder, a relative
    // path is taken from `current`. Empty when the text names no readable folder.
    static QString typedFolder(const QString& text, const QString& current);

    // The places offered as drives: "/" first, then the home folder, then the
    // other volumes that hold files (disks, removable media, network shares) by
    // name, each once. Volumes that are not ready, not folders, of a system file
    // system (proc, tmpfs, overlay, ...) or mounted for the system itself
    // (/proc, /sys, /dev, /run, /boot, /snap, ...) are left out; media mounted
    // under /run/media stay.
    static QStringList drivePlaces(const QList<MountedVolume>& volumes, const QString& home);

    // drivePlaces() of the volumes mounted now and the user's home folder.
    static QStringList driveRoots();

    // The root among `roots` that holds `folder` (the longest that matches), or
    // an empty text when none does.
    static QString driveOf(const QString& folder, const QStringList& roots);

private:
    QString m_maskList;
};

} // namespace plx
