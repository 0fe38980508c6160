#pragma once

#include <QDialog>
#include <QList>

class ColorBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The read-only help that lists the placeholders of the three text templates:
// the notice command line, the tag texts and the output file name. A caller
// loads it, picks a section in cboSections and shows it modally; OK unloads it.
class frmProgParameters : public QDialog {
    Q_OBJECT
public:
    explicit frmProgParameters(QWidget *parent = nullptr);

    void Form_Load();
    void cboSections_Click();
    void cmdOk_Click();

    ColorBox *picTitle = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblSections = nullptr;
    // 0 "Execute external application", 1 "ID3 Audio Tags", 2 "File Name Format".
    QComboBox *cboSections = nullptr;
    QWidget *fraAppNotic = nullptr;
    QWidget *fraID3Tags = nullptr;
    QWidget *fraExt = nullptr;
    // Every token of every section, top to bottom; read-only so it can be
    // selected and copied.
    QList<QLineEdit *> txtParameter;
    QPushButton *cmdOk = nullptr;
};
