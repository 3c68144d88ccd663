#include "widgets/AccessibleRole.h"

#include <QAccessibleWidget>
#include <QVariant>
#include <QWidget>

namespace vexa::widgets {

namespace {

constexpr const char* kRoleProperty = "vexaAccessibleRole";

// Qt asks each factory in turn; this one answers only for widgets given a role here.
QAccessibleInterface* roleFactory(const QString&, QObject* object) {
    if (!object || !object->isWidgetType()) return nullptr;
    const QVariant role = object->property(kRoleProperty);
    if (!role.isValid()) return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object),
                                 static_cast<QAccessible::Role>(role.toInt()));
}

} // namespace

void setAccessibleRole(QWidget* widget, QAccessible::Role role) {
    static const bool installed = [] {
        QAccessible::installFactory(roleFactory);
        return true;
    }();
    (void)installed;
    widget->setProperty(kRoleProperty, static_cast<int>(role));
}

} // namespace vexa::widgets
