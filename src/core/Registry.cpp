#include "Registry.h"

#include "ErrorReport.h"
#include "FileUtil.h"

#include "text/Cp932.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>

#include <algorithm>
#include <iterator>
#include <optional>
#include <vector>

namespace plx {
namespace {

struct Entry
{
    QString name;
    QString value;
};

struct Section
{
    QString keyPath;
    std::vector<Entry> entries;
};

using Document = std::vector<Section>;

// The escapes of a stored value: the character and the letter that follows the
// backslash in the file for it.
struct Escape
{
    char16_t character;
    char16_t letter;
};
constexpr Escape kEscapes[] = {{u'\\', u'\\'}, {u'\n', u'n'}, {u'\r', u'r'}, {u'\0', u'0'}};

QString escapeValue(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (QChar c : value) {
        const auto escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                         [c](const Escape& e) { return e.character == c.unicode(); });
        if (escape == std::end(kEscapes)) {
            out += c;
            continue;
        }
        out += QLatin1Char('\\');
        out += QChar(escape->letter);
    }
    return out;
}

std::optional<QString> unescapeValue(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\\')) {
            out += text[i];
            continue;
        }
        if (++i >= text.size())
            return std::nullopt;
        const char16_t letter = text[i].unicode();
        const auto escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                         [letter](const Escape& e) { return e.letter == letter; });
        if (escape == std::end(kEscapes))
            return std::nullopt;
        out += QChar(escape->character);
    }
    return out;
}

// Parses the settings file; nothing when it is not in the expected format.
std::optional<Document> parse(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return std::nullopt;
    Document doc;
    const auto lines = QStringView(text).split(QLatin1Char('\n'));
    for (QStringView line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QStringView trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#')))
            continue;
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
            doc.push_back({trimmed.sliced(1, trimmed.size() - 2).toString(), {}});
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || doc.empty())
            return std::nullopt;
        const QString name = line.first(eq).trimmed().toString();
        const auto value = unescapeValue(line.sliced(eq + 1));
        if (name.isEmpty() || !value)
            return std::nullopt;
        doc.back().entries.push_back({name, *value});
    }
    return doc;
}

QByteArray serialize(const Document& doc)
{
    QString text;
    for (const Section& section : doc) {
        text += QLatin1Char('[') + section.keyPath + QLatin1String("]\n");
        for (const Entry& e : section.entries)
            text += e.name + QLatin1Char('=') + escapeValue(e.value) + QLatin1Char('\n');
        text += QLatin1Char('\n');
    }
    return text.toUtf8();
}

// Key paths and value names are compared without regard to case, as the
// registry does.
Section* findSection(Document& doc, const QString& keyPath)
{
    for (Section& s : doc) {
        if (s.keyPath.compare(keyPath, Qt::CaseInsensitive) == 0)
            return &s;
    }
    return nullptr;
}

Entry* findEntry(Section& section, const QString& name)
{
    for (Entry& e : section.entries) {
        if (e.name.compare(name, Qt::CaseInsensitive) == 0)
            return &e;
    }
    return nullptr;
}

// Loads the document; a file that does not exist yet holds none.
qint32 load(const QString& path, Document& doc)
{
    if (!QFileInfo::exists(path))
        return RegOk;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return RegCannotOpen;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return RegCannotRead;
    auto parsed = parse(bytes);
    if (!parsed)
        return RegCorrupt;
    doc = std::move(*parsed);
    return RegOk;
}

// The settings file's document and a key's section in it.
struct OpenedKey
{
    Document doc;
    Section* section = nullptr;
    bool created = false; // opening a key that does not exist creates it
};

qint32 openKey(const QString& path, const QString& keyPath, OpenedKey& key)
{
    if (const qint32 rc = load(path, key.doc); rc != RegOk)
        return rc;
    key.section = findSection(key.doc, keyPath);
    key.created = key.section == nullptr;
    if (key.created) {
        key.doc.push_back({keyPath, {}});
        key.section = &key.doc.back();
    }
    return RegOk;
}

bool store(const QString& path, const Document& doc)
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    // A settings file the accounts of a desk share keeps its permissions.
    try {
        fileutil::writeAtomically(path, serialize(doc));
    } catch (const RuntimeFailure&) {
        return false;
    }
    return true;
}

} // namespace

Registry::Registry(QString filePath) : m_filePath(std::move(filePath)) {}

QString Registry::defaultFilePath()
{
    const QString fromEnv = qEnvironmentVariable("PLX90_REGISTRY");
    if (!fromEnv.isEmpty())
        return fromEnv;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/plx90/registry.ini");
}

qint32 Registry::regGetValue(const QString& keyPath, const QString& name, QString& out) const
{
    out.clear();
    OpenedKey key;
    if (const qint32 rc = openKey(m_filePath, keyPath, key); rc != RegOk)
        return rc;
    if (key.created)
        return store(m_filePath, key.doc) ? RegOk : RegCannotOpen;
    if (const Entry* e = findEntry(*key.section, name)) {
        const qsizetype nul = e->value.indexOf(QChar(0));
        out = nul < 0 ? e->value : e->value.left(nul);
    }
    return RegOk;
}

qint32 Registry::regPutValue(const QString& keyPath, const QString& name, const QString& value) const
{
    OpenedKey key;
    if (const qint32 rc = openKey(m_filePath, keyPath, key); rc != RegOk)
        return rc;
    // The store keeps text in the system's code page: what it cannot hold is lost.
    const QString stored = cp932::decode(cp932::encode(value));
    if (Entry* e = findEntry(*key.section, name))
        e->value = stored;
    else
        key.section->entries.push_back({name, stored});
    return store(m_filePath, key.doc) ? RegOk : RegCannotWrite;
}

QString Registry::regFailureText(qint32 code)
{
    const QString text = regErrorText(code);
    return text.isEmpty() ? QStringLiteral("(%1)").arg(code) : text;
}

QString Registry::regErrorText(qint32 code)
{
    switch (code) {
    case 1009:
        return QStringLiteral("レジストリデータベースが壊れています");
    case 1010:
        return QStringLiteral("レジストリキーが無効です");
    case 1011:
        return QStringLiteral("レジストリキーをオープンできません");
    case 1012:
        return QStringLiteral("レジストリキーを読みとれません");
    case 1013:
        return QStringLiteral("レジストリキーに書き込めません");
    case 1014:
        return QStringLiteral("ログや代替コピーを使ってレジストリデータベースの"
                              "ファイルの1つを復旧しました（復旧は成功しました）");
    case 1015:
        return QStringLiteral("レジストリが壊れています。レジストリデータを含むファイルの1つが"
                              "壊れているか,メモリ内のファイルのイメージが壊れているか、"
                              "ログや代替コピーがないか壊れているために復旧できなかった、などの"
                              "原因が考えられます");
    case 1016:
        return QStringLiteral("レジストリが修復不可能な入出力命令を実行しました。"
                              "レジストリイメージを含むファイルの1つに対して、読み出し"
                              "書き込み、フラッシュができませんでした");
    case 1017:
        return QStringLiteral("システムはレジストリにファイルをロードまたは復旧しようとしましたが"
                              "指定されたファイルはレジストリファイルの形式ではありません");
    case 1018:
        return QStringLiteral("削除のマークが付けられたレジストリキーに不正な操作をしようとしました");
    case 1019:
        return QStringLiteral("レジストリログに必要なスペースを割り当てることができませんでした");
    case 1020:
        return QStringLiteral("すでにサブキーや値を持つレジストリキーにはシンボリックリンクを作成できません");
    case 1021:
        return QStringLiteral("揮発性親キーの下に不揮発性のサブキーを作ることはできません");
    case 1369:
        return QStringLiteral("レジストリのサブツリーのトランザクションは要求された操作と相容れません");
    default:
        return QString();
    }
}

} // namespace plx
