#include "FormFileBrowse.h"

namespace plx {

QString shortenedFolderLabel(const QString& folder, QChar separator)
{
    if (folder.size() < kFolderLabelLimit)
        return folder;
    // Positions are 1-based: position p is folder[p - 1].
    QString tail = folder;
    for (qsizetype p = 4; p <= folder.size(); ++p) {
        if (tail.size() < kFolderTailLimit)
            break;
        if (folder.at(p - 1) == separator)
            tail = folder.mid(p - 1);
    }
    return folder.left(2) + QStringLiteral("･･･") + tail;
}

QString chosenFormFile(const QString& fileName)
{
    return fileName.left(kChosenFormFileWidth);
}

QStringList formFiles(const QString& folder)
{
    if (folder.isEmpty())
        return {};
    QDir dir(folder);
    dir.setNameFilters({QStringLiteral("*.agr")});
    dir.setFilter(QDir::Files);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    return dir.entryList();
}

} // namespace plx
