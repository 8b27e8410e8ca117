#include "EntryFormBuilder.h"

#include "TagGrid.h"

#include "ui/ByteLimit.h"
#include "ui/FormScrollArea.h"

#include "shipment/EntryLimits.h"

#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace plx {

namespace {

// The buttons, in their order on the window and in the tab order.
struct ButtonInfo
{
    EntryButton button;
    const char* objectName;
    const char16_t* caption;
};
constexpr ButtonInfo kButtons[] = {
    {EntryButton::Register, "Command4", u"登録(&R)"},
    {EntryButton::RegisterAndIssue, "Command5", u"登録印刷(&P)"},
    {EntryButton::Delete, "Command6", u"削除(&D)"},
    {EntryButton::CorrectOrderData, "Command7", u"受注ﾃﾞｰﾀ修正(&E)"},
    {EntryButton::PreviousPage, "Command2", u"前頁(PgUp)"},
    {EntryButton::NextPage, "Command3", u"次頁(PgDn)"},
    {EntryButton::Return, "Command1", u"戻る(&B)"},
};

void buildMenus(QDialog& window, QVBoxLayout* layout, EntryWidgets& widgets)
{
    auto* bar = new QMenuBar(&window);
    layout->setMenuBar(bar);
    const auto action = [](QMenu* menu, const char* name, const QString& text) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    // The entries of the list window's menus that have no use here stay in
    // their place, switched off.
    QMenu* file = bar->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    action(file, "MnuNew", QStringLiteral("新規作成(&N)"))->setEnabled(false);
    action(file, "MnuOpen", QStringLiteral("開く(&O)..."))->setEnabled(false);
    file->addSeparator();
    action(file, "MnuPrint", QStringLiteral("印刷(&P)..."))->setEnabled(false);
    file->addSeparator();
    action(file, "MnuDelete", QStringLiteral("削除(&D)..."))->setEnabled(false);
    file->addSeparator();
    widgets.exitAction = action(file, "MnuEnd", QStringLiteral("終了(&X)"));

    QMenu* tools = bar->addMenu(QStringLiteral("ﾂｰﾙ(&T)"));
    action(tools, "MnuCust", QStringLiteral("発注者情報設定(&C)..."))->setEnabled(false);
    action(tools, "MnuEnv", QStringLiteral("ﾌｧｲﾙ入力設定(&E)..."))->setEnabled(false);
    tools->addSeparator();
    action(tools, "MnuDust", QStringLiteral("\"処理済ﾌｧｲﾙ\"ﾌｫﾙﾀﾞを空にする。(&Y)"))->setEnabled(false);
    tools->addSeparator();
    action(tools, "MnuFind", QStringLiteral("検索(&F)..."))->setEnabled(false);

    QMenu* help = bar->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    widgets.helpAction = action(help, "MnuMaru", QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    help->addSeparator();
    widgets.versionAction = action(help, "MnuVer", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)"));
}

// The boxes of a frame, as the form shows them: each with its caption, two to
// a row (caption, box, caption, box), a wide one alone on its row, and a kanji
// pair's label after its box.
class FramePlacer
{
public:
    FramePlacer(QGroupBox* frame, Protocol format, EntryWidgets& widgets)
        : m_frame(frame), m_format(format), m_widgets(widgets), m_grid(new QGridLayout(frame))
    {
        m_grid->setHorizontalSpacing(6);
        m_grid->setVerticalSpacing(3);
        m_grid->setColumnStretch(1, 1);
        m_grid->setColumnStretch(3, 1);
    }

    void place(const EntryBoxInfo& box)
    {
        if (box.wide && m_column != 0)
            nextRow();
        if (box.caption)
            m_grid->addWidget(new QLabel(QString::fromUtf16(box.caption), m_frame), m_row, m_column);
        const int width = box.wide ? 3 : 1;
        m_grid->addWidget(control(box), m_row, m_column + 1, 1, width);
        if (box.kanji != KanjiRule::None)
            m_grid->addWidget(kanjiLabel(box), m_row, m_column + width + 1);
        if (box.wide || m_column == 2)
            nextRow();
        else
            m_column = 2;
    }

private:
    void nextRow()
    {
        ++m_row;
        m_column = 0;
    }

    QWidget* control(const EntryBoxInfo& box)
    {
        switch (box.widget) {
        case EntryWidget::Line: {
            auto* edit = new QLineEdit(m_frame);
            edit->setObjectName(box.name());
            if (storedFieldOf(box))
                ByteLimit::limit(*edit, [b = box.box](QStringView text) { return fitsBox(b, text); });
            m_widgets.texts.insert(box.box, edit);
            return edit;
        }
        case EntryWidget::List: {
            auto* combo = new QComboBox(m_frame);
            combo->setObjectName(box.name());
            // The currency is typed; the classes are chosen from their lists.
            combo->setEditable(box.value == BoxValue::Currency);
            m_widgets.combos.insert(box.box, combo);
            return combo;
        }
        case EntryWidget::Options: {
            auto* options = new QWidget(m_frame);
            auto* row = new QHBoxLayout(options);
            row->setContentsMargins(0, 0, 0, 0);
            m_widgets.bcOutput = new QRadioButton(QStringLiteral("出力する"), options);
            m_widgets.bcOutput->setObjectName(box.name());
            m_widgets.bcNoOutput = new QRadioButton(QStringLiteral("出力しない"), options);
            m_widgets.bcNoOutput->setObjectName(QStringLiteral("Option2"));
            row->addWidget(m_widgets.bcOutput);
            row->addWidget(m_widgets.bcNoOutput);
            row->addStretch(1);
            return options;
        }
        case EntryWidget::Grid:
            break;
        }
        return nullptr;
    }

    // The label that says when kanji may be typed: hidden while no company
    // allows kanji, yet keeping its room, so that the window does not change
    // its width as a code is typed. A kanji-only box always shows its own.
    QLabel* kanjiLabel(const EntryBoxInfo& box)
    {
        const bool only = box.kanji == KanjiRule::Only;
        auto* note = new QLabel(only ? QStringLiteral("(漢字のみ)") : QStringLiteral("(漢字可)"), m_frame);
        // Named after its box's widget: Label_Kanji10 beside Text10.
        note->setObjectName(QStringLiteral("Label_Kanji") + box.name().mid(4));
        QSizePolicy keep = note->sizePolicy();
        keep.setRetainSizeWhenHidden(true);
        note->setSizePolicy(keep);
        if (!only)
            m_widgets.kanjiLabels.append(note);
        return note;
    }

    QGroupBox* m_frame;
    Protocol m_format;
    EntryWidgets& m_widgets;
    QGridLayout* m_grid;
    int m_row = 0;
    int m_column = 0;
};

void placeSection(QGroupBox* frame, EntrySection section, Protocol format, EntryWidgets& widgets)
{
    FramePlacer placer(frame, format, widgets);
    for (const EntryBoxInfo* box : boxesOf(format)) {
        if (box->section == section && box->widget != EntryWidget::Grid)
            placer.place(*box);
    }
}

void buildHeading(QDialog& window, QVBoxLayout* layout, EntryWidgets& widgets)
{
    auto* heading = new QHBoxLayout;
    auto* title = new QLabel(window.windowTitle(), &window);
    title->setObjectName(QStringLiteral("Label3"));
    QFont titleFont = title->font();
    titleFont.setPointSize(titleFont.pointSize() + 4);
    titleFont.setBold(true);
    title->setFont(titleFont);
    widgets.recordLabel = new QLabel(&window);
    widgets.recordLabel->setObjectName(QStringLiteral("Label1"));
    widgets.pageLabel = new QLabel(&window);
    widgets.pageLabel->setObjectName(QStringLiteral("Label2"));
    heading->addWidget(title);
    heading->addSpacing(24);
    heading->addWidget(widgets.recordLabel);
    heading->addStretch(1);
    heading->addWidget(widgets.pageLabel);
    layout->addLayout(heading);
}

// The frames of boxes and the tag grid, in a scroll area: where the screen
// has not the room for the whole form, the form scrolls between the heading
// and the buttons, which stay in sight.
void buildForm(QDialog& window, QVBoxLayout* layout, Protocol format, EntryWidgets& widgets)
{
    auto* scroll = new FormScrollArea(&window);
    scroll->setObjectName(QStringLiteral("FormScroll"));
    // However small the window is made, a dozen lines of the form show.
    scroll->setMinimumHeight(12 * window.fontMetrics().height());
    auto* body = new QWidget(scroll);
    body->setObjectName(QStringLiteral("FormBody"));
    auto* bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->setSpacing(layout->spacing());

    auto* frame1 = new QGroupBox(body);
    frame1->setObjectName(QStringLiteral("Frame1"));
    placeSection(frame1, EntrySection::Record, format, widgets);
    bodyLayout->addWidget(frame1);

    auto* middle = new QHBoxLayout;
    auto* frame3 = new QGroupBox(QStringLiteral("受注データ"), body);
    frame3->setObjectName(QStringLiteral("Frame3"));
    placeSection(frame3, EntrySection::OrderData, format, widgets);
    middle->addWidget(frame3, 3);

    auto* frame2 = new QGroupBox(QStringLiteral("出荷データ"), body);
    frame2->setObjectName(QStringLiteral("Frame2"));
    auto* frame2Layout = new QVBoxLayout(frame2);
    auto* shipped = new QGroupBox(frame2);
    shipped->setFlat(true);
    placeSection(shipped, EntrySection::Shipment, format, widgets);
    frame2Layout->addWidget(shipped);
    const EntryBoxInfo& tags = entryBox(EntryBox::TagLines);
    frame2Layout->addWidget(new QLabel(QString::fromUtf16(tags.caption), frame2));
    widgets.grid = new TagGrid(frame2);
    widgets.grid->setObjectName(tags.name());
    widgets.grid->setMinimumHeight(120);
    frame2Layout->addWidget(widgets.grid, 1);
    middle->addWidget(frame2, 2);
    bodyLayout->addLayout(middle, 1);
    scroll->setWidget(body);
    layout->addWidget(scroll, 1);

    for (auto it = widgets.texts.cbegin(); it != widgets.texts.cend(); ++it) {
        if (entryBox(it.key()).alignment == BoxAlignment::Right)
            it.value()->setAlignment(Qt::AlignRight);
        it.value()->setMinimumWidth(130);
    }
    widgets.texts[EntryBox::OrdererName]->setMinimumWidth(260);
}

void buildButtons(QDialog& window, QVBoxLayout* layout, EntryWidgets& widgets)
{
    auto* buttons = new QHBoxLayout;
    for (const ButtonInfo& c : kButtons) {
        auto* b = new QPushButton(QString::fromUtf16(c.caption), &window);
        b->setObjectName(QLatin1String(c.objectName));
        // At least 88 pixels wide, and never narrower than the caption.
        b->setMinimumHeight(30);
        if (b->sizeHint().width() < 88)
            b->setMinimumWidth(88);
        // No default button: Enter in a box never registers anything; a
        // button with the focus takes Enter itself (the window's key handling).
        b->setAutoDefault(false);
        widgets.buttons[size_t(c.button)] = b;
        // The paging buttons and the return button stand apart.
        if (c.button == EntryButton::PreviousPage || c.button == EntryButton::Return)
            buttons->addStretch(1);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    // What the last registration did, until the next action.
    widgets.status = new QLabel(&window);
    widgets.status->setObjectName(QStringLiteral("StatusLine"));
    widgets.status->setMinimumHeight(widgets.status->fontMetrics().height());
    layout->addWidget(widgets.status);
}

// The boxes in the table's tab order (from the top down and left to right
// within a row, then the shipment and the tag grid), then the buttons. The
// boxes that only show something take no focus.
void setTabOrder(Protocol format, const EntryWidgets& widgets)
{
    QList<QWidget*> order;
    for (const EntryBoxInfo* box : boxesOf(format)) {
        if (box->widget == EntryWidget::Options)
            order << widgets.bcOutput << widgets.bcNoOutput;
        else if (box->widget == EntryWidget::Grid)
            order.append(widgets.grid);
        else if (QWidget* w = widgets.texts.value(box->box))
            order.append(w);
        else if (QWidget* list = widgets.combos.value(box->box))
            order.append(list);
    }
    for (const ButtonInfo& c : kButtons)
        order.append(widgets.button(c.button));
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    for (auto it = widgets.texts.cbegin(); it != widgets.texts.cend(); ++it) {
        if (entryBox(it.key()).modes == kNoMode) {
            it.value()->setReadOnly(true);
            it.value()->setFocusPolicy(Qt::NoFocus);
        }
    }
}

} // namespace

EntryWidgets buildEntryWindow(QDialog& window, Protocol format)
{
    EntryWidgets widgets;
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(8, 4, 8, 8);
    layout->setSpacing(4);
    buildMenus(window, layout, widgets);
    buildHeading(window, layout, widgets);
    buildForm(window, layout, format, widgets);
    buildButtons(window, layout, widgets);
    setTabOrder(format, widgets);
    return widgets;
}

} // namespace plx
