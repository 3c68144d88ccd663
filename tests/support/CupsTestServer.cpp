#include "support/CupsTestServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vexa::test {

namespace {

const QStringList kPrinters{QStringLiteral("alpha"), QStringLiteral("beta")};

bool writeFile(const QString& path, const QString& text, QFile::Permissions permissions,
               QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) < 0 ||
        !file.setPermissions(permissions)) {
        *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    return true;
}

constexpr QFile::Permissions kMode644 =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
constexpr QFile::Permissions kMode755 =
    kMode644 | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;

// A printer that has margins, so a cover must start at the printable area, not the paper.
QString testPpd(const QString& filter, const TestPpd& shape) {
    struct Paper {
        const char* name;
        const char* text;
        const char* size;
        QString area;
    };
    const Paper papers[] = {{"Letter", "US Letter", "612 792", shape.letterArea},
                            {"Legal", "US Legal", "612 1008", shape.legalArea},
                            {"A4", "A4", "595 842", shape.a4Area}};
    QString sizes, regions, areas, dimensions;
    for (const Paper& p : papers) {
        if (p.area.isEmpty()) continue;
        const QString choice = QStringLiteral("%1/%2").arg(p.name, p.text);
        const QString code =
            QStringLiteral("\"<</PageSize[%1]/ImagingBBox null>>setpagedevice\"\n").arg(p.size);
        sizes += QStringLiteral("*PageSize ") + choice + QStringLiteral(": ") + code;
        regions += QStringLiteral("*PageRegion ") + choice + QStringLiteral(": ") + code;
        areas += QStringLiteral("*ImageableArea %1: \"%2\"\n").arg(choice, p.area);
        dimensions += QStringLiteral("*PaperDimension %1: \"%2\"\n").arg(choice, p.size);
    }
    QString extras;
    if (shape.manualCopies) extras += QStringLiteral("*cupsManualCopies: True\n");
    if (shape.duplex)
        extras += QStringLiteral(
            "*cupsEvenDuplex: True\n"
            "*OpenUI *Duplex/2-Sided Printing: PickOne\n"
            "*OrderDependency: 10 AnySetup *Duplex\n"
            "*DefaultDuplex: None\n"
            "*Duplex None/Off: \"<</Duplex false>>setpagedevice\"\n"
            "*Duplex DuplexNoTumble/Long Edge: \"<</Duplex true/Tumble false>>setpagedevice\"\n"
            "*Duplex DuplexTumble/Short Edge: \"<</Duplex true/Tumble true>>setpagedevice\"\n"
            "*CloseUI: *Duplex\n");
    return QStringLiteral(R"PPD(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "VEXATEST.PPD"
*Manufacturer: "VEXA"
*Product: "(VEXA Test Printer)"
*ModelName: "VEXA Test Printer"
*ShortNickName: "VEXA Test Printer"
*NickName: "VEXA Test Printer"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: True
*DefaultColorSpace: RGB
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: %2
*TTRasterizer: Type42
*cupsFilter2: "application/pdf application/vnd.vexa-test-pdf 0 %1"
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: Letter
%3*CloseUI: *PageSize
*OpenUI *PageRegion: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: Letter
%4*CloseUI: *PageRegion
*DefaultImageableArea: Letter
%5*DefaultPaperDimension: Letter
%6%7*DefaultFont: Courier
)PPD")
        .arg(filter, shape.landscape, sizes, regions, areas, dimensions, extras);
}

} // namespace

CupsTestServer::~CupsTestServer() {
    stop();
}

bool CupsTestServer::writeConfiguration(QString* error) {
    const QString b = m_folder;
    for (const char* sub : {"etc", "spool/tmp", "cache", "state", "log", "filter", "ppd", "out",
                            "jobs", "home", "run"}) {
        if (!QDir().mkpath(b + QLatin1Char('/') + QLatin1String(sub))) {
            *error = QStringLiteral("cannot create %1/%2").arg(b, QLatin1String(sub));
            return false;
        }
    }
    // Filters run as user lp: they must reach the folder and write the job copies.
    QFile::setPermissions(b, kMode755);
    QFile::setPermissions(b + QStringLiteral("/filter"), kMode755);
    QFile::setPermissions(b + QStringLiteral("/out"), kMode755);
    ::chmod(QFile::encodeName(b + QStringLiteral("/jobs")).constData(), 01777);
    ::chmod(QFile::encodeName(b + QStringLiteral("/spool/tmp")).constData(), 01777);
    QFile::setPermissions(b + QStringLiteral("/run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    const QString files = QStringLiteral("ServerRoot %1/etc\n"
                                         "RequestRoot %1/spool\n"
                                         "TempDir %1/spool/tmp\n"
                                         "CacheDir %1/cache\n"
                                         "StateDir %1/state\n"
                                         "ErrorLog %1/log/error_log\n"
                                         "AccessLog %1/log/access_log\n"
                                         "PageLog %1/log/page_log\n"
                                         "FileDevice Yes\n"
                                         "SystemGroup root\n")
                              .arg(b);
    const QString server = QStringLiteral("Listen %1/cups.sock\n"
                                          "Browsing No\n"
                                          "WebInterface No\n"
                                          "<Location />\n  Order allow,deny\n  Allow all\n"
                                          "</Location>\n"
                                          "<Policy default>\n"
                                          "  JobPrivateAccess all\n  JobPrivateValues none\n"
                                          "  SubscriptionPrivateAccess all\n"
                                          "  SubscriptionPrivateValues none\n"
                                          "  <Limit All>\n    Order deny,allow\n  </Limit>\n"
                                          "</Policy>\n")
                               .arg(b);
    // The PDF goes through unchanged; a copy per job, with the options the job came with and
    // the copies of each of its documents, lets a test read every job.
    const QString filter =
        QStringLiteral("#!/bin/sh\n"
                       "printf '%s' \"$5\" > \"%1/jobs/${PRINTER}-$1.options\"\n"
                       "printf '%s\\n' \"$4\" >> \"%1/jobs/${PRINTER}-$1.copies\"\n"
                       "if [ -n \"$6\" ]; then exec 0<\"$6\"; fi\n"
                       "exec tee \"%1/jobs/${PRINTER}-$1.pdf\"\n")
            .arg(b);
    const QString refusing = QStringLiteral("#!/bin/sh\n"
                                            "echo \"ERROR: %1\" >&2\n"
                                            "exit 1\n")
                                 .arg(QLatin1String(kRefusingFilterMessage));
    return writeFile(b + QStringLiteral("/etc/cups-files.conf"), files, kMode644, error) &&
           writeFile(b + QStringLiteral("/etc/cupsd.conf"), server, kMode644, error) &&
           writeFile(b + QStringLiteral("/filter/passthru"), filter, kMode755, error) &&
           writeFile(b + QStringLiteral("/filter/refusing"), refusing, kMode755, error);
}

bool CupsTestServer::start(QString* error) {
    if (m_pid > 0) return true;
    QByteArray pattern = QDir::tempPath().toLocal8Bit() + "/vexa-cups.XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        *error = QStringLiteral("mkdtemp failed");
        return false;
    }
    m_folder = QString::fromLocal8Bit(pattern);
    if (!writeConfiguration(error)) return false;

    qputenv("CUPS_SERVER", (m_folder + QStringLiteral("/cups.sock")).toLocal8Bit());
    qputenv("CUPS_SERVERROOT", (m_folder + QStringLiteral("/etc")).toLocal8Bit());
    qputenv("HOME", (m_folder + QStringLiteral("/home")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", (m_folder + QStringLiteral("/run")).toLocal8Bit());
    qunsetenv("PRINTER");
    qunsetenv("LPDEST");

    return launch(error);
}

bool CupsTestServer::launch(QString* error) {
    const QByteArray config = (m_folder + QStringLiteral("/etc/cupsd.conf")).toLocal8Bit();
    const QByteArray files = (m_folder + QStringLiteral("/etc/cups-files.conf")).toLocal8Bit();
    const QByteArray log = (m_folder + QStringLiteral("/log/cupsd.out")).toLocal8Bit();
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) {
        *error = QStringLiteral("fork failed");
        return false;
    }
    if (pid == 0) {
        // The server must not outlive a test program that crashed.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) ::_exit(1);
        const int out = ::open(log.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out >= 0) {
            ::dup2(out, 1);
            ::dup2(out, 2);
        }
        ::execlp("cupsd", "cupsd", "-f", "-c", config.constData(), "-s", files.constData(),
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    m_pid = pid;

    for (int i = 0; i < 200; ++i) {
        QString output;
        if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
            m_pid = -1;
            *error = QStringLiteral("cupsd ended at start-up; see %1/log").arg(m_folder);
            return false;
        }
        // lpstat's exit status is 0 either way; only its text tells.
        if (run(QStringLiteral("lpstat"), {QStringLiteral("-r")}, &output, nullptr) &&
            output.contains(QLatin1String("is running")))
            return true;
        QThread::msleep(50);
    }
    *error = QStringLiteral("cupsd did not answer within 10 s");
    return false;
}

void CupsTestServer::halt() {
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGTERM);
    ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}

bool CupsTestServer::resume(QString* error) {
    return m_pid > 0 || launch(error);
}

void CupsTestServer::stop() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        int status = 0;
        pid_t done = 0;
        for (int i = 0; i < 100 && (done = ::waitpid(m_pid, &status, WNOHANG)) == 0; ++i)
            ::usleep(50 * 1000);
        if (done == 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, &status, 0);
        }
        m_pid = -1;
    }
    if (!m_folder.isEmpty()) {
        QDir(m_folder).removeRecursively();
        m_folder.clear();
    }
}

bool CupsTestServer::run(const QString& program, const QStringList& arguments, QString* output,
                         QString* error) const {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool ok = process.waitForFinished(30000) &&
                    process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    const QString text = QString::fromLocal8Bit(process.readAll());
    if (output) *output = text;
    if (!ok && error)
        *error = QStringLiteral("%1 %2 failed: %3").arg(program, arguments.join(' '), text);
    return ok;
}

bool CupsTestServer::addPrinter(const QString& name, QString* error, const TestPpd& ppd) {
    const QString out = outputFile(name);
    const QString ppdFile = m_folder + QStringLiteral("/ppd/") + name + QStringLiteral(".ppd");
    if (!writeFile(out, QString(), kMode644, error) ||
        !writeFile(ppdFile,
                   testPpd(m_folder + (ppd.refusing ? QStringLiteral("/filter/refusing")
                                                    : QStringLiteral("/filter/passthru")),
                           ppd),
                   kMode644, error))
        return false;
    return run(QStringLiteral("lpadmin"),
               {QStringLiteral("-p"), name, QStringLiteral("-E"), QStringLiteral("-v"),
                QStringLiteral("file://") + out, QStringLiteral("-P"), ppdFile},
               nullptr, error);
}

bool CupsTestServer::deletePrinter(const QString& name, QString* error) {
    return run(QStringLiteral("lpadmin"), {QStringLiteral("-x"), name}, nullptr, error);
}

bool CupsTestServer::setServerDefault(const QString& name, QString* error) {
    return run(QStringLiteral("lpadmin"), {QStringLiteral("-d"), name}, nullptr, error);
}

bool CupsTestServer::rejectJobs(const QString& name, QString* error) {
    return run(QStringLiteral("cupsreject"), {name}, nullptr, error);
}

bool CupsTestServer::pausePrinter(const QString& name, QString* error) {
    return run(QStringLiteral("cupsdisable"), {name}, nullptr, error);
}

bool CupsTestServer::resumePrinter(const QString& name, QString* error) {
    return run(QStringLiteral("cupsenable"), {name}, nullptr, error);
}

bool CupsTestServer::setQueueDefaults(const QString& name, const QStringList& options,
                                      QString* error) {
    QStringList arguments{QStringLiteral("-p"), name};
    for (const QString& option : options) arguments << QStringLiteral("-o") << option;
    return run(QStringLiteral("lpadmin"), arguments, nullptr, error);
}

QStringList CupsTestServer::queuedJobs(const QString& name) const {
    QString listing;
    run(QStringLiteral("lpstat"), {QStringLiteral("-o"), name}, &listing, nullptr);
    QStringList jobs;
    for (const QString& line : listing.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        jobs << line.section(QLatin1Char(' '), 0, 0);
    return jobs;
}

bool CupsTestServer::reset(QString* error) {
    qunsetenv("PRINTER");
    qunsetenv("LPDEST");
    QFile::remove(userOptionsFile());
    QString listing;
    run(QStringLiteral("lpstat"), {QStringLiteral("-e")}, &listing, nullptr);
    for (const QString& name : listing.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (!kPrinters.contains(name.trimmed()) && !deletePrinter(name.trimmed(), error))
            return false;
    }
    for (const QString& name : kPrinters) {
        if (!addPrinter(name, error)) return false;
    }
    QDir jobs(m_folder + QStringLiteral("/jobs"));
    for (const QString& file : jobs.entryList(QDir::Files)) jobs.remove(file);
    return setServerDefault(kPrinters.front(), error);
}

bool CupsTestServer::waitUntilIdle() {
    for (int i = 0; i < 600; ++i) {
        QString output;
        if (run(QStringLiteral("lpstat"), {QStringLiteral("-o")}, &output, nullptr) &&
            output.trimmed().isEmpty())
            return true;
        QThread::msleep(50);
    }
    return false;
}

QStringList CupsTestServer::jobFiles(const QString& printer) const {
    const QRegularExpression name(
        QStringLiteral("^%1-(\\d+)\\.pdf$").arg(QRegularExpression::escape(printer)));
    std::map<int, QString> byJob;
    const QDir jobs(m_folder + QStringLiteral("/jobs"));
    for (const QString& file : jobs.entryList(QDir::Files)) {
        const auto match = name.match(file);
        if (match.hasMatch()) byJob[match.captured(1).toInt()] = jobs.filePath(file);
    }
    QStringList files;
    for (const auto& [id, path] : byJob) files.append(path);
    return files;
}

QString CupsTestServer::jobOptions(const QString& jobFile) const {
    QFile file(QFileInfo(jobFile).path() + QLatin1Char('/') +
               QFileInfo(jobFile).completeBaseName() + QStringLiteral(".options"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList CupsTestServer::jobCopies(const QString& jobFile) const {
    QFile file(QFileInfo(jobFile).path() + QLatin1Char('/') +
               QFileInfo(jobFile).completeBaseName() + QStringLiteral(".copies"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool CupsTestServer::throughPdftopdf(const QString& jobFile, const QString& printer,
                                     const QString& output, QString* error) const {
    QProcess filter;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PPD"), printerPpd(printer));
    environment.insert(QStringLiteral("CONTENT_TYPE"), QStringLiteral("application/pdf"));
    filter.setProcessEnvironment(environment);
    filter.setStandardOutputFile(output);
    // The job's own document is its last; a banner page comes before it.
    const QStringList copies = jobCopies(jobFile);
    filter.start(QStringLiteral("/usr/lib/cups/filter/pdftopdf"),
                 {QStringLiteral("1"), QStringLiteral("user"), QStringLiteral("title"),
                  copies.isEmpty() ? QStringLiteral("1") : copies.last(), jobOptions(jobFile),
                  jobFile});
    if (filter.waitForFinished(60000) && filter.exitStatus() == QProcess::NormalExit &&
        filter.exitCode() == 0)
        return true;
    *error = QStringLiteral("pdftopdf failed: %1")
                 .arg(QString::fromLocal8Bit(filter.readAllStandardError()));
    return false;
}

QString CupsTestServer::printerPpd(const QString& printer) const {
    return m_folder + QStringLiteral("/etc/ppd/") + printer + QStringLiteral(".ppd");
}

QString CupsTestServer::outputFile(const QString& printer) const {
    return m_folder + QStringLiteral("/out/") + printer + QStringLiteral(".pdf");
}

QString CupsTestServer::userOptionsFile() const {
    return m_folder + QStringLiteral("/home/.cups/lpoptions");
}

CupsTestServer& cupsTestServer() {
    static CupsTestServer server;
    static QString failure;
    static const bool started = server.start(&failure);
    if (!started) ADD_FAILURE() << "private cupsd: " << failure.toStdString();
    return server;
}

} // namespace vexa::test
