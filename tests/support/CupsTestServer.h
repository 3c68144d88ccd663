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
    // A Duplex option (off unless a queue default turns it on), with pages evened out for it.
    bool duplex = false;
    // Copies made as pages by CUPS' pdftopdf rather than by the printer.
    bool manualCopies = false;
    // Its filter turns every job down, saying kRefusingFilterMessage.
    bool refusing = false;
};

// What the refusing test filter says as it turns a job down.
inline constexpr const char* kRefusingFilterMessage = "the test printer turned the job down";

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
    // The printer takes jobs and holds them (cupsdisable) until resumed (cupsenable).
    bool pausePrinter(const QString& name, QString* error);
    bool resumePrinter(const QString& name, QString* error);
    // Sets defaults of the queue as an administrator would (lpadmin -p NAME -o OPTION each):
    // "number-up-default=2", or a PPD option's default, "Duplex=DuplexNoTumble".
    bool setQueueDefaults(const QString& name, const QStringList& options, QString* error);
    // The jobs waiting in the printer's queue (lpstat -o), by their ids ("alpha-12").
    QStringList queuedJobs(const QString& name) const;

    // Stops cupsd, keeping its folder and printers, and starts it again.
    void halt();
    bool resume(QString* error);

    // Waits until the queue is empty (every job printed); false after 30 s.
    bool waitUntilIdle();

    // What each printed job delivered, oldest first: one PDF file per job.
    QStringList jobFiles(const QString& printer) const;
    // The options a job's filters were given (CUPS' own and the job's), for one of jobFiles().
    QString jobOptions(const QString& jobFile) const;
    // The copies each document of the job was printed with, one entry per document the filter
    // ran for (a banner page is a document of its own), for one of jobFiles().
    QStringList jobCopies(const QString& jobFile) const;
    // The job's PDF through CUPS' pdftopdf, the first filter of every driver's chain (the test
    // queues' own filter skips it), as the server would run it: with the job's copies and
    // options and the printer's PPD. Written to `output`; false with `error` set when it fails.
    bool throughPdftopdf(const QString& jobFile, const QString& printer, const QString& output,
                         QString* error) const;
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
