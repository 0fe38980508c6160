#pragma once

#include <QIcon>
#include <QList>

class cImageList;

// The pictures the items grid and the tree of lists point into by index.
namespace ListImages {

// 0 an unmarked box, 1 a marked box, 3 an audio item, 4 a data track.
void fillGridImages(cImageList &list);
// The item pictures at 0 to 4 as above (the tool windows' grids use this
// list), 17 the lists root, 42 and 43 a list (selected), 71 the CD root, 25 a CD
// drive, 47 the main panel, 8 notes, 79 volume; the other places hold
// blank pictures until the menus bring theirs.
void fillMenuImages(cImageList &list);
// The menus' pictures: the menu list, except that the places the item
// pictures share hold the menus' own there: 0 move up, 1 move down, 3 remove.
QList<QIcon> menuIcons(const cImageList &menuImages);

} // namespace ListImages
