#pragma once

#include <QString>

// Keys of the nodes of the tree of items lists: the lists root, one list
// (the full path of its file), the CD root and one CD drive.
namespace ItemsTreeNodeKey {

QString listsRootKey(const QString &listsFolder);
QString cdRootKey();
QString driveKey(const QString &deviceName);
QString listKey(const QString &listsFolder, const QString &fileName);

// True for the two roots: "##MAIN" at the key's start.
bool IsMainNode(const QString &sKey);
// True for a CD drive: the key starts with "##CD" (letter case counts).
bool IsCDNode(const QString &sKey);
// The drive letter and colon of a drive node's key (characters 5 and 6).
QString GetCDNameNode(const QString &sKey);

// Whether the key names a list file that lies directly in the lists folder:
// the only keys the program ever reads, writes or deletes as files.
bool isListFileKey(const QString &sKey, const QString &listsFolder);

} // namespace ItemsTreeNodeKey
