#include "app/OpenFileDialog.h"

#include <QFileDialog>

QFileDialog* newOpenFileDialog(QWidget* window, const QString& name)
{
    auto* dialog = new QFileDialog(window);
    dialog->setObjectName(name);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    return dialog;
}
