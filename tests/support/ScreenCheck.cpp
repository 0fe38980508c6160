#include "support/ScreenCheck.h"

#include <QAbstractButton>
#include <QAbstractItemDelegate>
#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionHeader>
#include <QTabBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QWidget>

#include <algorithm>
#include <functional>

namespace {

QString plain(QString text)
{
    // A mnemonic's marker is not drawn; a doubled one draws one '&'.
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

QString textOf(const QWidget *w)
{
    if (const auto *label = qobject_cast<const QLabel *>(w))
        return label->text();
    if (const auto *button = qobject_cast<const QAbstractButton *>(w))
        return button->text();
    return QString();
}

QString nameOf(const QWidget *w)
{
    QString name = w->objectName();
    if (name.isEmpty())
        name = QString::fromLatin1(w->metaObject()->className());
    const QString text = textOf(w);
    if (!text.isEmpty())
        name += QStringLiteral(" \"") + text.left(40) + QLatin1Char('"');
    return name;
}

QString sizes(const QSize &needed, const QSize &has)
{
    return QStringLiteral(" (needs %1x%2, has %3x%4)")
        .arg(needed.width())
        .arg(needed.height())
        .arg(has.width())
        .arg(has.height());
}

bool shownOn(const QWidget *w, const QWidget *window)
{
    return w->window() == window && w->isVisibleTo(window) && w->width() > 0 && w->height() > 0;
}

// The room a text needs beside the room its control gives it, in the
// control's coordinates; an empty "needed" when the control shows no text.
struct TextRoom {
    QRect needed;
    QRect room;
};

TextRoom labelRoom(const QLabel *label)
{
    if (label->text().isEmpty() || !label->pixmap().isNull())
        return {};
    const QRect room = label->contentsRect();
    if (label->wordWrap()) {
        const int height = label->heightForWidth(label->width());
        return {QRect(room.x(), room.y(), room.width(), height - (label->height() - room.height())), room};
    }
    const QSize hint = label->sizeHint() - (label->size() - room.size());
    return {QStyle::alignedRect(label->layoutDirection(), label->alignment(), hint, room), room};
}

TextRoom pushButtonRoom(const QPushButton *button)
{
    const QString text = plain(button->text());
    if (text.isEmpty())
        return {};
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    QSize needed(button->fontMetrics().horizontalAdvance(text), button->fontMetrics().height());
    if (!button->icon().isNull())
        needed.rwidth() += button->iconSize().width() + 4;
    return {QStyle::alignedRect(button->layoutDirection(), Qt::AlignCenter, needed, room), room};
}

TextRoom hintRoom(const QWidget *w)
{
    if (plain(textOf(w)).isEmpty())
        return {};
    return {QRect(QPoint(0, 0), w->sizeHint()), w->rect()};
}

TextRoom textRoom(const QWidget *w)
{
    if (const auto *label = qobject_cast<const QLabel *>(w))
        return labelRoom(label);
    if (const auto *button = qobject_cast<const QPushButton *>(w))
        return pushButtonRoom(button);
    if (qobject_cast<const QCheckBox *>(w) || qobject_cast<const QRadioButton *>(w))
        return hintRoom(w);
    // A toolbar sizes its own buttons; whether they show at all is checked
    // on the toolbar.
    if (const auto *button = qobject_cast<const QToolButton *>(w)) {
        if (qobject_cast<const QToolBar *>(w->parentWidget()) || plain(button->text()).isEmpty())
            return {};
        // The button's frame may pass the bar's height; its text may not.
        const int textHeight = button->fontMetrics().height();
        return {QRect(0, 0, button->sizeHint().width(), textHeight), QRect(0, 0, button->width(), button->height())};
    }
    return {};
}

class Checker {
public:
    Checker(const QWidget *window, const QString &windowName)
        : m_window(window)
        , m_windowName(windowName)
    {
    }

    QStringList run()
    {
        checkTitle();
        for (const QWidget *w : m_window->findChildren<QWidget *>()) {
            if (!shownOn(w, m_window))
                continue;
            checkText(w);
            if (const auto *bar = qobject_cast<const QToolBar *>(w))
                checkToolbar(bar);
            if (const auto *tabs = qobject_cast<const QTabBar *>(w))
                checkTabs(tabs);
            if (const auto *tree = qobject_cast<const QTreeView *>(w))
                checkTree(tree);
            if (const auto *header = qobject_cast<const QHeaderView *>(w))
                checkHeader(header);
            if (const auto *table = qobject_cast<const QTableView *>(w))
                checkCells(table);
        }
        checkOverlaps(m_window);
        return m_faults;
    }

private:
    void fault(const QWidget *w, const QString &what)
    {
        m_faults << m_windowName + QLatin1Char('/') + nameOf(w) + QStringLiteral(": ") + what;
    }

    void checkText(const QWidget *w)
    {
        const TextRoom room = textRoom(w);
        if (room.needed.isEmpty())
            return;
        if (room.needed.width() > room.room.width() || room.needed.height() > room.room.height()) {
            fault(w, QStringLiteral("text cut") + sizes(room.needed.size(), room.room.size()));
            return;
        }
        // The text must also lie inside every control that holds it.
        QRect text = room.needed.intersected(room.room);
        for (const QWidget *at = w; at != m_window && at->parentWidget(); at = at->parentWidget()) {
            text.translate(at->pos());
            const QRect parentRect = at->parentWidget()->rect();
            if (!parentRect.contains(text)) {
                fault(w, QStringLiteral("text runs out of ") + nameOf(at->parentWidget()));
                return;
            }
        }
    }

    void checkToolbar(const QToolBar *bar)
    {
        for (QAction *action : bar->actions()) {
            if (!action->isVisible() || action->isSeparator())
                continue;
            const QWidget *button = bar->widgetForAction(action);
            if (button && button->isVisibleTo(bar))
                continue;
            // A button the bar holds as a widget carries the text itself.
            QString text = plain(action->text());
            if (const auto *tool = button ? qobject_cast<const QToolButton *>(button) : nullptr)
                text = plain(tool->text());
            else if (button && button->findChild<QToolButton *>())
                text = plain(button->findChild<QToolButton *>()->text());
            fault(bar, QStringLiteral("\"") + text.trimmed() + QStringLiteral("\" is in the overflow"));
        }
    }

    // The title bar shows the title beside the window's icon and its
    // buttons, in the desktop's bold title font.
    void checkTitle()
    {
        const QString title = m_window->windowTitle();
        if (title.isEmpty() || m_window->windowFlags().testFlag(Qt::FramelessWindowHint))
            return;
        QFont font = QApplication::font();
        font.setBold(true);
        const QFontMetrics metrics(font);
        // Until the window manager has framed the window, its frame is
        // not known; the window's own width stands for it.
        const QRect frame = m_window->frameGeometry();
        const bool framed = frame.contains(m_window->geometry());
        const int bar = std::max(framed ? m_window->geometry().top() - frame.top() : 0, metrics.height() + 8);
        const int needed = metrics.horizontalAdvance(title) + 4 * bar;
        const int has = framed ? frame.width() : m_window->width();
        if (has < needed)
            m_faults << m_windowName + QStringLiteral(": window title \"") + title + QStringLiteral("\" cut")
                            + sizes(QSize(needed, bar), QSize(has, bar));
    }

    void checkTabs(const QTabBar *tabs)
    {
        // A bar that scrolls hides some of its tabs, and its arrows cover the
        // end of the last one shown.
        for (const QToolButton *arrow : tabs->findChildren<const QToolButton *>(Qt::FindDirectChildrenOnly)) {
            if (arrow->isVisibleTo(tabs)) {
                fault(tabs, QStringLiteral("tabs scroll: the bar is ") + QString::number(tabs->width())
                                + QStringLiteral(" wide"));
                break;
            }
        }
        const QFontMetrics metrics = tabs->fontMetrics();
        const int space = tabs->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, tabs);
        for (int i = 0; i < tabs->count(); ++i) {
            int needed = metrics.horizontalAdvance(plain(tabs->tabText(i))) + space;
            if (!tabs->tabIcon(i).isNull())
                needed += tabs->iconSize().width() + 4;
            const QRect rect = tabs->tabRect(i);
            if (rect.width() < needed)
                fault(tabs, QStringLiteral("tab \"") + tabs->tabText(i) + QStringLiteral("\" cut")
                                + sizes(QSize(needed, rect.height()), rect.size()));
            else if (!tabs->rect().contains(rect))
                fault(tabs, QStringLiteral("tab \"") + tabs->tabText(i) + QStringLiteral("\" runs out of its bar, ")
                                + QString::number(tabs->width()) + QLatin1Char('x')
                                + QString::number(tabs->height()));
        }
    }

    void checkTree(const QTreeView *tree)
    {
        const QAbstractItemModel *model = tree->model();
        if (!model)
            return;
        const QFontMetrics metrics = tree->fontMetrics();
        const int iconWidth = tree->iconSize().isValid() ? tree->iconSize().width() : 16;
        std::function<void(const QModelIndex &)> walk = [&](const QModelIndex &parent) {
            for (int row = 0; row < model->rowCount(parent); ++row) {
                const QModelIndex index = model->index(row, 0, parent);
                const QRect rect = tree->visualRect(index);
                const QString text = index.data(Qt::DisplayRole).toString();
                int needed = metrics.horizontalAdvance(text) + 8;
                if (index.data(Qt::DecorationRole).isValid())
                    needed += iconWidth + 4;
                if (!rect.isEmpty() && rect.width() < needed)
                    fault(tree, QStringLiteral("item \"") + text + QStringLiteral("\" elided")
                                    + sizes(QSize(needed, rect.height()), rect.size()));
                if (tree->isExpanded(index))
                    walk(index);
            }
        };
        walk(tree->rootIndex());
    }

    // Every shown column's caption whole and within the view.
    void checkHeader(const QHeaderView *header)
    {
        const QAbstractItemModel *model = header->model();
        if (!model || header->orientation() != Qt::Horizontal)
            return;
        const int room = header->viewport()->width();
        for (int logical = 0; logical < header->count(); ++logical) {
            if (header->isSectionHidden(logical) || header->sectionSize(logical) == 0)
                continue;
            const QString text = model->headerData(logical, Qt::Horizontal).toString();
            const int left = header->sectionViewportPosition(logical);
            const QRect section(left, 0, header->sectionSize(logical), header->height());
            if (section.right() >= room) {
                fault(header, QStringLiteral("column \"") + text + QStringLiteral("\" out of view, at ")
                                  + QString::number(left) + QStringLiteral(" of ") + QString::number(room));
                continue;
            }
            if (text.isEmpty())
                continue;
            QStyleOptionHeader option;
            option.initFrom(header);
            option.rect = section;
            option.section = logical;
            option.text = text;
            const QRect label = header->style()->subElementRect(QStyle::SE_HeaderLabel, &option, header);
            const int needed = header->fontMetrics().horizontalAdvance(text);
            if (needed > label.width())
                fault(header, QStringLiteral("column \"") + text + QStringLiteral("\" cut")
                                  + sizes(QSize(needed, label.height()), label.size()));
        }
    }

    // The cells on show, each as wide as its text and icon need. Only the
    // widest column of a table whose columns leave no blank space beside
    // them may cut a text: it has all the room there is.
    void checkCells(const QTableView *table)
    {
        const QAbstractItemModel *model = table->model();
        if (!model || model->rowCount() == 0)
            return;
        const QHeaderView *header = table->horizontalHeader();
        const bool filled = header->length() >= table->viewport()->width();
        int widest = -1;
        for (int column = 0; column < model->columnCount(); ++column) {
            if (!table->isColumnHidden(column)
                && (widest < 0 || table->columnWidth(column) > table->columnWidth(widest)))
                widest = column;
        }
        const int first = std::max(0, table->rowAt(0));
        int last = table->rowAt(table->viewport()->height() - 1);
        if (last < 0)
            last = model->rowCount() - 1;
        // The view's delegate knows the width at which it draws a cell's
        // text and picture without cutting them; the grid line takes one
        // pixel of the column.
        const int grid = table->showGrid() ? 1 : 0;
        QStyleOptionViewItem option;
        option.initFrom(table);
        option.widget = table;
        option.font = table->font();
        option.decorationSize = table->iconSize();
        for (int row = first; row <= last; ++row) {
            for (int column = 0; column < model->columnCount(); ++column) {
                if (table->isColumnHidden(column) || (filled && column == widest))
                    continue;
                const QModelIndex index = model->index(row, column);
                const QString text = index.data(Qt::DisplayRole).toString();
                if (text.isEmpty())
                    continue;
                const QSize needed = table->itemDelegateForIndex(index)->sizeHint(option, index);
                const QSize room(table->columnWidth(column) - grid, table->rowHeight(row) - grid);
                if (needed.width() > room.width())
                    fault(table, QStringLiteral("cell \"") + text + QStringLiteral("\" elided")
                                     + (filled ? QString() : QStringLiteral(" beside blank space"))
                                     + sizes(needed, room));
            }
        }
    }

    // Controls of one parent may stand one inside the other (a page on its
    // tab strip, a text on its panel) but must not partly cover each other.
    void checkOverlaps(const QWidget *parent)
    {
        QList<const QWidget *> shown;
        for (const QObject *child : parent->children()) {
            const auto *w = qobject_cast<const QWidget *>(child);
            if (w && shownOn(w, m_window))
                shown << w;
        }
        for (int i = 0; i < shown.size(); ++i) {
            const QRect a = shown[i]->geometry();
            for (int j = i + 1; j < shown.size(); ++j) {
                const QRect b = shown[j]->geometry();
                if (a.intersects(b) && !a.contains(b) && !b.contains(a))
                    fault(shown[i], QStringLiteral("overlaps ") + nameOf(shown[j]));
            }
            checkOverlaps(shown[i]);
        }
    }

    const QWidget *m_window;
    QString m_windowName;
    QStringList m_faults;
};

} // namespace

namespace ScreenCheck {

QStringList faults(const QWidget *window, const QString &windowName)
{
    return Checker(window, windowName).run();
}

} // namespace ScreenCheck
