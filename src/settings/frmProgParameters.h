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
// loads it and shows it modally on one section; OK unloads it.
class frmProgParameters : public QDialog {
    Q_OBJECT
public:
    explicit frmProgParameters(QWidget *parent = nullptr);

    enum Section { NoticeSection, TagsSection, FileNameSection };
    void execOnSection(int section);

    void Form_Load();
    void cboSections_Click();
    void cmdOk_Click();

    ColorBox *picTitle = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblSections = nullptr;
    // "Execute external application", "ID3 Audio Tags", "File Name Format",
    // in Section order.
    QComboBox *cboSections = nullptr;
    QWidget *fraAppNotic = nullptr;
    QWidget *fraID3Tags = nullptr;
    QWidget *fraExt = nullptr;
    // Every token of every section, top to bottom; read-only so it can be
    // selected and copied.
    QList<QLineEdit *> txtParameter;
    QPushButton *cmdOk = nullptr;
};
