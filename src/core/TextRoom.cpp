#include "core/TextRoom.h"

#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolBar>
#include <QToolButton>

namespace {

QString drawnText(QString text)
{
    // A mnemonic's marker is not drawn; a doubled one draws one '&'.
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

// How much wider and taller the control must be; an empty size when it
// shows no text or its text fits.
QSize shortOf(const QWidget *control)
{
    if (const auto *label = qobject_cast<const QLabel *>(control)) {
        if (label->text().isEmpty() || !label->pixmap().isNull())
            return {};
        if (label->wordWrap())
            return {0, label->heightForWidth(label->width()) - label->height()};
        return label->sizeHint() - label->size();
    }
    if (const auto *button = qobject_cast<const QPushButton *>(control)) {
        // A push button's own size hint has a floor that has nothing to do
        // with its text; only the text's room counts.
        const QString text = drawnText(button->text());
        if (text.isEmpty())
            return {};
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        QSize needed(button->fontMetrics().horizontalAdvance(text), button->fontMetrics().height());
        if (!button->icon().isNull())
            needed.rwidth() += button->iconSize().width() + 4;
        return needed - room.size();
    }
    if (qobject_cast<const QCheckBox *>(control) || qobject_cast<const QRadioButton *>(control)
        || (qobject_cast<const QToolButton *>(control) && !qobject_cast<const QToolBar *>(control->parentWidget()))) {
        if (drawnText(static_cast<const QAbstractButton *>(control)->text()).isEmpty())
            return {};
        return control->sizeHint() - control->size();
    }
    return {};
}

Qt::Alignment alignmentOf(const QWidget *control)
{
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return QStyle::visualAlignment(label->layoutDirection(), label->alignment());
    if (qobject_cast<const QPushButton *>(control))
        return Qt::AlignCenter;
    return Qt::AlignLeft | Qt::AlignVCenter;
}

// Grows the span [start, start + length) by extra, away from the aligned side.
void grow(int &start, int &length, int extra, bool towardsStart, bool bothWays)
{
    if (bothWays)
        start -= extra / 2;
    else if (towardsStart)
        start -= extra;
    length += extra;
}

bool placedByLayout(const QWidget *control)
{
    const QWidget *parent = control->parentWidget();
    return parent && parent->layout() && parent->layout()->indexOf(control) >= 0;
}

} // namespace

namespace TextRoom {

void fit(QWidget *control)
{
    const QSize shortBy = shortOf(control);
    if (shortBy.width() <= 0 && shortBy.height() <= 0)
        return;
    const Qt::Alignment align = alignmentOf(control);
    QRect place = control->geometry();
    int x = place.x(), y = place.y(), width = place.width(), height = place.height();
    if (shortBy.width() > 0)
        grow(x, width, shortBy.width(), align & Qt::AlignRight, align & Qt::AlignHCenter);
    if (shortBy.height() > 0)
        grow(y, height, shortBy.height(), align & Qt::AlignBottom, align & Qt::AlignVCenter);
    // A size the code fixed was the design's; the text outranks it.
    control->setMaximumSize(control->maximumSize().expandedTo(QSize(width, height)));
    control->setGeometry(x, y, width, height);
}

void fitAll(QWidget *window)
{
    for (QWidget *control : window->findChildren<QWidget *>()) {
        if (control->window() == window && !placedByLayout(control))
            fit(control);
    }
}

} // namespace TextRoom
