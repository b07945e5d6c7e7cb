#!/usr/bin/env python3
"""A file system that never answers, for the tests: what a server that does not
answer is to the program that asks it for a file.

    silent_share.py MOUNT NOTE PIDFILE

Mounts itself with FUSE on the folder MOUNT, takes the kernel's first message
(INIT) and then answers nothing: whoever asks for a file in it waits until
this program ends, when the kernel fails every question still open. The name
of each file asked for is added to NOTE, a line each, so that a test sees the
question is out. Once mounted it goes on in the background, its process id in
PIDFILE; the exit status says whether the mount was made (0) or not (1).
Only the standard library: the kernel's protocol is a few fixed structures.
"""
import ctypes
import os
import struct
import sys

FUSE_LOOKUP = 1
FUSE_INIT = 26
HEADER = struct.Struct("<IIQQIIII")  # fuse_in_header: len, opcode, unique, nodeid, uid, gid, pid, padding
MS_NOSUID = 0x2
MS_NODEV = 0x4


def init_reply(unique, kernel_minor):
    # fuse_init_out as of protocol 7.26: 64 bytes, every feature off.
    body = struct.pack("<IIIIHHIIHHI", 7, min(kernel_minor, 26), 0, 0, 0, 0, 1 << 17, 1, 0, 0, 0) + bytes(28)
    return struct.pack("<IiQ", 16 + len(body), 0, unique) + body


def main():
    mount, note, pidfile = sys.argv[1:4]
    device = os.open("/dev/fuse", os.O_RDWR)
    libc = ctypes.CDLL(None, use_errno=True)
    options = f"fd={device},rootmode=40000,user_id=0,group_id=0".encode()
    if libc.mount(b"ombrel-silent", mount.encode(), b"fuse", ctypes.c_ulong(MS_NOSUID | MS_NODEV), options) != 0:
        return 1
    if os.fork() != 0:
        return 0
    os.setsid()
    # Nothing of whoever started it is held: it waits for none of it.
    quiet = os.open(os.devnull, os.O_RDWR)
    for stream in (0, 1, 2):
        os.dup2(quiet, stream)
    with open(pidfile, "w") as out:
        out.write(str(os.getpid()))
    while True:
        request = os.read(device, 1 << 20)
        _, opcode, unique, *_ = HEADER.unpack_from(request)
        if opcode == FUSE_INIT:
            os.write(device, init_reply(unique, struct.unpack_from("<II", request, HEADER.size)[1]))
        elif opcode == FUSE_LOOKUP:
            with open(note, "ab") as out:
                out.write(request[HEADER.size:].split(b"\0")[0] + b"\n")


if __name__ == "__main__":
    sys.exit(main())
