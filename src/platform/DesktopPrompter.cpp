#include "platform/DesktopPrompter.h"
#include "platform/FolderBrowser.h"
#include "platform/ScreenPlace.h"
#include "platform/Services.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

namespace {

QString g_applicationTitle;

struct ButtonSpec {
    QMessageBox::StandardButton button;
    int answer;
};

QList<ButtonSpec> buttonsFor(int buttons)
{
    switch (buttons) {
    case Msg::OkCancel:
        return {{QMessageBox::Ok, Msg::Ok}, {QMessageBox::Cancel, Msg::Cancel}};
    case Msg::AbortRetryIgnore:
        return {{QMessageBox::Abort, Msg::Abort}, {QMessageBox::Retry, Msg::Retry}, {QMessageBox::Ignore, Msg::Ignore}};
    case Msg::YesNoCancel:
        return {{QMessageBox::Yes, Msg::Yes}, {QMessageBox::No, Msg::No}, {QMessageBox::Cancel, Msg::Cancel}};
    case Msg::YesNo:
        return {{QMessageBox::Yes, Msg::Yes}, {QMessageBox::No, Msg::No}};
    case Msg::RetryCancel:
        return {{QMessageBox::Retry, Msg::Retry}, {QMessageBox::Cancel, Msg::Cancel}};
    default:
        return {{QMessageBox::Ok, Msg::Ok}};
    }
}

QMessageBox::Icon iconFor(int icon)
{
    switch (icon) {
    case Msg::Critical: return QMessageBox::Critical;
    case Msg::Question: return QMessageBox::Question;
    case Msg::Exclamation: return QMessageBox::Warning;
    case Msg::Information: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

// The window a dialog belongs to: its owner's, else the active one.
QWidget *dialogParent(QWidget *owner)
{
    return owner ? owner->window() : QApplication::activeWindow();
}

// Moves a dialog once, when it first shows with the size the toolkit gave
// it: centred on its owner or on the owner's screen, and whole on that
// screen.
class PlaceOnShow : public QObject {
public:
    PlaceOnShow(QWidget *dialog, QWidget *owner, bool overOwner)
        : QObject(dialog)
        , m_owner(owner)
        , m_overOwner(overOwner)
    {
        dialog->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            watched->removeEventFilter(this);
            place(static_cast<QWidget *>(watched));
        }
        return false;
    }

private:
    void place(QWidget *dialog) const
    {
        const QScreen *screen = m_owner ? m_owner->screen() : dialog->screen();
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (!screen)
            return;
        const QRect area = screen->availableGeometry();
        const QRect over = m_overOwner && m_owner && m_owner->isVisible() ? m_owner->frameGeometry() : area;
        dialog->move(ScreenPlace::centredWithin(dialog->frameGeometry().size(), over, area));
    }

    QPointer<QWidget> m_owner;
    bool m_overOwner;
};

} // namespace

QString applicationTitle()
{
    return g_applicationTitle;
}

void setApplicationTitle(const QString &title)
{
    // Kept to ourselves, not made the display name: the desktop would append
    // a display name to every window title.
    g_applicationTitle = title;
}

int MsgBox(const QString &text, int style, const QString &title)
{
    MessageRequest request;
    request.text = text;
    request.style = style;
    request.title = title.isEmpty() ? applicationTitle() : title;
    return Services::instance().prompter().message(request);
}

QStringList qtFilters(const QString &filter)
{
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        result << parts.at(i) + QStringLiteral(" (") + patterns.trimmed() + QLatin1Char(')');
    }
    return result;
}

int DesktopPrompter::message(const MessageRequest &request)
{
    QMessageBox box(iconFor(request.icon()), request.title, request.text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    const QList<ButtonSpec> specs = buttonsFor(request.buttons());
    for (const ButtonSpec &spec : specs)
        box.addButton(spec.button);
    const int defaultIndex = request.defaultButton() / 256;
    if (defaultIndex < specs.size())
        box.setDefaultButton(specs.at(defaultIndex).button);
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const ButtonSpec &spec : specs) {
        if (spec.button == clicked)
            return spec.answer;
    }
    // Closed with Escape or the close box: the box's cancel-like answer.
    return specs.size() == 1 ? specs.first().answer : specs.last().answer;
}

std::optional<QString> DesktopPrompter::input(const QString &prompt, const QString &title, const QString &preset)
{
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), title, prompt, QLineEdit::Normal, preset, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QStringList DesktopPrompter::openFiles(const FileDialogRequest &request)
{
    QWidget *parent = dialogParent(request.owner);
    QFileDialog dialog(parent, request.title, request.initialFolder);
    new PlaceOnShow(&dialog, parent, request.centreOnOwner);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    const QStringList filters = qtFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.value(qMax(0, request.filterIndex - 1)));
    }
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QString DesktopPrompter::saveFile(const FileDialogRequest &request)
{
    QWidget *parent = dialogParent(request.owner);
    QFileDialog dialog(parent, request.title, request.initialFolder);
    new PlaceOnShow(&dialog, parent, request.centreOnOwner);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Replacing a file the user already has must always be confirmed.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    const QStringList filters = qtFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.value(qMax(0, request.filterIndex - 1)));
    }
    if (!request.defaultExtension.isEmpty())
        dialog.setDefaultSuffix(request.defaultExtension);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

std::optional<ColorAnswer> DesktopPrompter::chooseColor(const ColorRequest &request)
{
    for (int i = 0; i < request.customColors.size() && i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, request.customColors.at(i));
    QWidget *parent = dialogParent(request.owner);
    QColorDialog dialog(request.initial, parent);
    dialog.setWindowTitle(request.title);
    new PlaceOnShow(&dialog, parent, request.centreOnOwner);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QColor color = dialog.selectedColor();
    if (!color.isValid())
        return std::nullopt;
    ColorAnswer answer;
    answer.color = color;
    for (int i = 0; i < QColorDialog::customCount(); ++i)
        answer.customColors << QColorDialog::customColor(i);
    return answer;
}

QString DesktopPrompter::browseFolder(const QString &title, const QString &startFolder, bool statusText)
{
    // Our own browser rather than the desktop's folder dialog, which has no
    // room for a status line.
    FolderBrowser browser(title, startFolder, statusText, QApplication::activeWindow());
    if (browser.exec() != QDialog::Accepted)
        return {};
    return browser.selectedFolder();
}
