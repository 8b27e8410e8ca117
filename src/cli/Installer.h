#pragma once

#include "core/Protocol.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace plx {

class Registry;

// Sets up an installation below a base folder: the folder tree, every setting the
// program reads, and the data files made from the UTF-8 sources of data/ (message
// catalogue, code table, sample companies and help page written in CP932, the
// sample layouts as they are); with `demo` also a few ordering companies and
// delivery records to try the program on. Existing data files and settings are kept unless `force`;
// settings that already name another base are not turned to this one unless `force`.
class Installer
{
public:
    struct Options
    {
        QString base;
        QString apUse = QStringLiteral("ALL");
        bool apUseGiven = false;
        bool force = false;
        bool demo = false;
    };

    Installer(Registry& registry, Options options);

    // Returns false with `error()` set when something could not be written.
    bool run();

    const QString& error() const { return m_error; }
    // What was written and what was kept, one line each.
    const QStringList& report() const { return m_report; }

    // Where the sources are read from: the data folder the package installs
    // beside the programs (share/plx90 of their prefix) when there is one, so
    // that new installations get what the site keeps there; else the copy built
    // into the program (a program run from its build tree).
    static QString sourceFolder();

    // The sources converted to the files' bytes; exposed for checks.
    static QByteArray messageCatalogBytes();
    static QByteArray codeTableBytes();
    static QByteArray custFileBytes(const QString& resource);
    static QByteArray helpPageBytes();
    // Delivery records of the given kind digit from the demo source.
    static QByteArray demoDeliveryBytes(Protocol protocol, const QDateTime& stamp);

private:
    void writeDataFile(const QString& path, const QByteArray& bytes);
    void writeSetting(const QString& name, const QString& value, bool always = false);
    // Throws, naming the current base, when the settings name another base and `force` is not given.
    void refuseToRepoint(const QString& base);

    Registry& m_registry;
    Options m_options;
    QString m_error;
    QStringList m_report;
};

} // namespace plx
