#include "app/dialogs/SiteDialog.h"

#include "app/DeviceSession.h"
#include "app/UserActions.h"
#include "app/dialogs/DialogParts.h"
#include "app/dialogs/SiteRunner.h"
#include "app/dialogs/SiteTableModel.h"
#include "common/CsvTable.h"
#include "common/Failure.h"
#include "common/WholeFile.h"
#include "device/SiteFile.h"
#include "server/CallbackActivity.h"

#include <QCheckBox>
#include <QDir>
#include <QFormLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <numeric>

namespace {

constexpr int kDefaultParallel = 8;
constexpr std::chrono::seconds kDefaultHeartbeatInterval{60};
// Live counters change at most this often.
constexpr int kActivityRefreshMs = 500;

std::chrono::seconds heartbeatInterval(const QString& typed)
{
    bool isNumber = false;
    const int seconds = typed.trimmed().toInt(&isNumber);
    return isNumber && seconds > 0 ? std::chrono::seconds(seconds) : kDefaultHeartbeatInterval;
}

} // namespace

SiteDialog::SiteDialog(DeviceSession& session, UserActions& actions, SiteSources sources,
                       const CallbackActivity& activity, QWidget* window)
    : QDialog(window), session(session), sources(std::move(sources)), activity(activity),
      model(new SiteTableModel(this)), runner(new SiteRunner(this)), activityTimer(new QTimer(this))
{
    setObjectName("siteDialog");
    setWindowTitle(QStringLiteral("站点终端"));
    setModal(false);
    resize(980, 560);

    edtSiteName = Named(new QLineEdit(this), "edtSiteName");
    edtSiteIP = Named(new QLineEdit(this), "edtSiteIP");
    edtSitePassword = Named(new QLineEdit(session.password(), this), "edtSitePassword");
    btnSiteAdd = NewDialogButton("btnSiteAdd", QStringLiteral("添加"), this);
    btnSiteRemove = NewDialogButton("btnSiteRemove", QStringLiteral("删除"), this);
    btnSiteImport = NewDialogButton("btnSiteImport", QStringLiteral("导入CSV…"), this);
    btnSiteExport = NewDialogButton("btnSiteExport", QStringLiteral("导出CSV…"), this);
    btnSiteCheck = NewDialogButton("btnSiteCheck", QStringLiteral("检查全部"), this);
    btnSiteApply = NewDialogButton("btnSiteApply", QStringLiteral("应用到所选"), this);
    btnSiteCancel = NewDialogButton("btnSiteCancel", QStringLiteral("取消"), this);
    btnSiteExportResults = NewDialogButton("btnSiteExportResults", QStringLiteral("导出结果…"), this);
    spnSiteParallel = Named(new QSpinBox(this), "spnSiteParallel");
    spnSiteParallel->setRange(1, SiteRun::kMaxParallel);
    spnSiteParallel->setValue(kDefaultParallel);
    chkSiteTime = Named(new QCheckBox(QStringLiteral("校时"), this), "chkSiteTime");
    chkSiteConfig = Named(new QCheckBox(QStringLiteral("识别参数"), this), "chkSiteConfig");
    chkSiteCallbacks = Named(new QCheckBox(QStringLiteral("回调地址"), this), "chkSiteCallbacks");
    chkSiteService = Named(new QCheckBox(QStringLiteral("在线消费地址"), this), "chkSiteService");
    chkSiteTemperature = Named(new QCheckBox(QStringLiteral("测温参数"), this), "chkSiteTemperature");
    tblSite = Named(new QTableView(this), "tblSite");
    tblSite->setModel(model);
    tblSite->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblSite->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblSite->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tblSite->verticalHeader()->setDefaultSectionSize(22);
    tblSite->horizontalHeader()->setStretchLastSection(true);

    auto* parallel = new QLabel(QStringLiteral("同时:"), this);
    auto* layout = new QVBoxLayout(this);
    auto* inputs = new QFormLayout;
    inputs->addRow(QStringLiteral("名称:"), RowOf({edtSiteName, new QLabel(QStringLiteral("IP:"), this), edtSiteIP,
                                                 new QLabel(QStringLiteral("密码:"), this), edtSitePassword}));
    layout->addLayout(inputs);
    layout->addLayout(RowOf({btnSiteAdd, btnSiteRemove, btnSiteImport, btnSiteExport, btnSiteCheck, parallel,
                             spnSiteParallel}));
    layout->addWidget(tblSite, 1);
    layout->addLayout(RowOf({chkSiteTime, chkSiteConfig, chkSiteCallbacks, chkSiteService, chkSiteTemperature}));
    layout->addLayout(RowOf({btnSiteApply, btnSiteCancel, btnSiteExportResults}));

    using D = SiteDialog;
    const std::pair<QPushButton*, void (D::*)()> bindings[] = {
        {btnSiteAdd, &D::addTerminal}, {btnSiteRemove, &D::removeTerminals},
        {btnSiteImport, &D::importCsv}, {btnSiteExport, &D::exportCsv},
        {btnSiteCheck, &D::checkAll},   {btnSiteApply, &D::apply},
        {btnSiteCancel, &D::cancel},    {btnSiteExportResults, &D::exportResults}};
    for (const auto& [clicked, handler] : bindings)
        actions.onClick(clicked, [this, handler = handler] { (this->*handler)(); });
    connect(tblSite->selectionModel(), &QItemSelectionModel::selectionChanged, this, &D::selectionChanged);
    connect(runner, &SiteRunner::finished, this, [this] { setRunning(false); });
    connect(activityTimer, &QTimer::timeout, this, &D::showActivity);
    activityTimer->start(kActivityRefreshMs);
    setRunning(false);
    actions.run([this] { load(); });
    showActivity();
}

SiteDialog::~SiteDialog()
{
    // The run's jobs record into the session's traffic log.
    runner->stop();
}

QString SiteDialog::sitePath() const
{
    return QDir(session.programFolder()).filePath(QStringLiteral("site.json"));
}

void SiteDialog::load()
{
    const SiteFileContents contents = ReadSiteFile(sitePath());
    model->setTerminals(contents.terminals);
    if (!contents.damage.isEmpty())
        throw Failure(contents.damage);
}

void SiteDialog::save()
{
    WriteSiteFile(sitePath(), model->terminals());
}

void SiteDialog::addTerminal()
{
    const QString ip = edtSiteIP->text().trimmed();
    if (ip.isEmpty())
        throw Failure(QStringLiteral("请输入终端的IP"));
    const SiteList listed = model->terminals();
    if (std::any_of(listed.begin(), listed.end(), [&](const SiteTerminal& known) { return known.ip == ip; }))
        throw Failure(QStringLiteral("%1 已在列表中").arg(ip));
    model->addTerminal({edtSiteName->text(), ip, edtSitePassword->text()});
    save();
    showActivity();
}

void SiteDialog::removeTerminals()
{
    model->removeTerminals(selectedRows());
    save();
    showActivity();
}

void SiteDialog::importCsv()
{
    const QString path = ChooseCsvFile(this, QStringLiteral("siteImportDialog"), {}, false);
    if (path.isEmpty())
        return;
    SiteList terminals = model->terminals();
    for (const SiteTerminal& read : ReadSiteCsv(ReadWholeFile(path))) {
        const bool known = std::any_of(terminals.begin(), terminals.end(),
                                       [&](const SiteTerminal& terminal) { return terminal.ip == read.ip; });
        if (!read.ip.isEmpty() && !known)
            terminals.push_back(read);
    }
    model->setTerminals(terminals);
    save();
    showActivity();
}

void SiteDialog::exportCsv()
{
    const QString path = ChooseCsvFile(this, QStringLiteral("siteExportDialog"), QStringLiteral("站点终端.csv"), true);
    if (!path.isEmpty())
        ReplaceWholeFile(path, SiteCsv(model->terminals()));
}

void SiteDialog::exportResults()
{
    const QString path =
        ChooseCsvFile(this, QStringLiteral("siteResultsDialog"), QStringLiteral("站点终端结果.csv"), true);
    if (!path.isEmpty())
        ReplaceWholeFile(path, WriteCsv(model->texts()));
}

std::vector<int> SiteDialog::selectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex& index : tblSite->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void SiteDialog::selectionChanged()
{
    const std::vector<int> rows = selectedRows();
    if (rows.size() == 1 && !model->row(rows.front()).listed)
        edtSiteIP->setText(model->row(rows.front()).terminal.ip);
}

template <typename Job> void SiteDialog::runOn(const std::vector<int>& rows, Job job)
{
    std::vector<QString> addresses;
    SiteList terminals;
    for (const int at : rows) {
        addresses.push_back(model->row(at).terminal.ip);
        terminals.push_back(model->row(at).terminal);
    }
    runner->start(spnSiteParallel->value(), {&session.trafficLog(), objectName()}, addresses,
                  [this, rows, terminals, job](std::size_t index, TerminalClients& clients) {
                      runner->post(job(rows[index], terminals[index], clients));
                  });
    setRunning(true);
}

void SiteDialog::checkAll()
{
    if (runner->running() || model->listedCount() == 0)
        return;
    std::vector<int> rows(static_cast<std::size_t>(model->listedCount()));
    std::iota(rows.begin(), rows.end(), 0);
    runOn(rows, [this](int at, const SiteTerminal& terminal, TerminalClients& clients) {
        const TerminalCheck check = CheckTerminal(terminal, clients.client);
        return [this, at, check] { model->setCheck(at, check); };
    });
}

void SiteDialog::apply()
{
    if (runner->running())
        return;
    std::vector<int> rows = selectedRows();
    rows.erase(std::remove_if(rows.begin(), rows.end(), [this](int at) { return !model->row(at).listed; }),
               rows.end());
    if (rows.empty())
        throw Failure(QStringLiteral("请先在列表中选择终端"));
    SiteSettings settings;
    const std::pair<QCheckBox*, SiteAction> chosen[] = {{chkSiteTime, SiteAction::Time},
                                                        {chkSiteConfig, SiteAction::Config},
                                                        {chkSiteCallbacks, SiteAction::Callbacks},
                                                        {chkSiteService, SiteAction::Service},
                                                        {chkSiteTemperature, SiteAction::Temperature}};
    for (const auto& [box, action] : chosen) {
        if (box->isChecked())
            settings.actions.push_back(action);
    }
    if (settings.actions.empty())
        throw Failure(QStringLiteral("请选择要应用的项目"));
    settings.config = sources.config();
    settings.callbacks = sources.callbacks();
    settings.service.fields = sources.service();
    settings.temperature = sources.temperature();
    for (const int at : rows)
        model->setResult(at, QStringLiteral("…"));
    runOn(rows, [this, settings](int at, const SiteTerminal& terminal, TerminalClients& clients) {
        const QString result = SiteOutcomeText(
            ApplyToTerminal(settings, terminal, clients.client, clients.clearingClient, clients.aborted));
        return [this, at, result] { model->setResult(at, result); };
    });
}

void SiteDialog::cancel()
{
    runner->cancel();
}

void SiteDialog::showActivity()
{
    model->showActivity(activity.callers(), std::chrono::steady_clock::now(),
                        heartbeatInterval(sources.heartbeatInterval()));
}

void SiteDialog::setRunning(bool running)
{
    for (QWidget* idle : std::initializer_list<QWidget*>{btnSiteAdd, btnSiteRemove, btnSiteImport, btnSiteCheck,
                                                         btnSiteApply})
        idle->setEnabled(!running);
    btnSiteCancel->setEnabled(running);
}
