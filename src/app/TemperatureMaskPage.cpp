#include "app/ChoiceField.h"
#include "app/SettingsFile.h"
#include "app/TemperatureSettings.h"
#include "app/TfrmMain.h"
#include "common/Failure.h"

#include "ui_TemperatureMaskPage.h"

#include <QComboBox>
#include <QLineEdit>

void TfrmMain::setupTemperatureMaskPage()
{
    onClick(tabSheet5Ui->Button6, &TfrmMain::Button6Click);
}

void TfrmMain::Button6Click()
{
    selectChoiceKey(tabSheet5Ui->cbisMaskOpen, "1");
    selectChoiceKey(tabSheet5Ui->cbisVoiceOpen, "1");
    tabSheet5Ui->edtvoiceContext->setText(QString::fromUtf8("请佩戴口罩"));
    selectChoiceKey(tabSheet5Ui->cbisMaskFoceOpen, "2");
}

void TfrmMain::LoadTemperatureSettings()
{
    const SettingsFile file = SettingsFile::inFolder(programFolder());
    const TemperatureSettings::Loaded loaded =
        TemperatureSettings::load([&file](const QString& key, const QString& fallback) {
            return file.ReadSetting(TemperatureSettings::kSection, key, fallback);
        });
    for (const TemperatureSettings::FieldValue& field : loaded.values) {
        QWidget* widget = tabSheet5Ui->Panel1->findChild<QWidget*>(field.field);
        Q_ASSERT(widget);
        if (auto* choice = qobject_cast<QComboBox*>(widget))
            selectChoiceKey(choice, field.value);
        else if (auto* edit = qobject_cast<QLineEdit*>(widget))
            edit->setText(field.value);
    }
    if (loaded.error)
        throw Failure(*loaded.error);
}
