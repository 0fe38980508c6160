#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

class QMenu;

// The system tray icon of the main window.
class Tray : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Tray() override = default;
    // False where the desktop has no tray: windows then minimise instead of hiding.
    virtual bool isAvailable() const = 0;
    virtual void setIcon(const QIcon &icon) = 0;
    virtual void setToolTip(const QString &text) = 0;
    virtual void setVisible(bool visible) = 0;
    virtual bool isVisible() const = 0;
    virtual void setContextMenu(QMenu *menu) = 0;
    // A balloon; dropped silently where there is no tray.
    virtual void showMessage(const QString &title, const QString &text) = 0;

Q_SIGNALS:
    // 1 left, 2 right, 4 middle; doubleClicked for a double click.
    void clicked(int button);
    void doubleClicked();
};
