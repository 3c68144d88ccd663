// A stand-in for libsane whose device search does not return until the test lets it: what a
// network backend looking for scanners is like. Loaded by SaneBackend like the real library.
// The test reaches its controls through QLibrary: held_sane_hold, held_sane_release,
// held_sane_inside.
#include <sane/sane.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

std::mutex lock;
std::condition_variable released;
bool holding = false;
std::atomic<bool> inside = false;
SANE_Device device{"held:0", "Held", "Search", "virtual device"};
const SANE_Device* devices[] = {&device, nullptr};

} // namespace

extern "C" {

// The next searches wait until held_sane_release.
void held_sane_hold() {
    std::lock_guard<std::mutex> guard(lock);
    holding = true;
}

void held_sane_release() {
    {
        std::lock_guard<std::mutex> guard(lock);
        holding = false;
    }
    released.notify_all();
}

// True while a search is inside the library.
bool held_sane_inside() {
    return inside;
}

SANE_Status sane_init(SANE_Int* version, SANE_Auth_Callback) {
    if (version) *version = SANE_VERSION_CODE(1, 0, 0);
    return SANE_STATUS_GOOD;
}

void sane_exit() {}

SANE_Status sane_get_devices(const SANE_Device*** list, SANE_Bool) {
    inside = true;
    {
        std::unique_lock<std::mutex> guard(lock);
        // Bounded, so that a test that fails never leaves a process hanging.
        released.wait_for(guard, std::chrono::minutes(2), [] { return !holding; });
    }
    *list = devices;
    inside = false;
    return SANE_STATUS_GOOD;
}

SANE_Status sane_open(SANE_String_Const, SANE_Handle*) {
    return SANE_STATUS_INVAL;
}
void sane_close(SANE_Handle) {}
const SANE_Option_Descriptor* sane_get_option_descriptor(SANE_Handle, SANE_Int) {
    return nullptr;
}
SANE_Status sane_control_option(SANE_Handle, SANE_Int, SANE_Action, void*, SANE_Int*) {
    return SANE_STATUS_INVAL;
}
SANE_Status sane_get_parameters(SANE_Handle, SANE_Parameters*) {
    return SANE_STATUS_INVAL;
}
SANE_Status sane_start(SANE_Handle) {
    return SANE_STATUS_INVAL;
}
SANE_Status sane_read(SANE_Handle, SANE_Byte*, SANE_Int, SANE_Int*) {
    return SANE_STATUS_INVAL;
}
void sane_cancel(SANE_Handle) {}
SANE_String_Const sane_strstatus(SANE_Status) {
    return "held";
}

} // extern "C"
