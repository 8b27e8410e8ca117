#pragma once

#include "core/Protocol.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace plx::cli {

// --eiaj | --korvan: the protocol a command works on; exactly one is given.
class ProtocolOption
{
public:
    // `what` says what the protocol chooses: "records", "the list", …
    explicit ProtocolOption(const QString& what);
    void addTo(QCommandLineParser& parser) const;
    // Exactly one of the two was given.
    bool given(const QCommandLineParser& parser) const;
    Protocol protocol(const QCommandLineParser& parser) const;
    // 0 for EIAJ, 1 for KORVAN.

private:
    QCommandLineOption m_eiaj;
    QCommandLineOption m_korvan;
};

// --orderer CODE --supplier CODE: one ordering company; both or neither.
class CompanyOptions
{
public:
    CompanyOptions();
    void addTo(QCommandLineParser& parser) const;
    // Both or neither was given.
    bool valid(const QCommandLineParser& parser) const;
    // A company was named.
    bool given(const QCommandLineParser& parser) const;
    QString ordererCode(const QCommandLineParser& parser) const;
    QString supplierCode(const QCommandLineParser& parser) const;

private:
    QCommandLineOption m_orderer;
    QCommandLineOption m_supplier;
};

} // namespace plx::cli
