#include "app/pages/TemperatureMaskPage.h"

#include "app/ChoiceField.h"
#include "app/DeviceSession.h"
#include "common/SettingsFile.h"
#include "app/TemperatureSettings.h"
#include "app/UserActions.h"
#include "common/Failure.h"
#include "device/TemperatureCommands.h"
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

TemperatureMaskPage::TemperatureMaskPage(DeviceSession& session, UserActions& actions, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::TemperatureMaskPage>()), session(session)
{
    ui->setupUi(this);
    using Page = TemperatureMaskPage;
    actions.bind<Page>(this, {{ui->Button6, &Page::showMaskDefaults},
                              {ui->bsSkinButton1, &Page::setMaskConfig},
                              {ui->Button5, &Page::showTemperatureDefaults},
                              {ui->Button4, &Page::setTemperatureConfig}});
}

TemperatureMaskPage::~TemperatureMaskPage() = default;

LogView* TemperatureMaskPage::log() const
{
    return ui->mmLog;
}

void TemperatureMaskPage::toggleTemperaturePanel()
{
    // isHidden, not isVisible: the panel's page may not be the current one.
    QWidget* panel = ui->Panel1;
    panel->setHidden(!panel->isHidden());
}

void TemperatureMaskPage::showMaskDefaults()
{
    selectChoiceKey(ui->cbisMaskOpen, "1");
    selectChoiceKey(ui->cbisVoiceOpen, "1");
    ui->edtvoiceContext->setText(QString::fromUtf8("请佩戴口罩"));
    selectChoiceKey(ui->cbisMaskFoceOpen, "2");
}

void TemperatureMaskPage::setMaskConfig()
{
    const MaskFields fields = maskFields(*ui);
    if (!MaskParamsFilled(fields)) {
        ui->mmLog->appendLine(kParamsMissing);
        return;
    }
    session.runLogged(ui->mmLog, [&](const DeviceConnection& connection, const QString& password) {
        return SendMaskConfig(connection, password, fields, session.client());
    });
}

void TemperatureMaskPage::showTemperatureDefaults()
{
    showTemperatureValues(*ui, TemperatureSettings::defaults());
}

TemperatureFields TemperatureMaskPage::currentTemperatureFields() const
{
    return temperatureFields(*ui);
}

void TemperatureMaskPage::setTemperatureConfig()
{
    const TemperatureFields fields = temperatureFields(*ui);
    if (!TemperatureParamsFilled(fields)) {
        ui->mmLog->appendLine(kParamsMissing);
        return;
    }
    // Taken from the fields now; written by the command while the window waits,
    // so the file still has one writer at a time.
    const QList<TemperatureSettings::StoredValue> values =
        TemperatureSettings::toStore([this](const QString& name) { return temperatureValue(*ui, name); });
    const SettingsFile file = session.settingsFile();
    const auto store = [&file, &values] {
        file.EnsureSettingsFile();
        for (const TemperatureSettings::StoredValue& stored : values)
            file.WriteSetting(TemperatureSettings::kSection, stored.key, stored.value);
    };
    session.runLogged(ui->mmLog, [&](const DeviceConnection& connection, const QString& password) {
        return SendTemperatureConfig(connection, password, fields, session.client(), store);
    });
}

void TemperatureMaskPage::loadTemperatureSettings()
{
    const SettingsFile file = session.settingsFile();
    const TemperatureSettings::Loaded loaded =
        TemperatureSettings::load([&file](const QString& key, const QString& fallback) {
            return file.ReadSetting(TemperatureSettings::kSection, key, fallback);
        });
    showTemperatureValues(*ui, loaded.values);
    if (loaded.error)
        throw Failure(*loaded.error);
}
