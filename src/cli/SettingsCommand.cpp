#include "SettingsCommand.h"

#include "core/Registry.h"

#include <cstdio>

namespace plx::cli {

int SettingsCommand::execute(const QStringList& arguments)
{
    const QStringList args = arguments.mid(1);
    const bool get = args.size() == 2 && args[0] == QLatin1String("get");
    const bool set = args.size() == 3 && args[0] == QLatin1String("set");
    if (!get && !set) {
        std::fprintf(stderr, "usage: plx90-cli settings get NAME | settings set NAME VALUE\n");
        return kExitUsage;
    }
    Registry registry(Registry::defaultFilePath());
    qint32 rc = RegOk;
    if (get) {
        QString value;
        rc = registry.regGetValue(kRegistryKey, args[1], value);
        if (rc == RegOk)
            std::printf("%s\n", value.toUtf8().constData());
    } else {
        rc = registry.regPutValue(kRegistryKey, args[1], args[2]);
    }
    if (rc != RegOk) {
        std::fprintf(stderr, "%s/%s (%d)\n", args[1].toUtf8().constData(),
                     Registry::regErrorText(rc).toUtf8().constData(), int(rc));
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace plx::cli
