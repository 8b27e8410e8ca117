#pragma once

#include "core/Protocol.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace plx {

struct Environment;

// Message numbers of the name checks.
constexpr short kMsgNoName = 600;          // nothing typed or nothing selected
constexpr short kMsgNameTaken = 585;       // already in the list
constexpr short kMsgSystemExtension = 645; // .SYS .DLL .VXD .386 .DRV .EXE .INI
constexpr short kMsgBadCharacter = 650;    // ? < > | \ / : , ; "

// The settings that govern the import of order files, as the settings window
// 環境設定 edits them: the input-file names of each format (";"-joined in the
// settings), whether processed files are moved away (FileMove) and the
// processing mode (MakeMode). The edits stay in memory until save().
class ImportSettingsModel
{
public:
    explicit ImportSettingsModel(Environment& env);

    // Reads ApUse, EiajFileName, KoRFileName, FileMove and MakeMode. A value that
    // cannot be read counts as empty. Chooses the protocol by ApUse: "ALL" both
    // usable, EIAJ shown; "EIAJ" only EIAJ; anything else only KORVAN.
    void load();

    bool eiajUsable() const { return m_eiajUsable; }
    bool korvanUsable() const { return m_korvanUsable; }
    Protocol protocol() const { return m_protocol; }

    // The names of the protocol shown, in list order.
    const QStringList& entries() const { return m_entries; }

    // Keeps the names shown as that protocol's list and shows the other one's.
    // Choosing the protocol already shown changes nothing.
    void switchTo(Protocol protocol);

    // 追加: appends the trimmed name, or returns the message that refuses it
    // (the list is then unchanged).
    std::optional<short> add(const QString& name);
    // 削除: removes the entries at `rows`; message 600 when there are none.
    std::optional<short> remove(const QList<int>& rows);

    // FileMove as kept: "2" does not move, anything else moves.
    bool movesFiles() const { return m_fileMove != QLatin1String("2"); }
    void setMovesFiles(bool move);
    // MakeMode as kept, and the processing mode it selects (1, 2 or 3).
    const QString& makeMode() const { return m_makeMode; }
    int makeModeChoice() const;
    void setMakeModeChoice(int choice);

    // The KORVAN ";"-joined name list as it stands (the names shown included).
    QString korvanNames() const;

    // ＯＫ: writes EiajFileName, KoRFileName, FileMove and MakeMode. When a write
    // fails, the failure is reported (the value's name and the settings store's
    // explanation, logged), the rest is not written and the result is false.
    bool save();

    // The pieces before each ";" and the remainder after the last one when it is
    // not blank.
    static QStringList splitNames(const QString& joined);
    // The entries with ";" between them, those blank after trimming left out.
    static QString joinNames(const QStringList& entries);
    // The message with which 追加 refuses `name` beside `existing`, if any.
    static std::optional<short> refusalForName(const QString& name, const QStringList& existing);
    // The first refusal met when every name of a ";"-joined list is added in
    // turn to an empty list (a blank name between two ";" included).
    static std::optional<short> refusalForNames(const QString& joined);
    static bool isValidFileMove(const QString& value);
    static bool isValidMakeMode(const QString& value);

private:
    QString& namesOf(Protocol protocol);

    Environment& m_env;
    bool m_eiajUsable = true;
    bool m_korvanUsable = true;
    Protocol m_protocol = Protocol::Eiaj;
    QString m_eiajNames;
    QString m_korvanNames;
    QStringList m_entries;
    QString m_fileMove;
    QString m_makeMode;
};

} // namespace plx
