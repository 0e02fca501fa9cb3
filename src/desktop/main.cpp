// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/main_window.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Wayland compositors find the program's icon and name through its desktop
    // entry, named by the application id.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.kuglovica.Kuglovica"));
    kug::MainWindow window;
    window.show();
    return QApplication::exec();
}
