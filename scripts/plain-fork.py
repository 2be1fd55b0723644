#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs a command whose Qt programs start their children with a plain fork().

    python3 scripts/plain-fork.py COMMAND [ARG...]

Qt 6.4 starts a child process (QProcess: a sound server, a bus, the program
itself) with clone(CLONE_VM | CLONE_VFORK | CLONE_PIDFD), which the thread
sanitizer's runtime of clang 14 cannot follow: the child dies in the
runtime's own check before it gets to exec. Qt first asks the kernel whether
it can wait on a process descriptor, with waitid(P_PIDFD, ...), and on a
kernel that refuses that with EINVAL it starts children with fork(), which
the sanitizer follows. This installs a seccomp filter that gives every
waitid(P_PIDFD, ...) that answer, and nothing else, then execs COMMAND; the
filter holds for it and every process it starts. Without pidfd waits a
child is reaped the older way, by SIGCHLD, which is just as correct.
"""

import ctypes
import errno
import os
import platform
import struct
import sys

PR_SET_NO_NEW_PRIVS = 38
PR_SET_SECCOMP = 22
SECCOMP_MODE_FILTER = 2
SECCOMP_RET_ALLOW = 0x7FFF0000
SECCOMP_RET_ERRNO = 0x00050000
P_PIDFD = 3

# Classic BPF: load a word, compare it with a constant, return.
BPF_LD_W_ABS = 0x20
BPF_JEQ_K = 0x15
BPF_RET_K = 0x06

# struct seccomp_data: int nr; u32 arch; u64 instruction_pointer; u64 args[6]
OFFSET_NR = 0
OFFSET_ARCH = 4
OFFSET_FIRST_ARG = 16  # its low half on these little-endian machines

# The machine: its audit architecture and the number of waitid there.
ARCHITECTURES = {
    "x86_64": (0xC000003E, 247),
    "aarch64": (0xC00000B7, 95),
}


def instruction(code, jump_true, jump_false, constant):
    return struct.pack("=HBBI", code, jump_true, jump_false, constant)


def waitid_pidfd_refused(architecture, waitid):
    """Another architecture's calls, another call, another idtype: allowed."""
    program = [
        instruction(BPF_LD_W_ABS, 0, 0, OFFSET_ARCH),
        instruction(BPF_JEQ_K, 0, 5, architecture),
        instruction(BPF_LD_W_ABS, 0, 0, OFFSET_NR),
        instruction(BPF_JEQ_K, 0, 3, waitid),
        instruction(BPF_LD_W_ABS, 0, 0, OFFSET_FIRST_ARG),
        instruction(BPF_JEQ_K, 0, 1, P_PIDFD),
        instruction(BPF_RET_K, 0, 0, SECCOMP_RET_ERRNO | errno.EINVAL),
        instruction(BPF_RET_K, 0, 0, SECCOMP_RET_ALLOW),
    ]
    return b"".join(program)


class SockFprog(ctypes.Structure):
    _fields_ = [("len", ctypes.c_ushort), ("filter", ctypes.c_char_p)]


def install_filter():
    machine = platform.machine()
    if machine not in ARCHITECTURES:
        sys.exit(f"plain-fork: no seccomp filter for {machine}")
    code = waitid_pidfd_refused(*ARCHITECTURES[machine])
    libc = ctypes.CDLL(None, use_errno=True)
    prctl = libc.prctl
    prctl.argtypes = [ctypes.c_int, ctypes.c_ulong, ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong]
    # Without privileges, the kernel takes a filter only from a process that
    # can gain none, and a set-user-ID program it starts then gains none
    # either: none of the tests runs one.
    if prctl(PR_SET_NO_NEW_PRIVS, 1, None, 0, 0) != 0:
        sys.exit(f"plain-fork: no_new_privs: {os.strerror(ctypes.get_errno())}")
    program = SockFprog(len(code) // 8, code)
    if prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, ctypes.addressof(program), 0, 0) != 0:
        sys.exit(f"plain-fork: seccomp: {os.strerror(ctypes.get_errno())}")


def main():
    if len(sys.argv) < 2:
        sys.exit("usage: " + __doc__.strip().splitlines()[2].strip())
    install_filter()
    os.execvp(sys.argv[1], sys.argv[1:])


if __name__ == "__main__":
    main()
