#include "controls/ui/cImageList.h"

#include <QPixmap>

cImageList::cImageList(QObject *parent)
    : QObject(parent)
{
}

void cImageList::setIconSize(int width, int height)
{
    if (m_icons.isEmpty() && width > 0 && height > 0)
        m_size = QSize(width, height);
}

int cImageList::AddIcon(const QIcon &icon)
{
    if (icon.isNull())
        return -1;
    m_icons.append(icon);
    emit changed();
    return m_icons.size() - 1;
}

int cImageList::AddFromFile(const QString &path)
{
    return AddIcon(QIcon(path));
}

int cImageList::AddStrip(const QPixmap &strip)
{
    if (strip.isNull())
        return 0;
    const int count = strip.width() / m_size.width();
    for (int i = 0; i < count; ++i)
        m_icons.append(QIcon(strip.copy(i * m_size.width(), 0, m_size.width(), m_size.height())));
    if (count > 0)
        emit changed();
    return count;
}

QIcon cImageList::icon(int index) const
{
    return index >= 0 && index < m_icons.size() ? m_icons.at(index) : QIcon();
}

QPixmap cImageList::ItemPicture(int index) const
{
    const QIcon i = icon(index);
    return i.isNull() ? QPixmap() : i.pixmap(m_size);
}

void cImageList::Clear()
{
    m_icons.clear();
    emit changed();
}
