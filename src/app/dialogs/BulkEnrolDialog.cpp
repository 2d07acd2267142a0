#include "app/dialogs/BulkEnrolDialog.h"

#include "app/DeviceSession.h"
#include "app/LogView.h"
#include "app/OpenFileDialog.h"
#include "app/UserActions.h"
#include "app/dialogs/DialogParts.h"
#include "app/dialogs/EnrolRunner.h"
#include "app/dialogs/EnrolTableModel.h"
#include "common/CsvTable.h"
#include "common/Failure.h"
#include "common/WholeFile.h"
#include "device/EnrolSheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

BulkEnrolDialog::BulkEnrolDialog(DeviceSession& session, UserActions& actions, LogView* log,
                                 QWidget* window)
    : QDialog(window), session(session), actions(actions), log(log), model(new EnrolTableModel(this)),
      runner(new EnrolRunner(this))
{
    setObjectName("bulkEnrolDialog");
    setWindowTitle(QStringLiteral("批量导入人员"));
    setModal(false);
    resize(760, 560);

    edtBulkCsv = Named(new QLineEdit(this), "edtBulkCsv");
    edtBulkPhotos = Named(new QLineEdit(this), "edtBulkPhotos");
    btnBulkCsv = NewDialogButton("btnBulkCsv", QStringLiteral("选择…"), this);
    btnBulkPhotos = NewDialogButton("btnBulkPhotos", QStringLiteral("选择…"), this);
    cbBulkMode = Named(new QComboBox(this), "cbBulkMode");
    cbBulkMode->addItems({QStringLiteral("跳过已存在"), QStringLiteral("覆盖已存在")});
    chkBulkEasyWay = Named(new QCheckBox(QStringLiteral("宽松检测照片质量"), this), "chkBulkEasyWay");
    btnBulkTemplate = NewDialogButton("btnBulkTemplate", QStringLiteral("导出模板…"), this);
    btnBulkCheck = NewDialogButton("btnBulkCheck", QStringLiteral("检查"), this);
    btnBulkStart = NewDialogButton("btnBulkStart", QStringLiteral("开始导入"), this);
    btnBulkCancel = NewDialogButton("btnBulkCancel", QStringLiteral("取消"), this);
    btnBulkRetry = NewDialogButton("btnBulkRetry", QStringLiteral("重试失败项"), this);
    btnBulkExport = NewDialogButton("btnBulkExport", QStringLiteral("导出结果…"), this);
    tblBulk = Named(new QTableView(this), "tblBulk");
    tblBulk->setModel(model);
    tblBulk->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblBulk->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Fixed row heights and no sizing to contents keep ten thousand rows cheap.
    tblBulk->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tblBulk->verticalHeader()->setDefaultSectionSize(22);
    tblBulk->horizontalHeader()->setStretchLastSection(true);
    pbBulk = Named(new QProgressBar(this), "pbBulk");
    pbBulk->setFormat(QStringLiteral("%v / %m"));
    pbBulk->setRange(0, 1);
    pbBulk->setValue(0);
    lblBulkSummary = Named(new QLabel(this), "lblBulkSummary");

    auto* inputs = new QFormLayout;
    inputs->addRow(QStringLiteral("人员表 (CSV):"), RowOf({edtBulkCsv, btnBulkCsv}));
    inputs->addRow(QStringLiteral("照片文件夹:"), RowOf({edtBulkPhotos, btnBulkPhotos}));
    inputs->addRow(QStringLiteral("已存在的人员:"), RowOf({cbBulkMode, chkBulkEasyWay, btnBulkTemplate}));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(inputs);
    layout->addLayout(RowOf({btnBulkCheck, btnBulkStart, btnBulkCancel, btnBulkRetry, btnBulkExport}));
    layout->addWidget(tblBulk, 1);
    layout->addLayout(RowOf({pbBulk, lblBulkSummary}));

    using D = BulkEnrolDialog;
    const std::pair<QPushButton*, void (D::*)()> bindings[] = {
        {btnBulkCsv, &D::chooseCsv}, {btnBulkPhotos, &D::choosePhotos}, {btnBulkTemplate, &D::writeTemplate},
        {btnBulkCheck, &D::check},   {btnBulkStart, &D::start},         {btnBulkCancel, &D::cancel},
        {btnBulkRetry, &D::retry},   {btnBulkExport, &D::exportTable}};
    for (const auto& [clicked, handler] : bindings)
        actions.onClick(clicked, [this, handler = handler] { (this->*handler)(); });
    connect(runner, &EnrolRunner::rowDone, this, &D::rowDone);
    connect(runner, &EnrolRunner::finished, this, &D::runEnded);
    connect(runner, &EnrolRunner::checked, this, &D::checkEnded);
    setRunning(false);
    showSummary();
}

BulkEnrolDialog::~BulkEnrolDialog() = default;

void BulkEnrolDialog::chooseCsv()
{
    const QString path = ChooseCsvFile(this, QStringLiteral("bulkCsvDialog"), {}, false);
    if (!path.isEmpty())
        edtBulkCsv->setText(path);
}

void BulkEnrolDialog::choosePhotos()
{
    QFileDialog* dialog = newOpenFileDialog(this, QStringLiteral("bulkPhotosDialog"));
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
        edtBulkPhotos->setText(dialog->selectedFiles().constFirst());
    dialog->deleteLater();
}

void BulkEnrolDialog::writeTemplate()
{
    const QString path =
        ChooseCsvFile(this, QStringLiteral("bulkTemplateDialog"), QStringLiteral("人员导入模板.csv"), true);
    if (!path.isEmpty())
        ReplaceWholeFile(path, WriteCsv({EnrolSheetHeader()}));
}

void BulkEnrolDialog::exportTable()
{
    const QString path = ChooseCsvFile(this, QStringLiteral("bulkExportDialog"), QStringLiteral("人员导入结果.csv"), true);
    if (!path.isEmpty())
        ReplaceWholeFile(path, WriteCsv(model->texts()));
}

void BulkEnrolDialog::check()
{
    if (runner->running())
        return;
    model->setRows({});
    pbBulk->setRange(0, 1);
    pbBulk->setValue(0);
    showSummary();
    QFile file(edtBulkCsv->text());
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("无法读取 CSV 文件 %1: %2").arg(edtBulkCsv->text(), file.errorString()));
    runner->check(file.readAll(), edtBulkPhotos->text());
    setRunning(true);
}

void BulkEnrolDialog::checkEnded(const std::vector<EnrolRow>& rows, const QString& error)
{
    setRunning(false);
    if (!error.isEmpty()) {
        actions.run([&] { throw Failure(error); });
        return;
    }
    model->setRows(rows);
    showSummary();
}

void BulkEnrolDialog::start()
{
    run({EnrolState::Pending});
}

void BulkEnrolDialog::retry()
{
    run({EnrolState::Failed, EnrolState::Cancelled});
}

void BulkEnrolDialog::cancel()
{
    runner->cancel();
}

void BulkEnrolDialog::run(std::initializer_list<EnrolState> states)
{
    if (runner->running())
        return;
    std::vector<EnrolRow> rows;
    runRows.clear();
    for (std::size_t at = 0; at < model->rows().size(); ++at) {
        const EnrolRow& row = model->rows()[at];
        if (std::find(states.begin(), states.end(), row.state) != states.end()) {
            runRows.push_back(at);
            rows.push_back(row);
        }
    }
    if (rows.empty())
        return;
    // Without a terminal every row would wait out its retries before failing.
    if (session.connection().deviceHost.isEmpty())
        throw Failure(QStringLiteral("请先在“设备管理类”页连接终端"));
    rowsDone = 0;
    pbBulk->setRange(0, static_cast<int>(rows.size()));
    pbBulk->setValue(0);
    EnrolSettings settings{session.connection(), session.password(),
                           cbBulkMode->currentIndex() == 1 ? EnrolMode::Overwrite : EnrolMode::Skip,
                           chkBulkEasyWay->isChecked()};
    const HttpClient& single = session.client();
    runner->start(std::move(rows), std::move(settings),
                  {single.timeoutMs(), single.cookies(), &session.trafficLog(), objectName()});
    setRunning(true);
}

void BulkEnrolDialog::rowDone(std::size_t index, const EnrolRow& row)
{
    model->updateRow(runRows.at(index), row);
    pbBulk->setValue(++rowsDone);
    showSummary();
    QString line = row.id + ' ' + row.name + ' ' + EnrolStateText(row.state);
    if (!row.note.isEmpty())
        line += ' ' + row.note;
    log->appendLine(line);
}

void BulkEnrolDialog::runEnded()
{
    setRunning(false);
}

void BulkEnrolDialog::showSummary()
{
    lblBulkSummary->setText(QStringLiteral("成功 %1，失败 %2，跳过 %3")
                                .arg(model->count(EnrolState::Succeeded))
                                .arg(model->count(EnrolState::Failed))
                                .arg(model->count(EnrolState::Skipped)));
}

void BulkEnrolDialog::setRunning(bool running)
{
    for (QWidget* idle : std::initializer_list<QWidget*>{btnBulkCheck, btnBulkStart, btnBulkRetry, btnBulkCsv,
                                                         btnBulkPhotos, cbBulkMode, chkBulkEasyWay})
        idle->setEnabled(!running);
    btnBulkCancel->setEnabled(running);
}
