#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class QTabBar;

// The audio format window's tab strip: keyed tabs counted from 1 and a client
// area (in the parent window's twips) on which the window lays its pages.
// TabClick is raised when the user changes the tab, never by SelectTab.
class FormatTabStrip : public QWidget {
    Q_OBJECT
public:
    explicit FormatTabStrip(QWidget *parent = nullptr);

    // Icon -1 is no icon; index -1 appends. Answers the new tab's position.
    qint32 AddTab(const QString &caption, qint32 icon, qint32 index, const QString &key);
    qint32 TabCount() const;
    // The selected position, 0 when there is no tab.
    qint32 SelectedTab() const;
    void setSelectedTab(qint32 position);
    // The key at a position; empty for a position that holds no tab.
    QString TabKey(qint32 position) const;
    // The position of the tab with that key (letter case ignored), 0 when none.
    qint32 TabIndex(const QString &key) const;
    // Selects the tab with that key; an unknown key changes nothing.
    void SelectTab(const QString &key);

    // The area below the tabs, in twips of the parent window.
    qint32 ClientLeft() const;
    qint32 ClientTop() const;
    qint32 ClientWidth() const;
    qint32 ClientHeight() const;

Q_SIGNALS:
    void TabClick(qint32 tab);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect clientRect() const;

    QTabBar *m_bar;
    QStringList m_keys;
    bool m_selectingInCode = false;
};
