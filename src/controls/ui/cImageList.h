#pragma once

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QSize>
#include <QString>

// An ordered set of same-sized pictures that grids, trees, tabs and status
// bars point into by index (0 is the first picture).
class cImageList : public QObject {
    Q_OBJECT
public:
    explicit cImageList(QObject *parent = nullptr);

    int IconWidth() const { return m_size.width(); }
    int IconHeight() const { return m_size.height(); }
    // Only takes effect while the list is empty: every picture shares one size.
    void setIconSize(int width, int height);
    QSize iconSize() const { return m_size; }

    // Each answers the index of the added picture, or -1 when nothing could
    // be read.
    int AddIcon(const QIcon &icon);
    int AddFromFile(const QString &path);
    // Cuts a strip of pictures laid side by side into pictures of the list's
    // size; answers how many were added.
    int AddStrip(const QPixmap &strip);

    int ImageCount() const { return m_icons.size(); }
    // An empty icon for an index outside the list, so a stale index draws
    // nothing instead of failing.
    QIcon icon(int index) const;
    // The picture at the list's size, for buttons that show one; a null
    // pixmap for an index outside the list.
    QPixmap ItemPicture(int index) const;
    void Clear();

signals:
    void changed();

private:
    QList<QIcon> m_icons;
    QSize m_size{16, 16};
};
