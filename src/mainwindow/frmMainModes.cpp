// On-top and translucent modes of the main window, with their check marks
// on the menu and the top toolbar kept in step.
#include "mainwindow/frmMain.h"

#include "controls/ui/cContextMenu.h"
#include "controls/ui/cToolbar.h"
#include "core/mdlOnTop.h"
#include "core/mdlTransparent.h"

void frmMain::SetOnTop(bool bVal)
{
    mdlOnTop::SetFormOnTop(this, bVal);
    tlbrTop->setButtonChecked(QStringLiteral("On Top"), bVal);
    m_cMenu->setItemChecked(m_cMenu->IndexForKey(QStringLiteral("On Top")), bVal);
}

void frmMain::SetTransparent(bool bVal)
{
    if (bVal)
        mdlTransparent::SetTranslucency(this, 90);
    else
        mdlTransparent::ClearTranslucency(this);
    tlbrTop->setButtonChecked(QStringLiteral("Transparent"), bVal);
    m_cMenu->setItemChecked(m_cMenu->IndexForKey(QStringLiteral("Transparent")), bVal);
}
