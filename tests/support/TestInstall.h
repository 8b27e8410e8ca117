#pragma once

#include "ScriptedDialogs.h"

#include "core/Clock.h"
#include "core/Environment.h"
#include "core/Registry.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace plx::test {

// A throw-away installation: a temporary base folder with the folder tree, a
// settings file of its own, scripted dialogs, a fixed clock, and an Environment
// whose shutdown is caught (endProgram throws ProgramEnded).
class TestInstall
{
public:
    TestInstall();

    QString base() const { return m_dir.path(); }
    QString root() const { return m_dir.path() + QStringLiteral("/Plx90We"); }
    QString path(const QString& relative) const { return root() + QLatin1Char('/') + relative; }

    // Writes the usual settings (ApUse ALL, LogCount 100, ...) and the base path.
    void writeSettings();
    void setSetting(const QString& name, const QString& value);
    QString setting(const QString& name) const;

    // Writes bytes to a file below the root, creating folders.
    void writeFile(const QString& relative, const QByteArray& bytes) const;
    QByteArray readFile(const QString& relative) const;

    // Environment paths built for this installation (as start-up would).
    void buildPaths();

    ScriptedDialogs dialogs;
    FixedClock clock;
    Registry registry;
    Environment env;

private:
    QTemporaryDir m_dir;
};

// Runs `f` and reports whether it ended the program.
bool endsProgram(const std::function<void()>& f);

} // namespace plx::test
