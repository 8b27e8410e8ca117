#pragma once

#include <QString>

#include <optional>

namespace plx {

// The documents a record is issued with.
enum class OutputDocument { Slip, Tag };

// How a print run writes a company group back (連続更新): after a normal run,
// after a marked run that was printed, after a marked run the operator
// declined (or that did not print).
enum class UpdateMode { Normal = 0, MarkedPrinted = 1, MarkedCancelled = 2 };

// A record's Status and its two issue marks, as stored ("0", "1", "2", "8";
// "1" issued, "0" or blank not).
struct IssueState
{
    QString status;
    QString slipIssued;
    QString tagIssued;
    bool operator==(const IssueState&) const = default;
};

// What a registration makes of the state read: 登録 (issue false) or 登録印刷
// (issue true). An issued record is marked again with both marks set; a
// marked one keeps its marks (登録 takes the mark back to waiting); any other
// waits, or is marked with 登録印刷, with both marks cleared.
IssueState afterRegistration(const IssueState& before, bool issue);

// What writing back a printed (or declined) company group makes of a record's
// state for `document`, its company issuing `outputKind` ("1" slips, "2" tags,
// "3" both): the new state, or nothing when the record is left as it is. A
// record of a company issuing both reaches 発行済 once both were issued.
std::optional<IssueState> afterIssue(const IssueState& before, OutputDocument document, UpdateMode mode,
                                     const QString& outputKind);

} // namespace plx
