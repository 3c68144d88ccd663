#pragma once

#include "core/base/Job.h"
#include "scan/SaneBackend.h"

#include <QDialog>
#include <QList>
#include <QString>

class QDialogButtonBox;
class QLabel;
class QProgressBar;
class QTreeWidget;

namespace vexa::scan {

// Lists the scanners SANE finds (vendor, model, device name) and lets the user pick one.
// The search runs off the GUI thread behind a busy bar: network backends can take seconds.
// SANE cannot interrupt a search, so closing the window abandons one still running rather
// than waiting for it; `backend` must outlive that search (the process's backend does).
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
    struct Search {
        QList<ScannerInfo> found;
        QString error;
    };
    void showDevices(const Search& search);

    QString m_current;
    QTreeWidget* m_list = nullptr;
    QLabel* m_status = nullptr;
    QProgressBar* m_busy = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
    base::Job m_search;
};

} // namespace vexa::scan
