// Builds the controls of the ordering-company window and lays them out. The
// controls are created in the order of the tab order, and every one that the
// window or its tests find by name gets its object name here.
#include "CustomerWidgets.h"

#include "ui/CenterWindow.h"
#include "ui/FieldWidths.h"

#include "customers/CompanyFields.h"
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

QString textOf(const char16_t* text)
{
    return QString::fromUtf16(text);
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
    newAction = action(file, "MnuCustNew", QStringLiteral("新規作成(&N)"));
    changeAction = action(file, "MnuCustRmk", QStringLiteral("変更(&R)"));
    deleteAction = action(file, "MnuCustDel", QStringLiteral("削除(&D)"));
    file->addSeparator();
    closeAction = action(file, "MnuCustCls", QStringLiteral("閉じる(&C)"));

    QMenu* help = bar->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    help->setObjectName(QStringLiteral("MnuHelpMenu"));
    helpAction = action(help, "MnuMaru", QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    help->addSeparator();
    versionAction = action(help, "MnuVer", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)"));
}

QWidget* CustomerWidgets::buildListSide(QDialog& window)
{
    auto* side = new QWidget(&window);
    auto* column = new QVBoxLayout(side);
    column->setContentsMargins(0, 0, 0, 0);

    auto* protocols = new QGroupBox(QStringLiteral("ﾋﾞｼﾞﾈｽﾌﾟﾛﾄｺﾙ"), side);
    protocols->setObjectName(QStringLiteral("Frame4"));
    auto* row = new QHBoxLayout(protocols);
    eiajOption = new QRadioButton(QStringLiteral("EIAJ"), protocols);
    eiajOption->setObjectName(QStringLiteral("Option1"));
    korvanOption = new QRadioButton(QStringLiteral("KORVAN"), protocols);
    korvanOption->setObjectName(QStringLiteral("Option2"));
    row->addWidget(eiajOption);
    row->addWidget(korvanOption);
    row->addStretch(1);
    column->addWidget(protocols);

    QTableWidget* grid = companyList = new QTableWidget(0, 2, side);
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

QLineEdit* CustomerWidgets::addBox(CustField field, QWidget* parent)
{
    const CompanyField& row = companyField(field);
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(row.objectName));
    // Every box shows its whole field: codes of 12 bytes, names of 50. Codes
    // and digit counts take that width, the others at least that.
    const int width = lineEditWidthForBytes(*edit, bytesOf(field));
    if (row.text == CompanyText::Code || row.text == CompanyText::Digits)
        edit->setFixedWidth(width);
    else
        edit->setMinimumWidth(width);
    m_boxes[index(field)] = edit;
    return edit;
}

QGroupBox* CustomerWidgets::addChoice(CustField field, bool sideBySide, QDialog& window, QWidget* parent)
{
    const CompanyField& row = companyField(field);
    auto* frame = new QGroupBox(textOf(row.label), parent);
    frame->setObjectName(QLatin1String(row.objectName));
    QBoxLayout* buttons = sideBySide ? static_cast<QBoxLayout*>(new QHBoxLayout(frame)) : new QVBoxLayout(frame);
    auto* group = new QButtonGroup(&window);
    for (const CompanyChoice& choice : row.choices) {
        if (!choice.value)
            break;
        auto* option = new QRadioButton(textOf(choice.caption), frame);
        option->setObjectName(QLatin1String(choice.objectName));
        // The button's id is the value it stands for (see ButtonGroupChoice).
        group->addButton(option, choice.value - '0');
        buttons->addWidget(option);
    }
    if (sideBySide)
        buttons->addStretch(1);
    m_choices[index(field)] = group;
    return frame;
}

QComboBox* CustomerWidgets::addCodeList(CustField field, QWidget* parent)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(QLatin1String(companyField(field).objectName));
    list->setMinimumWidth(160);
    m_codeLists[index(field)] = list;
    return list;
}

QWidget* CustomerWidgets::focusTarget(const CompanyField& row) const
{
    switch (row.input) {
    case CompanyInput::Text:
        return box(row.field);
    case CompanyInput::Choice:
        return choice(row.field)->button(row.choices[0].value - '0');
    case CompanyInput::Code:
        return codeList(row.field);
    }
    return nullptr;
}

QWidget* CustomerWidgets::buildEditSide(QDialog& window)
{
    using F = CustField;
    const auto label = [](CustField field, QWidget* parent) {
        return new QLabel(textOf(companyField(field).label), parent);
    };

    auto* side = new QWidget(&window);
    auto* column = new QVBoxLayout(side);
    column->setContentsMargins(0, 0, 0, 0);

    modeLabel = new QLabel(side);
    modeLabel->setObjectName(QStringLiteral("Label3"));
    modeLabel->setMinimumHeight(20);
    QFont bold = modeLabel->font();
    bold.setBold(true);
    modeLabel->setFont(bold);
    column->addWidget(modeLabel);

    // The company: codes and names.
    companyFrame = new QGroupBox(side);
    companyFrame->setObjectName(QStringLiteral("Frame1"));
    auto* company = new QGridLayout(companyFrame);
    company->addWidget(label(F::OrdererCode, companyFrame), 0, 0);
    company->addWidget(addBox(F::OrdererCode, companyFrame), 0, 1);
    company->addWidget(addBox(F::OrdererName, companyFrame), 0, 2);
    company->addWidget(label(F::SupplierCode, companyFrame), 1, 0);
    company->addWidget(addBox(F::SupplierCode, companyFrame), 1, 1);
    company->addWidget(addBox(F::SupplierName, companyFrame), 1, 2);
    company->setColumnStretch(2, 1);
    column->addWidget(companyFrame);

    // The documents: output kind, layout files, barcode digits, comment.
    documentFrame = new QGroupBox(side);
    documentFrame->setObjectName(QStringLiteral("Frame2"));
    auto* documents = new QGridLayout(documentFrame);
    documents->addWidget(addChoice(F::OutputKind, true, window, documentFrame), 0, 0, 1, 4);
    documents->addWidget(label(F::SlipFormFile, documentFrame), 1, 0);
    documents->addWidget(label(F::SlipBarcodeDigits, documentFrame), 1, 2);
    documents->addWidget(addBox(F::SlipFormFile, documentFrame), 2, 0);
    documents->addWidget(label(F::TagFormFile, documentFrame), 3, 0);
    documents->addWidget(label(F::TagBarcodeDigits, documentFrame), 3, 2);
    documents->addWidget(addBox(F::TagFormFile, documentFrame), 4, 0);
    const auto browseButton = [&](const char* name, int row) {
        auto* button = new QPushButton(QStringLiteral("参照"), documentFrame);
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(false);
        documents->addWidget(button, row, 1);
        return button;
    };
    browseSlipForm = browseButton("Command3", 2);
    browseTagForm = browseButton("Command4", 4);
    documents->addWidget(addBox(F::SlipBarcodeDigits, documentFrame), 2, 2);
    documents->addWidget(addBox(F::TagBarcodeDigits, documentFrame), 4, 2);
    documents->addWidget(label(F::Comment, documentFrame), 5, 0, Qt::AlignRight);
    documents->addWidget(addBox(F::Comment, documentFrame), 5, 1, 1, 3);
    documents->setColumnStretch(0, 1);
    documents->setColumnStretch(3, 1);
    column->addWidget(documentFrame);

    // The EIAJ settings: kanji, rounding and the tax and price codes.
    eiajFrame = new QGroupBox(side);
    eiajFrame->setObjectName(QStringLiteral("Frame3"));
    auto* eiaj = new QGridLayout(eiajFrame);
    eiaj->addWidget(addChoice(F::KanjiUse, false, window, eiajFrame), 0, 0);
    eiaj->addWidget(addChoice(F::AmountRounding, false, window, eiajFrame), 0, 1);
    eiaj->addWidget(addChoice(F::TaxRounding, false, window, eiajFrame), 0, 2);
    auto* codes = new QGridLayout;
    int codeRow = 0;
    for (CustField field : {F::ConsumptionTaxKind, F::TaxationKind, F::PriceDisplayKind}) {
        codes->addWidget(label(field, eiajFrame), codeRow, 0, Qt::AlignRight);
        codes->addWidget(addCodeList(field, eiajFrame), codeRow, 1);
        ++codeRow;
    }
    codes->setColumnStretch(2, 1);
    eiaj->addLayout(codes, 1, 0, 1, 3);
    column->addWidget(eiajFrame);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    okButton = new QPushButton(QStringLiteral("ＯＫ(&O)"), side);
    okButton->setObjectName(QStringLiteral("Command1"));
    cancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ(&C)"), side);
    cancelButton->setObjectName(QStringLiteral("Command2"));
    for (QPushButton* b : {okButton, cancelButton}) {
        b->setAutoDefault(false);
        b->setMinimumSize(88, 28);
        buttons->addWidget(b);
    }
    column->addStretch(1);
    column->addLayout(buttons);
    return side;
}

} // namespace plx
