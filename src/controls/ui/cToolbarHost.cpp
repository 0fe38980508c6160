#include "controls/ui/cToolbarHost.h"

#include "controls/ui/OleColor.h"
#include "controls/ui/cToolbar.h"

#include <QPainter>
#include <QVBoxLayout>

cToolbarHost::cToolbarHost(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    setBackColor(m_backColor);
}

void cToolbarHost::AddToolbar(cToolbar *toolbar)
{
    if (!toolbar || m_toolbar == toolbar)
        return;
    m_toolbar = toolbar;
    toolbar->setParent(this);
    layout()->addWidget(toolbar);
    toolbar->show();
}

void cToolbarHost::setBackColor(quint32 colour)
{
    m_backColor = colour;
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, OleColor::toQColor(colour, pal));
    setPalette(pal);
    update();
}

void cToolbarHost::setBackgroundPictureFile(const QString &path)
{
    m_pictureFile = path;
    m_picture = QPixmap(path);
    update();
}

void cToolbarHost::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.drawTiledPixmap(rect(), m_picture);
}
