#include "core/WindowPlace.h"
#include "support/TestEnvironment.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

std::string text(const QRect &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()).toStdString();
}

} // namespace

// A window opens centred on the window that opens it, or on the screen
// without one, and always whole on the screen: its title bar never starts
// above the screen's top, where it could not be taken hold of.
TEST(WindowPlace, CentresOnTheOwnerAndKeepsTheWindowOnTheScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_GE(screen.width(), 640);
    ASSERT_GE(screen.height(), 480);
    const int w = screen.width();
    const int h = screen.height();
    const struct {
        const char *what;
        QRect owner; // from the screen's top left; empty: no owner shown
        QSize window;
    } cases[] = {
        {"smaller than its owner", {100, 100, 400, 300}, {200, 100}},
        {"taller than its owner at the top", {0, 0, 400, 300}, {300, 310}},
        {"wider than its owner at the left", {0, 100, 300, 200}, {400, 100}},
        {"past the right and bottom edges", {w - 200, h - 100, 200, 100}, {300, 200}},
        {"larger than the screen", {100, 100, 200, 200}, {w + 40, h + 40}},
        {"without an owner", {}, {200, 100}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QWidget owner;
        if (!c.owner.isEmpty()) {
            owner.setGeometry(c.owner.translated(screen.topLeft()));
            owner.show();
        }
        QWidget window;
        window.resize(c.window);
        WindowPlace::centreOnOwner(&window, &owner);
        const QRect placed = window.frameGeometry();
        const QRect over = c.owner.isEmpty() ? screen : owner.frameGeometry();
        const std::string seen = text(placed) + " over " + text(over) + " on " + text(screen);

        if (placed.width() > screen.width() || placed.height() > screen.height()) {
            EXPECT_EQ(placed.topLeft(), screen.topLeft()) << seen;
            continue;
        }
        EXPECT_TRUE(screen.contains(placed)) << seen;
        QRect centred(QPoint(0, 0), placed.size());
        centred.moveCenter(over.center());
        if (screen.contains(centred))
            EXPECT_EQ(placed, centred) << seen;
    }
}
