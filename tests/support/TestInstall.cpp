#include "TestInstall.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace plx::test {

TestInstall::TestInstall()
    : clock(QDateTime(QDate(2026, 12, 7), QTime(9, 41, 30))), registry(QString()), env(dialogs, clock, registry)
{
    registry = Registry(m_dir.path() + QStringLiteral("/registry.ini"));
    env.shutdown = [](int) {};
    for (const char* folder : {"Prg", "Usr", "Log", "Dust", "Sample", "Help"})
        QDir().mkpath(root() + QLatin1Char('/') + QLatin1String(folder));
}

void TestInstall::writeSettings()
{
    setSetting(QStringLiteral("ApUse"), QStringLiteral("ALL"));
    setSetting(QStringLiteral("LogPointer"), QStringLiteral("0"));
    setSetting(QStringLiteral("LogCount"), QStringLiteral("100"));
    setSetting(QStringLiteral("Nifuda"), QStringLiteral("10"));
    setSetting(QStringLiteral("BaseYear"), QStringLiteral("50"));
    setSetting(QStringLiteral("InstallBasePath"), base());
    setSetting(QStringLiteral("CheckSpec"), QStringLiteral("0"));
}

void TestInstall::setSetting(const QString& name, const QString& value)
{
    registry.regPutValue(kRegistryKey, name, value);
}

QString TestInstall::setting(const QString& name) const
{
    QString value;
    registry.regGetValue(kRegistryKey, name, value);
    return value;
}

void TestInstall::writeFile(const QString& relative, const QByteArray& bytes) const
{
    const QString full = path(relative);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile file(full);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

QByteArray TestInstall::readFile(const QString& relative) const
{
    QFile file(path(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestInstall::buildPaths()
{
    env.programBasePath = env.dataBasePath = base();
    env.paths = Paths::build(base(), env.apUse.isEmpty() ? QStringLiteral("ALL") : env.apUse);
}

bool endsProgram(const std::function<void()>& f)
{
    try {
        f();
    } catch (const ProgramEnded&) {
        return true;
    }
    return false;
}

} // namespace plx::test
