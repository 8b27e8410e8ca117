// Typing into an entry session without a window: a value into one box as an
// operator would, and a whole row of values followed by its registration.

#include "EntryFormats.h"
#include "EntryLimits.h"
#include "EntrySession.h"

#include "core/text/VbFormat.h"

namespace plx {

namespace {

using B = EntryBox;

} // namespace

void EntrySession::enterValue(const QString& control, const QString& value)
{
    const EntryBoxInfo* b = boxNamed(control, m_format);
    if (!b)
        return;
    EntryForm& f = form();
    switch (b->control()) {
    case EntryControl::Option:
        f.bcOption = value.trimmed() == QLatin1String("1") ? 1 : value.trimmed() == QLatin1String("0") ? 2 : 0;
        return;
    case EntryControl::Grid:
        return;
    case EntryControl::Combo:
        focusBox(control);
        if (b->value == BoxValue::Code) {
            // Only a code of the list can be chosen.
            f[b->box] = codePosition(b->box, value.trimmed()) >= 0 ? value.trimmed() : QString();
        } else {
            f[b->box] = value;
        }
        break;
    case EntryControl::Text:
        focusBox(control);
        f[b->box] = value;
        break;
    }
    leaveBox(control);
}

void EntrySession::enterTagRows(const QList<TagRow>& rows)
{
    EntryForm& f = form();
    for (int i = 0; i < f.tags.size(); ++i) {
        if (i < rows.size())
            f.tags[i] = {tagQuantityCellText(rows[i].qty), tagCountCellText(rows[i].count)};
        else
            f.tags[i] = {QStringLiteral("0.000"), QStringLiteral("0")};
    }
}

void EntrySession::passQuantityBox()
{
    const QString quantity = entryBox(B::ShipQty).name();
    focusBox(quantity);
    leaveBox(quantity);
}

std::optional<EntryRefusal> EntrySession::refusalOf(const QString& control, const QString& value) const
{
    const EntryBoxInfo* b = boxNamed(control, m_format);
    const int places = b ? b->decimals(m_view.foreign) : -1;
    if (places < 0 || !hasMoreDecimals(value, places))
        return std::nullopt;
    // The box would round the number when it is left: refused with the
    // message of its range check.
    return EntryRefusal{rangeMessageOf(b->box, m_format), QString(), control};
}

std::optional<EntryRefusal> EntrySession::refusalOfTagRows(const QList<TagRow>& rows) const
{
    for (const TagRow& row : rows) {
        if (hasMoreDecimals(row.qty, 3))
            return EntryRefusal{121, QString(), kTagGrid};
        if (hasMoreDecimals(row.count, 0))
            return EntryRefusal{122, QString(), kTagGrid};
        const auto count = boxNumber(row.count);
        const QString cell = vbFormat(count ? *count : Decimal(0), u"#0");
        if (count && !count->isNegative() && cell.size() > kTagCountCellLength)
            return EntryRefusal{0, tagCountTooLongText(kTagCountCellLength, cell.size()), kTagGrid};
    }
    return std::nullopt;
}

EntryRowOutcome EntrySession::registerRow(const EntryRow& row, bool issue, const std::function<bool(short)>& ask)
{
    const auto given = [&](EntryBox box) {
        const auto it = row.values.find(box);
        return it == row.values.end() ? QString() : it->second;
    };
    const auto refused = [](RowRefusal why, short message, const QString& text, const QString& box,
                            const QString& focus = QString()) {
        EntryRowOutcome outcome;
        outcome.refusal = why;
        outcome.message = message;
        outcome.text = text;
        outcome.box = box;
        outcome.focus = focus;
        return outcome;
    };

    // The record the keys name, shown as the window shows a listed record, or
    // a new one. A value of the order data makes it a correction.
    bool orderData = false;
    for (const auto& [box, value] : row.values) {
        if (entryBox(box).orderData && entryBox(box).tab(m_format) > 0 && !value.isEmpty())
            orderData = true;
    }
    const int n = findRecord(given(B::OrdererCode).trimmed(), given(B::SupplierCode).trimmed(),
                             given(B::DeliveryKeyNo).trimmed());
    if (n > 0) {
        switchMode(orderData ? EntryMode::Correction : EntryMode::Existing);
        showRecordNumber(n);
        // The window shows the record with the focus in the shipped quantity;
        // the row's values are typed from there.
        passQuantityBox();
        if (!issue && !m_view.registerEnabled)
            return refused(RowRefusal::IssuedRecord, 0, QString(), QStringLiteral("Command4"));
        const QString orderNo = given(B::OrderNo);
        if (!orderNo.isEmpty() && orderNo.trimmed() != form()[B::OrderNo])
            return refused(RowRefusal::ListedOrder, 0, QString(), entryBox(B::OrderNo).name());
    } else {
        switchMode(EntryMode::New);
        showNewScreen();
    }

    // The values in the window's tab order, each box focused, typed and left,
    // so that its reformatting and the amount calculation run as in the window.
    for (const EntryBoxInfo* b : boxesOf(m_format)) {
        // The keys of a listed record are shown, not typed.
        if (n > 0 && (b->box == B::OrdererCode || b->box == B::SupplierCode || b->box == B::DeliveryKeyNo))
            continue;
        if (b->box == B::TagLines) {
            if (row.unreadableTags || (row.tags && row.tags->size() > m_tagRows))
                return refused(RowRefusal::TagRows, 0, QString(), kTagGrid);
            if (!row.tags)
                continue;
            if (const auto refusal = refusalOfTagRows(*row.tags))
                return refused(RowRefusal::Window, refusal->message, refusal->text, refusal->box);
            enterTagRows(*row.tags);
            continue;
        }
        const QString value = given(b->box);
        if (value.isEmpty())
            continue;
        if (const auto refusal = refusalOf(b->name(), value))
            return refused(RowRefusal::Window, refusal->message, refusal->text, refusal->box);
        enterValue(b->name(), value);
    }

    const EntryOutcome outcome = registerShown(issue, ask);
    if (!outcome.written) {
        // A question answered No refuses the row with that question.
        EntryRowOutcome refusal = refused(RowRefusal::Window, outcome.message > 0 ? outcome.message : outcome.question,
                                          outcome.text, outcome.box, outcome.focus.control);
        refusal.lead = outcome.lead;
        return refusal;
    }
    EntryRowOutcome written;
    written.written = true;
    written.status = m_lastStatus;
    return written;
}

} // namespace plx
