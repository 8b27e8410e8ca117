#pragma once

#include "Environment.h"

#include <QString>

namespace plx {

// Keeps the log labels (the module and the operation that a run-time failure
// is logged with) for as long as it lives, and puts back the ones that stood
// before when it ends. A window holds one from its opening to its closing, so
// the window that opened it finds its own labels again; nobody restores them
// by hand.
class LogLabelScope
{
public:
    explicit LogLabelScope(Environment& env) : m_env(env), m_module(env.logModule), m_operation(env.logOperation) {}
    LogLabelScope(Environment& env, const QString& module) : LogLabelScope(env) { env.logModule = module; }
    ~LogLabelScope()
    {
        m_env.logModule = m_module;
        m_env.logOperation = m_operation;
    }
    // The labels are set through the scope that will put them back: the
    // module of the window or command, the operation the clerk (or the
    // command) started.
    void setModule(const QString& module) { m_env.logModule = module; }
    void setOperation(const QString& operation) { m_env.logOperation = operation; }
    LogLabelScope(const LogLabelScope&) = delete;
    LogLabelScope& operator=(const LogLabelScope&) = delete;

private:
    Environment& m_env;
    QString m_module;
    QString m_operation;
};

} // namespace plx
