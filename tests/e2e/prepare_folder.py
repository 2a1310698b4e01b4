#!/usr/bin/python3
"""Writes the settings of the end-to-end run into a program folder.

Stock 1 is ABC with the price-above alert at 12.00 and the volume alert; stocks 2 and 3 are NAS
(a quote with "N/A" fields) and BAD (no quote), watched without alerts; the schedule runs
from 10:00 to 11:00 every 5 minutes; mail goes to the test's server; terms accepted; sounds off.
Usage: prepare_folder.py FOLDER HTTP_PORT SMTP_PORT
"""
import struct
import sys

folder, http_port, smtp_port = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])


def text(value, width):
    return value.encode("latin-1")[:width].ljust(width, b" ")


aset = struct.pack("<hB", -1, 0) + text("ABC", 7)
aset += bytes([0, 0, 0, 0, 0, 0]) + struct.pack("<6h", 5, 10, 10, 30, 50, 200)
aset += bytes([0, 0]) + struct.pack("<2h", 20, 20)
aset += bytes([0, 0]) + struct.pack("<2h", 10, 0)
aset += bytes([0, 0, 1, 0]) + struct.pack("<2d", 12.0, 0.0) + bytes([1, 0])
assert len(aset) == 62
open(f"{folder}/Aset1.dat", "wb").write(aset)

for number, symbol in ((2, "NAS"), (3, "BAD")):
    quiet = struct.pack("<hB", -1, 0) + text(symbol, 7)
    quiet += bytes(6) + struct.pack("<6h", 5, 10, 10, 30, 50, 200)
    quiet += bytes(2) + struct.pack("<2h", 20, 20)
    quiet += bytes(2) + struct.pack("<2h", 10, 0)
    quiet += bytes(4) + struct.pack("<2d", 0.0, 0.0) + bytes(2)
    assert len(quiet) == 62
    open(f"{folder}/Aset{number}.dat", "wb").write(quiet)

open(f"{folder}/timeset.dat", "wb").write(struct.pack("<7h", 10, 0, 10, 0, 11, 0, 5))

mail = struct.pack("<3h", 0, 0, 0)
for value, width in ((f"127.0.0.1:{smtp_port}", 30), ("", 20), ("", 20), ("tradevane@example.com", 40),
                     ("trader@example.com", 40), ("", 40), ("Tradevane alert", 50), ("", 300), ("", 300)):
    mail += text(value, width)
assert len(mail) == 846
open(f"{folder}/mailset.dat", "wb").write(mail)

open(f"{folder}/soundset.dat", "wb").write(bytes(12))
open(f"{folder}/frs.dat", "wb").write(b"\x01")
open(f"{folder}/servers.ini", "w").write(
    f"[servers]\nQuoteServer=http://127.0.0.1:{http_port}\nHistoryServer=http://127.0.0.1:{http_port}\n")
