#pragma once

#include <QString>
#include <QStringList>

#include <sys/types.h>

namespace vexa::test {

// The papers of a test printer's PPD: each ImageableArea as "left bottom right top" in points
// (an empty one leaves the paper out), and how the printer turns landscape pages.
struct TestPpd {
    QString letterArea = QStringLiteral("18 36 594 756");
    QString legalArea = QStringLiteral("18 36 594 972");
    QString a4Area;
    QString landscape = QStringLiteral("Plus90");
};

// A private cupsd for the print tests, in a folder of its own under /tmp, with printers
// whose output lands in files. Starting it points this process at it (CUPS_SERVER, HOME,
// XDG_RUNTIME_DIR, CUPS_SERVERROOT) and clears PRINTER and LPDEST. libcups keeps the server
// it first talked to for the life of the process, so there is one server per test program:
// take it from cupsTestServer().
class CupsTestServer {
public:
    CupsTestServer() = default;
    ~CupsTestServer();
    CupsTestServer(const CupsTestServer&) = delete;
    CupsTestServer& operator=(const CupsTestServer&) = delete;

    // Writes the configuration and starts cupsd; false with `error` set when it fails.
    bool start(QString* error);
    // Stops cupsd by its process id and removes the folder.
    void stop();

    // The state every test starts from: printers "alpha" and "beta", "alpha" the server's
    // default, no saved user default, no jobs, empty output files.
    bool reset(QString* error);

    bool addPrinter(const QString& name, QString* error, const TestPpd& ppd = TestPpd());
    bool deletePrinter(const QString& name, QString* error);
    bool setServerDefault(const QString& name, QString* error);
    // The printer turns every new job down (cupsreject) until the next reset.
    bool rejectJobs(const QString& name, QString* error);

    // Stops cupsd, keeping its folder and printers, and starts it again.
    void halt();
    bool resume(QString* error);

    // Waits until the queue is empty (every job printed); false after 30 s.
    bool waitUntilIdle();

    // What each printed job delivered, oldest first: one PDF file per job.
    QStringList jobFiles(const QString& printer) const;
    // The options a job's filters were given (CUPS' own and the job's), for one of jobFiles().
    QString jobOptions(const QString& jobFile) const;
    // The PPD the server keeps for the printer and hands its filters.
    QString printerPpd(const QString& printer) const;
    // The printer's output file (the last job only: every job overwrites it).
    QString outputFile(const QString& printer) const;
    // The user's saved default destinations.
    QString userOptionsFile() const;
    const QString& folder() const { return m_folder; }

private:
    bool run(const QString& program, const QStringList& arguments, QString* output,
             QString* error) const;
    bool writeConfiguration(QString* error);
    bool launch(QString* error);

    QString m_folder;
    pid_t m_pid = -1;
};

// The test program's server, started on first use and stopped when the program ends.
// Fails the calling test when it cannot be started.
CupsTestServer& cupsTestServer();

} // namespace vexa::test
