#include "app/TrafficContextNames.h"

#include <QAbstractButton>
#include <QWidget>

TrafficContextNames::TrafficContextNames(const QWidget& window)
{
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (!button->objectName().isEmpty() && !button->text().isEmpty())
            captions.insert(button->objectName(), button->text());
    }
}

QString TrafficContextNames::shown(TrafficRecord::Role role, const QString& context) const
{
    if (role == TrafficRecord::Role::ServerRequest)
        return context.isEmpty() ? QString::fromUtf8("未匹配") : context;
    const QString caption = captions.value(context);
    return caption.isEmpty() ? context : caption + QStringLiteral(" (") + context + QLatin1Char(')');
}
