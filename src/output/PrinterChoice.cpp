#include "PrinterChoice.h"

#include "core/Environment.h"
#include "core/Registry.h"
#include "core/ReportControl.h"

namespace plx::printerChoice {

namespace {
const QString kSetting = QStringLiteral("PrinterName");
}

QString stored(const Environment& env)
{
    QString value;
    env.registry->regGetValue(kRegistryKey, kSetting, value);
    return value.trimmed();
}

QList<Entry> entries(const QStringList& systemPrinters, const QString& storedPrinter, int& chosen)
{
    QList<Entry> out{{QStringLiteral("PDFのみ"), QString()}};
    chosen = 0;
    for (const QString& name : systemPrinters) {
        if (name == storedPrinter)
            chosen = int(out.size());
        out.append({name, name});
    }
    if (!storedPrinter.isEmpty() && chosen == 0) {
        chosen = int(out.size());
        out.append({storedPrinter + QStringLiteral("（見つかりません）"), storedPrinter});
    }
    return out;
}

QString store(Environment& env, const QString& printer)
{
    if (stored(env) == printer)
        return QString();
    const qint32 code = env.registry->regPutValue(kRegistryKey, kSetting, printer);
    if (code == RegOk)
        return QString();
    return QStringLiteral("プリンタの選択を保存できません。(%1)").arg(Registry::regErrorText(code));
}

bool missing(const ReportControl& report, const QString& printer)
{
    return !printer.trimmed().isEmpty() && !report.hasPrinter(printer.trimmed());
}

QString missingText(const QString& printer)
{
    return QStringLiteral("プリンタ「%1」が見つかりません。\r\n今回の印刷はPDFファイルだけに出力します。").arg(printer);
}

} // namespace plx::printerChoice
