#pragma once

#include <QDialog>

class QLabel;
class QFrame;

// The borderless window that fades in and shows what the start-up loads.
class frmSplash : public QDialog {
    Q_OBJECT
public:
    explicit frmSplash(QWidget *parent = nullptr);

    void Form_Load();
    void Form_Unload(int &Cancel);
    // Raises the opacity from transparent to opaque in steps of 10, letting
    // window messages through between the steps.
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

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void CloseSplash();
    void setOpacity(int alpha);
};
