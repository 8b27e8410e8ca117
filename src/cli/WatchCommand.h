#pragma once

#include "FormatCommand.h"

namespace plx::cli {

// plx90-cli watch --eiaj|--korvan [--mode 1|2] [--interval S] [DIR]
class WatchCommand : public FormatCommand
{
public:
    WatchCommand() : FormatCommand(QStringLiteral("order files")) {}
    QString name() const override { return QStringLiteral("watch"); }
    QString description() const override { return QStringLiteral("import order files as they arrive in a folder"); }

private:
    QString usage() const override { return QStringLiteral("watch --eiaj|--korvan [--mode 1|2] [--interval S] [DIR]"); }
    void addOptions(QCommandLineParser& parser) override { parser.addOptions({m_mode, m_interval}); }
    bool accepts(const QCommandLineParser& parser, QString& why) override;
    int run(const QCommandLineParser& parser, CliSession& session, Protocol format) override;
    // The settle time given, in seconds (2 when not given); 0 when it is no number.
    double seconds(const QCommandLineParser& parser) const;

    QCommandLineOption m_mode{QStringLiteral("mode"), QStringLiteral("processing mode 1 or 2"), QStringLiteral("MODE")};
    QCommandLineOption m_interval{QStringLiteral("interval"),
                                  QStringLiteral("seconds a file must stay unchanged (default 2)"),
                                  QStringLiteral("S")};
};

} // namespace plx::cli
