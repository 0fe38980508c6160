#include "controls/ui/cProgressBar.h"

#include <QProgressBar>

cProgressBar::cProgressBar(QWidget *parent)
    : XP_ProgressBar(parent)
{
}

void cProgressBar::setText(const QString &text)
{
    m_text = text;
    // Only "%p", "%v" and "%m" would be replaced; a lone "%" shows as is.
    bar()->setFormat(text);
    bar()->setTextVisible(!text.isEmpty());
}

void cProgressBar::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    QPalette p = bar()->palette();
    p.setBrush(QPalette::Base, picture.isNull() ? QBrush(palette().color(QPalette::Base)) : QBrush(picture));
    bar()->setPalette(p);
}
