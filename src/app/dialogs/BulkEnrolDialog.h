#pragma once

#include "device/EnrolRow.h"

#include <QDialog>
#include <initializer_list>
#include <vector>

class DeviceSession;
class EnrolRunner;
class EnrolTableModel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class LogView;
class QProgressBar;
class QPushButton;
class QTableView;
class UserActions;

// "批量导入人员": a spreadsheet of persons and a folder of their photos, every
// row checked, then imported off the window thread, with its outcome in the
// table and a line in the page's log. Not modal, so that the window and its
// callback server go on working meanwhile.
class BulkEnrolDialog : public QDialog
{
    Q_OBJECT

public:
    BulkEnrolDialog(DeviceSession& session, UserActions& actions, LogView* log, QWidget* window);
    ~BulkEnrolDialog() override;

private:
    void chooseCsv();
    void choosePhotos();
    void writeTemplate();
    void check();
    void start();
    void retry();
    void cancel();
    void exportTable();

    // Imports the rows in those states, in file order.
    void run(std::initializer_list<EnrolState> states);
    void rowDone(std::size_t index, const EnrolRow& row);
    void runEnded();
    void checkEnded(const std::vector<EnrolRow>& rows, const QString& error);
    void showSummary();
    void setRunning(bool running);

    DeviceSession& session;
    UserActions& actions;
    LogView* log;
    EnrolTableModel* model;
    EnrolRunner* runner;
    // Where the rows of the run under way sit in the table.
    std::vector<std::size_t> runRows;
    int rowsDone = 0;

    QLineEdit* edtBulkCsv;
    QLineEdit* edtBulkPhotos;
    QComboBox* cbBulkMode;
    QCheckBox* chkBulkEasyWay;
    QTableView* tblBulk;
    QProgressBar* pbBulk;
    QLabel* lblBulkSummary;
    QPushButton* btnBulkCsv;
    QPushButton* btnBulkPhotos;
    QPushButton* btnBulkTemplate;
    QPushButton* btnBulkCheck;
    QPushButton* btnBulkStart;
    QPushButton* btnBulkCancel;
    QPushButton* btnBulkRetry;
    QPushButton* btnBulkExport;
};
