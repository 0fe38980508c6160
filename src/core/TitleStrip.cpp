#include "core/TitleStrip.h"

#include "controls/ui/OleColor.h"

#include <QLabel>
#include <QPalette>
#include <QProgressBar>
#include <QWidget>

qint32 g_lTitleBackColor = 0;
qint32 g_lTitleTextColor = 0;

namespace TitleStrip {

void applyColors(QWidget *picTitle, QLabel *lblTitle)
{
    if (picTitle) {
        QPalette palette = picTitle->palette();
        palette.setColor(QPalette::Window, OleColor::toQColor(quint32(g_lTitleBackColor), palette));
        picTitle->setPalette(palette);
        picTitle->setAutoFillBackground(true);
    }
    if (lblTitle) {
        QPalette palette = lblTitle->palette();
        palette.setColor(QPalette::WindowText, OleColor::toQColor(quint32(g_lTitleTextColor), palette));
        lblTitle->setPalette(palette);
    }
}

void applyBarColor(QProgressBar *bar)
{
    if (!bar)
        return;
    QPalette palette = bar->palette();
    palette.setColor(QPalette::Highlight, OleColor::toQColor(quint32(g_lTitleBackColor), palette));
    bar->setPalette(palette);
}

} // namespace TitleStrip
