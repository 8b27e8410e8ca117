#include "Paths.h"

#include "ApUse.h"

namespace plx {

Paths Paths::build(const QString& base, const QString& apUse)
{
    Paths p;
    const QString root = base + QStringLiteral("/Plx90We");
    p.logPath = root + QStringLiteral("/Log/Deliv.log");
    p.errListPath = root + QStringLiteral("/Log/Err.dat");
    p.msgPath = root + QStringLiteral("/Prg/Msg.DAT");
    p.eDelivPath = root + QStringLiteral("/Prg/E_Deliv.dat");
    p.kDelivPath = root + QStringLiteral("/Prg/K_Deliv.dat");
    p.eDelivWorkPath = root + QStringLiteral("/Prg/E_Deliv_w.dat");
    p.kDelivWorkPath = root + QStringLiteral("/Prg/K_Deliv_w.dat");
    p.backupDelivPath = root + QStringLiteral("/Prg/BUP_Deliv.dat");
    p.workDelivPath = root + QStringLiteral("/Prg/W_Deliv.dat");
    p.dustFolder = root + QStringLiteral("/Dust/");
    p.custPath = root + QStringLiteral("/Usr/Cust.DAT");
    p.historyPath = root + QStringLiteral("/Usr/History.db");
    p.sampleCustPath = root + QStringLiteral("/Sample/Cust.DAT");
    p.workCustPath = root + QStringLiteral("/Usr/W_Cust.DAT");
    p.helpPagePath = root + QStringLiteral("/Help/H7120001.htm");
    p.usrFolder = root + QStringLiteral("/Usr/");
    // A value that is no ApUse (start-up refuses one) takes the K_ files.
    const Protocol output =
        servesFormat(apUseOf(apUse).value_or(ApUse::Korvan), Protocol::Eiaj) ? Protocol::Eiaj : Protocol::Korvan;
    p.dcsvPath = dcsvPathFor(p.usrFolder, output);
    p.tcsvPath = tcsvPathFor(p.usrFolder, output);
    p.codePath = root + QStringLiteral("/Prg/Code.DAT");
    return p;
}

QString Paths::slipListPath(int n) const
{
    return usrFolder + QString::number(n) + QStringLiteral("NoOutFile.txt");
}

QString Paths::tagListPath(int n) const
{
    return usrFolder + QString::number(n) + QStringLiteral("NiOutFile.txt");
}

QString Paths::dcsvPathFor(const QString& usrFolder, Protocol protocol)
{
    return usrFolder + (protocol == Protocol::Eiaj ? QStringLiteral("E_Dcsv.dat") : QStringLiteral("K_Dcsv.dat"));
}

QString Paths::tcsvPathFor(const QString& usrFolder, Protocol protocol)
{
    return usrFolder + (protocol == Protocol::Eiaj ? QStringLiteral("E_Tcsv.dat") : QStringLiteral("K_Tcsv.dat"));
}

bool isPlainFileName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QStringLiteral("..")) && !name.contains(QLatin1Char(':'));
}

} // namespace plx
