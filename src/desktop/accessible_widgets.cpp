// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/accessible_widgets.h"

#include "desktop/main_window.h"
#include "desktop/sim_area.h"

#include <QAccessibleWidget>

namespace kug {

namespace {

QString aboutAction() {
    return QStringLiteral("O programu");
}

// The drawing area: its name and description are the widget's own; it adds
// the About action to what every focusable widget offers.
class BoardAccessible final : public QAccessibleWidget {
public:
    explicit BoardAccessible(SimArea* area) : QAccessibleWidget(area, QAccessible::Canvas) {}

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (widget()->isEnabled())
            names << aboutAction();
        return names;
    }

    void doAction(const QString& name) override {
        if (name == aboutAction())
            static_cast<SimArea*>(widget())->requestAbout();
        else
            QAccessibleWidget::doAction(name);
    }

    QString localizedActionName(const QString& name) const override {
        return name == aboutAction() ? name : QAccessibleWidget::localizedActionName(name);
    }

    QString localizedActionDescription(const QString& name) const override {
        if (name == aboutAction())
            return QStringLiteral("Otvara podatke o programu, kao dvostruki klik na ploču.");
        return QAccessibleWidget::localizedActionDescription(name);
    }
};

QAccessibleInterface* kuglovicaWidgets(const QString& className, QObject* object) {
    if (className == QLatin1String(SimArea::staticMetaObject.className()))
        return new BoardAccessible(static_cast<SimArea*>(object));
    if (className == QLatin1String(MainWindow::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

void installAccessibleWidgets() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(kuglovicaWidgets);
}

} // namespace kug
