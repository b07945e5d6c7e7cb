#!/usr/bin/env python3
"""A file system that never answers, for the tests: silent_share.py MOUNT NOTE PIDFILE.

Mounts itself with FUSE on MOUNT, takes the kernel's INIT and answers nothing more: whoever asks for a
file there waits, as for a server that does not answer, until this program ends and the kernel fails
every question still open. Each name asked for is added to NOTE. Once mounted it goes on in the
background (its id in PIDFILE); the exit status says whether the mount was made.
"""
import ctypes
import os
import struct
import sys

LOOKUP, INIT = 1, 26
HEADER = struct.Struct("<IIQQIIII")  # fuse_in_header


def main():
    mount, note, pidfile = sys.argv[1:4]
    device = os.open("/dev/fuse", os.O_RDWR)
    options = f"fd={device},rootmode=40000,user_id=0,group_id=0".encode()
    # MS_NOSUID | MS_NODEV
    if ctypes.CDLL(None).mount(b"ombrel-silent", mount.encode(), b"fuse", ctypes.c_ulong(6), options) != 0:
        return 1
    if os.fork() != 0:
        return 0
    os.setsid()
    quiet = os.open(os.devnull, os.O_RDWR)  # nothing of its starter is held
    for stream in (0, 1, 2):
        os.dup2(quiet, stream)
    with open(pidfile, "w") as out:
        out.write(str(os.getpid()))
    while True:
        request = os.read(device, 1 << 20)
        _, opcode, unique, *_ = HEADER.unpack_from(request)
        if opcode == INIT:  # fuse_init_out of protocol 7.26, every feature off
            minor = min(struct.unpack_from("<II", request, HEADER.size)[1], 26)
            body = struct.pack("<IIIIHHIIHHI", 7, minor, 0, 0, 0, 0, 1 << 17, 1, 0, 0, 0) + bytes(28)
            os.write(device, struct.pack("<IiQ", 16 + len(body), 0, unique) + body)
        elif opcode == LOOKUP:
            with open(note, "ab") as out:
                out.write(request[HEADER.size:].split(b"\0")[0] + b"\n")


if __name__ == "__main__":
    sys.exit(main())
