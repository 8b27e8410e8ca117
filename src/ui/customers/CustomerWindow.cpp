#include "CustomerWindow.h"

#include "ui/ButtonGroupChoice.h"
#include "ui/CenterWindow.h"
#include "ui/FieldWidths.h"
#include "ui/auxiliary/VersionWindow.h"

#include "core/Dialogs.h"
#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/MessageCatalog.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace plx {

namespace {

const QString kModule = QStringLiteral("発注企業情報");

// The code kinds of Combo3, Combo4 and Combo5.
constexpr const char* kComboKinds[3] = {"02", "03", "04"};

// Grid geometry in twips: the two columns and the row height.
constexpr int kNoColumnTwips = 450;
constexpr int kNameColumnTwips = 5380;
constexpr int kRowTwips = 240;

// Bytes of the fields the boxes show.
constexpr int kCodeBytes = 12;
constexpr int kNameBytes = 50;
constexpr int kFormFileBytes = 36;
constexpr int kCommentBytes = 16;

} // namespace

CustomerWindow::CustomerWindow(Environment& env, QWidget* parent)
    : QDialog(parent), m_env(env), m_logLabels(env), m_session(std::make_unique<CustomerSession>(env)),
      m_browse([](QWidget*) { return QString(); })
{
    setObjectName(kModule);
    setWindowTitle(kModule);
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 8);
    buildMenus();
    auto* sides = new QHBoxLayout;
    sides->addWidget(buildListSide());
    sides->addWidget(buildEditSide(), 1);
    layout->addLayout(sides);
    Form_Load();
}

CustomerWindow::~CustomerWindow() = default;

bool CustomerWindow::changed() const
{
    return m_session->changed();
}

void CustomerWindow::setFormFileBrowser(std::function<QString(QWidget*)> browse)
{
    if (browse)
        m_browse = std::move(browse);
    else
        m_browse = [](QWidget*) { return QString(); };
}

void CustomerWindow::buildMenus()
{
    auto* bar = new QMenuBar(this);
    static_cast<QVBoxLayout*>(layout())->setMenuBar(bar);
    const auto action = [this](QMenu* menu, const char* name, const QString& text, auto slot) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    QMenu* file = bar->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    file->setObjectName(QStringLiteral("MnuCust"));
    m_mnuNew = action(file, "MnuCustNew", QStringLiteral("新規作成(&N)"), [this] { MnuCustNew_Click(); });
    m_mnuRmk = action(file, "MnuCustRmk", QStringLiteral("変更(&R)"), [this] { MnuCustRmk_Click(); });
    m_mnuDel = action(file, "MnuCustDel", QStringLiteral("削除(&D)"), [this] { MnuCustDel_Click(); });
    file->addSeparator();
    m_mnuCls = action(file, "MnuCustCls", QStringLiteral("閉じる(&C)"), [this] { close(); });

    QMenu* help = bar->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    help->setObjectName(QStringLiteral("MnuHelpMenu"));
    action(help, "MnuMaru", QStringLiteral("ﾍﾙﾌﾟ(&H)"), [this] { MnuMaru_Click(); });
    help->addSeparator();
    action(help, "MnuVer", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)"), [this] { MnuVer_Click(); });
}

QWidget* CustomerWindow::buildListSide()
{
    auto* side = new QWidget(this);
    auto* column = new QVBoxLayout(side);
    column->setContentsMargins(0, 0, 0, 0);

    auto* protocols = new QGroupBox(QStringLiteral("ﾋﾞｼﾞﾈｽﾌﾟﾛﾄｺﾙ"), side);
    protocols->setObjectName(QStringLiteral("Frame4"));
    auto* row = new QHBoxLayout(protocols);
    m_option1 = new QRadioButton(QStringLiteral("EIAJ"), protocols);
    m_option1->setObjectName(QStringLiteral("Option1"));
    m_option2 = new QRadioButton(QStringLiteral("KORVAN"), protocols);
    m_option2->setObjectName(QStringLiteral("Option2"));
    row->addWidget(m_option1);
    row->addWidget(m_option2);
    row->addStretch(1);
    column->addWidget(protocols);
    connect(m_option1, &QRadioButton::toggled, this, [this](bool on) {
        if (on && !m_updating)
            protocolChosen(Protocol::Eiaj);
    });
    connect(m_option2, &QRadioButton::toggled, this, [this](bool on) {
        if (on && !m_updating)
            protocolChosen(Protocol::Korvan);
    });

    m_grid = new QTableWidget(0, 2, side);
    m_grid->setObjectName(QStringLiteral("CustGrid"));
    m_grid->setHorizontalHeaderLabels({QStringLiteral("No."), QStringLiteral("発注者名称")});
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(twipsToPixels(kRowTwips) + 2);
    // The name column shows a whole 50-byte name, however wide the font.
    const int nameWidth = std::max(twipsToPixels(kNameColumnTwips), columnWidthForBytes(*m_grid, kNameBytes));
    m_grid->setColumnWidth(0, twipsToPixels(kNoColumnTwips));
    m_grid->setColumnWidth(1, nameWidth);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setMinimumWidth(twipsToPixels(kNoColumnTwips) + nameWidth + 2 * m_grid->frameWidth() +
                            m_grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_grid));
    // The selected company stays marked when the grid has no focus.
    QPalette palette = m_grid->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    m_grid->setPalette(palette);
    column->addWidget(m_grid, 1);
    connect(m_grid, &QTableWidget::currentCellChanged, this, [this](int current, int, int previous, int) {
        if (!m_updating && current >= 0 && current != previous)
            CustGrid_RowChange(current);
    });
    return side;
}

QLineEdit* CustomerWindow::addText(int n, int maxLength, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QStringLiteral("Text%1").arg(n));
    edit->setMaxLength(maxLength);
    edit->installEventFilter(this);
    m_text[n] = edit;
    return edit;
}

QRadioButton* CustomerWindow::addOption(int n, const QString& caption, int id, QButtonGroup* group, QWidget* parent)
{
    auto* option = new QRadioButton(caption, parent);
    option->setObjectName(QStringLiteral("Option%1").arg(n));
    group->addButton(option, id);
    return option;
}

QWidget* CustomerWindow::buildEditSide()
{
    auto* side = new QWidget(this);
    auto* column = new QVBoxLayout(side);
    column->setContentsMargins(0, 0, 0, 0);

    m_label3 = new QLabel(side);
    m_label3->setObjectName(QStringLiteral("Label3"));
    m_label3->setMinimumHeight(20);
    QFont bold = m_label3->font();
    bold.setBold(true);
    m_label3->setFont(bold);
    column->addWidget(m_label3);

    // The company: codes and names.
    m_companyFrame = new QGroupBox(side);
    m_companyFrame->setObjectName(QStringLiteral("Frame1"));
    auto* company = new QGridLayout(m_companyFrame);
    company->addWidget(new QLabel(QStringLiteral("発注者 ："), m_companyFrame), 0, 0);
    company->addWidget(addText(1, kCodeBytes, m_companyFrame), 0, 1);
    company->addWidget(addText(2, kNameBytes, m_companyFrame), 0, 2);
    company->addWidget(new QLabel(QStringLiteral("受注者 ："), m_companyFrame), 1, 0);
    company->addWidget(addText(3, kCodeBytes, m_companyFrame), 1, 1);
    company->addWidget(addText(4, kNameBytes, m_companyFrame), 1, 2);
    company->setColumnStretch(2, 1);
    // Every box shows its whole field: codes of 12 bytes, names of 50.
    for (int n : {1, 3})
        m_text[n]->setFixedWidth(lineEditWidthForBytes(*m_text[n], kCodeBytes));
    for (int n : {2, 4})
        m_text[n]->setMinimumWidth(lineEditWidthForBytes(*m_text[n], kNameBytes));
    column->addWidget(m_companyFrame);

    // The documents: output kind, layout files, barcode digits, comment.
    m_documentFrame = new QGroupBox(side);
    m_documentFrame->setObjectName(QStringLiteral("Frame2"));
    auto* documents = new QGridLayout(m_documentFrame);
    auto* kinds = new QGroupBox(QStringLiteral("出力区分"), m_documentFrame);
    kinds->setObjectName(QStringLiteral("Frame5"));
    auto* kindRow = new QHBoxLayout(kinds);
    m_outputKind = new QButtonGroup(this);
    kindRow->addWidget(addOption(5, QStringLiteral("納品書"), 1, m_outputKind, kinds));
    kindRow->addWidget(addOption(6, QStringLiteral("荷札"), 2, m_outputKind, kinds));
    kindRow->addWidget(addOption(7, QStringLiteral("両方"), 3, m_outputKind, kinds));
    kindRow->addStretch(1);
    documents->addWidget(kinds, 0, 0, 1, 4);
    documents->addWidget(new QLabel(QStringLiteral("納品書QRD定義ﾌｧｲﾙ名称"), m_documentFrame), 1, 0);
    documents->addWidget(new QLabel(QStringLiteral("ﾊﾞｰｺｰﾄﾞ桁数"), m_documentFrame), 1, 2);
    documents->addWidget(addText(5, kFormFileBytes, m_documentFrame), 2, 0);
    documents->addWidget(new QLabel(QStringLiteral("荷札QRD定義ﾌｧｲﾙ名称"), m_documentFrame), 3, 0);
    documents->addWidget(new QLabel(QStringLiteral("ﾊﾞｰｺｰﾄﾞ桁数"), m_documentFrame), 3, 2);
    documents->addWidget(addText(6, kFormFileBytes, m_documentFrame), 4, 0);
    const auto browseButton = [&](int n, QLineEdit* target, int row) {
        auto* button = new QPushButton(QStringLiteral("参照"), m_documentFrame);
        button->setObjectName(QStringLiteral("Command%1").arg(n));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, target] { browseFormFile(target); });
        documents->addWidget(button, row, 1);
    };
    browseButton(3, m_text[5], 2);
    browseButton(4, m_text[6], 4);
    documents->addWidget(addText(7, 2, m_documentFrame), 2, 2);
    documents->addWidget(addText(8, 2, m_documentFrame), 4, 2);
    for (int n : {7, 8})
        m_text[n]->setFixedWidth(lineEditWidthForBytes(*m_text[n], 2));
    for (int n : {5, 6})
        m_text[n]->setMinimumWidth(lineEditWidthForBytes(*m_text[n], kFormFileBytes));
    documents->addWidget(new QLabel(QStringLiteral("ｺﾒﾝﾄ："), m_documentFrame), 5, 0, Qt::AlignRight);
    documents->addWidget(addText(9, kCommentBytes, m_documentFrame), 5, 1, 1, 3);
    m_text[9]->setMinimumWidth(lineEditWidthForBytes(*m_text[9], kCommentBytes));
    documents->setColumnStretch(0, 1);
    documents->setColumnStretch(3, 1);
    column->addWidget(m_documentFrame);

    // The EIAJ settings: kanji, rounding and the tax and price codes.
    m_eiajFrame = new QGroupBox(side);
    m_eiajFrame->setObjectName(QStringLiteral("Frame3"));
    auto* eiaj = new QGridLayout(m_eiajFrame);
    const auto frame = [&](const QString& title, int n) {
        auto* box = new QGroupBox(title, m_eiajFrame);
        box->setObjectName(QStringLiteral("Frame%1").arg(n));
        return box;
    };
    QGroupBox* kanji = frame(QStringLiteral("漢字使用"), 6);
    auto* kanjiColumn = new QVBoxLayout(kanji);
    m_kanjiUse = new QButtonGroup(this);
    kanjiColumn->addWidget(addOption(3, QStringLiteral("漢字優先"), 1, m_kanjiUse, kanji));
    kanjiColumn->addWidget(addOption(4, QStringLiteral("漢字不可"), 0, m_kanjiUse, kanji));
    const auto rounding = [&](const QString& title, int frameNo, int first, QButtonGroup*& group) {
        QGroupBox* box = frame(title, frameNo);
        auto* options = new QVBoxLayout(box);
        group = new QButtonGroup(this);
        options->addWidget(addOption(first, QStringLiteral("切上げ"), 1, group, box));
        options->addWidget(addOption(first + 1, QStringLiteral("切捨て"), 2, group, box));
        options->addWidget(addOption(first + 2, QStringLiteral("四捨五入"), 3, group, box));
        return box;
    };
    eiaj->addWidget(kanji, 0, 0);
    eiaj->addWidget(rounding(QStringLiteral("金額計算"), 7, 8, m_amountRounding), 0, 1);
    eiaj->addWidget(rounding(QStringLiteral("税額計算"), 8, 11, m_taxRounding), 0, 2);
    const char16_t* captions[3] = {u"消費税区分：", u"課税区分：", u"価格表示区分："};
    auto* codes = new QGridLayout;
    for (int i = 0; i < 3; ++i) {
        codes->addWidget(new QLabel(QString::fromUtf16(captions[i]), m_eiajFrame), i, 0, Qt::AlignRight);
        m_combo[i] = new QComboBox(m_eiajFrame);
        m_combo[i]->setObjectName(QStringLiteral("Combo%1").arg(i + 3));
        m_combo[i]->setMinimumWidth(160);
        codes->addWidget(m_combo[i], i, 1);
    }
    codes->setColumnStretch(2, 1);
    eiaj->addLayout(codes, 1, 0, 1, 3);
    column->addWidget(m_eiajFrame);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_command1 = new QPushButton(QStringLiteral("ＯＫ"), side);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command2 = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), side);
    m_command2->setObjectName(QStringLiteral("Command2"));
    for (QPushButton* b : {m_command1, m_command2}) {
        b->setAutoDefault(false);
        b->setMinimumSize(88, 28);
        buttons->addWidget(b);
    }
    column->addStretch(1);
    column->addLayout(buttons);
    connect(m_command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(m_command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    return side;
}

// --- Between the boxes and the session ---------------------------------------

void CustomerWindow::pullForm()
{
    CustomerForm& f = m_session->form();
    f.ordererCode = m_text[1]->text();
    f.ordererName = m_text[2]->text();
    f.supplierCode = m_text[3]->text();
    f.supplierName = m_text[4]->text();
    f.slipFormFile = m_text[5]->text();
    f.tagFormFile = m_text[6]->text();
    f.slipDigits = m_text[7]->text();
    f.tagDigits = m_text[8]->text();
    f.comment = m_text[9]->text();
    f.outputKind = checkedValue(*m_outputKind);
    f.kanjiUse = checkedValue(*m_kanjiUse);
    f.amountRounding = checkedValue(*m_amountRounding);
    f.taxRounding = checkedValue(*m_taxRounding);
    const auto code = [](const QComboBox* combo) {
        return combo->currentIndex() < 0 ? QString() : combo->currentData().toString();
    };
    f.consumptionTaxKind = code(m_combo[0]);
    f.taxationKind = code(m_combo[1]);
    f.priceDisplayKind = code(m_combo[2]);
}

void CustomerWindow::pushForm()
{
    const bool updating = std::exchange(m_updating, true);
    const CustomerForm& f = m_session->form();
    const QString* texts[10] = {nullptr,         &f.ordererCode, &f.ordererName, &f.supplierCode, &f.supplierName,
                                &f.slipFormFile, &f.tagFormFile, &f.slipDigits,  &f.tagDigits,    &f.comment};
    // Each text from its start, not scrolled to its end.
    for (int n = 1; n <= 9; ++n) {
        m_text[n]->setText(*texts[n]);
        m_text[n]->setCursorPosition(0);
    }
    checkValue(*m_outputKind, f.outputKind);
    checkValue(*m_kanjiUse, f.kanjiUse);
    checkValue(*m_amountRounding, f.amountRounding);
    checkValue(*m_taxRounding, f.taxRounding);
    const QString* codes[3] = {&f.consumptionTaxKind, &f.taxationKind, &f.priceDisplayKind};
    for (int i = 0; i < 3; ++i)
        m_combo[i]->setCurrentIndex(codes[i]->isEmpty() ? -1 : m_combo[i]->findData(*codes[i]));
    m_updating = updating;
}

void CustomerWindow::pushRows()
{
    const bool updating = std::exchange(m_updating, true);
    const QList<CustomerRow>& rows = m_session->rows();
    m_grid->clearContents();
    m_grid->setRowCount(int(rows.size()));
    for (int k = 0; k < rows.size(); ++k) {
        auto* number = new QTableWidgetItem(QString::number(k + 1));
        number->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_grid->setItem(k, 0, number);
        m_grid->setItem(k, 1, new QTableWidgetItem(rows[k].name));
    }
    const int selected = m_session->selectedRow();
    if (selected >= 0) {
        m_grid->setCurrentCell(selected, 0);
        m_grid->selectRow(selected);
    } else {
        m_grid->setCurrentCell(-1, -1);
    }
    m_updating = updating;
}

void CustomerWindow::applyView()
{
    const bool updating = std::exchange(m_updating, true);
    const CustomerSession& s = *m_session;
    const bool browsing = s.mode() == CustomerMode::Browse;
    const bool editing = s.editing();
    m_option1->setChecked(s.protocol() == Protocol::Eiaj);
    m_option2->setChecked(s.protocol() == Protocol::Korvan);
    m_option1->setEnabled(browsing && CustomerSession::offers(m_env.apUse, Protocol::Eiaj));
    m_option2->setEnabled(browsing && CustomerSession::offers(m_env.apUse, Protocol::Korvan));
    m_grid->setEnabled(!editing);
    m_label3->setText(modeCaption(s.mode()));

    m_text[1]->setMaxLength(s.codeMaxLength());
    m_text[3]->setMaxLength(s.codeMaxLength());
    m_companyFrame->setEnabled(editing);
    m_text[1]->setEnabled(s.codesEditable());
    m_text[3]->setEnabled(s.codesEditable());
    m_documentFrame->setEnabled(editing);
    m_eiajFrame->setEnabled(editing && s.eiajSettingsEnabled());
    m_command1->setEnabled(editing);
    m_command2->setEnabled(editing);

    m_mnuNew->setEnabled(browsing);
    m_mnuRmk->setEnabled(browsing && !s.rows().isEmpty());
    m_mnuDel->setEnabled(browsing && !s.rows().isEmpty());
    m_updating = updating;
}

void CustomerWindow::showOutcome(const CustomerOutcome& outcome)
{
    if (outcome.message)
        ShowMessage(m_env, outcome.message);
    if (!outcome.focus.isEmpty())
        focusControl(outcome.focus);
}

void CustomerWindow::focusControl(const QString& name)
{
    if (auto* w = findChild<QWidget*>(name); w && w->isEnabled())
        w->setFocus(Qt::OtherFocusReason);
}

// --- Handlers -------------------------------------------------------------------

void CustomerWindow::Form_Load()
{
    m_env.logModule = kModule;
    bool codes = false;
    const bool loaded = runTrapped(m_env, QStringLiteral("初期処理/"), [&] {
        codes = m_session->open();
        for (int i = 0; i < 3; ++i) {
            for (const CodeEntry& e : m_session->codeList(kComboKinds[i]))
                m_combo[i]->addItem(e.name, e.code);
        }
    });
    if (!loaded)
        return; // refused (the file held elsewhere): shown already
    if (!codes) {
        ShowMessage(m_env, 3);
        return;
    }
    m_opened = true;
    runTrapped(m_env, QStringLiteral("画面初期表示/"), [this] {
        pushRows();
        applyView();
        pushForm();
    });
}

void CustomerWindow::protocolChosen(Protocol protocol)
{
    runTrapped(m_env, QStringLiteral("ｵﾌﾟｼｮﾝ切替え/"), [&] {
        m_session->setProtocol(protocol);
        pushRows();
        applyView();
        pushForm();
    });
}

void CustomerWindow::CustGrid_RowChange(int row)
{
    runTrapped(m_env, QStringLiteral("発注企業表示1/"), [&] {
        m_session->selectRow(row);
        pushForm();
    });
}

void CustomerWindow::MnuCustNew_Click()
{
    runTrapped(m_env, QStringLiteral("新規ﾒﾆｭｰ/"), [this] {
        m_session->startNew();
        applyView();
        pushForm();
        focusControl(QStringLiteral("Text1"));
    });
}

void CustomerWindow::MnuCustRmk_Click()
{
    runTrapped(m_env, QStringLiteral("変更ﾒﾆｭｰ/"), [this] {
        if (const short refused = m_session->startChange()) {
            ShowMessage(m_env, refused);
            return;
        }
        applyView();
        focusControl(QStringLiteral("Text2"));
    });
}

void CustomerWindow::MnuCustDel_Click()
{
    bool asking = false;
    runTrapped(m_env, QStringLiteral("削除ﾒﾆｭｰ/"), [&] {
        if (const short refused = m_session->startDelete()) {
            ShowMessage(m_env, refused);
            return;
        }
        applyView();
        m_grid->setFocus(Qt::OtherFocusReason);
        asking = true;
    });
    if (!asking)
        return;
    const bool done = runTrapped(m_env, QStringLiteral("更新確認/"), [this] {
        const CustomerOutcome outcome = m_session->confirmDelete(ShowMessage(m_env, 503) == kAnswerYes);
        pushRows();
        applyView();
        pushForm();
        showOutcome(outcome);
    });
    if (!done) {
        // Refused on the way (the file held by another program): browse again.
        m_session->cancel();
        applyView();
        pushForm();
    }
}

void CustomerWindow::Command1_Click()
{
    runTrapped(m_env, QStringLiteral("ﾌｧｲﾙ更新OK/"), [this] {
        pullForm();
        const CustomerOutcome outcome = m_session->ok();
        if (outcome.written) {
            pushRows();
            applyView();
            pushForm();
        }
        showOutcome(outcome);
    });
}

void CustomerWindow::Command2_Click()
{
    runTrapped(m_env, QStringLiteral("ﾌｧｲﾙ更新NG/"), [this] {
        const bool wasNew = m_session->mode() == CustomerMode::New;
        m_session->cancel();
        applyView();
        pushForm();
        if (wasNew)
            focusControl(m_session->protocol() == Protocol::Eiaj ? QStringLiteral("Option1")
                                                                 : QStringLiteral("Option2"));
        else
            focusControl(QStringLiteral("CustGrid"));
    });
}

void CustomerWindow::browseFormFile(QLineEdit* target)
{
    runTrapped(m_env, QStringLiteral("画面切替え/"), [&] {
        const QString chosen = m_browse(this);
        m_env.logModule = kModule;
        if (!chosen.trimmed().isEmpty())
            target->setText(chosen);
        target->setFocus(Qt::OtherFocusReason);
    });
}

void CustomerWindow::MnuMaru_Click()
{
    runTrapped(m_env, QStringLiteral("Help移動/"), [this] {
        if (!QFileInfo::exists(m_env.paths.helpPagePath) || !m_navigate) {
            ShowMessage(m_env, 30);
            return;
        }
        m_navigate(m_env.paths.helpPagePath);
    });
}

void CustomerWindow::MnuVer_Click()
{
    {
        VersionWindow window(m_env, this);
        window.adjustSize();
        window.setFixedSize(twipsToPixels(5385), twipsToPixels(3465));
        moveToCentre(m_env, window);
        window.exec();
    }
}

void CustomerWindow::Form_Unload()
{
    // The company file without its deleted records.
    runTrapped(m_env, QStringLiteral("更新/"), [this] { m_session->close(); });
}

bool CustomerWindow::eventFilter(QObject* object, QEvent* event)
{
    auto* edit = qobject_cast<QLineEdit*>(object);
    if (!edit || m_closing)
        return QDialog::eventFilter(object, event);
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && (edit == m_text[7] || edit == m_text[8]))
            return true;
    } else if (event->type() == QEvent::FocusIn) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            const QString trimmed = edit->text().trimmed();
            if (trimmed != edit->text())
                edit->setText(trimmed);
            edit->selectAll();
            // A click places the cursor after the focus arrives.
            if (reason == Qt::MouseFocusReason)
                QTimer::singleShot(0, edit, &QLineEdit::selectAll);
        }
    }
    return QDialog::eventFilter(object, event);
}

void CustomerWindow::closeEvent(QCloseEvent* event)
{
    if (!m_closing) {
        m_closing = true;
        Form_Unload();
    }
    QDialog::closeEvent(event);
}

void CustomerWindow::reject()
{
    // Esc does not leave the window; closing it goes through closeEvent.
    if (m_closing)
        QDialog::reject();
}

} // namespace plx
