#include "app/ChoiceField.h"
#include "app/SettingsFile.h"
#include "app/TemperatureSettings.h"
#include "app/TfrmMain.h"
#include "common/Failure.h"
#include "device/TemperatureCommands.h"

#include "ui_DeviceManagementPage.h"
#include "ui_TemperatureMaskPage.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

TemperatureFields temperatureFields(const Ui::TemperatureMaskPage& ui)
{
    return {.isTemperatureOpen = choiceKey(ui.cbisTempertureOpen),
            .isVoiceOpen = choiceKey(ui.cbisVoiceOpen1),
            .voiceContext = ui.edtVoiceContext1->text(),
            .errorTemperature = ui.edterrorTemperature->text(),
            .deviceStyle = choiceKey(ui.cbdeviceStyle),
            .temperatureErrorPass = choiceKey(ui.cbtemperatureErrorPass),
            .temperatureMeasurePlace = choiceKey(ui.cbtemperatureMeasurePlace),
            .temperatureMeasureMin = ui.edttemperatureMeasureMin->text(),
            .temperatureMeasureMax = ui.edttemperatureMeasureMax->text(),
            .temperatureCompensation = choiceKey(ui.cbtemperatureCompensation),
            .lowTempMapSourceMin = ui.edtlowTempMapSourceMin->text(),
            .lowTempMapSourceMax = ui.edtlowTempMapSourceMax->text(),
            .lowTempMapTargetMin = ui.edtlowTempMapTargetMin->text(),
            .lowTempMapTargetMax = ui.edtlowTempMapTargetMax->text(),
            .tempUnit = choiceKey(ui.cbtempUnit),
            .tempMapSwitch = choiceKey(ui.cbtempMapSwitch),
            .highTempMapSourceMin = ui.edthighTempMapSourceMin->text(),
            .highTempMapSourceMax = ui.edthighTempMapSourceMax->text(),
            .highTempMapTargetMin = ui.edthighTempMapTargetMin->text(),
            .highTempMapTargetMax = ui.edthighTempMapTargetMax->text()};
}

MaskFields maskFields(const Ui::TemperatureMaskPage& ui)
{
    return {.isMaskOpen = choiceKey(ui.cbisMaskOpen),
            .isVoiceOpen = choiceKey(ui.cbisVoiceOpen),
            .voiceContext = ui.edtvoiceContext->text(),
            .isMaskFoceOpen = choiceKey(ui.cbisMaskFoceOpen)};
}

QWidget* temperatureField(const Ui::TemperatureMaskPage& ui, const QString& name)
{
    QWidget* widget = ui.Panel1->findChild<QWidget*>(name);
    Q_ASSERT(widget);
    return widget;
}

void showTemperatureValues(const Ui::TemperatureMaskPage& ui,
                           const QList<TemperatureSettings::FieldValue>& values)
{
    for (const TemperatureSettings::FieldValue& field : values) {
        QWidget* widget = temperatureField(ui, field.field);
        if (auto* choice = qobject_cast<QComboBox*>(widget))
            selectChoiceKey(choice, field.value);
        else if (auto* edit = qobject_cast<QLineEdit*>(widget))
            edit->setText(field.value);
    }
}

QString temperatureValue(const Ui::TemperatureMaskPage& ui, const QString& name)
{
    QWidget* widget = temperatureField(ui, name);
    if (auto* choice = qobject_cast<QComboBox*>(widget))
        return choiceKey(choice);
    return qobject_cast<QLineEdit*>(widget)->text();
}

} // namespace

void TfrmMain::setupTemperatureMaskPage()
{
    onClick(tabSheet5Ui->Button6, &TfrmMain::Button6Click);
    onClick(tabSheet5Ui->bsSkinButton1, &TfrmMain::bsSkinButton1Click);
    onClick(tabSheet5Ui->Button5, &TfrmMain::Button5Click);
    onClick(tabSheet5Ui->Button4, &TfrmMain::Button4Click);
}

void TfrmMain::Button6Click()
{
    selectChoiceKey(tabSheet5Ui->cbisMaskOpen, "1");
    selectChoiceKey(tabSheet5Ui->cbisVoiceOpen, "1");
    tabSheet5Ui->edtvoiceContext->setText(QString::fromUtf8("请佩戴口罩"));
    selectChoiceKey(tabSheet5Ui->cbisMaskFoceOpen, "2");
}

void TfrmMain::bsSkinButton1Click()
{
    const MaskFields fields = maskFields(*tabSheet5Ui);
    if (!MaskParamsFilled(fields)) {
        appendLine(tabSheet5Ui->mmLog, kParamsMissing);
        return;
    }
    const DeviceConnection connection = deviceConnection;
    const QString password = ts1Ui->edtPasswordNew->text();
    CommandLog log;
    if (!runDeviceCommand([&] { log = SendMaskConfig(connection, password, fields, IdHTTP1); }))
        return;
    writeCommandLog(tabSheet5Ui->mmLog, log);
}

void TfrmMain::Button5Click()
{
    showTemperatureValues(*tabSheet5Ui, TemperatureSettings::defaults());
}

void TfrmMain::Button4Click()
{
    const TemperatureFields fields = temperatureFields(*tabSheet5Ui);
    if (!TemperatureParamsFilled(fields)) {
        appendLine(tabSheet5Ui->mmLog, kParamsMissing);
        return;
    }
    const DeviceConnection connection = deviceConnection;
    const QString password = ts1Ui->edtPasswordNew->text();
    // Taken from the fields now; written by the command while the window waits,
    // so the file still has one writer at a time.
    const QList<TemperatureSettings::StoredValue> values = TemperatureSettings::toStore(
        [this](const QString& name) { return temperatureValue(*tabSheet5Ui, name); });
    const SettingsFile file = SettingsFile::inFolder(programFolder());
    const auto store = [&file, &values] {
        file.EnsureSettingsFile();
        for (const TemperatureSettings::StoredValue& stored : values)
            file.WriteSetting(TemperatureSettings::kSection, stored.key, stored.value);
    };
    CommandLog log;
    if (!runDeviceCommand([&] { log = SendTemperatureConfig(connection, password, fields, IdHTTP1, store); }))
        return;
    writeCommandLog(tabSheet5Ui->mmLog, log);
}

void TfrmMain::LoadTemperatureSettings()
{
    const SettingsFile file = SettingsFile::inFolder(programFolder());
    const TemperatureSettings::Loaded loaded =
        TemperatureSettings::load([&file](const QString& key, const QString& fallback) {
            return file.ReadSetting(TemperatureSettings::kSection, key, fallback);
        });
    showTemperatureValues(*tabSheet5Ui, loaded.values);
    if (loaded.error)
        throw Failure(*loaded.error);
}
