#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets to tests/fuzz/corpus/{settings,devices}/.

Each seed is one meaningful scenario in the input layout described at the top of
tests/fuzz/settings_fuzz.cpp and tests/fuzz/devices_fuzz.cpp. Rerun after changing a layout.
"""
import pathlib
import struct

ROOT = pathlib.Path(__file__).resolve().parent / "corpus"

REG_NONE, REG_SZ, REG_BINARY, REG_DWORD, REG_DWORD_BIG_ENDIAN, REG_QWORD = 0, 1, 3, 4, 5, 11
ERROR_ACCESS_DENIED, ERROR_BAD_PATHNAME = 5, 161


def number(value):
    return struct.pack("<I", value & 0xFFFFFFFF)


def run(data=b"", length=None):
    """A run of `length` bytes repeating `data` (at most 255 bytes; empty: the fixed pattern)."""
    assert len(data) < 256
    length = len(data) if length is None else length
    encoded = bytes([length]) if length < 0xFF else b"\xff" + number(length)
    return encoded + bytes([len(data)]) + data


# settings: key byte, calls byte, failing-write mask, fill byte, edits, eleven values.
LOAD, SAVE, CLOSE_TWICE, EDIT = 1, 2, 4, 8
NT, REFUSE_ALL, REFUSE_WRITING, GRANT_SET_VALUE = 1, 2, 4, 8


def settings(key=NT, key_error=0, calls=LOAD | SAVE, failing=0, set_error=0, fill=0xAB, edits=None, values=()):
    """values: up to eleven entries, None for a missing value or (type, run bytes)."""
    out = bytes([key | (REFUSE_ALL if key_error else 0)])
    if key_error:
        out += number(key_error)
    out += bytes([calls | (EDIT if edits else 0)])
    out += struct.pack("<H", failing)
    if failing:
        out += number(set_error)
    out += bytes([fill])
    if edits:
        dwords, guid = edits
        out += b"".join(number(v) for v in dwords) + bytes(guid)
    for value in list(values) + [None] * (11 - len(values)):
        if value is None:
            out += b"\x00"
        else:
            value_type, data = value
            out += b"\x01" + number(value_type) + data
    return out


def dword(v):
    return (REG_DWORD, run(struct.pack("<I", v)))


EDITED = ([0x01020304, 24, 32, 2, 6, 7, 8, 5, 9], range(0x11, 0x21))

SETTINGS = {
    "empty-key-nt": settings(),
    "empty-key-win9x": settings(key=0),
    "refused-access-denied": settings(key_error=ERROR_ACCESS_DENIED, calls=LOAD | SAVE | CLOSE_TWICE),
    "read-only-key": settings(key=NT | REFUSE_WRITING),
    "key-granting-set-value": settings(key=NT | REFUSE_WRITING | GRANT_SET_VALUE, edits=EDITED),
    "refused-bad-pathname-both-forms": settings(key_error=ERROR_BAD_PATHNAME),
    "eight-stored-dwords": settings(values=[dword(v) for v in (0, 0, 24, 32, 2, 0, 0, 0)]),
    "high-bit-dwords": settings(key=0, values=[dword(v) for v in (0x80000000, 0xFFFFFFFF, 0x01020304, 0x00FF0000,
                                                                     0x7FFFFFFF, 0x100, 0x10000, 0xDEADBEEF)]),
    "wrong-types-and-sizes": settings(values=[
        (REG_SZ, run(b"24\x00\x00")), (REG_DWORD_BIG_ENDIAN, run(b"\x00\x00\x00\x18")),
        (REG_BINARY, run(b"\x02\x00\x00\x00")), (REG_DWORD, run(b"\x02\x00\x00")),
        (REG_DWORD, run(b"\x02\x00\x00\x00\x00")), (REG_QWORD, run(b"\x02" + bytes(7))),
        (REG_NONE, run(b"\x02\x00\x00\x00")), (REG_DWORD, run()),
    ]),
    "huge-values": settings(values=[(REG_DWORD, run(b"\x18", 65536)), (REG_BINARY, run(length=65536)),
                                    None, dword(8)]),
    "save-edited-record": settings(edits=EDITED, calls=SAVE),
    "save-with-failing-writes": settings(edits=EDITED, calls=LOAD | SAVE, failing=0b1000100001,
                                         set_error=ERROR_ACCESS_DENIED),
    "every-write-fails": settings(calls=SAVE | CLOSE_TWICE, failing=0x3FF, set_error=1021),
    "other-values-kept": settings(values=[None] * 8 + [dword(1), (REG_BINARY, run(bytes(range(16)))),
                                                       (REG_SZ, run(b"10,20\x00"))], edits=EDITED),
}


# devices: failure byte, choices, count byte, devices.
ITEM_ZERO, ITEM_NONE, ITEM_ENTRY = 0, 1, 2

VOODOO = bytes(range(1, 17))
RIVA = bytes(range(0xA1, 0xB1))


def device(name, description, guid=None, failing_allocation=0, name_length=None, description_length=None):
    flags = (1 if guid is not None else 0) | failing_allocation << 1
    out = bytes([flags]) + (guid or b"")
    return out + run(description, description_length) + run(name, name_length)


def devices(devs, choices=((ITEM_NONE, 0),), fail_after=None, failure=0x80004005, fill=0xAB):
    out = b"\x00" if fail_after is None else b"\x01" + bytes([fail_after]) + number(failure)
    out += bytes([len(choices) - 1])
    for kind, position in choices:
        out += bytes([kind, position, fill])
    return out + bytes([len(devs)]) + b"".join(devs)


CARDS = [device(b"3dfx", b"Voodoo", VOODOO), device(b"display", b"Primary Display Driver"),
         device(b"nv4", b"RIVA TNT", RIVA)]
EVERY_CHOICE = ((ITEM_ZERO, 0), (ITEM_NONE, 0), (ITEM_ENTRY, 1), (ITEM_ENTRY, 2))

DEVICES = {
    "no-devices": devices([], choices=((ITEM_ZERO, 0), (ITEM_NONE, 0))),
    "three-cards-every-choice": devices(CARDS, choices=EVERY_CHOICE),
    "default-driver-only": devices([device(b"display", b"Primary Display Driver")], choices=EVERY_CHOICE),
    "enumeration-fails-after-two": devices(CARDS, fail_after=2, choices=EVERY_CHOICE),
    "enumeration-fails-at-once": devices(CARDS, fail_after=0),
    "second-card-description-refused": devices(
        [CARDS[0], device(b"nv4", b"RIVA TNT", RIVA, failing_allocation=2), CARDS[1]], choices=EVERY_CHOICE),
    "each-allocation-refused-once": devices(
        [device(b"a", b"A", VOODOO, failing_allocation=1), device(b"b", b"B", RIVA, failing_allocation=2),
         device(b"c", b"C", failing_allocation=3), device(b"d", b"D", VOODOO, failing_allocation=4)],
        choices=EVERY_CHOICE),
    "twin-cards": devices([device(b"3dfx", b"Voodoo", VOODOO), device(b"3dfx", b"Voodoo", RIVA)],
                          choices=((ITEM_ENTRY, 0), (ITEM_ENTRY, 1))),
    "empty-and-latin1-texts": devices([device(b"", b"", VOODOO), device("pilote é".encode("latin-1"),
                                       "Carte graphique intégrée ÿ".encode("latin-1"))], choices=EVERY_CHOICE),
    "64-KiB-texts": devices([device(b"n", b"\x80\xff", RIVA, name_length=65536, description_length=65536),
                             device(b"", b"", name_length=1000, description_length=65535)],
                            choices=EVERY_CHOICE),
}


def write(folder, seeds):
    path = ROOT / folder
    path.mkdir(parents=True, exist_ok=True)
    for old in path.iterdir():
        old.unlink()
    for name, data in seeds.items():
        (path / name).write_bytes(data)


if __name__ == "__main__":
    write("settings", SETTINGS)
    write("devices", DEVICES)
