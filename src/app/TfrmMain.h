#pragma once

#include "common/TrafficLog.h"

#include <QWidget>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class LogView;
class QShortcut;
class QSplitter;
class QTabWidget;
class TrafficPanel;

// The main window's frame: the pages in their tabs, the traffic panel beside
// them, the shortcuts, the general error box, and the order of start-up and
// close. Each page is a class of its own that owns its form and handlers; the
// pages share one device session.
class TfrmMain : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Where the general error box sends its text. Tests replace it so that no
    // modal box blocks them; by default it is a modal message box.
    using ErrorPresenter = std::function<void(const QString&)>;
    void setErrorPresenter(ErrorPresenter presenter);

    // Runs one user action; an error it does not catch ends it and is shown in
    // the general error box, while whatever it did before stays done.
    void runHandler(const std::function<void()>& handler);

    // The folder of the program file: settings file, fetched and uploaded photos.
    // Tests point it at a folder of their own before the window is shown.
    QString programFolder() const;
    void setProgramFolder(const QString& folder);

    // Adds one whole line at the end of a log pane, nothing added to it, except
    // that a line too long to lay out is shown cut (LongLineCut).
    static void appendLine(LogView* pane, const QString& line);

    // Every exchange of both roles, for the traffic panel.
    TrafficLog& trafficLog();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The device session, the action boundary, the pages and the callback
    // server, kept out of this header so that no page's header is in it.
    struct Parts;

    void buildPages();
    void setupShortcuts();
    void setupTrafficPanel();
    void toggleTrafficPanel();
    void showPages();
    // Every page's log pane, in the order the show sequence empties them.
    QList<LogView*> logPanes() const;
    void showGeneralError(const QString& text);

    std::unique_ptr<Parts> parts;

    QTabWidget* pgc1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* N1 = nullptr;
    QShortcut* n1Shortcut = nullptr;
    TrafficPanel* trafficPanel = nullptr;
    QSplitter* trafficSplitter = nullptr;
    QShortcut* trafficShortcut = nullptr;
    // The window's geometry before the panel opened, given back when it closes.
    QRect geometryWithoutPanel;

    ErrorPresenter errorPresenter;
    bool shownOnce = false;
};
