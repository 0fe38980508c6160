#pragma once

#include <QFont>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

class QAction;
class QMenu;
class QWidget;

// Keyed, nested popup-menu items. Items sit under top-level holders; a
// holder's children form its submenu, which is only ever shown as a popup.
// Indexes count from 1; 0 names no item (as a parent: the top level).
class cContextMenu : public QObject {
    Q_OBJECT
public:
    explicit cContextMenu(QObject *parent = nullptr);
    ~cContextMenu() override;

    void setOwnerWindow(QWidget *owner);
    void setXPStyle(bool on) { m_xpStyle = on; }
    bool XPStyle() const { return m_xpStyle; }
    void setFont(const QFont &font);
    // Icon indexes count the list's images from 0.
    void setImageList(const QList<QIcon> &images) { m_images = images; }

    qint32 AddItem(const QString &caption, const QString &helpText = QString(), const QVariant &itemData = QVariant(),
                   qint32 parentIndex = 0, qint32 iconIndex = -1, bool checked = false, bool enabled = true,
                   const QString &key = QString());
    qint32 IndexForKey(const QString &key) const;
    QString ItemKey(qint32 index) const;
    bool ItemChecked(qint32 index) const;
    void setItemChecked(qint32 index, bool checked);
    QString ItemCaption(qint32 index) const;
    void setItemCaption(qint32 index, const QString &caption);
    bool ItemVisible(qint32 index) const;
    void setItemVisible(qint32 index, bool visible);
    bool ItemEnabled(qint32 index) const;
    void setItemEnabled(qint32 index, bool enabled);
    qint32 ItemParent(qint32 index) const;
    qint32 Count() const { return static_cast<qint32>(m_items.size()); }
    void Refresh(bool = true);

    // Pops the submenu that holds the item at the screen point; the pick
    // arrives through Click.
    void ShowPopupAt(int x, int y, int = 0, int = 0, int = 0, int = 0, bool = true, qint32 index = 0);
    // The same at the pointer.
    void ShowPopup(int x, int y, qint32 index, bool = true);

    // The submenu holding the item (built on demand), for hosts such as the tray.
    QMenu *MenuHolding(qint32 index);
    // The action that shows the item, for hosts and tests.
    QAction *ItemAction(qint32 index);

Q_SIGNALS:
    void Click(qint32 ItemNumber);

private:
    struct Item;
    Item *item(qint32 index) const;
    QMenu *menuFor(qint32 holder);
    void build();
    void applyTo(const Item &item);

    std::vector<std::unique_ptr<Item>> m_items;
    QList<QIcon> m_images;
    QPointer<QWidget> m_owner;
    QFont m_font;
    bool m_hasFont = false;
    bool m_xpStyle = false;
    bool m_built = false;
};
