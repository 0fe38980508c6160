#pragma once

#include <QDialog>

class LinkLabel;
class cImageList;
class QLabel;
class QPushButton;
class QTabWidget;

// The product's name, versions and description, with links to the maker's pages.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    // The tab takes its picture from tabImages, the main window's menu pictures.
    explicit frmAbout(QWidget *parent = nullptr, const cImageList *tabImages = nullptr);

    void cTabControl1_TabClick(int tabIndex);
    void lblHomePage_Click();
    void lblSite_Click();
    void lblSupport_Click();
    void lblProducts_Click();
    void lblDeveloper_Click();
    void lblPartnerAddress_Click();
    void cmdOk_Click();

    QWidget *picTitle = nullptr;
    QLabel *lblTitle = nullptr;
    QTabWidget *cTabControl1 = nullptr;
    QWidget *picAbout = nullptr;
    QLabel *lblAppName = nullptr;
    QLabel *lblVersionInside = nullptr;
    QLabel *lblDesc = nullptr;
    LinkLabel *lblHomePage = nullptr;
    LinkLabel *lblSite = nullptr;
    LinkLabel *lblSupport = nullptr;
    LinkLabel *lblProducts = nullptr;
    LinkLabel *lblDeveloper = nullptr;
    QLabel *lblPartner = nullptr;
    LinkLabel *lblPartnerAddress = nullptr;
    QPushButton *cmdOk = nullptr;

    // Where the links without an address in the edition table lead.
    static QString developerPage();
    static QString partnerAddress();

private:
    void Form_Load();

    const cImageList *m_tabImages = nullptr;
};
