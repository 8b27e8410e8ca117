#include "support/ListFixtures.h"

#include "ui/auxiliary/DeletionWindow.h"
#include "ui/auxiliary/SearchWindow.h"
#include "ui/auxiliary/SettingsWindow.h"
#include "ui/auxiliary/VersionWindow.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace plx;
using namespace plx::test;

TEST(LogLabels, AWindowSetsItsOwnAndLeavesItsOpenersWhenItCloses)
{
    TestInstall inst;
    writeListInstallation(inst);
    inst.env.apUse = QStringLiteral("ALL");
    struct Case
    {
        const char* module;
        std::function<std::unique_ptr<QWidget>()> open;
    };
    const Case cases[] = {
        {"Ver情報", [&] { return std::make_unique<VersionWindow>(inst.env); }},
        {"環境設定", [&] { return std::make_unique<SettingsWindow>(inst.env); }},
        {"検索", [&] { return std::make_unique<SearchWindow>(inst.env, Protocol::Eiaj, 0); }},
        {"納品書削除", [&] { return std::make_unique<DeletionWindow>(inst.env, Protocol::Eiaj); }},
    };
    for (const Case& c : cases) {
        inst.env.logModule = QStringLiteral("納品書一覧");
        inst.env.logOperation = QStringLiteral("削除ﾎﾞﾀﾝ");
        {
            const std::unique_ptr<QWidget> window = c.open();
            EXPECT_EQ(inst.env.logModule, QString::fromUtf8(c.module));
        }
        EXPECT_EQ(inst.env.logModule, QStringLiteral("納品書一覧")) << c.module;
        EXPECT_EQ(inst.env.logOperation, QStringLiteral("削除ﾎﾞﾀﾝ")) << c.module;
    }
}
