#include "core/MainWindowCloser.h"

#include <QApplication>
#include <QMainWindow>

namespace MainWindowCloser {
namespace {
std::function<void()> &installedCloser()
{
    static std::function<void()> closer;
    return closer;
}
} // namespace

void setCloser(std::function<void()> closer)
{
    installedCloser() = std::move(closer);
}

void closeMainWindow()
{
    if (installedCloser()) {
        installedCloser()();
        return;
    }
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows) {
        if (auto *main = qobject_cast<QMainWindow *>(w); main && main->isVisible()) {
            main->close();
            return;
        }
    }
}

} // namespace MainWindowCloser
