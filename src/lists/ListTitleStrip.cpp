#include "lists/ListTitleStrip.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QWidget>

QLabel *buildListTitleStrip(QWidget *&picTitle, const QString &text, QWidget *parent)
{
    picTitle = new QWidget(parent);
    auto *label = new QLabel(text, picTitle);
    QFont titleFont = label->font();
    titleFont.setBold(true);
    label->setFont(titleFont);
    auto *titleLayout = new QHBoxLayout(picTitle);
    titleLayout->addWidget(label);
    return label;
}
