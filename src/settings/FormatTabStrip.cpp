#include "settings/FormatTabStrip.h"

#include "platform/AppPaths.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTabBar>

namespace {
// The gap between the frame drawn around the client area and the pages.
constexpr int kClientMargin = 4;
}

FormatTabStrip::FormatTabStrip(QWidget *parent)
    : QWidget(parent)
    , m_bar(new QTabBar(this))
{
    m_bar->setDrawBase(false);
    m_bar->setExpanding(false);
    connect(m_bar, &QTabBar::currentChanged, this, [this](int index) {
        if (!m_selectingInCode && index >= 0)
            Q_EMIT TabClick(index + 1);
    });
}

qint32 FormatTabStrip::AddTab(const QString &caption, qint32 /*icon*/, qint32 index, const QString &key)
{
    const int at = (index < 0 || index > m_bar->count()) ? m_bar->count() : index;
    m_selectingInCode = true;
    m_bar->insertTab(at, caption);
    m_selectingInCode = false;
    m_keys.insert(at, key);
    m_bar->adjustSize();
    return at + 1;
}

qint32 FormatTabStrip::TabCount() const
{
    return m_bar->count();
}

qint32 FormatTabStrip::SelectedTab() const
{
    return m_bar->currentIndex() + 1;
}

void FormatTabStrip::setSelectedTab(qint32 position)
{
    if (position < 1 || position > m_bar->count())
        return;
    m_selectingInCode = true;
    m_bar->setCurrentIndex(position - 1);
    m_selectingInCode = false;
}

QString FormatTabStrip::TabKey(qint32 position) const
{
    return (position >= 1 && position <= m_keys.size()) ? m_keys.at(position - 1) : QString();
}

qint32 FormatTabStrip::TabIndex(const QString &key) const
{
    for (int i = 0; i < m_keys.size(); ++i) {
        if (m_keys.at(i).compare(key, Qt::CaseInsensitive) == 0)
            return i + 1;
    }
    return 0;
}

void FormatTabStrip::SelectTab(const QString &key)
{
    setSelectedTab(TabIndex(key));
}

QRect FormatTabStrip::clientRect() const
{
    const int top = m_bar->sizeHint().height();
    return QRect(0, top, width(), height() - top).adjusted(kClientMargin, kClientMargin, -kClientMargin, -kClientMargin);
}

qint32 FormatTabStrip::ClientLeft() const
{
    return Twips::fromPixels(x() + clientRect().x());
}

qint32 FormatTabStrip::ClientTop() const
{
    return Twips::fromPixels(y() + clientRect().y());
}

qint32 FormatTabStrip::ClientWidth() const
{
    return Twips::fromPixels(clientRect().width());
}

qint32 FormatTabStrip::ClientHeight() const
{
    return Twips::fromPixels(clientRect().height());
}

void FormatTabStrip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.rect = QRect(0, m_bar->sizeHint().height() - 1, width(), height() - m_bar->sizeHint().height() + 1);
    frame.frameShape = QFrame::StyledPanel;
    frame.lineWidth = 1;
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
}
