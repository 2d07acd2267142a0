#pragma once

#include "app/dialogs/SiteSources.h"

#include <QDialog>

class CallbackActivity;
class DeviceSession;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;
class QTimer;
class SiteRunner;
class SiteTableModel;
class UserActions;

// "站点终端": the terminals of a site in one list, kept in site.json; their
// serial numbers read a few at a time; their callbacks to the tool's server
// counted live; and the chosen settings of the single buttons applied to the
// selected ones, each with its own address and password. Not modal, so that
// the window and its callback server go on working meanwhile.
class SiteDialog : public QDialog
{
    Q_OBJECT

public:
    SiteDialog(DeviceSession& session, UserActions& actions, SiteSources sources,
               const CallbackActivity& activity, QWidget* window);
    ~SiteDialog() override;

private:
    void addTerminal();
    void removeTerminals();
    void importCsv();
    void exportCsv();
    void checkAll();
    void apply();
    void cancel();
    void exportResults();
    void selectionChanged();
    void showActivity();

    void load();
    void save();
    QString sitePath() const;
    QString fileName(const QString& objectName, const QString& suggested, bool saving);
    std::vector<int> selectedRows() const;
    // Runs job for each listed row at those positions.
    template <typename Job> void runOn(const std::vector<int>& rows, Job job);
    void setRunning(bool running);

    DeviceSession& session;
    const SiteSources sources;
    const CallbackActivity& activity;
    SiteTableModel* model;
    SiteRunner* runner;
    QTimer* activityTimer;

    QLineEdit* edtSiteName;
    QLineEdit* edtSiteIP;
    QLineEdit* edtSitePassword;
    QTableView* tblSite;
    QSpinBox* spnSiteParallel;
    QCheckBox* chkSiteTime;
    QCheckBox* chkSiteConfig;
    QCheckBox* chkSiteCallbacks;
    QCheckBox* chkSiteService;
    QCheckBox* chkSiteTemperature;
    QPushButton* btnSiteAdd;
    QPushButton* btnSiteRemove;
    QPushButton* btnSiteImport;
    QPushButton* btnSiteExport;
    QPushButton* btnSiteCheck;
    QPushButton* btnSiteApply;
    QPushButton* btnSiteCancel;
    QPushButton* btnSiteExportResults;
};
