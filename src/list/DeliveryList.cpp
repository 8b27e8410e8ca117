#include "DeliveryList.h"

#include "core/Dialogs.h"
#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/MessageCatalog.h"
#include "store/DeliveryMaintenance.h"
#include "store/StoreLock.h"

#include <algorithm>
#include <optional>

namespace plx {

DeliveryList::DeliveryList(Environment& env) : m_env(env), m_logLabels(env), m_companies(env.paths.custPath)
{
    for (Protocol protocol : kProtocols) {
        m_stores[protocol] = std::make_unique<DeliveryStore>(env.paths.delivPathFor(protocol), *env.clock);
        m_models[protocol] = std::make_unique<DeliveryListModel>(protocol);
    }
}

DeliveryList::~DeliveryList() = default;

void DeliveryList::closeFiles()
{
    for (Protocol protocol : kProtocols)
        m_stores[protocol]->close();
    m_companies.close();
}

namespace {

// The step's label in the error log, before the failure's description.
const QString kOpenLabel = QStringLiteral("ﾌｧｲﾙｵｰﾌﾟﾝ/");

} // namespace

bool DeliveryList::openDataFiles()
{
    m_logLabels.setOperation(QStringLiteral("ﾌｧｲﾙｵｰﾌﾟﾝ"));
    m_env.closeFiles();
    closeFiles();

    // A failure is told with what it means for the list, then the failure
    // itself: the file and the system's reason.
    const auto tell = [this](const QString& meaning, const RuntimeFailure& failure) {
        reportAndGoOn(m_env, meaning + QStringLiteral("\r\n") + failure.description(),
                      kOpenLabel + failure.description());
    };

    for (Protocol protocol : kProtocols) {
        m_refused[protocol] = false;
        m_failed[protocol] = false;
        const QString name = protocolName(protocol);
        // A conversion that cannot run now because another program holds the
        // file is passed over: the open below then decides. One that failed
        // for a reason of the system is told, unless the open fails as well
        // (then that is the reason to tell).
        std::optional<RuntimeFailure> conversionFailed;
        std::optional<Refusal> conversionBusy;
        try {
            convertOlderLayout(m_env.paths.delivPathFor(protocol), m_env.paths.delivWorkPathFor(protocol));
        } catch (const Refusal& busy) {
            conversionBusy = busy;
        } catch (const RuntimeFailure& failure) {
            conversionFailed = failure;
        }
        const auto tellConversion = [&] {
            tell(QStringLiteral("%1の納品書ﾌｧｲﾙを今の形式に変換できません。").arg(name), *conversionFailed);
        };
        bool opened = false;
        try {
            m_stores[protocol]->open();
            opened = true;
        } catch (const Refusal& refusal) {
            if (conversionFailed) {
                // Still of the older layout, not damaged: the failed
                // conversion is the reason it cannot be listed.
                m_failed[protocol] = true;
                tellConversion();
            } else {
                // A damaged file is shown as an empty list and left as it is;
                // so is a file of the older layout another program holds
                // now, with that reason: it is not damaged.
                m_refused[protocol] = true;
                showRefusal(m_env, conversionBusy ? *conversionBusy : refusal);
            }
        } catch (const RuntimeFailure& failure) {
            m_failed[protocol] = true;
            tell(QStringLiteral("%1の一覧を表示できません。").arg(name), failure);
        }
        if (opened && conversionFailed)
            tellConversion();
    }

    m_companiesUnread = false;
    try {
        m_companies.open();
    } catch (const Refusal& refusal) {
        m_companiesUnread = true;
        showRefusal(m_env, refusal);
    } catch (const RuntimeFailure& failure) {
        m_companiesUnread = true;
        tell(QStringLiteral("発注者名称を表示できません。"), failure);
    }
    // A company file that could not be read (damaged or not opened) is not
    // known to be empty.
    if (!m_companiesUnread && m_companies.count() == 0 && m_env.custNoticeShown == 0) {
        ShowMessage(m_env, 2);
        m_env.custNoticeShown = 1;
    }

    m_codesFailed = false;
    try {
        RecordFile codeFile(m_env.paths.codePath, CodeTable::kRecordLength, QStringLiteral("コードファイル"));
        codeFile.open();
        m_codes = CodeTable::fromBytes(codeFile.data());
    } catch (const RuntimeFailure& failure) {
        m_codes = CodeTable();
        m_codesFailed = true;
        tell(QStringLiteral("一覧を表示できません。"), failure);
        return false;
    }
    if (m_codes.isEmpty()) {
        ShowMessage(m_env, 3);
        return false;
    }
    return true;
}

bool DeliveryList::reload(std::optional<Protocol> only)
{
    if (!openDataFiles()) {
        for (Protocol protocol : kProtocols)
            m_models[protocol]->clear();
        return false;
    }
    for (Protocol protocol : kProtocols) {
        if (only && *only != protocol)
            continue;
        if (m_refused[protocol] || m_failed[protocol])
            m_models[protocol]->clear();
        else
            m_models[protocol]->load(m_stores[protocol]->records(), m_companies, m_codes);
    }
    return true;
}

GridSelection rowSelectionOf(const GridSelection& selection, bool clicked, bool forDeletion)
{
    const bool startsRight = selection.firstColumn == kRowFirstColumn ||
                             (forDeletion && selection.firstColumn == columnIndex(ListColumn::Number));
    if (!clicked || !selection.valid || !startsRight || selection.lastColumn != kRowLastColumn ||
        selection.firstRow < 1)
        return {};
    return selection;
}

GridSelection rowsToOpen(const GridSelection& rowSelection, int row, bool byEnter)
{
    if (byEnter && rowSelection.valid && rowSelection.firstRow <= row && row <= rowSelection.lastRow)
        return rowSelection;
    return GridSelection{row, row, kRowFirstColumn, kRowLastColumn, row >= 1};
}

EntryOpening entryOpeningFor(const GridSelection& selection, int currentRow, int listed, bool newRecord)
{
    EntryOpening opening;
    opening.mode = newRecord ? EntryMode::New : EntryMode::Existing;
    const int start = currentRow >= 1 && currentRow <= listed ? currentRow : 1;
    opening.firstOrdinal = selection.valid ? selection.firstRow : start;
    if (newRecord) {
        opening.lastOrdinal = opening.firstOrdinal;
        opening.rangeFlag = selection.valid;
        return opening;
    }
    opening.rangeFlag = selection.valid && selection.lastRow > selection.firstRow;
    opening.lastOrdinal = opening.rangeFlag ? selection.lastRow : listed;
    return opening;
}

QStringList deletionLead(const DeliveryListModel& model, int first, int last)
{
    first = std::max(first, 1);
    last = std::min(last, model.listedCount());
    if (last < first)
        return {};
    const auto named = [&](int row) {
        return QStringLiteral("No.%1  %2 %3")
            .arg(row)
            .arg(DeliveryListModel::headerText(ListColumn::DeliveryKeyNo),
                 model.cellText(row - 1, ListColumn::DeliveryKeyNo).trimmed());
    };
    QStringList lead{QStringLiteral("削除する納品書  %1件").arg(last - first + 1)};
    if (first == last) {
        lead << named(first);
        return lead;
    }
    lead << QStringLiteral("最初  ") + named(first) << QStringLiteral("最後  ") + named(last);
    return lead;
}

int deleteListedRows(DeliveryStore& store, const DeliveryListModel& model, int first, int last)
{
    const StoreLock lock(store);
    store.open();
    // Every listed record must still be where the list saw it, with its kind
    // and keys: another program may have rewritten the file meanwhile. Nothing
    // is deleted unless all of them are.
    QList<int> numbers;
    for (int row = std::max(first, 1); row <= std::min(last, model.listedCount()); ++row) {
        const int n = model.recordNumber(row - 1);
        if (n > store.count() || !store.sameRecord(n, model.recordBytes(row - 1)))
            throwRecordChanged();
        numbers.append(n);
    }
    for (int n : numbers)
        store.markDeleted(n);
    return int(numbers.size());
}

} // namespace plx
