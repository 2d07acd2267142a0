#pragma once

#include "server/ServiceFields.h"

#include <QWidget>
#include <memory>

class QLineEdit;

namespace Ui {
class ConsumptionReplyPage;
}

// Page TabSheet4: what the server's account, trade, record and menu replies
// are built from, and the fields those routes fill in.
class ConsumptionReplyPage : public QWidget
{
    Q_OBJECT

public:
    explicit ConsumptionReplyPage(QWidget* parent);
    ~ConsumptionReplyPage() override;

    AccountFields accountFields() const;
    TradeFields tradeFields() const;
    RecordFields recordFields() const;
    RevocationFields revocationFields() const;
    // The memo's text with its lines joined by CR LF.
    QString memoText(ServiceMemo memo) const;
    void setText(ServiceText field, const QString& text);
    // An index outside the items leaves no item selected.
    void select(ServiceChoice field, int index);

private:
    QLineEdit* edit(ServiceText field) const;

    std::unique_ptr<Ui::ConsumptionReplyPage> ui;
};
