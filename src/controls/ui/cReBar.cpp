#include "controls/ui/cReBar.h"

#include <QVBoxLayout>

cReBar::cReBar(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
}

void cReBar::CreateRebar(QWidget *container)
{
    if (!container)
        return;
    setParent(container);
    auto *layout = container->layout();
    if (!layout) {
        layout = new QVBoxLayout(container);
        layout->setContentsMargins(0, 0, 0, 0);
    }
    layout->addWidget(this);
    show();
}

int cReBar::AddBand(QWidget *window, const QString &text, bool, bool, const QString &key)
{
    Q_UNUSED(text);
    if (!window)
        return 0;
    if (!key.isEmpty() && BandChild(key))
        return 0;
    window->setParent(this);
    layout()->addWidget(window);
    window->show();
    m_bands.push_back({key, window});
    return BandCount();
}

void cReBar::UpdateBand(int)
{
    updateGeometry();
}

QString cReBar::BandKey(int index) const
{
    return index >= 1 && index <= BandCount() ? m_bands[static_cast<size_t>(index - 1)].key : QString();
}

QWidget *cReBar::BandChild(const QString &key) const
{
    for (const Band &b : m_bands) {
        if (b.key == key)
            return b.window;
    }
    return nullptr;
}
