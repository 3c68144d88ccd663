#pragma once

#include <QLibrary>
#include <QList>
#include <QMutex>
#include <QString>

#include <sane/sane.h>

#include <atomic>
#include <memory>

namespace vexa::scan {

// A scanner as SANE lists it. The texts are copies: SANE's own are valid only until the
// next SANE call.
struct ScannerInfo {
    QString name;
    QString vendor;
    QString model;
    QString type;
};

// The SANE library, loaded when first needed and initialised once per process. SANE is
// not safe for use from several threads at a time: every call goes through this object,
// which lets one call run at a time. The library is loaded by name at run time so that
// VEXA starts and works without it; only scanning then fails.
class SaneBackend {
public:
    // Loads and initialises the shared library file `libraryName` (e.g. "libsane.so.1").
    explicit SaneBackend(const QString& libraryName);
    ~SaneBackend();
    SaneBackend(const SaneBackend&) = delete;
    SaneBackend& operator=(const SaneBackend&) = delete;

    // The process's backend: libsane.so.1. SANE reads SANE_CONFIG_DIR when this is first
    // called. Never destroyed: a search abandoned by its window may still be inside SANE.
    static SaneBackend& shared();
    // At exit: ends SANE (sane_exit) unless a call is still inside it, such as an abandoned
    // search; then SANE is left alone and the process ends around it. Nothing to do when the
    // process never used SANE.
    static void shutDownShared();
    // False when a call was still inside SANE.
    bool shutDown();

    bool isReady() const { return m_ready; }
    // Why the backend is not ready: the library is missing or did not initialise.
    const QString& failure() const { return m_failure; }

    // Every scanner SANE finds, local and on the network; empty on failure (`error` says
    // why). Can take seconds: call it off the GUI thread.
    QList<ScannerInfo> devices(QString* error = nullptr);

    SANE_Status open(const QString& name, SANE_Handle* handle);
    void close(SANE_Handle handle);
    const SANE_Option_Descriptor* optionDescriptor(SANE_Handle handle, SANE_Int option);
    SANE_Status controlOption(SANE_Handle handle, SANE_Int option, SANE_Action action, void* value,
                              SANE_Int* info);
    SANE_Status parameters(SANE_Handle handle, SANE_Parameters* params);
    SANE_Status start(SANE_Handle handle);
    SANE_Status read(SANE_Handle handle, SANE_Byte* data, SANE_Int maxLength, SANE_Int* length);
    void cancel(SANE_Handle handle);

    // SANE's description of a status, or a plain fallback when the library is missing.
    QString statusText(SANE_Status status);

private:
    struct Api;

    QLibrary m_library;
    std::unique_ptr<Api> m_api;
    QMutex m_lock;
    std::atomic<bool> m_ready{false};
    QString m_failure;
};

} // namespace vexa::scan
