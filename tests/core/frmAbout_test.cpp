#include "core/LinkLabel.h"
#include "core/frmAbout.h"
#include "core/mdlModes.h"
#include "support/ScriptedServices.h"
#include "support/TestEnvironment.h"

#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class AboutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<frmAbout>();
        window->show();
    }
    std::unique_ptr<frmAbout> window;
};

TEST_F(AboutTest, ShowsTheEditionTable)
{
    const QString nameAndVersion = g_sAppName + " " + g_sAppVersion;
    EXPECT_EQ(window->windowTitle(), "About");
    EXPECT_EQ(window->lblTitle->text(), nameAndVersion);
    EXPECT_EQ(window->lblAppName->text(), nameAndVersion);
    EXPECT_EQ(window->lblVersionInside->text(), "Inside version: " + g_sAppFullVersion);
    EXPECT_EQ(window->lblDesc->text(), g_sAppDescription);
    EXPECT_EQ(window->lblHomePage->text(), nameAndVersion + " - Home Page");
    EXPECT_EQ(window->lblSite->text(), g_sAppWebSite);
    EXPECT_EQ(window->lblSite->toolTip(), g_sAppWebSite);
    EXPECT_EQ(window->lblSupport->text(), "Support");
    EXPECT_EQ(window->lblProducts->text(), "More Products...");
    EXPECT_EQ(window->lblDeveloper->text(), "Developer? - Click here for this product ActiveX");
    ASSERT_EQ(window->cTabControl1->count(), 1);
    EXPECT_EQ(window->cTabControl1->tabText(0), "About   ");
    EXPECT_TRUE(window->picAbout->isVisible());
}

TEST_F(AboutTest, EachLinkAsksTheShellForItsAddress)
{
    const struct {
        LinkLabel *link;
        QString address;
    } cases[] = {
        {window->lblHomePage, g_sAppWebRoot},
        {window->lblSite, g_sAppWebSite},
        {window->lblSupport, g_sAppSupportPage},
        {window->lblProducts, g_sAppWebSite + "/products.html"},
        {window->lblDeveloper, frmAbout::developerPage()},
        {window->lblPartnerAddress, frmAbout::partnerAddress()},
    };
    auto &opened = testServices().shell->opened;
    for (const auto &c : cases) {
        opened.clear();
        QTest::mouseClick(c.link, Qt::LeftButton);
        EXPECT_EQ(opened, QStringList{c.address}) << qPrintable(c.link->text());
    }
    QTest::mouseClick(window->lblSite, Qt::RightButton);
    EXPECT_EQ(opened, QStringList{frmAbout::partnerAddress()}) << "only a left click follows a link";
}

TEST_F(AboutTest, ALinkThatCannotOpenSaysNothingAndOkCloses)
{
    testServices().shell->result = false;
    QTest::mouseClick(window->lblSupport, Qt::LeftButton);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(testServices().prompter->messages.isEmpty());

    window->cmdOk->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Accepted);
}

} // namespace
