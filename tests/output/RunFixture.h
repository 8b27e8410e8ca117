#pragma once

// The print run's tests: an output installation and a report that records what
// it is asked to print.

#include "support/OutputFixtures.h"

#include "core/FileLock.h"
#include "history/HistoryStore.h"
#include "output/DocumentData.h"
#include "output/PrintRun.h"

#include <gtest/gtest.h>

namespace plx::test {

struct RunFixture : ::testing::Test
{
    TestInstall inst;
    RecordingReport report;
    RunFixture() { writeOutputInstallation(inst); }
    void companies(const QList<CustRecord>& list) { inst.writeFile(QStringLiteral("Usr/Cust.DAT"), fileOf(list)); }
    void records(const QList<DeliveryRecord>& list) { inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(list)); }
    QList<DeliveryRecord> stored() const
    {
        const QByteArray bytes = inst.readFile(QStringLiteral("Prg/E_Deliv.dat"));
        QList<DeliveryRecord> out;
        for (qsizetype i = 0; i + DeliveryRecord::kLength <= bytes.size(); i += DeliveryRecord::kLength)
            out.append(DeliveryRecord(bytes.mid(i, DeliveryRecord::kLength)));
        return out;
    }
    QString marks(int n) const
    {
        const DeliveryRecord r = stored().at(n);
        return r.text(DeliveryField::Status) + r.text(DeliveryField::SlipIssued) + r.text(DeliveryField::TagIssued);
    }
    void answerYes(int times)
    {
        for (int i = 0; i < times; ++i)
            inst.dialogs.setNextAnswer(kAnswerYes);
    }
};

} // namespace plx::test
