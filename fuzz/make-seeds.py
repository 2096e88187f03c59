#!/usr/bin/env python3
"""Writes the seed corpora under fuzz/corpus/<target>/: a few small inputs
per target that each reach one interesting case, so the short runs of the
test command start from them instead of from nothing.

Most targets read their input through libFuzzer's FuzzedDataProvider, which
takes numbers from the end of the input (the first one from the last byte,
most significant byte first) and raw bytes from the front. Seed builds an
input the same way, so each seed reads as the steps written here.
"""
import pathlib
import struct

CORPUS = pathlib.Path(__file__).resolve().parent / "corpus"


class Seed:
    def __init__(self):
        self.front = bytearray()
        self.tail = bytearray()

    def integer(self, value, low, high):
        """A number in low..high, as ConsumeIntegralInRange reads it."""
        span = high - low
        count = 0
        while count < 8 and span >> (8 * count) > 0:
            count += 1
        self.tail += (value - low).to_bytes(count, "big") if count else b""
        return self

    def flag(self, value):
        return self.integer(1 if value else 0, 0, 255)

    def raw(self, data):
        """Bytes from the front (ConsumeBytes, ConsumeRemainingBytes)."""
        self.front += data
        return self

    def bytes(self):
        return bytes(self.front) + bytes(reversed(self.tail))


def write(target, seeds):
    folder = CORPUS / target
    folder.mkdir(parents=True, exist_ok=True)
    # Inputs kept from findings ("regression-*") stay: they replay faults
    # that were fixed.
    for old in folder.iterdir():
        if not old.name.startswith("regression-"):
            old.unlink()
    for name, data in seeds.items():
        (folder / name).write_bytes(data)


# ---- profile_codec: raw Profile.db images ----------------------------------

def profile(records, magic=b"DVP\0", version=1):
    image = bytearray(magic + struct.pack("<I", version))
    for path, blocked, reserved in records:
        area = path.encode("utf-16-le")[:512]
        image += area + bytes(512 - len(area)) + struct.pack("<II", blocked, reserved)
    return bytes(image)


def profile_seeds():
    cam = "\\\\?\\usb#vid_046d&pid_0825#cam"
    full = profile([(cam, 1, 0), ("0 Microphone", 0, 0), ("1 Line In", 1, 0)])
    return {
        "empty": profile([]),
        "three-devices": full,
        "path-of-255": profile([("p" * 255, 1, 0)]),
        "path-without-terminator": profile([("q" * 256, 0, 0)]),
        "blocked-7-reserved-set": profile([("0 Mic", 7, 0xDEADBEEF)]),
        "bytes-after-terminator": profile([("ab\0garbage", 1, 0)]),
        "wrong-magic": profile([(cam, 1, 0)], magic=b"DVQ\0"),
        "wrong-version": profile([(cam, 1, 0)], version=2),
        "seven-bytes": profile([])[:7],
        "one-byte-too-long": full + b"\0",
    }


# ---- settings: flags and values of the settings key ------------------------

REG_SZ, REG_DWORD, REG_BINARY = 1, 4, 3


def any_value(s, value):
    """A (type, bytes) value as the target's AnyValue reads it."""
    kind, data = value
    if kind == REG_DWORD:
        s.flag(True)
    else:
        s.flag(False).integer(kind, 0, 0xFFFFFFFF)
    if len(data) == 4:
        s.flag(True)
    else:
        s.flag(False).integer(len(data), 0, 9)
    s.raw(data)


def settings_seed(values, refuse_settings=False, refuse_run=False, path="C:\\Apps\\Shadowpane.exe",
                  leftovers=None, administrators_entry=None):
    """values: per setting (Language, Startup, BlockStart, BlockPluggedIn)
    None for missing or (type, bytes); administrators_entry: the machine's
    Run key value, None for none."""
    s = Seed()
    s.integer(0 if refuse_settings else 1, 0, 7)
    s.integer(0 if refuse_run else 1, 0, 3)
    s.integer(0 if administrators_entry else 1, 0, 3)
    if administrators_entry:
        any_value(s, administrators_entry)
    s.integer(len(path), 0, 40)
    for unit in path:
        s.integer(ord(unit), 0, 0xFFFF)
    for value in values:
        if value is None:
            s.integer(0, 0, 4)
            continue
        s.integer(1, 0, 4)
        any_value(s, value)
    s.flag(False)  # no other values
    if not refuse_settings:
        s.flag(leftovers is not None)
        for number in leftovers or []:
            s.integer(number & 0xFFFFFFFF, 0, 0xFFFFFFFF)
    return s.bytes()


def dword(n):
    return (REG_DWORD, struct.pack("<I", n & 0xFFFFFFFF))


def settings_seeds():
    text = (REG_SZ, "1\0".encode("utf-16-le"))
    return {
        "all-set": settings_seed([dword(2), dword(1), dword(1), dword(1)]),
        "nothing-stored": settings_seed([None] * 4),
        "language-7-flags-5": settings_seed([dword(7), dword(5), dword(5), dword(0)]),
        "language-negative": settings_seed([dword(-1), None, None, None]),
        "language-as-text": settings_seed([text, text, None, None]),
        "short-dword": settings_seed([(REG_DWORD, b"\1\0"), (REG_BINARY, b"\1\0\0\0"), None, None]),
        "key-refused": settings_seed([dword(1)] * 4, refuse_settings=True),
        "run-key-refused-leftovers": settings_seed([dword(3), dword(1), None, dword(9)],
                                                   refuse_run=True, leftovers=[-7, 2, 99, -1]),
        "administrators-entry": settings_seed([dword(1), dword(1), None, None],
                                              administrators_entry=(REG_SZ, "C:\\S.exe /min\0".encode("utf-16-le")[:9])),
    }


# ---- link_device: names to link and devices to take out ---------------------

def link_seed(steps):
    """steps: ("link", kind, name, repeats) or ("remove", index)."""
    s = Seed()
    names = 0
    devices = 0
    for step in steps:
        if devices:
            s.integer(0 if step[0] == "remove" else 1, 0, 3)
        if step[0] == "remove":
            s.integer(step[1], 0, devices - 1)
            devices -= 1
            continue
        _, kind, shape, repeats = step
        if names:
            s.flag(True)  # a new name
        if kind == "short":
            s.integer(0, 0, 3).integer(len(shape), 0, 4)
            for c in shape:
                s.integer("A-1\0".index(c), 0, 3)
        else:  # long: its length, all of one letter, no hyphen
            s.integer(1, 0, 3).integer(shape, 245, 300).integer(0, 0, 1).flag(False)
        names += 1
        s.integer(names - 1, 0, names - 1)
        if repeats == 1:
            s.flag(True)
        else:
            s.flag(False).integer(repeats, 2, 16)
        devices += repeats
    return s.bytes()


def link_seeds():
    return {
        "one-name-many-times": link_seed([("link", "short", "A", 12), ("link", "short", "A", 16)]),
        "suffix-freed-and-reused": link_seed([("link", "short", "A", 4), ("remove", 1),
                                              ("link", "short", "A", 2)]),
        "name-like-a-suffix": link_seed([("link", "short", "A-1", 1), ("link", "short", "A", 3)]),
        "long-names": link_seed([("link", "long", 255, 3), ("link", "long", 300, 3)]),
        "empty-name": link_seed([("link", "short", "", 3)]),
    }


# ---- discovery: hardware histories, refreshes and clicks --------------------

NAMES = ["Mic", "Cam", "Mic-1", "Headset", "x" * 260]


class History:
    def __init__(self, version6=True, block_start=False, block_plugged_in=False, at_start=()):
        self.s = Seed()
        self.s.flag(version6).flag(block_start).flag(block_plugged_in)
        self.s.integer(len(at_start), 0, 4)
        self.mics = 0
        for kind, name, position in at_start:
            self.s.flag(kind == "camera")
            self._device(kind, name, position)
        self.s.flag(False)  # no profile

    def _device(self, kind, name, position):
        self.s.integer(NAMES.index(name), 0, len(NAMES) - 1)
        if kind == "microphone":
            self.s.integer(position, 0, self.mics)
            self.mics += 1

    def step(self, code):
        self.s.integer(code, 0, 5)
        return self

    def camera(self, name):
        self.step(0)._device("camera", name, 0)
        return self

    def microphone(self, name, position):
        self.step(1)._device("microphone", name, position)
        return self

    def unplug(self, pick, microphone):
        self.step(2).s.integer(pick, 0, 255)
        self.mics -= 1 if microphone else 0
        return self

    def renumber(self, first, second):
        self.step(3).s.integer(first, 0, self.mics - 1).integer(second, 0, self.mics - 1)
        return self

    def refresh(self):
        return self.step(4)

    def click(self, box, index, entries):
        """A click on entry `index` of the `entries` in a list (0 video, 1 audio)."""
        self.step(5).s.integer(box, 0, 1).integer(index, 0, entries - 1)
        return self

    def bytes(self):
        return self.s.bytes()


def discovery_seeds():
    return {
        # A camera plugged in, blocked by a click, unplugged: swept.
        "camera-block-unplug": History().camera("Cam").refresh().click(0, 0, 1)
        .unplug(0, microphone=False).refresh().bytes(),
        # Two microphones of one name: both listed, the second blocked.
        "same-name-microphones": History(at_start=[("microphone", "Mic", 0), ("microphone", "Mic", 1)])
        .click(1, 1, 2).refresh().bytes(),
        # A blocked microphone moves to another wave-in number, twice.
        "microphone-renumbered": History(version6=False, at_start=[("microphone", "Headset", 0)])
        .click(1, 0, 1).microphone("Mic", 0).refresh().renumber(0, 1).refresh().bytes(),
        # Everything blocked at start; devices plugged in are blocked too.
        "block-settings": History(block_start=True, block_plugged_in=True,
                                  at_start=[("camera", "Cam", 0), ("microphone", "Mic", 0)])
        .microphone("Mic-1", 1).camera("Cam").refresh().bytes(),
        # Names at and beyond 255 characters, a microphone named like a camera.
        "long-and-shared-names": History(at_start=[("camera", "x" * 260, 0)])
        .microphone("x" * 260, 0).microphone("Cam", 1).refresh().click(1, 1, 2).bytes(),
    }


# ---- text_layout: parameters at the end, UTF-16LE text in front -------------

def layout_seed(text, widths=(6,) * 16, limit=250, buttons=0, label_height=0):
    s = Seed()
    for width in widths:
        s.integer(width, 0, 20)
    s.integer(limit, 0, 600).integer(buttons, 0, 7)
    if label_height:
        s.flag(False).integer(label_height, 1, 200)
    else:
        s.flag(True)
    s.raw(text.encode("utf-16-le"))
    return s.bytes()


def layout_seeds():
    varied = tuple(range(0, 20, 2)) + (20, 1, 3, 0, 5, 7)
    restart = "Another instance of Shadowpane is already running.\n \nDo you want to restart the program?"
    return {
        "short": layout_seed("Unable to block device."),
        "restart-question": layout_seed(restart, buttons=1),
        "paragraph-tokens": layout_seed("First line <nl> second line <nl> <nl> after a gap <nl>"),
        "token-first-and-glued": layout_seed("<nl> a<nl>b <nl>", limit=40),
        "long-word": layout_seed("Supercalifragilisticexpialidocious is it so", limit=60, buttons=6),
        "many-spaces-newlines": layout_seed("  a   b \n\n c  \n d ", widths=varied, limit=7,
                                            label_height=30),
        "wide-text": layout_seed(" ".join(["word"] * 60), widths=varied, limit=310, buttons=5),
        "zero-limit": layout_seed("no limit at all here", limit=0, buttons=2),
    }


# ---- command_line: a mode byte, then arguments or a copy-data record -------

ARGUMENT_BREAK = "\uffff"


def arguments(*words):
    return b"\0" + ARGUMENT_BREAK.join(words).encode("utf-16-le")


NONCE = 0x1122334455667788


def command_record(action, scope, name="", version=2, reserved=0, units=None, nonce=NONCE):
    data = name.encode("utf-16-le")
    count = len(data) // 2 if units is None else units
    carried = struct.pack("<Q", nonce) if version == 2 else b""
    return b"\1" + b"SPCM" + struct.pack("<HBBHH", version, action, scope, count, reserved) + carried + data


def answer_record(code, lines, count=None, version=2, nonce=NONCE, extra=b""):
    body = b"".join(struct.pack("<H", len(line)) + line.encode("utf-16-le") for line in lines)
    count = len(lines) if count is None else count
    carried = struct.pack("<Q", nonce) if version == 2 else b""
    return b"\2" + b"SPAN" + struct.pack("<HBBHH", version, code, 0, count, 0) + carried + body + extra


def command_line_seeds():
    return {
        "block-all": arguments("/block", "all"),
        "toggle-cameras-upper": arguments("/TOGGLE", "Cameras"),
        "unblock-name-with-quote": arguments("/unblock", 'Cam "HD"'),
        "status": arguments("/status"),
        "min-and-extra": arguments("/min", "/quit"),
        "name-of-256": arguments("/block", "n" * 256),
        "unknown-switch": arguments("/help"),
        "record-block-name": command_record(1, 4, "Mic-1"),
        "record-quit": command_record(5, 0),
        "record-name-of-255": command_record(3, 4, "x" * 255),
        "record-version-1": command_record(1, 1, version=1),
        "record-version-3": command_record(1, 1, version=3),
        "record-length-beyond": command_record(1, 4, "Cam", units=300),
        "record-reserved-set": command_record(2, 2, reserved=1),
        "answer-status": answer_record(1, ["camera\tCam\topen", "Privacy at Risk"]),
        "answer-count-beyond": answer_record(0, ["a"], count=9),
        "answer-version-1": answer_record(2, [], version=1),
        "answer-one-byte-more": answer_record(0, ["a"], extra=b"\0"),
        "restore-inputs": arguments("/restore-inputs"),
    }


# ---- usage: a mode byte, then a RecentUse.db image or usage keys ------------

def fnv1a(data):
    value = 2166136261
    for byte in data:
        value = ((value ^ byte) * 16777619) & 0xFFFFFFFF
    return value


def name_bytes(name, units=None):
    data = name.encode("utf-16-le")
    return struct.pack("<H", len(data) // 2 if units is None else units) + data


def recent_use(events, mode=0, count=None, version=1, tag=b"SPRU", extra=b"", checksum=None):
    """Mode 0 keeps the checksum written here; mode 1 has the target make it right."""
    body = bytearray(tag + struct.pack("<HH", version, len(events) if count is None else count))
    for time, kind, turned_away, program, device in events:
        body += struct.pack("<QBB", time, kind, turned_away) + name_bytes(program) + name_bytes(device)
    body += extra
    body += struct.pack("<I", fnv1a(body) if checksum is None else checksum)
    return bytes([mode]) + bytes(body)


QWORD = 11
START = 0x01DA000000000000


def usage_key(name, start=None, stop=None, non_packaged=True, repeat=None, units=None):
    flags = (1 if non_packaged else 0) | (2 if start else 0) | (4 if stop else 0) | (8 if repeat else 0)
    data = bytearray([flags])
    if repeat:
        data.append(repeat)
    for value in (start, stop):
        if value:
            kind, size, number = value
            data += bytes([kind, size]) + struct.pack("<Q", number)
    return bytes(data) + name_bytes(name, units)


def usage_keys(*keys):
    return b"\2" + b"".join(keys)


def usage_seeds():
    zoom = (START, 0, 1, "Zoom.exe", "a camera")
    teams = (START + 1, 1, 0, "Teams.exe", "Microphone (USB)")
    return {
        "recent-two": recent_use([zoom, teams]),
        "recent-empty": recent_use([]),
        "recent-fixed-fifty": recent_use([zoom] * 50, mode=1),
        "recent-fixed-count-beyond": recent_use([zoom] * 51, mode=1),
        "recent-fixed-name-of-255": recent_use([(1, 0, 0, "p" * 255, "d")], mode=1),
        "recent-fixed-name-of-256": recent_use([(1, 0, 0, "p" * 256, "d")], mode=1),
        "recent-fixed-kind-2": recent_use([(1, 2, 0, "a", "b")], mode=1),
        "recent-fixed-byte-more": recent_use([zoom], mode=1, extra=b"\0"),
        "recent-version-2": recent_use([zoom], version=2),
        "recent-bad-checksum": recent_use([zoom], checksum=0),
        "keys-desktop-in-use": usage_keys(
            usage_key("C:#Program Files#Zoom#bin#Zoom.exe", (QWORD, 8, START), (QWORD, 8, 0))),
        "keys-packaged-stopped": usage_keys(
            usage_key("Microsoft.WindowsCamera_8wekyb3d8bbwe", (QWORD, 8, START), (QWORD, 8, START + 5),
                      non_packaged=False)),
        "keys-same-program-twice": usage_keys(
            usage_key("C:#a.exe", (QWORD, 8, START)), usage_key("C:#a.exe", (QWORD, 8, START + 9))),
        "keys-wrong-types": usage_keys(
            usage_key("C:#b.exe", (4, 4, START)), usage_key("C:#c.exe", (QWORD, 16, START)),
            usage_key("C:#d.exe", (QWORD, 8, 0x8000000000000000))),
        "keys-hostile-names": usage_keys(
            usage_key("C:#dir#", (QWORD, 8, START)), usage_key("bare.exe", (QWORD, 8, START)),
            usage_key("NonPackaged", (QWORD, 8, START), non_packaged=False),
            usage_key("line\nbreak.exe", (QWORD, 8, START)), usage_key("x" * 256, (QWORD, 8, START))),
        "keys-flood": usage_keys(
            usage_key("C:#many.exe", (QWORD, 8, START), repeat=255),
            usage_key("C:#more.exe", (QWORD, 8, START), repeat=255)),
    }


if __name__ == "__main__":
    write("profile_codec", profile_seeds())
    write("settings", settings_seeds())
    write("link_device", link_seeds())
    write("discovery", discovery_seeds())
    write("text_layout", layout_seeds())
    write("command_line", command_line_seeds())
    write("usage", usage_seeds())
