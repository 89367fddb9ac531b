#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target into fuzz/corpus/<target>/.

Each seed is a small input that reaches the target's interesting paths: real
frames of a lane, a real zodided.ini and Hraci.dtb, a tournament workbook.
The reproducers of past findings sit beside them under names of their own and
are kept by hand; this script never removes a file."""

import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def number(value):
    """What Input::number reads back as low + value."""
    return struct.pack("<H", value)


def status(counter, pins, settled=True):
    s = [0] * 17
    s[4] = pins
    if counter < 0:
        s[5] = s[6] = 13
    else:
        s[5], s[6] = counter % 100 % 10, counter % 100 // 10
        if counter >= 100:
            s[15] |= 0x02
    if not settled:
        s[8] |= 0x04
    return s[1:]


def status_frame(lane, st):
    frame = [0x17, 0x80, 0x80 | (lane - 1), 0x80] + [0x80 | b for b in st]
    check = (sum(b for b in frame[1:] if b != 0x17) & 0xFF) | 0x80
    return bytes(frame + [check, 0x26])


def lane_link():
    # Kind, layout, lane pair, duels and first duel, as Input::number reads them.
    for name, kind, layout, pair, duels, first in [
        ("60_two_lanes", 4, 2, 1, 2, 1),
        ("200_four_lanes", 1, 1, 1, 4, 1),
        ("180_six_lanes", 5, 3, 1, 6, 1),
        ("100_lanes_3_4", 3, 2, 2, 2, 1),
        ("40_odd_duels", 6, 1, 1, 3, 1),
    ]:
        data = number(kind - 1) + number(layout - 1) + number(pair - 1) + number(duels - 1)
        data += number(first - 1) + b"\x00\x01"
        lanes = {1: 4, 2: 2, 3: 6}[layout]
        physical = [l + (2 if pair == 2 else 0) for l in range(1, lanes + 1)]
        for throw in range(1, 9):
            for lane in physical:
                for settled in (False, True):
                    data += b"\x02" + number(lane - 1) + bytes(status(throw, (throw * lane) % 10, settled))
            data += b"\x03\x05"
        for lane in physical:  # the lanes go blank
            data += b"\x02" + number(lane - 1) + bytes(status(-1, 0))
        data += b"\x03\x0f"
        write("fuzz_lane_link", name, data)
    # Raw bytes: a frame in pieces with line noise around it.
    frame = status_frame(1, status(1, 7))
    data = number(3) + number(1) + number(0) + number(1) + number(0) + b"\x00\x00"
    data += b"\x00" + bytes([8]) + b"\xff\x17\x01\x26junk" + frame[:3]
    data += b"\x01" + bytes([len(frame) - 3]) + frame[3:]
    write("fuzz_lane_link", "frame_in_pieces", data)


def frame_scanner():
    frames = status_frame(2, status(5, 9)) + b"\x00\x17\x80\x26" + status_frame(8, status(-1, 0))
    write("fuzz_frame_scanner", "frames_and_noise", number(2) + bytes(range(16)) + b"\x05\x01\x02\x00" + frames)
    write("fuzz_frame_scanner", "long_partial", number(0) + bytes(16) + b"\x00" + b"\x17" + b"\x80" * 300)
    write("fuzz_frame_scanner", "short_frame", number(1) + bytes(16) + b"\x00" + status_frame(1, status(1, 1))[:10] + b"\x26")


def ini_file():
    ini = (
        b"[Kuzelna]\r\nNazev=Kuzelna Sokol\r\nKolaudace=\"123/2020\"\r\n\r\n"
        b"[Default]\r\nturnaj=0\r\nmatdisp=1\r\ndrah=2\r\ndruh=+4\r\nd_vollmer=\r\n"
        b"; comment\r\n[Vysledkova_tabule]\r\npozicex=-40\r\npozicey= 7 \r\nbody16=1\r\n"
        b"[Monitory]\r\nHost1=127.0.0.1\r\nPort=4665\r\nLocalPort=--0\r\n[Linka]\nPort=/dev/ttyUSB0"
    )
    write("fuzz_ini_file", "zodided", b"\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00 \"12\" \x00" + ini)
    write("fuzz_ini_file", "lf_and_junk", b"\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a+-0\x00[a\n=x\n[]\n[B]\nb=\"\n\xff\xfe")


def registry():
    dtb = (
        "Sokol Plzeň - \r\n\tMuži A - A\r\n\t\t77 - Novák Jan, 01.01.1980 , \r\n"
        "\t\t78 - Dvořák Petr, 2.2.1990 , levák\r\n\t\t-  ,  , \r\n\tŽeny - \r\n"
        "TJ Slavoj - \r\n  Dorost - mix\r\n    9 -   Novak   Jan,   2000 ,   x\r\n"
    ).encode("cp1250")
    write("fuzz_registry", "hraci_dtb", dtb)
    write("fuzz_registry", "level_error", b"A - \r\n\t\tB - \r\nC - \r\n")
    write("fuzz_registry", "mixed_breaks", b"A\rB\n\tC\r\n\t\tD\x00E")


def cp1250():
    write("fuzz_cp1250", "all_bytes", bytes(range(256)))
    write("fuzz_cp1250", "utf8", "Příliš žluťoučký kůň úpěl ďábelské ódy €".encode("utf-8") + b"\xc3\x28\xe2\x82")


def tournament():
    def text(s):
        return s.encode("cp1250") + b"\x00"

    def count(v):
        """A cell number as cellValue reads it: -70000 + v, then + 70000."""
        return b"\x01" + number(v) + b"\x01"

    # flag, entrant number, pair count, lanes, first duel, kind, lanes per player
    head = b"\x01" + text("1") + number(2) + number(4) + number(1) + number(5) + number(6)
    rows = b""
    for entrant, name in [(2, "Kos"), (3, "Sova"), (4, "Vrána"), (7, "Čáp"), (8, "Sýkora")]:
        rows += number(entrant - 1) + text(name) + text("Jan")
        for v in (300 + entrant, 100, 5, 200):
            rows += count(v)
    data = head + bytes([5]) + rows
    write("fuzz_tournament", "pairs_from_even_entrant", data)
    single = b"\x00" + text("2147483647") + number(6) + number(6) + number(1) + number(5) + number(6)
    write("fuzz_tournament", "overflowing_entrant", single + bytes([5]) + rows)
    write("fuzz_tournament", "plus_minus_zero", b"\x00" + text("+-0") + number(1) + number(2) + number(1) + number(4) + number(2))


def public_play():
    head = number(0)
    for lane in range(1, 9):
        head += bytes([1, 3, 0])
    data = head
    for count in range(1, 12):
        st = status(count, count % 10)
        if count == 5:
            st[6] = 0x7F  # all nine lamps
            st[7] |= 0x03
        data += number(0) + b"\x01" + bytes(st) + number(0)
    data += number(0) + b"\x04" + b"1\x002\x003\x00x\x00-1\x00+-0\x000\x000\x000\x000\x000\x000\x00"
    data += number(0) + b"\x05" + number(0) + b"\x06" + number(0) + b"\x07\x01\x02\x03"
    write("fuzz_public_play", "gallows", data)


def datagrams():
    def sent(body):
        return bytes([0x16] + body + [(sum(body) & 0xFF) | 0x80, 0x25])

    polls = [sent([0x84, 0x80 | lane, 0x81]) for lane in range(4)]
    data = b"hello\x07\x1b[2J\x7f\x00" + number(3) + number(1) + number(0) + number(1) + b"\x01\x01"
    for _ in range(20):
        for poll in polls:
            data += b"\x01" + bytes([len(poll)]) + poll
    write("fuzz_datagrams", "polls", data)
    write("fuzz_datagrams", "garbage", b"\x00" + bytes(range(1, 200)))


def journal():
    def record(kind, payload):
        body = kind + struct.pack("<I", len(payload)) + payload
        return b"KJ" + body + struct.pack("<I", zlib.crc32(body))

    def text(s):
        return struct.pack("<I", len(s)) + s

    def teams(home=2, guest=2):
        places = b""
        for h in range(1, 31):
            places += text(b"Nov\xe1k Jan" if h <= home else b"") + text(b"Kos Petr" if h <= guest else b"")
        names = b"".join(text(s) for s in (b"Sokol", b"Sokol - A", b"Sokol A", b"Slavoj", b"Slavoj - B", b"Slavoj B"))
        slots = b"".join(text(b"") for _ in range(60 * 6))
        return bytes([home, guest]) + places + names + b"\x00" + text(b"") + text(b"") + text(b" Dom\xe1c\xed ") + text(b" Host\xe9 ") + slots

    header = record(b"H", text(b"kuzelna-journal") + struct.pack("<H", 1) + text(b"2026-12-10 19:30:00"))
    configuration = record(b"C", bytes([4, 2, 2, 2, 2, 1, 1]))
    options = record(b"O", b"\x00\x00" + text(b"1") + text(b"turnaj.xls"))
    start = header + configuration + record(b"T", teams()) + options
    frames = b""
    for throw in range(1, 6):
        for lane in (1, 2):
            frames += record(b"F", bytes([lane] + status(throw, (throw + lane) % 10)))
    frames += record(b"X", bytes([1]) + struct.pack("<H", 2) + b"\x05") + record(b"R", b"\x01")
    # Even first byte: the file as it is.
    write("fuzz_journal", "two_lanes_five_throws", b"\x00" + start + frames)
    # Odd first byte, even second: records framed by the target after a header of this version.
    chunks = b""
    for kind, payload in ((b"C", bytes([4, 2, 2, 2, 2, 1, 1])), (b"F", bytes([1] + status(1, 7))), (b"W", b"\x01"),
                          (b"B", b"\x01\x01\x01"), (b"E", b"")):
        chunks += kind + number(len(payload)) + payload
    write("fuzz_journal", "framed_records", b"\x01\x00" + chunks)
    # The journals that stopped the program at every start.
    write("fuzz_journal", "crash_unknown_kind", b"\x00" + start + record(b"Z", b"\x01\x02") + frames)
    write("fuzz_journal", "crash_text_of_4_gb", b"\x00" + header + configuration + record(b"O", b"\x00\x00\xff\xff\xff\xff1"))
    write("fuzz_journal", "crash_shorter_than_kind", b"\x00" + start + record(b"F", b"\x01\x02\x03"))
    write("fuzz_journal", "crash_tournament_file_overruns", b"\x00" + header + configuration
          + record(b"O", b"\x01\x00" + text(b"1") + struct.pack("<I", 40) + b"turnaj.xls"))
    write("fuzz_journal", "crash_200_lanes", b"\x00" + header + record(b"C", bytes([4, 1, 200, 2, 6, 1, 1])) + frames)
    write("fuzz_journal", "crash_lineup_count_255", b"\x00" + header + configuration + record(b"T", teams(255, 31)))
    write("fuzz_journal", "newer_version", b"\x00" + record(b"H", text(b"kuzelna-journal") + struct.pack("<H", 2) + text(b"2027-01-01 10:00:00")) + configuration)


def json_patch():
    write("fuzz_json_patch", "documents",
          b'{"a":1,"b":[1,2,{"c":null}],"s":"x\\"y"}\0{"a":1.5,"b":[1,2,{"c":{"d":true}},4],"s":"z","e":[]}')
    write("fuzz_json_patch", "array_patch", b'[1,[2,[3]]]\0{"n":1,"0":{"n":0}}')


for make in (lane_link, frame_scanner, ini_file, registry, cp1250, tournament, public_play, datagrams, journal,
             json_patch):
    make()
