#include "lists/ListImages.h"

#include "controls/ui/cImageList.h"
#include "platform/AppPaths.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

#include <map>

namespace ListImages {

namespace {

QIcon blank(const cImageList &list)
{
    QPixmap pixmap(list.iconSize());
    pixmap.fill(Qt::transparent);
    return QIcon(pixmap);
}

QIcon checkBox(const cImageList &list, bool checked)
{
    QPixmap pixmap(list.iconSize());
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(pixmap.rect()).adjusted(2.5, 2.5, -2.5, -2.5);
    painter.setPen(QPen(QColor(0x44, 0x44, 0x44), 1));
    painter.setBrush(Qt::white);
    painter.drawRect(box);
    if (checked) {
        painter.setPen(QPen(QColor(0x10, 0x70, 0x10), 2));
        const QPolygonF tick({QPointF(box.left() + 2, box.center().y()),
                              QPointF(box.center().x() - 1, box.bottom() - 2),
                              QPointF(box.right() - 2, box.top() + 2)});
        painter.drawPolyline(tick);
    }
    return QIcon(pixmap);
}

QIcon resourceOr(const QString &name, QStyle::StandardPixmap fallback)
{
    const QIcon icon(AppPaths::resourceFolder() + QStringLiteral("/icons/") + name);
    if (!icon.availableSizes().isEmpty())
        return icon;
    return QApplication::style()->standardIcon(fallback);
}

void fill(cImageList &list, int count, const std::map<int, QIcon> &pictures)
{
    list.Clear();
    for (int i = 0; i < count; ++i) {
        const auto found = pictures.find(i);
        if (found == pictures.end() || list.AddIcon(found->second) < 0)
            list.AddIcon(blank(list));
    }
}

// The item pictures, which the tool windows' grids find at the same places
// in the menu pictures.
std::map<int, QIcon> itemPictures(const cImageList &list)
{
    return {{0, checkBox(list, false)},
            {1, checkBox(list, true)},
            {3, resourceOr(QStringLiteral("DOCUMENT_MUSIC.png"), QStyle::SP_MediaVolume)},
            {4, QApplication::style()->standardIcon(QStyle::SP_FileIcon)}};
}

} // namespace

void fillGridImages(cImageList &list)
{
    fill(list, 5, itemPictures(list));
}

void fillMenuImages(cImageList &list)
{
    QStyle *style = QApplication::style();
    std::map<int, QIcon> pictures = itemPictures(list);
    pictures.insert({{8, style->standardIcon(QStyle::SP_FileDialogDetailedView)},
          {17, style->standardIcon(QStyle::SP_DirHomeIcon)},
          // The item window's "Range To Process" tab.
          {23, QIcon::fromTheme(QStringLiteral("media-seek-forward"),
                                style->standardIcon(QStyle::SP_MediaSeekForward))},
          {25, resourceOr(QStringLiteral("CD_MUSIC.png"), QStyle::SP_DriveCDIcon)},
          {42, style->standardIcon(QStyle::SP_DirClosedIcon)},
          {43, style->standardIcon(QStyle::SP_DirOpenIcon)},
          {47, style->standardIcon(QStyle::SP_MessageBoxInformation)},
          {71, style->standardIcon(QStyle::SP_DriveCDIcon)},
          {79, style->standardIcon(QStyle::SP_MediaVolume)}});
    fill(list, 80, pictures);
}

QList<QIcon> menuIcons(const cImageList &menuImages)
{
    QStyle *style = QApplication::style();
    const std::map<int, QIcon> own = {
        {0, QIcon::fromTheme(QStringLiteral("go-up"), style->standardIcon(QStyle::SP_ArrowUp))},
        {1, QIcon::fromTheme(QStringLiteral("go-down"), style->standardIcon(QStyle::SP_ArrowDown))},
        {3, QIcon::fromTheme(QStringLiteral("list-remove"), style->standardIcon(QStyle::SP_TrashIcon))}};
    QList<QIcon> icons;
    for (int i = 0; i < menuImages.ImageCount(); ++i) {
        const auto found = own.find(i);
        icons << (found != own.end() ? found->second : menuImages.icon(i));
    }
    return icons;
}

} // namespace ListImages
