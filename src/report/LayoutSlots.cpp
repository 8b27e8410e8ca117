#include "LayoutSlots.h"

#include "LayoutJson.h"

#include <QFileInfo>
#include <QJsonArray>

namespace plx {

int slotsPerSheet(const QString& layoutPath, QString& error)
{
    QByteArray bytes;
    if (!LayoutJson::load(layoutPath, bytes, error))
        return 0;
    const QString fileName = QFileInfo(layoutPath).fileName();
    QJsonObject root;
    QString problem;
    if (!LayoutJson::parse(bytes, root, problem)) {
        error = LayoutJson::message(fileName, problem);
        return 0;
    }
    const QJsonValue origins = root.value(QStringLiteral("slots"));
    if (origins.isUndefined())
        problem = QStringLiteral("slots がありません");
    else if (!origins.isArray())
        problem = QStringLiteral("slots は配列 ([ ]) で指定してください");
    else if (origins.toArray().isEmpty())
        problem = QStringLiteral("slots には 1 つ以上の枠の位置 ({ \"x\": 0, \"y\": 0 }) を指定してください");
    if (!problem.isEmpty()) {
        error = LayoutJson::message(fileName, problem);
        return 0;
    }
    return int(origins.toArray().size());
}

} // namespace plx
