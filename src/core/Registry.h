#pragma once

#include <QString>

namespace plx {

// The key below which every setting of the program lives.
inline const QString kRegistryKey = QStringLiteral("SOFTWARE\\MERIDIA\\PLX-90/We");

// Result codes of the settings store (the operating system's registry codes).
enum RegResult : qint32 {
    RegOk = 0,
    RegCorrupt = 1009, // the settings file is not in the expected format
    RegBadKey = 1010,
    RegCannotOpen = 1011, // the settings file cannot be opened or created
    RegCannotRead = 1012,
    RegCannotWrite = 1013,
};

// The settings store: named string values under key paths, kept in an INI file in
// UTF-8 (one section per key path). It reads and writes the whole file on every
// call and replaces it atomically, so a crash never leaves a torn file. Values
// hold only what the system's code page can represent (other characters become
// "?"), and a value reads only up to its first NUL, as the registry does.
class Registry
{
public:
    explicit Registry(QString filePath);

    // PLX90_REGISTRY when set, else $XDG_CONFIG_HOME/plx90/registry.ini.
    static QString defaultFilePath();

    const QString& filePath() const { return m_filePath; }

    // Reads one value into `out` (empty when absent or empty). A missing key is
    // created. Returns a RegResult.
    qint32 regGetValue(const QString& keyPath, const QString& name, QString& out) const;
    // Writes one value, creating the key when needed. Returns a RegResult.
    qint32 regPutValue(const QString& keyPath, const QString& name, const QString& value) const;

    // The Japanese explanation of a result code; empty for codes it does not know.
    static QString regErrorText(qint32 code);
    // The explanation of a failed result, or the code as "(n)" when there is none.
    static QString regFailureText(qint32 code);

private:
    QString m_filePath;
};

} // namespace plx
