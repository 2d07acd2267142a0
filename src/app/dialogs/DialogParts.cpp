#include "app/dialogs/DialogParts.h"

#include "app/OpenFileDialog.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QPushButton>

QPushButton* NewDialogButton(const char* objectName, const QString& text, QWidget* parent)
{
    auto* made = new QPushButton(text, parent);
    made->setObjectName(objectName);
    made->setAutoDefault(false);
    return made;
}

QHBoxLayout* RowOf(std::initializer_list<QWidget*> widgets)
{
    auto* layout = new QHBoxLayout;
    for (QWidget* widget : widgets)
        layout->addWidget(widget);
    return layout;
}

QString ChooseCsvFile(QWidget* parent, const QString& objectName, const QString& suggested, bool saving)
{
    QFileDialog* dialog = newOpenFileDialog(parent, objectName);
    if (saving) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setNameFilters({QStringLiteral("CSV 文件 (*.csv)")});
        dialog->setDefaultSuffix(QStringLiteral("csv"));
        dialog->selectFile(suggested);
    } else {
        dialog->setNameFilters({QStringLiteral("CSV 文件 (*.csv)"), QStringLiteral("所有文件 (*)")});
    }
    const bool chosen = dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty();
    const QString path = chosen ? dialog->selectedFiles().constFirst() : QString();
    dialog->deleteLater();
    return path;
}
