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

void EntrySession::enterValue(EntryBox box, const QString& value)
{
    if (!hasBox(box, m_format))
        return;
    const EntryBoxInfo& b = entryBox(box);
    EntryForm& f = form();
    switch (b.widget) {
    case EntryWidget::Options:
        f.bcOption = value.trimmed() == QLatin1String("1") ? 1 : value.trimmed() == QLatin1String("0") ? 2 : 0;
        return;
    case EntryWidget::Grid:
        return;
    case EntryWidget::List:
        focusBox(box);
        if (b.value == BoxValue::Code) {
            // Only a code of the list can be chosen.
            f[box] = codePosition(box, value.trimmed()) >= 0 ? value.trimmed() : QString();
        } else {
            f[box] = value;
        }
        break;
    case EntryWidget::Line:
        focusBox(box);
        f[box] = value;
        break;
    }
    leaveBox(box);
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
    focusBox(B::ShipQty);
    leaveBox(B::ShipQty);
}

std::optional<EntryRefusal> EntrySession::refusalOf(EntryBox box, const QString& value) const
{
    const int places = hasBox(box, m_format) ? entryBox(box).decimals(m_view.foreign) : -1;
    if (places < 0 || !hasMoreDecimals(value, places))
        return std::nullopt;
    // The box would round the number when it is left: refused with the
    // message of its range check.
    return EntryRefusal{rangeMessageOf(box, m_format), QString(), box};
}

std::optional<EntryRefusal> EntrySession::refusalOfTagRows(const QList<TagRow>& rows) const
{
    for (const TagRow& row : rows) {
        if (hasMoreDecimals(row.qty, 3))
            return EntryRefusal{121, QString(), B::TagLines};
        if (hasMoreDecimals(row.count, 0))
            return EntryRefusal{122, QString(), B::TagLines};
        const auto count = boxNumber(row.count);
        const QString cell = vbFormat(count ? *count : Decimal(0), u"#0");
        if (count && !count->isNegative() && cell.size() > kTagCountCellLength)
            return EntryRefusal{0, tagCountTooLongText(kTagCountCellLength, cell.size()), B::TagLines};
    }
    return std::nullopt;
}

EntryRowOutcome EntrySession::registerRow(const EntryRow& row, bool issue, const std::function<bool(short)>& ask)
{
    const auto given = [&](EntryBox box) {
        const auto it = row.values.find(box);
        return it == row.values.end() ? QString() : it->second;
    };
    const auto refused = [](RowRefusal why, short message, const QString& text, const EntryPlace& inError,
                            const EntryPlace& focus = EntryPlace()) {
        EntryRowOutcome outcome;
        outcome.refusal = why;
        outcome.message = message;
        outcome.text = text;
        outcome.inError = inError;
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
            return refused(RowRefusal::IssuedRecord, 0, QString(), EntryPlace::of(EntryButton::Register));
        const QString orderNo = given(B::OrderNo);
        if (!orderNo.isEmpty() && orderNo.trimmed() != form()[B::OrderNo])
            return refused(RowRefusal::ListedOrder, 0, QString(), EntryPlace::of(B::OrderNo));
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
                return refused(RowRefusal::TagRows, 0, QString(), EntryPlace::of(B::TagLines));
            if (!row.tags)
                continue;
            if (const auto refusal = refusalOfTagRows(*row.tags))
                return refused(RowRefusal::Window, refusal->message, refusal->text, EntryPlace::of(refusal->box));
            enterTagRows(*row.tags);
            continue;
        }
        const QString value = given(b->box);
        if (value.isEmpty())
            continue;
        if (const auto refusal = refusalOf(b->box, value))
            return refused(RowRefusal::Window, refusal->message, refusal->text, EntryPlace::of(refusal->box));
        enterValue(b->box, value);
    }

    const EntryOutcome outcome = registerShown(issue, ask);
    if (!outcome.written) {
        // A question answered No refuses the row with that question.
        EntryRowOutcome refusal = refused(RowRefusal::Window, outcome.message > 0 ? outcome.message : outcome.question,
                                          outcome.text, EntryPlace{outcome.box, std::nullopt}, outcome.focus);
        refusal.lead = outcome.lead;
        return refusal;
    }
    EntryRowOutcome written;
    written.written = true;
    written.status = m_lastStatus;
    return written;
}

} // namespace plx
