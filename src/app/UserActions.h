#pragma once

#include <QAbstractButton>
#include <QObject>
#include <functional>
#include <initializer_list>
#include <utility>

class DeviceSession;

// Each user action runs inside one error boundary: its log lines go into the
// panes together when it ends, and an error it does not catch ends it and is
// shown in the general error box, while whatever it did before stays done.
class UserActions
{
public:
    using ErrorPresenter = std::function<void(const QString&)>;

    UserActions(DeviceSession& session, ErrorPresenter showError);

    void run(const std::function<void()>& handler);

    // Runs handler as the button's action whenever it is clicked.
    void onClick(QAbstractButton* button, std::function<void()> handler);

    // The one place that maps a page's buttons to its handlers.
    template <typename Page> using Binding = std::pair<QAbstractButton*, void (Page::*)()>;
    template <typename Page> void bind(Page* page, std::initializer_list<Binding<Page>> bindings)
    {
        for (const auto& [button, handler] : bindings)
            onClick(button, [page, handler = handler] { (page->*handler)(); });
    }
    // Alike buttons that differ by one value, bound to one handler.
    template <typename Page, typename Value>
    void bind(Page* page, void (Page::*handler)(Value),
              std::initializer_list<std::pair<QAbstractButton*, Value>> bindings)
    {
        for (const auto& [button, value] : bindings)
            onClick(button, [page, handler, value = value] { (page->*handler)(value); });
    }

private:
    DeviceSession& session;
    ErrorPresenter showError;
};
