#include "support/TestInstall.h"

#include "core/ErrorReport.h"
#include "core/MessageCatalog.h"
#include "core/text/Cp932.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

struct CatalogFixture : ::testing::Test
{
    TestInstall inst;
    short answer = -1;
    CatalogFixture() { inst.buildPaths(); }
    void catalogue(const QString& text) { inst.writeFile(QStringLiteral("Prg/Msg.DAT"), cp932::encode(text)); }
    ScriptedDialogs::Shown show(short n)
    {
        inst.dialogs.shown.clear();
        answer = ShowMessage(inst.env, n);
        return inst.dialogs.shown.value(0);
    }
};

} // namespace

TEST_F(CatalogFixture, FindsByNumberFirstMatchWins)
{
    catalogue(QStringLiteral("002,3,\"最初\"\r\n002,1,\"二番目\"\r\n006,2,\"削除しますか？\"\r\n"));
    const auto two = show(2);
    EXPECT_EQ(two.text, QStringLiteral("最初"));
    EXPECT_EQ(two.icon, MessageIcon::Exclamation);
    EXPECT_EQ(two.buttons, MessageButtons::Ok);

    inst.dialogs.setNextAnswer(kAnswerYes);
    const auto six = show(6);
    EXPECT_EQ(six.icon, MessageIcon::Question);
    EXPECT_EQ(six.buttons, MessageButtons::YesNo);
    EXPECT_EQ(six.defaultButton, DefaultButton::No);
    EXPECT_EQ(answer, kAnswerYes);
}

TEST_F(CatalogFixture, AQuestionThatCannotBeAskedIsAnsweredNo)
{
    // Every question of the program, missing from the catalogue or written with
    // one leading zero too many (found, but shown with OK only), while the
    // operator would press Yes: the caller is told No. A notice keeps its OK.
    struct Case
    {
        short number;
        QString catalogue;
        QString shownText;
        short answer;
    };
    QList<Case> cases;
    for (short n : {6, 12, 130, 131, 132, 133, 134, 135, 200, 210, 503, 640}) {
        cases.append({n, QStringLiteral("002,3,\"x\"\r\n"), QStringLiteral("エラーです。"), kAnswerNo});
        cases.append({n, QStringLiteral("0%1,2,\"q\"\r\n").arg(n, 3, 10, QLatin1Char('0')), QString(), kAnswerNo});
    }
    cases.append({2, QStringLiteral("001,3,\"x\"\r\n"), QStringLiteral("エラーです。"), kAnswerOk});
    for (const Case& c : cases) {
        catalogue(c.catalogue);
        inst.dialogs.setNextAnswer(kAnswerYes);
        inst.dialogs.shown.clear();
        const short got = c.number == 200 || c.number == 210 ? ShowOutputQuestion(inst.env, c.number, {})
                                                             : ShowMessage(inst.env, c.number);
        EXPECT_EQ(got, c.answer) << c.number << " " << c.catalogue.toStdString();
        ASSERT_EQ(inst.dialogs.shown.size(), 1);
        EXPECT_EQ(inst.dialogs.shown[0].buttons, MessageButtons::Ok) << c.number;
        if (!c.shownText.isEmpty()) {
            EXPECT_EQ(inst.dialogs.shown[0].text, c.shownText) << c.number;
        }
    }
}

TEST_F(CatalogFixture, ReaderHandlesQuotesBlanksAndContinuationLines)
{
    catalogue(
        QStringLiteral("  010 , 9 ,  前後の空白  \r\n011,3\r\n\"続きの行, カンマ入り\"\r\n012,2,\"  空白付き  \"\r\n"));
    EXPECT_EQ(show(10).text, QStringLiteral("前後の空白"));
    EXPECT_EQ(show(10).icon, MessageIcon::Information);
    EXPECT_EQ(show(11).text, QStringLiteral("続きの行, カンマ入り"));
    const auto twelve = show(12);
    EXPECT_EQ(twelve.text, QStringLiteral("  空白付き  "));
    EXPECT_EQ(twelve.defaultButton, DefaultButton::No);
}

TEST_F(CatalogFixture, ButtonsFollowTheNumberAsWritten)
{
    // Written "6" instead of "006": found, but not given the Yes/No buttons.
    catalogue(QStringLiteral("6,2,\"q\"\r\n130,2,\"q\"\r\n503,2,\"q\"\r\n"));
    EXPECT_EQ(show(6).buttons, MessageButtons::Ok);
    const auto q130 = show(130);
    EXPECT_EQ(q130.buttons, MessageButtons::YesNo);
    EXPECT_EQ(q130.defaultButton, DefaultButton::First);
    EXPECT_EQ(answer, kAnswerNo);
    EXPECT_EQ(show(503).defaultButton, DefaultButton::No);
}

TEST_F(CatalogFixture, Decorations)
{
    catalogue(QStringLiteral("640,2,\"内のファイルを削除しますか？\"\r\n650,3,\"使えない文字: \\ / \"\r\n"
                             "200,2,\"納品書を印刷しますか？\"\r\n210,2,\"荷札を印刷しますか？\"\r\n"));
    EXPECT_EQ(show(640).text, QStringLiteral("\"処理済ﾌｧｲﾙ\"内のファイルを削除しますか？"));
    EXPECT_EQ(show(640).defaultButton, DefaultButton::No);
    EXPECT_EQ(show(650).text, QStringLiteral("使えない文字: \\ / \""));

    OutputQuestion q;
    q.items = 12;
    q.sheets = 3;
    q.formFile = QStringLiteral("E_Slip.agr") + QString(26, QLatin1Char(' ')) + QStringLiteral("TAIL");
    ShowOutputQuestion(inst.env, 200, q);
    // "出力対象  12件(用紙  3枚)" is 25 columns wide: 9.5 rounds to 10 blanks.
    // "(E_Slip.agr)" is 12 wide: 16 blanks. No company, no company line.
    EXPECT_EQ(inst.dialogs.shown.last().text, QStringLiteral("納品書を印刷しますか？\r\n") +
                                                  QString(10, QLatin1Char(' ')) +
                                                  QStringLiteral("出力対象  12件(用紙  3枚)\r\n") +
                                                  QString(16, QLatin1Char(' ')) + QStringLiteral("(E_Slip.agr)"));
    EXPECT_EQ(inst.dialogs.shown.last().buttons, MessageButtons::YesNoStop);
}

TEST_F(CatalogFixture, OutputQuestionsNameTheCompany)
{
    catalogue(QStringLiteral("200,2,\"納品書を印刷しますか？\"\r\n210,2,\"荷札を印刷しますか？\"\r\n"));
    OutputQuestion q;
    q.ordererCode = QStringLiteral("102851 ");
    q.ordererName = QStringLiteral("北斗星電機");
    q.items = 12;
    q.sheets = 3;
    q.formFile = QStringLiteral("E_Tag.agr");
    ShowOutputQuestion(inst.env, 210, q);
    // "発注者  102851  北斗星電機" is 26 columns wide: 9 blanks; "(E_Tag.agr)" is 11: 16.5 to 16.
    EXPECT_EQ(inst.dialogs.shown.last().text,
              QStringLiteral("荷札を印刷しますか？\r\n") + QString(9, QLatin1Char(' ')) +
                  QStringLiteral("発注者  102851  北斗星電機\r\n") + QString(10, QLatin1Char(' ')) +
                  QStringLiteral("出力対象  12件(用紙  3枚)\r\n") + QString(16, QLatin1Char(' ')) +
                  QStringLiteral("(E_Tag.agr)"));
    EXPECT_EQ(inst.dialogs.shown.last().buttons, MessageButtons::YesNoStop);

    // A company with a code only keeps the line short.
    q.ordererName.clear();
    inst.dialogs.setNextAnswer(kAnswerYes);
    EXPECT_EQ(ShowOutputQuestion(inst.env, 200, q), kAnswerYes);
    EXPECT_TRUE(
        inst.dialogs.shown.last().text.contains(QString(15, QLatin1Char(' ')) + QStringLiteral("発注者  102851\r\n")));
}

TEST(DisplayWidth, ColumnsAndCentring)
{
    short w = 0;
    DisplayWidth(u"A", w);
    EXPECT_EQ(w, 1);
    DisplayWidth(u"Ａ", w);
    EXPECT_EQ(w, 2);
    DisplayWidth(u"ｱ", w);
    EXPECT_EQ(w, 1);
    DisplayWidth(u"漢", w);
    EXPECT_EQ(w, 2);
    DisplayWidth(u"\t", w);
    EXPECT_EQ(w, 2);
    DisplayWidth(u"", w);
    EXPECT_EQ(w, 0);
    // 33 columns: 5.5 rounds to 6; 35 columns: 4.5 rounds to 4; over 44: no padding.
    EXPECT_EQ(centreOn44(QString(33, QLatin1Char('x'))), QString(6, QLatin1Char(' ')) + QString(33, QLatin1Char('x')));
    EXPECT_EQ(centreOn44(QString(35, QLatin1Char('x'))), QString(4, QLatin1Char(' ')) + QString(35, QLatin1Char('x')));
    EXPECT_EQ(centreOn44(QString(23, QChar(u'漢'))), QString(23, QChar(u'漢')));
}

TEST_F(CatalogFixture, BrokenOrMissingCatalogueEndsTheProgramThroughTheErrorReport)
{
    inst.env.logCount = 10;
    catalogue(QStringLiteral("002,3,\"x\"\r\nabc,3,\"broken\"\r\n007,3,\"y\"\r\n"));
    EXPECT_EQ(show(2).text, QStringLiteral("x")); // found before the broken line
    inst.dialogs.shown.clear();
    EXPECT_TRUE(endsProgram([&] { ShowMessage(inst.env, 7); }));
    EXPECT_TRUE(inst.dialogs.shown.first().text.startsWith(kErrorReportText));
    EXPECT_TRUE(
        inst.readFile(QStringLiteral("Log/Deliv.log")).contains(cp932::encode(u"ﾒｯｾｰｼﾞ出力/型が一致しません。")));

    QFile::remove(inst.env.paths.msgPath);
    inst.dialogs.shown.clear();
    EXPECT_TRUE(endsProgram([&] { ShowMessage(inst.env, 2); }));
    EXPECT_TRUE(inst.dialogs.shown.first().text.startsWith(kErrorReportText));
}
