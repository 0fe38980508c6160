#include "lists/NameKeyFilter.h"

#include "core/mdlFunctions.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

bool dropIllegalNameKey(QLineEdit *box, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const QString typed = static_cast<QKeyEvent *>(event)->text();
    if (typed.size() != 1)
        return false;
    qint16 key = static_cast<qint16>(typed.at(0).unicode());
    mdlFunctions::CheckNameKeyPress(box, key);
    return key == 0;
}
