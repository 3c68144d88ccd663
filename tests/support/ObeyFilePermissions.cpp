#include "support/ObeyFilePermissions.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace vexa::test {

namespace {

constexpr unsigned kOverrides =
    (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);

bool readCaps(__user_cap_header_struct& header, __user_cap_data_struct (&data)[2]) {
    header = {_LINUX_CAPABILITY_VERSION_3, 0};
    return syscall(SYS_capget, &header, data) == 0;
}

bool setEffective(unsigned effective) {
    __user_cap_header_struct header;
    __user_cap_data_struct data[2];
    if (!readCaps(header, data)) return false;
    data[0].effective = effective;
    return syscall(SYS_capset, &header, data) == 0;
}

} // namespace

ObeyFilePermissions::ObeyFilePermissions() {
    if (geteuid() != 0) return;
    __user_cap_header_struct header;
    __user_cap_data_struct data[2];
    if (!readCaps(header, data)) {
        ADD_FAILURE() << "cannot read the capabilities of the test process";
        return;
    }
    m_savedEffective = data[0].effective;
    m_lowered = setEffective(m_savedEffective & ~kOverrides);
    if (!m_lowered) ADD_FAILURE() << "cannot make root obey file permissions";
}

ObeyFilePermissions::~ObeyFilePermissions() {
    if (m_lowered) setEffective(m_savedEffective);
}

} // namespace vexa::test
