#pragma once

#include "controls/ui/cImageList.h"

#include <QPointer>
#include <QStatusBar>
#include <QString>

#include <vector>

class QToolButton;

// A status bar of keyed panels, each a text with an optional icon from an
// image list. Panels count from 1 in the order added; most callers name
// them by key.
class cStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit cStatusBar(QWidget *parent = nullptr);

    // style, the panel text, a second text (the panel's tool tip), the icon
    // index (-1 none), the least width in pixels (every panel grows with its
    // text, so fit changes nothing), spring (the panel takes the room left),
    // fit, a reserved number and the key. Answers the new panel's index, or 0 when
    // another panel has the key.
    int AddPanel(int style, const QString &text, const QString &secondText, int icon, int width, bool spring,
                 bool fit, int reserved, const QString &key);
    int PanelCount() const { return static_cast<int>(m_panels.size()); }
    // 0 when no panel has the key (keys compare exactly).
    int PanelIndex(const QString &key) const;
    QString PanelKey(int index) const;

    // A panel that does not exist reads empty and ignores writes.
    QString PanelText(int index) const;
    QString PanelText(const QString &key) const;
    void setPanelText(int index, const QString &text);
    void setPanelText(const QString &key, const QString &text);
    int PanelIcon(int index) const;
    int PanelIcon(const QString &key) const;
    void setPanelIcon(int index, int icon);
    void setPanelIcon(const QString &key, int icon);
    int PanelWidth(int index) const;

    cImageList *ImageList() const { return m_images; }
    void setImageList(cImageList *list);
    // A colour number (0x00BBGGRR) or a system colour.
    quint32 BackColor() const { return m_backColor; }
    void setBackColor(quint32 colour);

    QWidget *panelWidget(int index) const;

signals:
    void PanelClick(int Index);

private:
    struct Panel {
        QString key;
        int icon = -1;
        QToolButton *button = nullptr;
    };
    const Panel *panel(int index) const;
    void showIcon(const Panel &p);

    std::vector<Panel> m_panels;
    QPointer<cImageList> m_images;
    quint32 m_backColor = 0x8000000Fu;
};
