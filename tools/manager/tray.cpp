#include "tray.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QWidget>

namespace {

void te_show_window(QWidget* window) {
    window->showNormal();
    window->raise();
    window->activateWindow();
}

}  // namespace

QIcon te_manager_icon() {
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x2b, 0x59, 0xc3));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(30);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("te"));
    return QIcon(pixmap);
}

QSystemTrayIcon* te_make_tray(QWidget* window, const QList<QAction*>& actions, QAction* quit) {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return nullptr;
    auto* tray = new QSystemTrayIcon(te_manager_icon(), window);
    auto* menu = new QMenu(window);
    menu->addActions(actions);
    menu->addAction(QObject::tr("Open"), window, [window] { te_show_window(window); });
    menu->addSeparator();
    menu->addAction(quit);
    tray->setContextMenu(menu);
    tray->setToolTip(QStringLiteral("velmora-manager"));
    QObject::connect(tray, &QSystemTrayIcon::activated, window, [window](QSystemTrayIcon::ActivationReason why) {
        if (why == QSystemTrayIcon::Trigger) te_show_window(window);
    });
    tray->show();
    return tray;
}
