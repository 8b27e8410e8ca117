#include "CommonOptions.h"

namespace plx::cli {

ProtocolOption::ProtocolOption(const QString& what)
    : m_eiaj(QStringLiteral("eiaj"), QStringLiteral("EIAJ ") + what),
      m_korvan(QStringLiteral("korvan"), QStringLiteral("KORVAN ") + what)
{
}

void ProtocolOption::addTo(QCommandLineParser& parser) const
{
    parser.addOptions({m_eiaj, m_korvan});
}

bool ProtocolOption::given(const QCommandLineParser& parser) const
{
    return parser.isSet(m_eiaj) != parser.isSet(m_korvan);
}

Protocol ProtocolOption::protocol(const QCommandLineParser& parser) const
{
    return parser.isSet(m_eiaj) ? Protocol::Eiaj : Protocol::Korvan;
}

CompanyOptions::CompanyOptions()
    : m_orderer(QStringLiteral("orderer"), QStringLiteral("orderer code"), QStringLiteral("CODE")),
      m_supplier(QStringLiteral("supplier"), QStringLiteral("supplier code"), QStringLiteral("CODE"))
{
}

void CompanyOptions::addTo(QCommandLineParser& parser) const
{
    parser.addOptions({m_orderer, m_supplier});
}

bool CompanyOptions::valid(const QCommandLineParser& parser) const
{
    return parser.isSet(m_orderer) == parser.isSet(m_supplier);
}

bool CompanyOptions::given(const QCommandLineParser& parser) const
{
    return parser.isSet(m_orderer) && parser.isSet(m_supplier);
}

QString CompanyOptions::ordererCode(const QCommandLineParser& parser) const
{
    return parser.value(m_orderer);
}

QString CompanyOptions::supplierCode(const QCommandLineParser& parser) const
{
    return parser.value(m_supplier);
}

} // namespace plx::cli
