#pragma once

#include <QDialog>

// The audio format window: the live store of the destination-format settings. It stays loaded,
// hidden, for the whole run; closing it only hides it until the program closes.
class frmAudioProp : public QDialog {
    Q_OBJECT
public:
    explicit frmAudioProp(QWidget *parent = nullptr);

    void Form_Load();
    void Form_Unload(int &Cancel);

protected:
    void closeEvent(QCloseEvent *event) override;
};
