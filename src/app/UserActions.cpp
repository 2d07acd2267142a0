#include "app/UserActions.h"

#include "app/DeviceSession.h"

#include <exception>

UserActions::UserActions(DeviceSession& session, ErrorPresenter showError)
    : session(session), showError(std::move(showError))
{
}

void UserActions::run(const std::function<void()>& handler)
{
    // The error box comes after the handler's lines.
    try {
        handler();
    } catch (const std::exception& error) {
        showError(QString::fromUtf8(error.what()));
    }
}

void UserActions::onClick(QAbstractButton* button, std::function<void()> handler)
{
    QObject::connect(button, &QAbstractButton::clicked, button, [this, button, handler = std::move(handler)] {
        session.setControl(button->objectName());
        run(handler);
    });
}
