#include "app/TrafficPanel.h"

#include "app/TrafficView.h"
#include "common/TrafficLog.h"
#include "device/CurlCommand.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kBatchIntervalMs = 200;
// The text views stay quick however large a body is; the rest can be saved.
constexpr qsizetype kShownBytes = 256 * 1024;

enum Column
{
    TimeColumn,
    RoleColumn,
    ContextColumn,
    MethodColumn,
    TargetColumn,
    StatusColumn,
    DurationColumn,
    SentColumn,
    ReceivedColumn,
};

enum ItemData
{
    IdRole = Qt::UserRole,
    RecordRole,
    SucceededRole,
};

QString roleName(TrafficRecord::Role role)
{
    switch (role) {
    case TrafficRecord::Role::DeviceCommand:
        return QString::fromUtf8("设备命令");
    case TrafficRecord::Role::FtpFetch:
        return QStringLiteral("FTP");
    case TrafficRecord::Role::ServerRequest:
        return QString::fromUtf8("回调服务");
    }
    return {};
}

template <typename T> T* named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

TrafficPanel::TrafficPanel(TrafficLog& log, QWidget* parent)
    : QWidget(parent), log(log), contextNames(*parent), batchTimer(new QTimer(this)),
      cbTrafficRole(named(new QComboBox, "cbTrafficRole")),
      edtTrafficFilter(named(new QLineEdit, "edtTrafficFilter")),
      cbTrafficStatus(named(new QComboBox, "cbTrafficStatus")),
      btnTrafficClear(named(new QPushButton(QString::fromUtf8("清空")), "btnTrafficClear")),
      lvTraffic(named(new QTreeWidget, "lvTraffic")), cbTrafficSide(named(new QComboBox, "cbTrafficSide")),
      cbTrafficEncoding(named(new QComboBox, "cbTrafficEncoding")),
      btnCopyCurl(named(new QPushButton(QString::fromUtf8("复制为curl")), "btnCopyCurl")),
      btnSaveBody(named(new QPushButton(QString::fromUtf8("保存正文…")), "btnSaveBody")),
      tabsTrafficDetail(named(new QTabWidget, "tabsTrafficDetail")),
      mmTrafficText(named(new QPlainTextEdit, "mmTrafficText")),
      mmTrafficHex(named(new QPlainTextEdit, "mmTrafficHex")),
      mmTrafficJson(named(new QPlainTextEdit, "mmTrafficJson")),
      imgTrafficPreview(named(new QLabel, "imgTrafficPreview"))
{
    setObjectName(QStringLiteral("trafficPanel"));
    cbTrafficRole->addItems({QString::fromUtf8("全部角色"), roleName(TrafficRecord::Role::DeviceCommand),
                             roleName(TrafficRecord::Role::FtpFetch),
                             roleName(TrafficRecord::Role::ServerRequest)});
    edtTrafficFilter->setPlaceholderText(QString::fromUtf8("路径或命令"));
    edtTrafficFilter->setClearButtonEnabled(true);
    cbTrafficStatus->addItems({QString::fromUtf8("全部状态"), QString::fromUtf8("成功"), QString::fromUtf8("失败")});
    cbTrafficSide->addItems({QString::fromUtf8("请求"), QString::fromUtf8("回复")});
    cbTrafficEncoding->addItems({QStringLiteral("UTF-8"), QStringLiteral("GBK")});

    lvTraffic->setHeaderLabels({QString::fromUtf8("时间"), QString::fromUtf8("角色"), QString::fromUtf8("命令/路由"),
                                QString::fromUtf8("方法"), QString::fromUtf8("目标"), QString::fromUtf8("状态"),
                                QString::fromUtf8("耗时ms"), QString::fromUtf8("发送"), QString::fromUtf8("接收")});
    lvTraffic->setRootIsDecorated(false);
    lvTraffic->setUniformRowHeights(true);
    lvTraffic->setAlternatingRowColors(true);
    lvTraffic->header()->setStretchLastSection(false);
    lvTraffic->header()->setSectionResizeMode(TargetColumn, QHeaderView::Stretch);

    for (QPlainTextEdit* view : {mmTrafficText, mmTrafficHex, mmTrafficJson}) {
        view->setReadOnly(true);
        view->setLineWrapMode(QPlainTextEdit::NoWrap);
    }
    mmTrafficHex->setFont(QFont(QStringLiteral("Monospace")));
    imgTrafficPreview->setAlignment(Qt::AlignCenter);
    auto* previewArea = new QScrollArea;
    previewArea->setWidget(imgTrafficPreview);
    previewArea->setWidgetResizable(true);
    tabsTrafficDetail->addTab(mmTrafficText, QString::fromUtf8("文本"));
    tabsTrafficDetail->addTab(mmTrafficHex, QString::fromUtf8("十六进制"));
    tabsTrafficDetail->addTab(mmTrafficJson, QStringLiteral("JSON"));
    tabsTrafficDetail->addTab(previewArea, QString::fromUtf8("图片"));

    auto* filters = new QHBoxLayout;
    filters->addWidget(cbTrafficRole);
    filters->addWidget(edtTrafficFilter, 1);
    filters->addWidget(cbTrafficStatus);
    filters->addWidget(btnTrafficClear);
    auto* actions = new QHBoxLayout;
    actions->addWidget(cbTrafficSide);
    actions->addWidget(cbTrafficEncoding);
    actions->addStretch(1);
    actions->addWidget(btnCopyCurl);
    actions->addWidget(btnSaveBody);
    auto* details = new QWidget;
    auto* detailLayout = new QVBoxLayout(details);
    detailLayout->setContentsMargins(0, 0, 0, 0);
    detailLayout->addLayout(actions);
    detailLayout->addWidget(tabsTrafficDetail);
    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(lvTraffic);
    split->addWidget(details);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(filters);
    layout->addWidget(split, 1);

    batchTimer->setInterval(kBatchIntervalMs);
    connect(batchTimer, &QTimer::timeout, this, &TrafficPanel::refresh);
    connect(cbTrafficRole, &QComboBox::currentIndexChanged, this, &TrafficPanel::applyFilter);
    connect(cbTrafficStatus, &QComboBox::currentIndexChanged, this, &TrafficPanel::applyFilter);
    connect(edtTrafficFilter, &QLineEdit::textChanged, this, &TrafficPanel::applyFilter);
    connect(btnTrafficClear, &QPushButton::clicked, this, [this] {
        this->log.clear();
        lvTraffic->clear();
        showSelected();
    });
    connect(lvTraffic, &QTreeWidget::currentItemChanged, this, &TrafficPanel::showSelected);
    connect(cbTrafficSide, &QComboBox::currentIndexChanged, this, &TrafficPanel::showSelected);
    connect(cbTrafficEncoding, &QComboBox::currentIndexChanged, this, &TrafficPanel::showSelected);
    connect(btnCopyCurl, &QPushButton::clicked, this, &TrafficPanel::copyAsCurl);
    connect(btnSaveBody, &QPushButton::clicked, this, &TrafficPanel::saveBody);
    showSelected();
}

void TrafficPanel::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    refresh();
    batchTimer->start();
}

void TrafficPanel::hideEvent(QHideEvent* event)
{
    batchTimer->stop();
    QWidget::hideEvent(event);
}

void TrafficPanel::refresh()
{
    // Rows whose records the budget has dropped go too.
    const quint64 oldest = log.oldestId();
    while (lvTraffic->topLevelItemCount() > 0 &&
           lvTraffic->topLevelItem(0)->data(0, IdRole).toULongLong() < oldest)
        delete lvTraffic->takeTopLevelItem(0);

    const QList<TrafficRecord> newer = log.since(lastId);
    if (newer.isEmpty())
        return;
    lvTraffic->setUpdatesEnabled(false);
    for (const TrafficRecord& record : newer)
        addRow(record);
    lvTraffic->setUpdatesEnabled(true);
    lastId = newer.last().id;
}

void TrafficPanel::addRow(const TrafficRecord& record)
{
    auto* item = new QTreeWidgetItem;
    item->setText(TimeColumn, record.time.toString(QStringLiteral("HH:mm:ss.zzz")));
    item->setText(RoleColumn, roleName(record.role));
    item->setText(ContextColumn, contextNames.shown(record.role, record.context));
    item->setText(MethodColumn, record.method);
    item->setText(TargetColumn, record.target);
    item->setText(StatusColumn, record.status ? QString::number(record.status) : record.result);
    item->setText(DurationColumn, QString::number(record.durationUs / 1000.0, 'f', 1));
    item->setText(SentColumn, QString::number(record.role == TrafficRecord::Role::ServerRequest ? record.replySize
                                                                                                 : record.requestSize));
    item->setText(ReceivedColumn, QString::number(record.role == TrafficRecord::Role::ServerRequest
                                                      ? record.requestSize
                                                      : record.replySize));
    item->setData(0, IdRole, QVariant::fromValue(record.id));
    item->setData(0, RecordRole, static_cast<int>(record.role));
    item->setData(0, SucceededRole, record.succeeded());
    if (!record.succeeded())
        item->setForeground(StatusColumn, QBrush(Qt::red));
    lvTraffic->addTopLevelItem(item);
    item->setHidden(!passesFilter(item));
}

bool TrafficPanel::passesFilter(QTreeWidgetItem* item) const
{
    const int role = cbTrafficRole->currentIndex();
    if (role > 0 && item->data(0, RecordRole).toInt() != role - 1)
        return false;
    const int status = cbTrafficStatus->currentIndex();
    if (status > 0 && item->data(0, SucceededRole).toBool() != (status == 1))
        return false;
    const QString text = edtTrafficFilter->text();
    return text.isEmpty() || item->text(ContextColumn).contains(text, Qt::CaseInsensitive) ||
           item->text(TargetColumn).contains(text, Qt::CaseInsensitive);
}

void TrafficPanel::applyFilter()
{
    for (int i = 0; i < lvTraffic->topLevelItemCount(); ++i)
        lvTraffic->topLevelItem(i)->setHidden(!passesFilter(lvTraffic->topLevelItem(i)));
    // The details never show a row the list no longer does.
    if (lvTraffic->currentItem() && lvTraffic->currentItem()->isHidden())
        lvTraffic->setCurrentItem(nullptr);
}

bool TrafficPanel::selectedRecord(TrafficRecord& record) const
{
    const QTreeWidgetItem* item = lvTraffic->currentItem();
    return item && log.find(item->data(0, IdRole).toULongLong(), record);
}

QByteArray TrafficPanel::selectedSide(const TrafficRecord& record) const
{
    return cbTrafficSide->currentIndex() == 0 ? record.request : record.reply;
}

void TrafficPanel::showSelected()
{
    TrafficRecord record;
    const bool selected = selectedRecord(record);
    btnCopyCurl->setEnabled(selected && record.role == TrafficRecord::Role::DeviceCommand);
    btnSaveBody->setEnabled(selected);
    const QByteArray bytes = selected ? selectedSide(record) : QByteArray();
    // An FTP fetch keeps the photo alone, without any head.
    const TrafficView::Message message = selected && record.role == TrafficRecord::Role::FtpFetch
                                             ? TrafficView::Message{{}, bytes}
                                             : TrafficView::splitMessage(bytes);
    QString summary;
    if (selected && !record.result.isEmpty())
        summary = QString::fromUtf8("结果: ") + record.result + QStringLiteral("\n\n");
    mmTrafficText->setPlainText(summary + TrafficView::asText(bytes, cbTrafficEncoding->currentText(), kShownBytes));
    mmTrafficHex->setPlainText(TrafficView::hexDump(bytes, kShownBytes));
    const QString json = TrafficView::prettyJson(message.body);
    mmTrafficJson->setPlainText(json.isEmpty() && selected ? QString::fromUtf8("(正文不是 JSON)") : json);
    QPixmap picture;
    picture.loadFromData(TrafficView::pictureOf(message));
    if (picture.isNull())
        imgTrafficPreview->setText(selected ? QString::fromUtf8("(没有图片)") : QString());
    else
        imgTrafficPreview->setPixmap(picture.width() > 480 ? picture.scaledToWidth(480, Qt::SmoothTransformation)
                                                           : picture);
}

void TrafficPanel::copyAsCurl()
{
    TrafficRecord record;
    if (selectedRecord(record) && record.role == TrafficRecord::Role::DeviceCommand)
        QApplication::clipboard()->setText(CurlCommand(record.request));
}

void TrafficPanel::saveBody()
{
    TrafficRecord record;
    if (!selectedRecord(record))
        return;
    const QByteArray bytes = selectedSide(record);
    const QByteArray body =
        record.role == TrafficRecord::Role::FtpFetch ? bytes : TrafficView::splitMessage(bytes).body;
    QFileDialog dialog(this, QString::fromUtf8("保存正文"));
    dialog.setObjectName(QStringLiteral("dlgSaveTrafficBody"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    QFile file(dialog.selectedFiles().first());
    if (!file.open(QIODevice::WriteOnly) || file.write(body) != body.size())
        QMessageBox::warning(this, QString::fromUtf8("保存正文"),
                             QString::fromUtf8("无法写入 ") + file.fileName() + QStringLiteral(": ") +
                                 file.errorString());
}
