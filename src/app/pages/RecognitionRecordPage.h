#pragma once

#include "device/FtpFetch.h"

#include <QWidget>
#include <memory>

class DeviceSession;
class LogView;
class UserActions;
enum class RecordRange;

namespace Ui {
class RecognitionRecordPage;
}

// Page ts4: recognition records queried page by page with their photos copied
// into "pic", their deletion, and the terminal's FTP account, whose login
// every photo fetch uses.
class RecognitionRecordPage : public QWidget
{
    Q_OBJECT

public:
    RecognitionRecordPage(DeviceSession& session, UserActions& actions, QWidget* parent);
    ~RecognitionRecordPage() override;

    LogView* log() const;
    FtpLogin ftpLogin() const;

private:
    void queryRecords();
    void deleteRecords(RecordRange range);
    void setFtpAccount();

    std::unique_ptr<Ui::RecognitionRecordPage> ui;
    DeviceSession& session;
};
