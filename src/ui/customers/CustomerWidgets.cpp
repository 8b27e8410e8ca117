// Builds the controls of the ordering-company window and lays them out. The
// controls are created in the order of the tab order, and every one that the
// window or its tests find by name gets its object name here.
#include "CustomerWidgets.h"

#include "ui/CenterWindow.h"
#include "ui/FieldWidths.h"

#include "store/CustRecord.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace plx {

namespace {

// Grid geometry in twips: the two columns and the row height.
constexpr int kNoColumnTwips = 450;
constexpr int kNameColumnTwips = 5380;
constexpr int kRowTwips = 240;

// Bytes of the record fields the boxes show: each box holds its whole field.
int bytesOf(CustField field)
{
    return CustRecord::field(field).width;
}

QRadioButton* addOption(int n, const QString& caption, int id, QButtonGroup* group, QWidget* parent)
{
    auto* option = new QRadioButton(caption, parent);
    option->setObjectName(QStringLiteral("Option%1").arg(n));
    group->addButton(option, id);
    return option;
}

} // namespace

void CustomerWidgets::build(QDialog& window)
{
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(8, 4, 8, 8);
    buildMenus(window);
    auto* sides = new QHBoxLayout;
    sides->addWidget(buildListSide(window));
    sides->addWidget(buildEditSide(window), 1);
    layout->addLayout(sides);
}

void CustomerWidgets::buildMenus(QDialog& window)
{
    auto* bar = new QMenuBar(&window);
    static_cast<QVBoxLayout*>(window.layout())->setMenuBar(bar);
    const auto action = [](QMenu* menu, const char* name, const QString& text) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    QMenu* file = bar->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    file->setObjectName(QStringLiteral("MnuCust"));
    mnuNew = action(file, "MnuCustNew", QStringLiteral("新規作成(&N)"));
    mnuRmk = action(file, "MnuCustRmk", QStringLiteral("変更(&R)"));
    mnuDel = action(file, "MnuCustDel", QStringLiteral("削除(&D)"));
    file->addSeparator();
    mnuCls = action(file, "MnuCustCls", QStringLiteral("閉じる(&C)"));

    QMenu* help = bar->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    help->setObjectName(QStringLiteral("MnuHelpMenu"));
    mnuMaru = action(help, "MnuMaru", QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    help->addSeparator();
    mnuVer = action(help, "MnuVer", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)"));
}

QWidget* CustomerWidgets::buildListSide(QDialog& window)
{
    auto* side = new QWidget(&window);
    auto* column = new QVBoxLayout(side);
    column->setContentsMargins(0, 0, 0, 0);

    auto* protocols = new QGroupBox(QStringLiteral("ﾋﾞｼﾞﾈｽﾌﾟﾛﾄｺﾙ"), side);
    protocols->setObjectName(QStringLiteral("Frame4"));
    auto* row = new QHBoxLayout(protocols);
    option1 = new QRadioButton(QStringLiteral("EIAJ"), protocols);
    option1->setObjectName(QStringLiteral("Option1"));
    option2 = new QRadioButton(QStringLiteral("KORVAN"), protocols);
    option2->setObjectName(QStringLiteral("Option2"));
    row->addWidget(option1);
    row->addWidget(option2);
    row->addStretch(1);
    column->addWidget(protocols);

    grid = new QTableWidget(0, 2, side);
    grid->setObjectName(QStringLiteral("CustGrid"));
    grid->setHorizontalHeaderLabels({QStringLiteral("No."), QStringLiteral("発注者名称")});
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(twipsToPixels(kRowTwips) + 2);
    // The name column shows a whole 50-byte name, however wide the font.
    const int nameWidth =
        std::max(twipsToPixels(kNameColumnTwips), columnWidthForBytes(*grid, bytesOf(CustField::OrdererName)));
    grid->setColumnWidth(0, twipsToPixels(kNoColumnTwips));
    grid->setColumnWidth(1, nameWidth);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The arrow keys move through the companies; Tab leaves the list at once
    // instead of walking its cells (and the companies with them).
    grid->setTabKeyNavigation(false);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setMinimumWidth(twipsToPixels(kNoColumnTwips) + nameWidth + 2 * grid->frameWidth() +
                          grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid));
    // The selected company stays marked when the grid has no focus.
    QPalette palette = grid->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    grid->setPalette(palette);
    column->addWidget(grid, 1);
    return side;
}

QLineEdit* CustomerWidgets::addText(int n, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QStringLiteral("Text%1").arg(n));
    text[n] = edit;
    return edit;
}

QWidget* CustomerWidgets::buildEditSide(QDialog& window)
{
    const int codeBytes = bytesOf(CustField::OrdererCode);
    const int nameBytes = bytesOf(CustField::OrdererName);
    const int formFileBytes = bytesOf(CustField::SlipFormFile);
    const int digitBytes = bytesOf(CustField::SlipBarcodeDigits);
    const int commentBytes = bytesOf(CustField::Comment);

    auto* side = new QWidget(&window);
    auto* column = new QVBoxLayout(side);
    column->setContentsMargins(0, 0, 0, 0);

    label3 = new QLabel(side);
    label3->setObjectName(QStringLiteral("Label3"));
    label3->setMinimumHeight(20);
    QFont bold = label3->font();
    bold.setBold(true);
    label3->setFont(bold);
    column->addWidget(label3);

    // The company: codes and names.
    companyFrame = new QGroupBox(side);
    companyFrame->setObjectName(QStringLiteral("Frame1"));
    auto* company = new QGridLayout(companyFrame);
    company->addWidget(new QLabel(QStringLiteral("発注者 ："), companyFrame), 0, 0);
    company->addWidget(addText(1, companyFrame), 0, 1);
    company->addWidget(addText(2, companyFrame), 0, 2);
    company->addWidget(new QLabel(QStringLiteral("受注者 ："), companyFrame), 1, 0);
    company->addWidget(addText(3, companyFrame), 1, 1);
    company->addWidget(addText(4, companyFrame), 1, 2);
    company->setColumnStretch(2, 1);
    // Every box shows its whole field: codes of 12 bytes, names of 50.
    for (int n : {1, 3})
        text[n]->setFixedWidth(lineEditWidthForBytes(*text[n], codeBytes));
    for (int n : {2, 4})
        text[n]->setMinimumWidth(lineEditWidthForBytes(*text[n], nameBytes));
    column->addWidget(companyFrame);

    // The documents: output kind, layout files, barcode digits, comment.
    documentFrame = new QGroupBox(side);
    documentFrame->setObjectName(QStringLiteral("Frame2"));
    auto* documents = new QGridLayout(documentFrame);
    auto* kinds = new QGroupBox(QStringLiteral("出力区分"), documentFrame);
    kinds->setObjectName(QStringLiteral("Frame5"));
    auto* kindRow = new QHBoxLayout(kinds);
    outputKind = new QButtonGroup(&window);
    kindRow->addWidget(addOption(5, QStringLiteral("納品書"), 1, outputKind, kinds));
    kindRow->addWidget(addOption(6, QStringLiteral("荷札"), 2, outputKind, kinds));
    kindRow->addWidget(addOption(7, QStringLiteral("両方"), 3, outputKind, kinds));
    kindRow->addStretch(1);
    documents->addWidget(kinds, 0, 0, 1, 4);
    documents->addWidget(new QLabel(QStringLiteral("納品書QRD定義ﾌｧｲﾙ名称"), documentFrame), 1, 0);
    documents->addWidget(new QLabel(QStringLiteral("ﾊﾞｰｺｰﾄﾞ桁数"), documentFrame), 1, 2);
    documents->addWidget(addText(5, documentFrame), 2, 0);
    documents->addWidget(new QLabel(QStringLiteral("荷札QRD定義ﾌｧｲﾙ名称"), documentFrame), 3, 0);
    documents->addWidget(new QLabel(QStringLiteral("ﾊﾞｰｺｰﾄﾞ桁数"), documentFrame), 3, 2);
    documents->addWidget(addText(6, documentFrame), 4, 0);
    const auto browseButton = [&](int n, int row) {
        auto* button = new QPushButton(QStringLiteral("参照"), documentFrame);
        button->setObjectName(QStringLiteral("Command%1").arg(n));
        button->setAutoDefault(false);
        documents->addWidget(button, row, 1);
        return button;
    };
    command3 = browseButton(3, 2);
    command4 = browseButton(4, 4);
    documents->addWidget(addText(7, documentFrame), 2, 2);
    documents->addWidget(addText(8, documentFrame), 4, 2);
    for (int n : {7, 8})
        text[n]->setFixedWidth(lineEditWidthForBytes(*text[n], digitBytes));
    for (int n : {5, 6})
        text[n]->setMinimumWidth(lineEditWidthForBytes(*text[n], formFileBytes));
    documents->addWidget(new QLabel(QStringLiteral("ｺﾒﾝﾄ："), documentFrame), 5, 0, Qt::AlignRight);
    documents->addWidget(addText(9, documentFrame), 5, 1, 1, 3);
    text[9]->setMinimumWidth(lineEditWidthForBytes(*text[9], commentBytes));
    documents->setColumnStretch(0, 1);
    documents->setColumnStretch(3, 1);
    column->addWidget(documentFrame);

    // The EIAJ settings: kanji, rounding and the tax and price codes.
    eiajFrame = new QGroupBox(side);
    eiajFrame->setObjectName(QStringLiteral("Frame3"));
    auto* eiaj = new QGridLayout(eiajFrame);
    const auto frame = [&](const QString& title, int n) {
        auto* box = new QGroupBox(title, eiajFrame);
        box->setObjectName(QStringLiteral("Frame%1").arg(n));
        return box;
    };
    QGroupBox* kanji = frame(QStringLiteral("漢字使用"), 6);
    auto* kanjiColumn = new QVBoxLayout(kanji);
    kanjiUse = new QButtonGroup(&window);
    kanjiColumn->addWidget(addOption(3, QStringLiteral("漢字優先"), 1, kanjiUse, kanji));
    kanjiColumn->addWidget(addOption(4, QStringLiteral("漢字不可"), 0, kanjiUse, kanji));
    const auto rounding = [&](const QString& title, int frameNo, int first, QButtonGroup*& group) {
        QGroupBox* box = frame(title, frameNo);
        auto* options = new QVBoxLayout(box);
        group = new QButtonGroup(&window);
        options->addWidget(addOption(first, QStringLiteral("切上げ"), 1, group, box));
        options->addWidget(addOption(first + 1, QStringLiteral("切捨て"), 2, group, box));
        options->addWidget(addOption(first + 2, QStringLiteral("四捨五入"), 3, group, box));
        return box;
    };
    eiaj->addWidget(kanji, 0, 0);
    eiaj->addWidget(rounding(QStringLiteral("金額計算"), 7, 8, amountRounding), 0, 1);
    eiaj->addWidget(rounding(QStringLiteral("税額計算"), 8, 11, taxRounding), 0, 2);
    const char16_t* captions[3] = {u"消費税区分：", u"課税区分：", u"価格表示区分："};
    auto* codes = new QGridLayout;
    for (int i = 0; i < 3; ++i) {
        codes->addWidget(new QLabel(QString::fromUtf16(captions[i]), eiajFrame), i, 0, Qt::AlignRight);
        combo[i] = new QComboBox(eiajFrame);
        combo[i]->setObjectName(QStringLiteral("Combo%1").arg(i + 3));
        combo[i]->setMinimumWidth(160);
        codes->addWidget(combo[i], i, 1);
    }
    codes->setColumnStretch(2, 1);
    eiaj->addLayout(codes, 1, 0, 1, 3);
    column->addWidget(eiajFrame);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    command1 = new QPushButton(QStringLiteral("ＯＫ(&O)"), side);
    command1->setObjectName(QStringLiteral("Command1"));
    command2 = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ(&C)"), side);
    command2->setObjectName(QStringLiteral("Command2"));
    for (QPushButton* b : {command1, command2}) {
        b->setAutoDefault(false);
        b->setMinimumSize(88, 28);
        buttons->addWidget(b);
    }
    column->addStretch(1);
    column->addLayout(buttons);
    return side;
}

} // namespace plx
