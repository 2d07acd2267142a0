#include "WindowServer.h"

#include "app/TfrmMain.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>

void startWindowServer(TfrmMain& window, const char* address, int port)
{
    window.findChild<QLineEdit*>("edtIP1")->setText(QString::fromLatin1(address));
    window.findChild<QLineEdit*>("edtPort")->setText(QString::number(port));
    window.findChild<QPushButton*>("btn8")->click();
    QCoreApplication::processEvents();
}
