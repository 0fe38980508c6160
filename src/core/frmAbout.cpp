#include "core/frmAbout.h"

#include "controls/ui/cImageList.h"
#include "core/LinkLabel.h"
#include "core/TitleStrip.h"
#include "core/mdlModes.h"
#include "platform/Services.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

void openAddress(const QString &address)
{
    // A link that cannot be opened says nothing; the window stays.
    Services::instance().shell().open(address);
}

} // namespace

QString frmAbout::developerPage()
{
    return g_sAppWebRoot + QStringLiteral("developers.html");
}

QString frmAbout::partnerAddress()
{
    return QStringLiteral("https://www.partner.example");
}

frmAbout::frmAbout(QWidget *parent, const cImageList *tabImages)
    : QDialog(parent)
    , m_tabImages(tabImages)
{
    setWindowTitle(QStringLiteral("About"));

    picTitle = new QWidget(this);
    lblTitle = new QLabel(picTitle);
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    lblTitle->setFont(titleFont);
    auto *titleLayout = new QHBoxLayout(picTitle);
    titleLayout->addWidget(lblTitle);

    cTabControl1 = new QTabWidget(this);
    picAbout = new QWidget;
    lblAppName = new QLabel(picAbout);
    QFont nameFont = lblAppName->font();
    nameFont.setBold(true);
    lblAppName->setFont(nameFont);
    lblVersionInside = new QLabel(QStringLiteral("Inside version:"), picAbout);
    lblDesc = new QLabel(picAbout);
    lblDesc->setWordWrap(true);
    lblHomePage = new LinkLabel(QString(), picAbout);
    lblSite = new LinkLabel(QString(), picAbout);
    lblSupport = new LinkLabel(QStringLiteral("Support"), picAbout);
    lblProducts = new LinkLabel(QStringLiteral("More Products..."), picAbout);
    lblDeveloper = new LinkLabel(QStringLiteral("Developer? - Click here for this product ActiveX"), picAbout);
    lblPartner = new QLabel(QStringLiteral("Audio components in partnership with Partner Audio Labs"), picAbout);
    lblPartnerAddress = new LinkLabel(partnerAddress(), picAbout);
    lblPartnerAddress->useSystemColor();
    cmdOk = new QPushButton(QStringLiteral("OK"), this);
    cmdOk->setDefault(true);

    auto *page = new QVBoxLayout(picAbout);
    for (QWidget *w : std::initializer_list<QWidget *>{lblAppName, lblVersionInside, lblDesc, lblHomePage, lblSite,
                                                        lblSupport, lblProducts, lblDeveloper, lblPartner,
                                                        lblPartnerAddress})
        page->addWidget(w);
    page->addStretch();

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(picTitle);
    layout->addWidget(cTabControl1, 1);
    layout->addLayout(buttons);

    connect(lblHomePage, &LinkLabel::clicked, this, &frmAbout::lblHomePage_Click);
    connect(lblSite, &LinkLabel::clicked, this, &frmAbout::lblSite_Click);
    connect(lblSupport, &LinkLabel::clicked, this, &frmAbout::lblSupport_Click);
    connect(lblProducts, &LinkLabel::clicked, this, &frmAbout::lblProducts_Click);
    connect(lblDeveloper, &LinkLabel::clicked, this, &frmAbout::lblDeveloper_Click);
    connect(lblPartnerAddress, &LinkLabel::clicked, this, &frmAbout::lblPartnerAddress_Click);
    connect(cmdOk, &QPushButton::clicked, this, &frmAbout::cmdOk_Click);

    Form_Load();
    connect(cTabControl1, &QTabWidget::tabBarClicked, this, &frmAbout::cTabControl1_TabClick);
}

void frmAbout::Form_Load()
{
    TitleStrip::applyColors(picTitle, lblTitle);

    const QString nameAndVersion = g_sAppName + QLatin1Char(' ') + g_sAppVersion;
    lblAppName->setText(nameAndVersion);
    lblTitle->setText(nameAndVersion);
    lblHomePage->setCaption(nameAndVersion + QStringLiteral(" - Home Page"));
    lblSite->setCaption(g_sAppWebSite);
    lblVersionInside->setText(lblVersionInside->text() + QLatin1Char(' ') + g_sAppFullVersion);
    lblDesc->setText(g_sAppDescription);

    // "About" and three blanks, as the tab has always been captioned.
    const QIcon icon = m_tabImages ? m_tabImages->icon(18) : QIcon();
    const int tab = cTabControl1->addTab(picAbout, icon, QStringLiteral("About   "));
    cTabControl1->tabBar()->setTabData(tab, QStringLiteral("About"));
    picAbout->hide();
    picAbout->show();
}

void frmAbout::cTabControl1_TabClick(int tabIndex)
{
    picAbout->hide();
    if (cTabControl1->tabBar()->tabData(tabIndex).toString() == QLatin1String("About"))
        picAbout->show();
}

void frmAbout::lblHomePage_Click()
{
    openAddress(g_sAppWebRoot);
}

void frmAbout::lblSite_Click()
{
    openAddress(g_sAppWebSite);
}

void frmAbout::lblSupport_Click()
{
    openAddress(g_sAppSupportPage);
}

void frmAbout::lblProducts_Click()
{
    openAddress(g_sAppWebSite + QStringLiteral("/products.html"));
}

void frmAbout::lblDeveloper_Click()
{
    openAddress(developerPage());
}

void frmAbout::lblPartnerAddress_Click()
{
    openAddress(partnerAddress());
}

void frmAbout::cmdOk_Click()
{
    accept();
}
