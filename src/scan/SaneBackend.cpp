#include "scan/SaneBackend.h"

#include "core/base/Log.h"

#include <QMutexLocker>

namespace vexa::scan {

struct SaneBackend::Api {
    decltype(&::sane_init) init = nullptr;
    decltype(&::sane_get_devices) getDevices = nullptr;
    decltype(&::sane_open) open = nullptr;
    decltype(&::sane_close) close = nullptr;
    decltype(&::sane_get_option_descriptor) getOptionDescriptor = nullptr;
    decltype(&::sane_control_option) controlOption = nullptr;
    decltype(&::sane_get_parameters) getParameters = nullptr;
    decltype(&::sane_start) start = nullptr;
    decltype(&::sane_read) read = nullptr;
    decltype(&::sane_cancel) cancel = nullptr;
    decltype(&::sane_strstatus) strstatus = nullptr;
    decltype(&::sane_exit) exit = nullptr;
};

namespace {

template <typename Function>
bool resolve(QLibrary& library, const char* symbol, Function& function) {
    function = reinterpret_cast<Function>(library.resolve(symbol));
    return function != nullptr;
}

} // namespace

SaneBackend::SaneBackend(const QString& libraryName) : m_library(libraryName) {
    if (!m_library.load()) {
        m_failure = QStringLiteral("The scanner library (SANE) is not installed: %1")
                        .arg(m_library.errorString());
        return;
    }
    auto api = std::make_unique<Api>();
    const bool complete =
        resolve(m_library, "sane_init", api->init) &&
        resolve(m_library, "sane_get_devices", api->getDevices) &&
        resolve(m_library, "sane_open", api->open) &&
        resolve(m_library, "sane_close", api->close) &&
        resolve(m_library, "sane_get_option_descriptor", api->getOptionDescriptor) &&
        resolve(m_library, "sane_control_option", api->controlOption) &&
        resolve(m_library, "sane_get_parameters", api->getParameters) &&
        resolve(m_library, "sane_start", api->start) &&
        resolve(m_library, "sane_read", api->read) &&
        resolve(m_library, "sane_cancel", api->cancel) &&
        resolve(m_library, "sane_strstatus", api->strstatus) &&
        resolve(m_library, "sane_exit", api->exit);
    if (!complete) {
        m_failure = QStringLiteral("The scanner library (SANE) is incomplete: %1")
                        .arg(m_library.errorString());
        return;
    }
    SANE_Int version = 0;
    const SANE_Status status = api->init(&version, nullptr);
    m_api = std::move(api);
    if (status != SANE_STATUS_GOOD) {
        m_failure =
            QStringLiteral("The scanner library (SANE) did not start: %1").arg(statusText(status));
        return;
    }
    m_ready = true;
}

// SANE is ended by shutDown, never from a destructor: sane_exit from a static destructor
// would unload the backends while the system tears the process down.
SaneBackend::~SaneBackend() = default;

namespace {
SaneBackend* sharedBackend = nullptr; // made on first use, on the window's thread
} // namespace

SaneBackend& SaneBackend::shared() {
    if (!sharedBackend) sharedBackend = new SaneBackend(QStringLiteral("libsane.so.1"));
    return *sharedBackend;
}

void SaneBackend::shutDownShared() {
    if (sharedBackend && !sharedBackend->shutDown())
        qCDebug(base::lcScan) << "a scanner call is still inside SANE: SANE is not ended";
}

bool SaneBackend::shutDown() {
    if (!m_lock.tryLock()) return false;
    if (m_ready) {
        m_api->exit();
        m_ready = false;
        m_failure = QStringLiteral("The scanner library (SANE) has been ended.");
    }
    m_lock.unlock();
    return true;
}

QList<ScannerInfo> SaneBackend::devices(QString* error) {
    QList<ScannerInfo> found;
    if (!m_ready) {
        if (error) *error = m_failure;
        return found;
    }
    QMutexLocker locker(&m_lock);
    const SANE_Device** list = nullptr;
    const SANE_Status status = m_api->getDevices(&list, SANE_FALSE);
    if (status != SANE_STATUS_GOOD) {
        if (error) *error = QString::fromLocal8Bit(m_api->strstatus(status));
        return found;
    }
    for (; list && *list; ++list) {
        const SANE_Device& device = **list;
        auto text = [](const char* s) { return s ? QString::fromLocal8Bit(s) : QString(); };
        found.append(
            {text(device.name), text(device.vendor), text(device.model), text(device.type)});
    }
    qCDebug(base::lcScan) << "found" << found.size() << "scanners";
    return found;
}

SANE_Status SaneBackend::open(const QString& name, SANE_Handle* handle) {
    if (!m_ready) return SANE_STATUS_INVAL;
    QMutexLocker locker(&m_lock);
    const SANE_Status status = m_api->open(name.toLocal8Bit().constData(), handle);
    qCDebug(base::lcScan) << "opened" << name << ":" << m_api->strstatus(status);
    return status;
}

void SaneBackend::close(SANE_Handle handle) {
    QMutexLocker locker(&m_lock);
    m_api->close(handle);
}

const SANE_Option_Descriptor* SaneBackend::optionDescriptor(SANE_Handle handle, SANE_Int option) {
    QMutexLocker locker(&m_lock);
    return m_api->getOptionDescriptor(handle, option);
}

SANE_Status SaneBackend::controlOption(SANE_Handle handle, SANE_Int option, SANE_Action action,
                                       void* value, SANE_Int* info) {
    QMutexLocker locker(&m_lock);
    return m_api->controlOption(handle, option, action, value, info);
}

SANE_Status SaneBackend::parameters(SANE_Handle handle, SANE_Parameters* params) {
    QMutexLocker locker(&m_lock);
    return m_api->getParameters(handle, params);
}

SANE_Status SaneBackend::start(SANE_Handle handle) {
    QMutexLocker locker(&m_lock);
    return m_api->start(handle);
}

SANE_Status SaneBackend::read(SANE_Handle handle, SANE_Byte* data, SANE_Int maxLength,
                              SANE_Int* length) {
    QMutexLocker locker(&m_lock);
    return m_api->read(handle, data, maxLength, length);
}

void SaneBackend::cancel(SANE_Handle handle) {
    QMutexLocker locker(&m_lock);
    m_api->cancel(handle);
}

QString SaneBackend::statusText(SANE_Status status) {
    if (!m_api) return QStringLiteral("SANE status %1").arg(static_cast<int>(status));
    QMutexLocker locker(&m_lock);
    return QString::fromLocal8Bit(m_api->strstatus(status));
}

} // namespace vexa::scan
