#include "ImportSettingsModel.h"

#include "core/ApUse.h"
#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/Registry.h"

#include <algorithm>

namespace plx {
namespace {

const QString kApUse = QStringLiteral("ApUse");
const QString kEiajFileName = QStringLiteral("EiajFileName");
const QString kKoRFileName = QStringLiteral("KoRFileName");
const QString kFileMove = QStringLiteral("FileMove");
const QString kMakeMode = QStringLiteral("MakeMode");
const QString kWriteLabel = QStringLiteral("ﾚｼﾞｽﾄﾘ書き込み編集/");

// Names the input-file list never offers: system files.
bool hasSystemExtension(const QString& name)
{
    static const QStringList extensions = {".SYS", ".DLL", ".VXD", ".386", ".DRV", ".EXE", ".INI"};
    return extensions.contains(name.right(4).toUpper());
}

// The characters no file name may hold, and control characters (a line break,
// a TAB, ...): a name is one line of the settings and of every list that
// shows it.
bool hasBadCharacter(const QString& name)
{
    static const QString bad = QStringLiteral("?<>|\\/:,;\"");
    return std::any_of(name.cbegin(), name.cend(), [](QChar c) {
        return bad.contains(c) || c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line ||
               c.category() == QChar::Separator_Paragraph;
    });
}

} // namespace

ImportSettingsModel::ImportSettingsModel(Environment& env) : m_env(env) {}

void ImportSettingsModel::load()
{
    const auto read = [this](const QString& name) {
        QString value;
        return m_env.registry->regGetValue(kRegistryKey, name, value) == RegOk ? value : QString();
    };
    const QString apUse = read(kApUse);
    m_eiajNames = read(kEiajFileName);
    m_korvanNames = read(kKoRFileName);
    m_fileMove = read(kFileMove);
    m_makeMode = read(kMakeMode);

    // A value that is no ApUse offers KORVAN alone.
    const ApUse use = apUseOf(apUse).value_or(ApUse::Korvan);
    m_eiajUsable = servesFormat(use, Protocol::Eiaj);
    m_korvanUsable = servesFormat(use, Protocol::Korvan);
    m_protocol = m_eiajUsable ? Protocol::Eiaj : Protocol::Korvan;
    m_entries = splitNames(namesOf(m_protocol));
}

void ImportSettingsModel::switchTo(Protocol protocol)
{
    if (protocol == m_protocol)
        return;
    namesOf(m_protocol) = joinNames(m_entries);
    m_protocol = protocol;
    m_entries = splitNames(namesOf(m_protocol));
}

std::optional<short> ImportSettingsModel::add(const QString& name)
{
    if (const auto refusal = refusalForName(name, m_entries))
        return refusal;
    m_entries.append(name.trimmed());
    return std::nullopt;
}

std::optional<short> ImportSettingsModel::remove(const QList<int>& rows)
{
    QList<int> sorted;
    for (int row : rows) {
        if (row >= 0 && row < m_entries.size() && !sorted.contains(row))
            sorted.append(row);
    }
    if (sorted.isEmpty())
        return kMsgNoName;
    // From the last entry to the first, so that the rows still to go keep their places.
    std::sort(sorted.begin(), sorted.end(), std::greater<int>());
    for (int row : sorted)
        m_entries.removeAt(row);
    return std::nullopt;
}

void ImportSettingsModel::setMovesFiles(bool move)
{
    m_fileMove = move ? QStringLiteral("1") : QStringLiteral("2");
}

int ImportSettingsModel::makeModeChoice() const
{
    if (m_makeMode == QLatin1String("3"))
        return 3;
    if (m_makeMode == QLatin1String("2"))
        return 2;
    return 1;
}

void ImportSettingsModel::setMakeModeChoice(int choice)
{
    m_makeMode = QString::number(std::clamp(choice, 1, 3));
}

QString ImportSettingsModel::korvanNames() const
{
    return m_protocol == Protocol::Korvan ? joinNames(m_entries) : m_korvanNames;
}

bool ImportSettingsModel::save()
{
    namesOf(m_protocol) = joinNames(m_entries);
    const std::pair<QString, QString> values[] = {
        {kEiajFileName, m_eiajNames}, {kKoRFileName, m_korvanNames}, {kFileMove, m_fileMove}, {kMakeMode, m_makeMode}};
    for (const auto& [name, value] : values) {
        const qint32 result = m_env.registry->regPutValue(kRegistryKey, name, value);
        if (result != RegOk) {
            // Told and logged like any failure of the settings store; the edits
            // stay so that the operator can try again or cancel.
            ReportError(m_env, kWriteLabel + name + QLatin1Char('/') + Registry::regFailureText(result));
            return false;
        }
    }
    return true;
}

QStringList ImportSettingsModel::splitNames(const QString& joined)
{
    QStringList pieces = joined.split(QLatin1Char(';'));
    // Every piece before a ";" is an entry; the last one only when it holds a name.
    if (pieces.last().trimmed().isEmpty())
        pieces.removeLast();
    return pieces;
}

QString ImportSettingsModel::joinNames(const QStringList& entries)
{
    QStringList kept;
    for (const QString& entry : entries) {
        if (!entry.trimmed().isEmpty())
            kept.append(entry);
    }
    return kept.join(QLatin1Char(';'));
}

std::optional<short> ImportSettingsModel::refusalForName(const QString& name, const QStringList& existing)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return kMsgNoName;
    for (const QString& entry : existing) {
        if (entry.trimmed().compare(trimmed, Qt::CaseInsensitive) == 0)
            return kMsgNameTaken;
    }
    if (hasSystemExtension(name))
        return kMsgSystemExtension;
    if (hasBadCharacter(name))
        return kMsgBadCharacter;
    return std::nullopt;
}

std::optional<short> ImportSettingsModel::refusalForNames(const QString& joined)
{
    QStringList added;
    for (const QString& name : splitNames(joined)) {
        if (const auto refusal = refusalForName(name, added))
            return refusal;
        added.append(name.trimmed());
    }
    return std::nullopt;
}

bool ImportSettingsModel::isValidFileMove(const QString& value)
{
    return value == QLatin1String("1") || value == QLatin1String("2");
}

bool ImportSettingsModel::isValidMakeMode(const QString& value)
{
    return value == QLatin1String("1") || value == QLatin1String("2") || value == QLatin1String("3");
}

QString& ImportSettingsModel::namesOf(Protocol protocol)
{
    return protocol == Protocol::Eiaj ? m_eiajNames : m_korvanNames;
}

} // namespace plx
