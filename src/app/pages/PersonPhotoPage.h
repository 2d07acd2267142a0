#pragma once

#include "common/Picture.h"

#include <QWidget>
#include <memory>

class DeviceSession;
class QFileDialog;
class QPlainTextEdit;
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

    QPlainTextEdit* log() const;

private:
    void runPersonCommand(PersonCommand command);
    void choosePhoto();
    void runFaceCommand(FaceCommand command);
    void queryFacePhoto();
    QFileDialog* pictureDialog();

    std::unique_ptr<Ui::PersonPhotoPage> ui;
    DeviceSession& session;
    QFileDialog* OpenPictureDialog = nullptr;
    // The last file confirmed in OpenPictureDialog, and the photo imgEmp shows.
    QString openPictureFile;
    Picture empPicture;
};
