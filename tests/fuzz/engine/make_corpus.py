#!/usr/bin/env python3
"""Writes the seed corpora of the engine's fuzz targets: a few well-formed datagrams of every kind.
Run from this folder: ./make_corpus.py (the output is committed)."""
import os
import struct


def header(msg_type, length, mac=b"\x00\x1a\x2b\x3c\x4d\x5e", model=257):
    return struct.pack("<HHHBB6sH", 0x1986, model, msg_type, 0, 0, mac, length)


def text(value, width):
    raw = value.encode()[:width]
    return raw + bytes(width - len(raw)) + bytes([len(raw)])


def announce():
    body = text("v1.2.3", 32) + bytes([2, 1, 0]) + struct.pack("<I", 3725)
    body += text("Tower \u5854", 32) + text("north", 32) + bytes([6, 1])
    assert len(body) == 108
    return body


def device_info(ip=(192, 168, 1, 20)):
    info = bytearray(744)
    info[0] = 2
    struct.pack_into("<I", info, 4, 86400)
    info[9:13] = bytes(ip)
    info[13:17] = bytes([255, 255, 255, 0])
    info[30:63] = text("Caf\u00e9-North", 32)
    info[63:96] = text("v2.0", 32)
    struct.pack_into("<H", info, 98, 1370)
    info[131:164] = text("ssid-one", 32)
    info[742] = 1
    return bytes(info)


def scan(count=3, packet_id=0, entries=2):
    body = bytes([count, packet_id, entries])
    for i in range(entries):
        body += bytes([0, 1, 2, 3, 4, i]) + struct.pack("<b", -70 + i) + bytes([6, 3])
        body += text("ap-%d" % i, 32) + bytes([0, 20])
    return body


def write(folder, name, data):
    os.makedirs(os.path.join("corpus", folder), exist_ok=True)
    with open(os.path.join("corpus", folder, name), "wb") as f:
        f.write(data)


write("announce", "full", header(1, 108) + announce())
write("announce", "version-only", header(1, 33) + announce()[:33])
write("announce", "bare", header(1, 0))
write("heartbeat", "beat", header(15, 108) + announce())
write("heartbeat", "short", header(15, 40) + announce()[:40])
write("reply", "getinfo", header(2, 744) + device_info())
write("reply", "scan-last", header(6, len(scan(1, 0))) + scan(1, 0))
for t in (3, 7, 9, 10, 12, 13, 16, 17, 18):
    write("reply", "type%d-ok" % t, header(t, 1) + b"\x00")
    write("reply", "type%d-fail" % t, header(t, 1) + b"\x01")
write("deviceinfo", "full", device_info())
write("deviceinfo", "short", device_info()[:100])
write("scan", "two", scan())
write("scan", "overcount", bytes([2, 1, 40]) + scan(2, 1, 1)[3:])
