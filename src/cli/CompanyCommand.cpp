#include "CompanyCommand.h"

#include "CliSession.h"
#include "CommonOptions.h"

#include "core/ErrorReport.h"
#include "core/LogLabelScope.h"
#include "core/MessageCatalog.h"
#include "core/text/FixedField.h"
#include "customers/CompanyFields.h"
#include "customers/CustomerSession.h"
#include "store/CustStore.h"

#include <QCommandLineParser>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace plx::cli {

namespace {

struct Assignment
{
    const CompanyField* field;
    QString value;
};

// FIELD=VALUE arguments; a text that names the problem when one is not usable.
std::optional<QList<Assignment>> assignmentsOf(const QStringList& args, Protocol protocol, bool changing, QString& why)
{
    QList<Assignment> out;
    for (const QString& arg : args) {
        const qsizetype eq = arg.indexOf(QLatin1Char('='));
        if (eq <= 0) {
            why = QStringLiteral("FIELD=VALUE の形で指定してください: ") + arg;
            return std::nullopt;
        }
        const QString name = arg.left(eq);
        const auto fields = companyFields();
        const auto known = std::find_if(fields.begin(), fields.end(),
                                        [&](const CompanyField& f) { return companyFieldName(f) == name; });
        if (known == fields.end()) {
            why = QStringLiteral("unknown field: ") + name;
            return std::nullopt;
        }
        if (known->eiajOnly && protocol == Protocol::Korvan) {
            why = name + QStringLiteral(" は EIAJ の発注企業にだけ指定できます。");
            return std::nullopt;
        }
        if (known->key && changing) {
            why = name + QStringLiteral(" は変更できません。");
            return std::nullopt;
        }
        for (const Assignment& a : out) {
            if (a.field == &*known) {
                why = QStringLiteral("field given twice: ") + name;
                return std::nullopt;
            }
        }
        out.append({&*known, arg.mid(eq + 1)});
    }
    return out;
}

// Puts a value into the form as the window's control would hold it. A choice
// or a code that the window does not offer leaves the field unchosen, so that
// saving refuses it with the field's own message.
void apply(CustomerSession& customers, const Assignment& a)
{
    QString& target = customers.form()[a.field->field];
    switch (a.field->input) {
    case CompanyInput::Text:
        target = a.value;
        break;
    case CompanyInput::Choice:
        target = a.value.size() == 1 && choiceValues(*a.field).contains(a.value) ? a.value : QString();
        break;
    case CompanyInput::Code: {
        target.clear();
        const QString code = a.value.trimmed();
        for (const CodeEntry& e : customers.codeList(a.field->codeKind)) {
            // The record keeps the code's first character.
            if (!code.isEmpty() && (e.code == code || e.code.left(1) == code)) {
                target = e.code;
                break;
            }
        }
        break;
    }
    }
}

void printRefusal(Environment& env, const CustomerOutcome& outcome)
{
    QString line = outcome.message ? QStringLiteral("(%1) %2")
                                         .arg(outcome.message, 3, 10, QLatin1Char('0'))
                                         .arg(MessageText(env, outcome.message))
                                   : outcome.text;
    // The field that would take the focus in the window, by the name the
    // command gives it.
    if (const std::optional<CustField> field = outcome.focus.fieldTaken()) {
        if (const CompanyField* row = findCompanyField(*field))
            line += QStringLiteral(" [%1]").arg(companyFieldName(*row));
    }
    std::fprintf(stderr, "%s\n", line.toUtf8().constData());
}

void printLine(const QStringList& parts)
{
    std::printf("%s\n", parts.join(QLatin1Char('\t')).toUtf8().constData());
    std::fflush(stdout);
}

// The row of the listed company with these codes (trailing blanks ignored),
// selected; -1 when none is listed.
int selectCompany(CustomerSession& customers, const QString& orderer, const QString& supplier)
{
    for (int row = 0; row < customers.rows().size(); ++row) {
        customers.selectRow(row);
        if (customers.form()[CustField::OrdererCode] == fixed::trimmedRight(orderer) &&
            customers.form()[CustField::SupplierCode] == fixed::trimmedRight(supplier))
            return row;
    }
    return -1;
}

void listCompanies(Environment& env, const CustomerSession& customers)
{
    QList<CustField> shown;
    QStringList header;
    for (int i = 0; i < CustRecord::kFieldCount; ++i) {
        const auto f = static_cast<CustField>(i);
        if (f == CustField::Reserved1 || f == CustField::Reserved2 || f == CustField::LineEnd)
            continue;
        shown << f;
        header << QLatin1String(CustRecord::fields()[i].name);
    }
    printLine(header);
    CustStore store(env.paths.custPath);
    store.openReadOnly();
    for (const CustomerRow& row : customers.rows()) {
        if (row.recordNumber > store.count())
            continue;
        const CustRecord r = store.read(row.recordNumber);
        QStringList cells;
        for (CustField f : shown)
            cells << fixed::trimmedRight(r.text(f));
        printLine(cells);
    }
}

} // namespace

QString CompanyCommand::usage() const
{
    QStringList names;
    for (const CompanyField& f : companyFields())
        names << companyFieldName(f) + (f.eiajOnly ? QStringLiteral("(EIAJ)") : QString());
    return QStringLiteral("company list --eiaj|--korvan\n"
                          "       plx90-cli company add --eiaj|--korvan FIELD=VALUE...\n"
                          "       plx90-cli company change --eiaj|--korvan ORDERER SUPPLIER FIELD=VALUE...\n"
                          "       plx90-cli company delete --eiaj|--korvan ORDERER SUPPLIER [--yes]\n"
                          "fields: ") +
           names.join(QLatin1Char(' '));
}

bool CompanyCommand::accepts(const QCommandLineParser& parser, QString& why)
{
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return false;
    m_action = positional.first();
    const QStringList rest = positional.mid(1);
    m_orderer.clear();
    m_supplier.clear();
    m_fieldArgs.clear();
    if (m_action == QLatin1String("list")) {
        if (!rest.isEmpty())
            return false;
    } else if (m_action == QLatin1String("add")) {
        m_fieldArgs = rest;
    } else if (m_action == QLatin1String("change") || m_action == QLatin1String("delete")) {
        if (rest.size() < 2 || (m_action == QLatin1String("delete") && rest.size() != 2))
            return false;
        m_orderer = rest[0];
        m_supplier = rest[1];
        m_fieldArgs = rest.mid(2);
    } else {
        why = QStringLiteral("unknown action: ") + m_action;
        return false;
    }
    if (parser.isSet(m_yes) && m_action != QLatin1String("delete")) {
        why = QStringLiteral("--yes is for delete");
        return false;
    }
    return true;
}

std::optional<int> CompanyCommand::prepare(const QCommandLineParser&, Protocol format, QString& why)
{
    if (!assignmentsOf(m_fieldArgs, format, m_action == QLatin1String("change"), why))
        return kExitUsage;
    return std::nullopt;
}

int CompanyCommand::run(const QCommandLineParser&, CliSession& session, Protocol protocol)
{
    QString why;
    const auto assignments = assignmentsOf(m_fieldArgs, protocol, m_action == QLatin1String("change"), why);
    const QString& action = m_action;
    const QString& orderer = m_orderer;
    const QString& supplier = m_supplier;
    Environment& env = session.env();
    LogLabelScope logLabels(env, QStringLiteral("発注企業情報"));
    QString label = QStringLiteral("画面初期表示/");
    if (action == QLatin1String("add") || action == QLatin1String("change")) {
        logLabels.setOperation(QStringLiteral("OKﾎﾞﾀﾝ"));
        label = QStringLiteral("ﾌｧｲﾙ更新OK/");
    } else if (action == QLatin1String("delete")) {
        logLabels.setOperation(QStringLiteral("削除ﾒﾆｭｰ"));
        label = QStringLiteral("削除ﾒﾆｭｰ/");
    }

    int exitCode = kExitOk;
    const bool ran = runTrapped(env, label, [&] {
        CustomerSession customers(env);
        if (!customers.open()) {
            ShowMessage(env, 3);
            exitCode = kExitFailed;
            return;
        }
        customers.setProtocol(protocol);
        if (action == QLatin1String("list")) {
            listCompanies(env, customers);
            return;
        }
        const auto refuse = [&](const QString& text) {
            std::fprintf(stderr, "%s\n", text.toUtf8().constData());
            exitCode = kExitFailed;
        };
        if (action != QLatin1String("add") && selectCompany(customers, orderer, supplier) < 0) {
            refuse(QStringLiteral("発注企業 %1 / %2 は登録されていません。").arg(orderer, supplier));
            return;
        }
        if (action == QLatin1String("delete")) {
            if (const CustomerOutcome started = customers.startDelete(); started.refused()) {
                printRefusal(env, started);
                exitCode = kExitFailed;
                return;
            }
            if (ShowMessage(env, 503, customers.deletionLead()) != kAnswerYes) {
                customers.confirmDelete(false);
                refuse(QStringLiteral("削除しませんでした。(削除するには --yes を指定してください)"));
                return;
            }
            const QString code1 = customers.form()[CustField::OrdererCode];
            const QString code2 = customers.form()[CustField::SupplierCode];
            const CustomerOutcome outcome = customers.confirmDelete(true);
            if (!outcome.written) {
                printRefusal(env, outcome);
                exitCode = kExitFailed;
                return;
            }
            customers.close();
            printLine({QStringLiteral("削除"), code1, code2});
            return;
        }
        if (action == QLatin1String("add")) {
            customers.startNew();
        } else if (const CustomerOutcome started = customers.startChange(); started.refused()) {
            printRefusal(env, started);
            exitCode = kExitFailed;
            return;
        }
        for (const Assignment& a : *assignments)
            apply(customers, a);
        const CustomerOutcome outcome = customers.save();
        if (!outcome.written) {
            printRefusal(env, outcome);
            exitCode = kExitFailed;
            return;
        }
        // The written company is the selected one.
        const QString code1 = customers.form()[CustField::OrdererCode];
        const QString code2 = customers.form()[CustField::SupplierCode];
        customers.close();
        printLine({action == QLatin1String("add") ? QStringLiteral("追加") : QStringLiteral("変更"), code1, code2});
    });
    return ran ? exitCode : kExitFailed;
}

} // namespace plx::cli
