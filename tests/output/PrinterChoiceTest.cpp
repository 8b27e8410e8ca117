#include "support/OutputFixtures.h"

#include "core/Registry.h"
#include "output/PrinterChoice.h"

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

TEST(PrinterChoice, TheListOffersPdfTheSystemsPrintersAndAStoredNameItLacks)
{
    const QStringList system = {QStringLiteral("OFFICE"), QStringLiteral("LABEL")};
    const struct
    {
        const char* stored;
        QStringList texts;
        int chosen;
    } cases[] = {
        {"", {"PDFのみ", "OFFICE", "LABEL"}, 0},
        {"LABEL", {"PDFのみ", "OFFICE", "LABEL"}, 2},
        {"GONE", {"PDFのみ", "OFFICE", "LABEL", "GONE（見つかりません）"}, 3},
    };
    for (const auto& c : cases) {
        int chosen = -1;
        const QList<printerChoice::Entry> entries = printerChoice::entries(system, QLatin1String(c.stored), chosen);
        QStringList texts;
        for (const auto& e : entries)
            texts << e.text;
        EXPECT_EQ(texts, c.texts) << c.stored;
        EXPECT_EQ(chosen, c.chosen) << c.stored;
        EXPECT_EQ(entries.at(chosen).printer, QLatin1String(c.stored));
    }
}

TEST(PrinterChoice, TheChoiceIsStoredAndAMissingPrinterIsFound)
{
    TestInstall inst;
    inst.writeSettings();
    inst.registry.regPutValue(kRegistryKey, QStringLiteral("PrinterName"), QStringLiteral(" LABEL "));
    EXPECT_EQ(printerChoice::stored(inst.env), QStringLiteral("LABEL"));
    EXPECT_TRUE(printerChoice::store(inst.env, QStringLiteral("OFFICE")).isEmpty());
    EXPECT_EQ(printerChoice::stored(inst.env), QStringLiteral("OFFICE"));

    RecordingReport report;
    report.printers = {QStringLiteral("OFFICE")};
    EXPECT_FALSE(printerChoice::missing(report, QString()));
    EXPECT_FALSE(printerChoice::missing(report, QStringLiteral("OFFICE")));
    EXPECT_TRUE(printerChoice::missing(report, QStringLiteral("GONE")));
    EXPECT_TRUE(printerChoice::missingText(QStringLiteral("GONE"))
                    .startsWith(QStringLiteral("プリンタ「GONE」が見つかりません。")));
}
