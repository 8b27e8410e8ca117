#pragma once

#include "Protocol.h"

#include <QString>

namespace plx {

// Every file and folder of an installation, derived from its base folder B.
struct Paths
{
    QString msgPath;
    QString codePath;
    QString eDelivPath;
    QString kDelivPath;
    QString eDelivWorkPath;
    QString kDelivWorkPath;
    QString backupDelivPath;
    QString workDelivPath;
    QString helpPagePath;
    QString usrFolder;
    QString custPath;
    QString workCustPath;
    QString sampleCustPath;
    QString dcsvPath;
    QString tcsvPath;
    QString logPath;
    QString errListPath;
    QString dustFolder;
    // The history of issued documents (an SQLite file), beside Cust.DAT.
    QString historyPath;

    // Paths below `base` (no trailing separator). The slip and tag output data
    // files follow `apUse`: "EIAJ" and "ALL" take the E_ files, anything else K_.
    static Paths build(const QString& base, const QString& apUse);

    // The numbered output lists of the slip (NoOutFile) and tag (NiOutFile) output.
    QString slipListPath(int n) const;
    QString tagListPath(int n) const;

    // The delivery-slip data file of one protocol.
    QString delivPathFor(Protocol protocol) const { return protocol == Protocol::Korvan ? kDelivPath : eDelivPath; }
    // The work file of the data file's conversion from the older layout.
    QString delivWorkPathFor(Protocol protocol) const
    {
        return protocol == Protocol::Korvan ? kDelivWorkPath : eDelivWorkPath;
    }

    // The output data files of one protocol.
    static QString dcsvPathFor(const QString& usrFolder, Protocol protocol);
    static QString tcsvPathFor(const QString& usrFolder, Protocol protocol);
};

// A layout file is named by its name alone: it lies in the user folder, and a
// name that reaches into another folder (a separator, "..", a drive) is not a
// layout of this installation. The print run and the company window both ask.
bool isPlainFileName(const QString& name);

} // namespace plx
