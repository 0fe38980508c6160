#include "settings/frmAudioPropControls.h"

#include <QComboBox>

namespace AudioPropControls {

QComboBox *dropDownList(QWidget *parent, const QStringList &items)
{
    auto *combo = new QComboBox(parent);
    combo->setEditable(false);
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    return combo;
}

// Adds an item without moving the selection: an empty list would otherwise
// select its first item by itself and run the list's click rule.
void appendItem(QComboBox *combo, const QString &text, bool sorted)
{
    const int selected = combo->currentIndex();
    const QSignalBlocker block(combo);
    int at = combo->count();
    if (sorted) {
        at = 0;
        while (at < combo->count() && QString::compare(combo->itemText(at), text, Qt::CaseInsensitive) <= 0)
            ++at;
    }
    combo->insertItem(at, text);
    combo->setCurrentIndex(selected < 0 ? -1 : (at <= selected ? selected + 1 : selected));
}

void clearList(QComboBox *combo)
{
    const QSignalBlocker block(combo);
    combo->clear();
}

void selectText(QComboBox *combo, const QString &text)
{
    const int at = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (at >= 0)
        combo->setCurrentIndex(at);
}

} // namespace AudioPropControls
