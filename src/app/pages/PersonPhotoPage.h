#pragma once

#include "common/Picture.h"

#include <QWidget>
#include <memory>

class BulkEnrolDialog;
class DeviceSession;
class QFileDialog;
class LogView;
class UserActions;
enum class FaceCommand;
enum class PersonCommand;

namespace Ui {
class PersonPhotoPage;
}

// Page ts2: persons, their validity periods and time slots, and their face
// photos: the one chosen from a file, and the one fetched from the terminal.
class PersonPhotoPage : public QWidget
{
    Q_OBJECT

public:
    PersonPhotoPage(DeviceSession& session, UserActions& actions, QWidget* parent);
    ~PersonPhotoPage() override;

    LogView* log() const;
    // Ends a bulk enrolment under way, and its dialog, before the session goes.
    void stopBulkEnrol();

private:
    void runPersonCommand(PersonCommand command);
    void choosePhoto();
    void runFaceCommand(FaceCommand command);
    void queryFacePhoto();
    QFileDialog* pictureDialog();
    void openBulkEnrol();

    std::unique_ptr<Ui::PersonPhotoPage> ui;
    DeviceSession& session;
    UserActions& actions;
    // Made at its first opening; it lives, with its table, as long as the window.
    BulkEnrolDialog* bulkEnrolDialog = nullptr;
    QFileDialog* OpenPictureDialog = nullptr;
    // The last file confirmed in OpenPictureDialog, and the photo imgEmp shows.
    QString openPictureFile;
    Picture empPicture;
};
