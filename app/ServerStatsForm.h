#pragma once

#include <QDialog>
#include <QString>
#include <QTimer>

#include "net/KyrelConnection.h"

class QGridLayout;
class QLabel;

namespace qx {

// The server statistics dialog: "Current Information" and "Historical
// Information", every number as "#,##0". While it is open and AutoUpdate is
// on it takes over the connection's statistics event, asks the server again
// every UpdateInterval milliseconds and shows each reply; closing gives the
// event back to its previous handler.
class TfrmServerStats : public QDialog {
    Q_OBJECT
public:
    TfrmServerStats(TKyrelConnection& kyrel, QWidget* parent = nullptr);
    ~TfrmServerStats() override;

    QString Title = "Server Statistics";
    bool AutoUpdate = true;
    int UpdateInterval = 5000;

    // Shows `stats` and keeps the dialog up to date until it is closed.
    int Execute(const TKyrelServerStats& stats);
    void ShowStats(const TKyrelServerStats& stats);
    // The text beside a caption ("Time Active:", "Clients Connected:", ...).
    QString Value(const QString& caption) const;
    // How many replies the dialog has shown.
    int Updates() const { return updates_; }

    // "#,##0": whole numbers with "," between each three digits.
    static QString FormatCount(double value);

protected:
    void done(int result) override;

private:
    QLabel* AddRow(QGridLayout* grid, int row, const QString& caption);
    void Release();

    TKyrelConnection& kyrel_;
    QTimer timer_;
    TStatusEvent previous_;
    bool holding_ = false;
    int updates_ = 0;
    QList<QPair<QString, QLabel*>> values_;
};

} // namespace qx
