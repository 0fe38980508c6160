#pragma once

#include <QDialog>

class QComboBox;

// The options window: the live store of the general options. It stays loaded,
// hidden, for the whole run; closing it only hides it until the program closes.
class frmOptions : public QDialog {
    Q_OBJECT
public:
    explicit frmOptions(QWidget *parent = nullptr);

    void Form_Load();
    void Form_Unload(int &Cancel);

    // The default destination format: the six destination formats in list order.
    QComboBox *cboTargetFormat = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
};
