#include "tools/convert/frmConverter.h"

#include "core/forms.h"
#include "core/mdlFunctions.h"

#include <QPointer>

namespace {

ToolWindowLook converterLook()
{
    ToolWindowLook look;
    look.caption = QStringLiteral("Audio Converter");
    look.iconName = QStringLiteral("replace2");
    look.firstTabCaption = QStringLiteral("Converter        ");
    look.firstTabIcon = 7;
    look.convertCaption = QStringLiteral("Convert");
    look.playSoundCaption = QStringLiteral("Play a sound");
    look.noticeAppCaption = QStringLiteral("Execute external program ");
    look.hasOverWrite = true;
    look.jobItemLogText = QStringLiteral("Start to convert: ");
    return look;
}

QPointer<frmConverter> g_frmConverter;

} // namespace

frmConverter::frmConverter(QWidget *parent)
    : AudioConverterWindow(converterLook(), parent)
{
}

frmConverter::~frmConverter() = default;

QString frmConverter::replaceRowPlaceholders(const QString &text) const
{
    QString result = text;
    result.replace(QStringLiteral("[SOURCE_NAME]"),
                   mdlFunctions::GetFileName(cellText(m_lCurrentRow, ItemsListRow::File)));
    result.replace(QStringLiteral("[ITEM_NAME]"), cellText(m_lCurrentRow, ItemsListRow::ItemName));
    result.replace(QStringLiteral("[RANGE]"), cellText(m_lCurrentRow, ItemsListRow::Range));
    return result;
}

namespace Forms {

frmConverter *converter()
{
    return g_frmConverter;
}

frmConverter &loadConverter(QWidget *owner)
{
    return load(g_frmConverter, owner);
}

} // namespace Forms
