#include "app/pages/ConsumptionParamsPage.h"

#include "app/DeviceSession.h"
#include "app/OpenFileDialog.h"
#include "app/UserActions.h"
#include "device/AddressRegistration.h"
#include "device/FirmwareUpgrade.h"
#include "ui_ConsumptionParamsPage.h"

#include <QDir>
#include <QFileDialog>

ConsumptionParamsPage::ConsumptionParamsPage(DeviceSession& session, UserActions& actions,
                                             LogView* log, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::ConsumptionParamsPage>()), session(session), log(log)
{
    ui->setupUi(this);
    using Page = ConsumptionParamsPage;
    actions.bind<Page>(this, {{ui->btnsetServerAddress, &Page::registerServiceAddress},
                              {ui->btnbootOnline, &Page::upgradeFirmware}});
}

ConsumptionParamsPage::~ConsumptionParamsPage() = default;

AddressFields ConsumptionParamsPage::serviceAddress() const
{
    return {{},
            ui->edtserverurl->text(),
            {{"interval", ui->edtinterval->text()},
             {"base64Enable", QString::number(ui->cbBase64Enable->currentIndex() + 1)}}};
}

QString ConsumptionParamsPage::heartbeatInterval() const
{
    return ui->edtinterval->text();
}

void ConsumptionParamsPage::registerServiceAddress()
{
    AddressFields fields = serviceAddress();
    const RecordSettings record = session.recordSettings();
    session.runLogged(log, [&](const DeviceConnection& connection, const QString& password) {
        fields.password = password;
        return RegisterAddress(connection, kOnlineServiceAddress, fields, record, session.client(),
                               session.clearingClient());
    });
}

QFileDialog* ConsumptionParamsPage::firmwareDialog()
{
    if (!OpenDialog1)
        OpenDialog1 = newOpenFileDialog(window(), QStringLiteral("OpenDialog1"));
    return OpenDialog1;
}

void ConsumptionParamsPage::upgradeFirmware()
{
    if (session.busy())
        return;
    QFileDialog* dialog = firmwareDialog();
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return;
    ui->edtBinFile->setText(QDir::toNativeSeparators(dialog->selectedFiles().constFirst()));

    const QString path = ui->edtBinFile->text();
    session.runLogged(log, [&](const DeviceConnection& connection, const QString& password) {
        return UploadFirmware(connection, password, path, session.client());
    });
}
