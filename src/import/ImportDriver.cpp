#include "ImportDriver.h"

#include "EiajImport.h"
#include "ErrorList.h"
#include "ItemTable.h"
#include "KorvanImport.h"
#include "OrderFileReader.h"
#include "PendingRecords.h"

#include "core/CommonRoutines.h"
#include "core/Dialogs.h"
#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/FileLock.h"
#include "core/FileUtil.h"
#include "core/FsName.h"
#include "core/Registry.h"
#include "core/text/Cp932.h"
#include "store/DeliveryRecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

namespace plx {

namespace {

constexpr qsizetype kMaxPrecheckLine = 32000;

QString setting(Environment& env, const char* name)
{
    QString value;
    env.registry->regGetValue(kRegistryKey, QLatin1String(name), value);
    return value;
}

// The first two lines of a file as the pre-check reads them (one for a file of
// one line, none for an empty file); nothing when the file cannot be read or
// one of them is longer than kMaxPrecheckLine characters.
std::optional<QStringList> firstTwoLines(OrderFileReader& reader)
{
    QStringList lines;
    QString line;
    while (lines.size() < 2) {
        switch (reader.next(line)) {
        case OrderFileReader::Result::Line:
            if (line.size() > kMaxPrecheckLine)
                return std::nullopt;
            lines.append(line);
            break;
        case OrderFileReader::Result::End:
            return lines;
        case OrderFileReader::Result::TooLong:
        case OrderFileReader::Result::Failed:
            return std::nullopt;
        }
    }
    return lines;
}

enum class Head { Missing, Unreadable, Read };

// What the pre-check reads of a file, by its exact name: its size and time,
// and its first two lines (nothing in `lines` when one is too long to be an
// order's).
struct FileHead
{
    Head head = Head::Missing;
    qint64 size = 0;
    QDateTime modified;
    std::optional<QStringList> lines;
    QString why; // Unreadable: the system's reason
};

FileHead readHead(const QString& path)
{
    FileHead out;
    struct stat st
    {
    };
    if (!fsname::statPath(path, st) || !S_ISREG(st.st_mode))
        return out;
    out.size = qint64(st.st_size);
    out.modified = QDateTime::fromSecsSinceEpoch(st.st_mtim.tv_sec);
    OrderFileReader reader;
    if (!reader.open(path)) {
        out.head = Head::Unreadable;
        out.why = reader.errorString();
        return out;
    }
    out.head = Head::Read;
    out.lines = firstTwoLines(reader);
    return out;
}

// The row of the class item in the first record, 0 when there is none.
int classRow(const std::optional<QStringList>& read, const QString& classItem, ItemTable& table)
{
    if (!read || read->isEmpty())
        return 0;
    const QStringList& lines = *read;
    if (lines.size() == 1) {
        table.loadPairs(lines[0]);
        return table.findLast(classItem);
    }
    // A header with more names than a record can hold makes the file
    // malformed: its values are never loaded.
    const QStringList header = splitCsvLine(lines[0]);
    if (header.size() > ItemTable::kCapacity)
        return 0;
    table.loadHeader(header, lines[1]);
    return table.findLast(classItem);
}

QString classItemOf(Protocol protocol)
{
    return protocol == Protocol::Eiaj ? QStringLiteral("REIAJC14") : QStringLiteral("RD10DataKubun");
}

// The backup replaces the last one whole, whichever account made that one.
void writeCopy(const QString& path, const QByteArray& bytes)
{
    try {
        fileutil::writeAtomically(path, bytes);
    } catch (const RuntimeFailure& failure) {
        throw RuntimeFailure(QStringLiteral("ﾊﾞｯｸｱｯﾌﾟを作成できません。") + failure.description());
    }
}

} // namespace

ImportDriver::ImportDriver(Environment& env, Protocol protocol) : m_env(env), m_protocol(protocol) {}

ImportDriver::~ImportDriver() = default;

int ImportDriver::errorCount() const
{
    return m_errors ? m_errors->count() : 0;
}

void ImportDriver::lock()
{
    if (!m_importLock)
        m_importLock = std::make_unique<FileLock>(m_env.paths.workDelivPath, QStringLiteral("取り込み作業ﾌｧｲﾙ"));
    if (!m_dataLock)
        m_dataLock = std::make_unique<FileLock>(m_env.paths.delivPathFor(m_protocol), DeliveryStore::label());
}

void ImportDriver::unlock()
{
    m_dataLock.reset();
    m_importLock.reset();
}

ImportSettings ImportDriver::readSettings(Environment& env, Protocol protocol)
{
    ImportSettings s;
    const QString masks = setting(env, protocol == Protocol::Eiaj ? "EiajFileName" : "KoRFileName");
    if (!masks.trimmed().isEmpty())
        s.masks = masks;
    // Only "1" moves the processed files; a blank value counts as "1".
    const QString move = NormalizeBlanks(setting(env, "FileMove"), 2);
    s.moveFiles = move.isEmpty() || move == QLatin1String("1");
    const QString mode = setting(env, "MakeMode").trimmed();
    s.makeMode = mode == QLatin1String("2") ? 2 : mode == QLatin1String("3") ? 3 : 1;
    s.dataFolderResult = env.registry->regGetValue(kRegistryKey, QStringLiteral("DataFilePath"), s.dataFolder);
    return s;
}

bool ImportDriver::confirmMode(RebuildMode mode)
{
    m_confirmedWaiting = 0;
    if (mode != RebuildMode::StartAnew)
        return true;
    const int waiting = PendingRecords::countInFile(m_env.paths.delivPathFor(m_protocol));
    if (waiting == 0)
        return true;
    const Answer answer = m_env.dialogs->show(MessageIcon::Question, startAnewQuestion(waiting), MessageButtons::YesNo,
                                              DefaultButton::No);
    if (answer != kAnswerYes)
        return false;
    m_confirmedWaiting = waiting;
    return true;
}

QString ImportDriver::startAnewQuestion(int waiting)
{
    return QStringLiteral("発行待ちの納品書ﾃﾞｰﾀが%1件あります。\r\n"
                          "すべての納品書ﾃﾞｰﾀを削除すると、この%1件も削除されます。\r\n"
                          "処理を続けますか？")
        .arg(waiting);
}

PrecheckResult ImportDriver::precheck(const QString& folder, const QStringList& names)
{
    QStringList paths;
    for (const QString& name : names)
        paths.append(QDir(folder).filePath(name));
    return precheckPaths(paths);
}

PrecheckResult ImportDriver::precheckPaths(const QStringList& paths)
{
    lock();
    m_errors = std::make_unique<ErrorList>(m_env, m_protocol);
    m_result = {};
    m_accepted.clear();
    m_outcomes.clear();
    const QString classItem = classItemOf(m_protocol);
    for (const QString& path : paths) {
        ++m_result.selected;
        const QString name = path.section(QLatin1Char('/'), -1);
        const auto refuse = [&](short code, const QString& infoClass = QString(), const QString& item = QString()) {
            m_errors->writeEntry(code, name, item, 0, QString(), QString(), QString(), infoClass);
            m_outcomes.append({path, code});
        };
        const FileHead head = readHead(path);
        if (head.head == Head::Missing) {
            refuse(1);
            continue;
        }
        // A file this account may not read is no order of another protocol.
        if (head.head == Head::Unreadable) {
            refuse(kFileUnreadable, QString(), QStringLiteral("(%1)").arg(head.why));
            continue;
        }
        // Not read beyond its first lines: the import would have to go through all of it.
        if (head.size > kMaxOrderFileBytes) {
            refuse(kFileTooLarge, QString(), sizeText(head.size));
            continue;
        }
        ItemTable table;
        const int row = head.head == Head::Read ? classRow(head.lines, classItem, table) : 0;
        if (row == 0) {
            refuse(2);
            continue;
        }
        const QString infoClass = table.value(row);
        static const QStringList eiajClasses = {"0502", "0503", "0504", "0703"};
        const bool supported =
            m_protocol == Protocol::Eiaj ? eiajClasses.contains(infoClass) : infoClass == QLatin1String("D10");
        if (!supported) {
            refuse(3, infoClass);
            continue;
        }
        m_accepted.append({path, name, infoClass.trimmed(), head.modified.toString(QStringLiteral("yyyyMMdd")),
                           head.modified.toString(QStringLiteral("HHmmss"))});
        m_outcomes.append({path, 0});
        ++m_result.accepted;
    }
    m_result.errors = m_errors->count();
    if (m_result.accepted == 0) {
        m_errors->close();
        unlock();
    }
    return m_result;
}

void ImportDriver::sortAccepted(QList<AcceptedFile>& files)
{
    const auto number = [](const QString& s) { return s.trimmed().toLongLong(); };
    std::stable_sort(files.begin(), files.end(), [&](const AcceptedFile& a, const AcceptedFile& b) {
        if (number(a.infoClass) != number(b.infoClass))
            return number(a.infoClass) < number(b.infoClass);
        if (number(a.date) != number(b.date))
            return number(a.date) < number(b.date);
        return number(a.time) < number(b.time);
    });
}

std::optional<Protocol> ImportDriver::fileProtocol(const QString& path)
{
    const FileHead head = readHead(path);
    if (head.head != Head::Read)
        return std::nullopt;
    for (const Protocol protocol : kProtocols) {
        ItemTable table;
        if (classRow(head.lines, classItemOf(protocol), table) > 0)
            return protocol;
    }
    return std::nullopt;
}

bool ImportDriver::moveToDust(const QString& dustFolder, const QString& path, QString* why)
{
    // By the file's exact name; rename() replaces a file of the same name.
    const QString destination = QDir(dustFolder).filePath(path.section(QLatin1Char('/'), -1));
    if (!fileutil::makeFolder(dustFolder)) {
        if (why)
            *why = QStringLiteral("ﾌｫﾙﾀﾞを作成できません");
        return false;
    }
    QString reason;
    if (fsname::moveFile(path, destination, reason))
        return true;
    if (why)
        *why = reason;
    return false;
}

void ImportDriver::run(RebuildMode mode, bool moveFiles, const Progress& progress)
{
    lock();
    struct Unlock
    {
        ImportDriver* driver;
        ~Unlock() { driver->unlock(); }
    } unlockAtEnd{this};
    if (!m_errors)
        m_errors = std::make_unique<ErrorList>(m_env, m_protocol);
    sortAccepted(m_accepted);
    if (progress)
        progress(m_result.errors, m_result.selected);

    const QString current = m_env.paths.delivPathFor(m_protocol);
    const RebuildFiles files{current, m_env.paths.backupDelivPath, m_env.paths.workDelivPath};

    // The data file as it is; a damaged one is refused before anything is
    // written, as is a damaged company file.
    const QByteArray original = fileutil::readAll(current);
    DeliveryStore::requireWhole(current, original);
    // The clerk confirmed the waiting records counted before the locks were
    // taken; another program may have registered more since. Those were never
    // confirmed: refuse rather than remove them (asking again here would keep
    // the locks while waiting for an answer).
    if (mode == RebuildMode::StartAnew) {
        const int waiting = PendingRecords::count(original);
        if (waiting > m_confirmedWaiting) {
            throw Refusal(QStringLiteral("確認の後に発行待ちの納品書ﾃﾞｰﾀが増えました。(%1件→%2件)\r\n"
                                         "取り込みを中止しました。もう一度実行してください。")
                              .arg(m_confirmedWaiting)
                              .arg(waiting));
        }
    }
    CustStore companies(m_env.paths.custPath);
    companies.open();

    // Without a code table no order record can be checked: the run stops
    // here, before the data file is rebuilt, so that it imports nothing and
    // removes nothing (message 3), and no order file leaves its folder.
    RecordFile codeFile(m_env.paths.codePath, CodeTable::kRecordLength, QStringLiteral("コードファイル"));
    codeFile.open();
    const CodeTable codes = CodeTable::fromBytes(codeFile.data());
    if (codes.isEmpty())
        throw Refusal::byNumber(3);

    // Its backup, and the rebuild in memory. The backup is a courtesy copy: the
    // data file itself is only ever replaced whole, so the copy need not be
    // forced to disk.
    writeCopy(files.backup, original);
    DeliveryStore target(QString(), *m_env.clock);
    QByteArray kept = keptRecords(original, mode);
    kept.reserve(kept.size() + qsizetype(DeliveryRecord::kLength) * 1024);
    target.openInMemory(std::move(kept));

    const OrderImport::Context context{m_env, *m_errors, target, companies, codes};
    std::unique_ptr<OrderImport> import;
    if (m_protocol == Protocol::Eiaj)
        import = std::make_unique<EiajImport>(context);
    else
        import = std::make_unique<KorvanImport>(context);
    import->run(m_accepted, m_result.errors, m_result.selected, progress);
    m_recordsRead = import->recordsRead();
    m_recordsRefused = import->recordsRefused();
    const QStringList movable = import->movable();
    // What the run made of each accepted file.
    QHash<QString, int> taken;
    for (const auto& [path, code] : import->taken())
        taken.insert(path, code);
    for (FileOutcome& outcome : m_outcomes) {
        if (outcome.refusal == 0)
            outcome.refusal = taken.value(outcome.path, -1);
    }
    m_errors->close();

    // Commit: the whole new data file in one atomic step.
    const QString work = m_commitSteps.workPath.isEmpty() ? files.work : m_commitSteps.workPath;
    try {
        fileutil::writeAndSync(work, target.records());
        if (m_commitSteps.prepared)
            m_commitSteps.prepared();
        fileutil::replaceFile(work, current);
    } catch (...) {
        if (m_commitSteps.abandoned)
            m_commitSteps.abandoned();
        QFile::remove(work);
        throw;
    }

    // Only now do the order files leave their folder.
    if (moveFiles) {
        const QString dust = QDir(m_env.paths.dustFolder).absolutePath();
        QStringList notMoved; // each file that stays, with the system's reason
        for (const QString& path : movable) {
            const QFileInfo info(path);
            if (info.absolutePath().compare(dust, Qt::CaseInsensitive) == 0)
                continue;
            QString why;
            if (!moveToDust(dust, path, &why))
                notMoved.append(fsname::display(path) + QStringLiteral(": ") + why);
        }
        if (!notMoved.isEmpty()) {
            m_env.dialogs->show(MessageIcon::Exclamation,
                                QStringLiteral("処理済ﾌｧｲﾙを移動できませんでした。\r\n") +
                                    notMoved.join(QStringLiteral("\r\n")),
                                MessageButtons::Ok, DefaultButton::First);
        }
    }
    m_finished = true;
    discardBackup(files);
}

ImportDriver::Counts ImportDriver::counts() const
{
    Counts counts;
    for (const FileOutcome& outcome : m_outcomes) {
        if (outcome.refusal == 0 && m_finished)
            ++counts.filesTaken;
        else if (outcome.refusal > 0)
            ++counts.filesRefused;
    }
    if (m_finished) {
        counts.recordsTaken = m_recordsRead - m_recordsRefused;
        counts.recordsRefused = m_recordsRefused;
    }
    return counts;
}

QStringList ImportDriver::countsText(const Counts& counts)
{
    return {QStringLiteral("取込：ﾌｧｲﾙ %1件、ﾚｺｰﾄﾞ %2件").arg(counts.filesTaken).arg(counts.recordsTaken),
            QStringLiteral("拒否：ﾌｧｲﾙ %1件、ﾚｺｰﾄﾞ %2件").arg(counts.filesRefused).arg(counts.recordsRefused)};
}

QString ImportDriver::sizeText(qint64 size)
{
    return QStringLiteral("ｻｲｽﾞ[%1ﾊﾞｲﾄ],上限[%2ﾊﾞｲﾄ]").arg(size).arg(kMaxOrderFileBytes);
}

QString ImportDriver::refusalText(int code)
{
    switch (code) {
    case 1:
        return QStringLiteral("拒否 (001 指定ファイルがありません。)");
    case 2:
        return QStringLiteral("拒否 (002 対象外のビジネスプロトコルです。)");
    case 3:
        return QStringLiteral("拒否 (003 未サポートの情報区分ファイルです。)");
    case kFileTooLarge:
        return QStringLiteral("拒否 (013 ﾌｧｲﾙが大きすぎるため、取り込めません。)");
    case kFileUnreadable:
        return QStringLiteral("拒否 (014 ﾌｧｲﾙを読み込めません。)");
    default:
        return QStringLiteral("拒否 (%1)").arg(code, 3, 10, QLatin1Char('0'));
    }
}

} // namespace plx
