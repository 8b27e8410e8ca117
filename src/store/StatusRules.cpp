#include "StatusRules.h"

#include "RecordCodes.h"

namespace plx {

namespace {

const QString kSet = QStringLiteral("1");
const QString kClear = QStringLiteral("0");

} // namespace

IssueState afterRegistration(const IssueState& before, bool issue)
{
    IssueState after = before;
    switch (statusOf(before.status)) {
    case RecordStatus::Issued:
        after = {statusText(RecordStatus::Marked), kSet, kSet};
        break;
    case RecordStatus::Marked:
        if (!issue)
            after.status = statusText(RecordStatus::Waiting);
        break;
    default:
        after = {statusText(issue ? RecordStatus::Marked : RecordStatus::Waiting), kClear, kClear};
        break;
    }
    return after;
}

std::optional<IssueState> afterIssue(const IssueState& before, OutputDocument document, UpdateMode mode,
                                     const QString& outputKind)
{
    const auto kindIs = [&](OutputKind kind) { return hasOutputKind(outputKind, kind); };
    const bool done =
        hasStatus(before.status, RecordStatus::Issued) || hasStatus(before.status, RecordStatus::Unprocessed);
    const bool marked = hasStatus(before.status, RecordStatus::Marked);
    const bool slipIssued = before.slipIssued == kSet;
    const bool tagIssued = before.tagIssued == kSet;
    const QString issued = statusText(RecordStatus::Issued);
    const QString waiting = statusText(RecordStatus::Waiting);
    if (mode == UpdateMode::Normal ? done : !marked)
        return std::nullopt;

    IssueState after = before;
    if (document == OutputDocument::Slip) {
        switch (mode) {
        case UpdateMode::Normal:
            after.slipIssued = kSet;
            if (kindIs(OutputKind::Slips) || (kindIs(OutputKind::Both) && tagIssued))
                after.status = issued;
            break;
        case UpdateMode::MarkedPrinted:
            after.slipIssued = kSet;
            if (kindIs(OutputKind::Slips))
                after.status = issued;
            break;
        case UpdateMode::MarkedCancelled:
            if (slipIssued) {
                if (kindIs(OutputKind::Slips))
                    after.status = issued;
            } else {
                after.slipIssued = kClear;
                if (kindIs(OutputKind::Slips))
                    after.status = waiting;
            }
            break;
        }
        return after;
    }
    // Tags: a company that issues slips only has none.
    if (kindIs(OutputKind::Slips))
        return std::nullopt;
    switch (mode) {
    case UpdateMode::Normal:
        after.tagIssued = kSet;
        if (kindIs(OutputKind::Tags) || (kindIs(OutputKind::Both) && slipIssued))
            after.status = issued;
        break;
    case UpdateMode::MarkedPrinted:
        after.status = waiting;
        after.tagIssued = kSet;
        if (kindIs(OutputKind::Tags) || (kindIs(OutputKind::Both) && slipIssued))
            after.status = issued;
        break;
    case UpdateMode::MarkedCancelled:
        if (!tagIssued) {
            after.status = waiting;
            after.tagIssued = kClear;
        } else {
            after.status = issued;
        }
        break;
    }
    return after;
}

} // namespace plx
