#pragma once

#include "scan/SaneBackend.h"

#include <QDialog>
#include <QList>
#include <QString>

class QDialogButtonBox;
class QLabel;
class QProgressBar;
class QTreeWidget;

namespace vexa::scan {

class BackgroundTask;

// Lists the scanners SANE finds (vendor, model, device name) and lets the user pick one.
// The search runs off the GUI thread behind a busy bar: network backends can take seconds.
class SourceDialog : public QDialog {
    Q_OBJECT
public:
    SourceDialog(SaneBackend& backend, const QString& current, QWidget* owner);
    ~SourceDialog() override;

    // The device chosen when the dialog was accepted.
    QString chosenDevice() const;

    bool isSearching() const;
    QTreeWidget* deviceList() const { return m_list; }

private:
    void showDevices();

    SaneBackend& m_backend;
    QString m_current;
    QList<ScannerInfo> m_found;
    QString m_error;
    QTreeWidget* m_list = nullptr;
    QLabel* m_status = nullptr;
    QProgressBar* m_busy = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
    BackgroundTask* m_search = nullptr;
};

} // namespace vexa::scan
