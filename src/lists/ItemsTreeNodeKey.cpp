#include "lists/ItemsTreeNodeKey.h"

namespace ItemsTreeNodeKey {

QString listsRootKey(const QString &listsFolder)
{
    return QStringLiteral("##MAINITEMS") + listsFolder;
}

QString cdRootKey()
{
    return QStringLiteral("##MAINCDSAudio CDs");
}

QString driveKey(const QString &deviceName)
{
    return QStringLiteral("##CD") + deviceName;
}

QString listKey(const QString &listsFolder, const QString &fileName)
{
    return listsFolder + fileName;
}

bool IsMainNode(const QString &sKey)
{
    return sKey.startsWith(QLatin1String("##MAIN"));
}

bool IsCDNode(const QString &sKey)
{
    return sKey.startsWith(QLatin1String("##CD"));
}

QString GetCDNameNode(const QString &sKey)
{
    return sKey.mid(4, 2);
}

bool isListFileKey(const QString &sKey, const QString &listsFolder)
{
    if (IsMainNode(sKey) || IsCDNode(sKey) || listsFolder.isEmpty() || !sKey.startsWith(listsFolder))
        return false;
    const QString name = sKey.mid(listsFolder.size());
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String(".")
        && name != QLatin1String("..");
}

} // namespace ItemsTreeNodeKey
