#pragma once

#include "app/TrafficContextNames.h"
#include "common/TrafficRecord.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class TrafficLog;

// The traffic panel: every exchange of both roles, newest last, with its
// raw bytes as text, hex, pretty JSON and image preview. It reads the log in
// batches on a timer, and only while it is shown.
class TrafficPanel : public QWidget
{
    Q_OBJECT

public:
    TrafficPanel(TrafficLog& log, QWidget* parent);

public slots:
    // Takes in what the log has gained since the last batch.
    void refresh();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void addRow(const TrafficRecord& record);
    void applyFilter();
    bool passesFilter(QTreeWidgetItem* item) const;
    void showSelected();
    bool selectedRecord(TrafficRecord& record) const;
    QByteArray selectedSide(const TrafficRecord& record) const;
    void copyAsCurl();
    void saveBody();

    TrafficLog& log;
    const TrafficContextNames contextNames;
    quint64 lastId = 0;
    QTimer* batchTimer;

    QComboBox* cbTrafficRole;
    QLineEdit* edtTrafficFilter;
    QComboBox* cbTrafficStatus;
    QPushButton* btnTrafficClear;
    QTreeWidget* lvTraffic;
    QComboBox* cbTrafficSide;
    QComboBox* cbTrafficEncoding;
    QPushButton* btnCopyCurl;
    QPushButton* btnSaveBody;
    QTabWidget* tabsTrafficDetail;
    QPlainTextEdit* mmTrafficText;
    QPlainTextEdit* mmTrafficHex;
    QPlainTextEdit* mmTrafficJson;
    QLabel* imgTrafficPreview;
};
