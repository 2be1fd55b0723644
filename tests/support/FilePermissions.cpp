// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/FilePermissions.h"

#include <initializer_list>
#include <linux/capability.h>

#include <sys/syscall.h>
#include <unistd.h>

bool obeyFilePermissions()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    for (const int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {
        data[capability / 32].effective &= ~(1u << (capability % 32));
        data[capability / 32].permitted &= ~(1u << (capability % 32));
    }
    return syscall(SYS_capset, &header, data) == 0;
}
