#pragma once

#include <QDialog>

class QLabel;
class QFrame;
class QTimer;

// The borderless window that fades in and shows what the start-up loads.
class frmSplash : public QDialog {
    Q_OBJECT
public:
    explicit frmSplash(QWidget *parent = nullptr);

    void Form_Load();
    void Form_Unload(int &Cancel);
    // Starts raising the opacity from transparent to opaque in steps of 10,
    // each held more than 5 ms by a timer; returns at once. FadeEnded follows
    // from the event loop.
    void FadeIn();
    void setStatus(const QString &text);

    QLabel *lblAppTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblStat = nullptr;
    QFrame *picTitle = nullptr;
    QFrame *Shape1 = nullptr;

Q_SIGNALS:
    // Each opacity the fade sets, and each status line shown.
    void OpacitySet(int alpha);
    void StatusShown(const QString &text);
    // The fade is over: the splash is opaque, or it was closed first.
    void FadeEnded();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void CloseSplash();
    void setOpacity(int alpha);
    void fadeStep();
    void endFade();

    QTimer *m_fade = nullptr;
    int m_alpha = 0;
};
