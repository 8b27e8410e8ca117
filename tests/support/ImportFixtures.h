#pragma once

#include "ListFixtures.h"

#include "import/ImportDriver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace plx::test {

// An installation ready for imports: catalogue, code table, one EIAJ and one
// KORVAN company, order files written into an "in" folder.
struct ImportInstall
{
    TestInstall inst;

    ImportInstall()
    {
        writeListInstallation(inst);
        inst.env.apUse = QStringLiteral("ALL");
        inst.env.baseYear = 50;
        inst.env.checkSpec = 0;
        inst.env.logCount = 10;
        CustRecord eiaj = company('1', "A001", "S01", "北斗星電機");
        eiaj.setText(CustField::ConsumptionTaxKind, u"2");
        eiaj.setText(CustField::TaxationKind, u"1");
        eiaj.setText(CustField::PriceDisplayKind, u"3");
        CustRecord korvan = company('2', "4172AB", "0588XY", "湘洋");
        korvan.setText(CustField::TaxationKind, u"1");
        CustRecord eiajOnly = company('1', "9999", "77", "EIAJだけ");
        inst.writeFile(QStringLiteral("Usr/Cust.DAT"), fileOf(QList{eiaj, korvan, eiajOnly}));
        QDir().mkpath(folder());
    }

    QString folder() const { return inst.base() + QStringLiteral("/in"); }
    QString inPath(const QString& name) const { return folder() + QLatin1Char('/') + name; }

    // Writes an order file in CP932 with CR LF line ends.
    void order(const QString& name, const QStringList& lines) const
    {
        QFile f(inPath(name));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        for (const QString& line : lines)
            f.write(cp932::encode(line) + "\r\n");
    }

    // The mode's question (answered from the scripted dialogs), the pre-check
    // and the run; returns the driver for its outcomes.
    std::unique_ptr<ImportDriver> import(Protocol protocol, const QStringList& names,
                                         RebuildMode mode = RebuildMode::Add, bool move = true)
    {
        auto driver = std::make_unique<ImportDriver>(inst.env, protocol);
        if (!driver->confirmMode(mode))
            return driver;
        const PrecheckResult r = driver->precheck(folder(), names);
        if (r.accepted > 0)
            driver->run(mode, move);
        return driver;
    }

    QList<DeliveryRecord> records(Protocol protocol) const
    {
        const QByteArray bytes = inst.readFile(protocol == Protocol::Eiaj ? QStringLiteral("Prg/E_Deliv.dat")
                                                                          : QStringLiteral("Prg/K_Deliv.dat"));
        QList<DeliveryRecord> out;
        for (qsizetype i = 0; i + DeliveryRecord::kLength <= bytes.size(); i += DeliveryRecord::kLength)
            out.append(DeliveryRecord(bytes.mid(i, DeliveryRecord::kLength)));
        return out;
    }

    // The entry lines of Err.dat (the heading's five lines dropped).
    QStringList errorLines() const
    {
        QStringList lines = cp932::decode(inst.readFile(QStringLiteral("Log/Err.dat"))).split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines.mid(5);
    }
};

// The delivery keys of the live EIAJ records, sorted; a key twice when it is there twice.
inline QStringList liveKeys(const ImportInstall& imp)
{
    QStringList keys;
    for (const DeliveryRecord& r : imp.records(Protocol::Eiaj))
        if (r.kind() == '1')
            keys << r.text(DeliveryField::DeliveryKeyNo).trimmed();
    keys.sort();
    return keys;
}

} // namespace plx::test
