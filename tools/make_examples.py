#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the two example field books of examples/.

    python3 tools/make_examples.py [OUTPUT_DIR]      (default: examples/)

traverse-sdr33.sdr                 a short traverse with side shots and a small
                                   levelling run, SDR3x layout
level-and-triangulation-sdr20.sdr  a levelling line and a triangulation set-up
                                   in a local grid, SDR2x layout

Both books are made up for this project. Observations are computed from the
point coordinates (with a little measurement noise from a fixed seed), so the
files come out byte for byte the same on every run.

Every line is laid out field by field from the LAYOUTS table: point names are
right-aligned, numbers and texts left-aligned, as instruments write them. A
value that does not fit its field stops the script; nothing is cut silently.
Files are Windows-1251 text with CR LF line ends.
"""

import math
import random
import sys
from pathlib import Path

R, L = "right", "left"

# Field layouts after the four code characters: (first position, width, align).
# Positions are 1-based; each field starts where the previous one ended.
LAYOUTS = {
    "3": {
        "00": [(5, 16, L), (21, 4, L), (25, 16, L), (41, 5, L)],
        "01": [(5, 1, L), (6, 16, L), (22, 6, L), (28, 16, L), (44, 6, L),
               (50, 1, L), (51, 1, L), (52, 16, L), (68, 16, L), (84, 16, L)],
        "02": [(5, 16, R), (21, 16, L), (37, 16, L), (53, 16, L), (69, 16, L),
               (85, 16, L)],
        "03": [(5, 16, L)],
        "04": [(5, 16, L), (21, 16, L)],
        "05": [(5, 16, L), (21, 16, L)],
        "06": [(5, 16, L)],
        "07": [(5, 16, R), (21, 16, R), (37, 16, L), (53, 16, L)],
        "08": [(5, 16, R), (21, 16, L), (37, 16, L), (53, 16, L), (69, 16, L)],
        "09": [(5, 16, R), (21, 16, R), (37, 16, L), (53, 16, L), (69, 16, L),
               (85, 16, L)],
        "10": [(5, 16, L), (21, 6, L)],
        "11": [(5, 16, R), (21, 16, R), (37, 16, L), (53, 16, L), (69, 16, L),
               (85, 16, L)],
        "13": [(5, 60, L)],
        "60": [(5, 1, L), (6, 16, L), (22, 6, L), (28, 16, L)],
        "61": [(5, 16, R), (21, 16, L), (37, 16, L)],
        "62": [(5, 5, L), (10, 16, R), (26, 5, L)],
        "63": [(5, 16, R), (21, 16, L), (37, 16, L), (53, 16, L), (69, 5, L),
               (74, 5, L), (79, 5, L), (84, 16, L)],
        "64": [(5, 16, R), (21, 16, L), (37, 16, L), (53, 16, L), (69, 5, L),
               (74, 5, L), (79, 5, L), (84, 16, L), (100, 16, L), (116, 16, L)],
        "65": [(5, 16, L)],
    },
    "2": {
        "00": [(5, 16, L), (21, 4, L), (25, 16, L), (41, 5, L)],
        "01": [(5, 1, L), (6, 16, L), (22, 6, L), (28, 16, L), (44, 6, L),
               (50, 1, L), (51, 1, L), (52, 10, L), (62, 10, L), (72, 10, L)],
        "02": [(5, 4, R), (9, 10, L), (19, 10, L), (29, 10, L), (39, 10, L),
               (49, 16, L)],
        "03": [(5, 10, L)],
        "04": [(5, 10, L), (15, 10, L)],
        "05": [(5, 10, L), (15, 10, L)],
        "06": [(5, 10, L)],
        "07": [(5, 4, R), (9, 4, R), (13, 10, L), (23, 10, L)],
        "08": [(5, 4, R), (9, 10, L), (19, 10, L), (29, 10, L), (39, 16, L)],
        "09": [(5, 4, R), (9, 4, R), (13, 10, L), (23, 10, L), (33, 10, L),
               (43, 16, L)],
        "10": [(5, 16, L)],
        "11": [(5, 4, R), (9, 4, R), (13, 10, L), (23, 10, L), (33, 10, L),
               (43, 16, L)],
        "13": [(5, 60, L)],
        "60": [(5, 1, L), (6, 16, L), (22, 6, L), (28, 10, L)],
        "61": [(5, 4, R), (9, 16, L), (25, 10, L)],
        "62": [(5, 5, L), (10, 4, R), (14, 5, L)],
        "63": [(5, 4, R), (9, 10, L), (19, 10, L), (29, 16, L), (45, 5, L),
               (50, 5, L), (55, 5, L), (60, 10, L)],
        "64": [(5, 4, R), (9, 10, L), (19, 10, L), (29, 16, L), (45, 5, L),
               (50, 5, L), (55, 5, L), (60, 10, L), (70, 10, L), (80, 10, L)],
        "65": [(5, 10, L)],
    },
}


def sdr_line(version, code, *values):
    """One record line: the four code characters, then every field fitted."""
    layout = LAYOUTS[version][code[:2]]
    if len(values) != len(layout):
        raise ValueError(f"{code}: {len(values)} values for {len(layout)} fields")
    line = code
    for (start, width, align), value in zip(layout, values):
        if len(line) + 1 != start:
            raise ValueError(f"{code}: field at {start} follows position {len(line)}")
        if len(value) > width:
            raise ValueError(f"{code}: {value!r} is wider than {width}")
        line += value.rjust(width) if align == R else value.ljust(width)
    return line


# Number texts. SDR3x leaves room in its 16-character fields; SDR2x fills its
# 10 characters with as many decimals as fit, as the older recorders do.

def fixed(value, decimals):
    return f"{value:.{decimals}f}"


def fill10(value, most_decimals=8):
    whole = len(str(int(abs(value)))) + (1 if value < 0 else 0)
    return f"{value:.{min(most_decimals, 10 - whole - 1)}f}"


class Geometry:
    """Polar observations between known points, with a little noise."""

    def __init__(self, points, seed):
        self.points = points          # name -> (N, E, elevation)
        self.noise = random.Random(seed)
        self.readings = {}            # an observation read twice gives one reading

    def add_polar(self, name, origin, azimuth, distance, elevation):
        n, e, _ = self.points[origin]
        a = math.radians(azimuth)
        self.points[name] = (n + distance * math.cos(a), e + distance * math.sin(a),
                             elevation)

    def azimuth(self, frm, to):
        (n1, e1, _), (n2, e2, _) = self.points[frm], self.points[to]
        return math.degrees(math.atan2(e2 - e1, n2 - n1)) % 360.0

    def horizontal(self, frm, to):
        (n1, e1, _), (n2, e2, _) = self.points[frm], self.points[to]
        return math.hypot(n2 - n1, e2 - e1)

    def observe(self, station, target, hi, ht, face=1):
        """Slope distance, zenith angle and circle reading (circle set to azimuth),
        read to a millimetre and a second as the instrument shows them."""
        key = (station, target, hi, ht, face)
        if key not in self.readings:
            self.readings[key] = self.measure(station, target, hi, ht, face)
        return self.readings[key]

    def measure(self, station, target, hi, ht, face):
        hd = self.horizontal(station, target)
        dh = (self.points[target][2] + ht) - (self.points[station][2] + hi)
        slope = math.hypot(hd, dh) + self.noise.uniform(-0.002, 0.002)
        zenith = 90.0 - math.degrees(math.atan2(dh, hd))
        zenith += self.noise.uniform(-2, 2) / 3600
        circle = self.azimuth(station, target) + self.noise.uniform(-2, 2) / 3600
        if face == 2:
            zenith, circle = 360.0 - zenith, circle + 180.0
        return round(slope, 3), to_second(zenith), to_second(circle % 360.0)

    def mean(self, station, target, hi, ht):
        """Both faces reduced to one face-left observation."""
        s1, z1, c1 = self.observe(station, target, hi, ht, 1)
        s2, z2, c2 = self.observe(station, target, hi, ht, 2)
        return (round((s1 + s2) / 2, 3), to_second((z1 + 360.0 - z2) / 2),
                to_second((c1 + (c2 - 180.0) % 360.0) / 2))


def to_second(degrees):
    return round(degrees * 3600) / 3600


class Records:
    """The record makers both books use. The layouts differ in how numbers
    are written: SDR3x gives each kind of value its decimals, SDR2x fills
    every number to its 10 characters."""

    def __init__(self, g, version, coordinate, height, angle, distance, horizontal):
        self.g, self.version = g, version
        self.coordinate, self.height, self.angle = coordinate, height, angle
        self.distance, self.horizontal = distance, horizontal

    def makers(self):
        return (self.line, self.note, self.coords, self.station, self.backsight,
                self.obs, self.mean_obs, self.reduced)

    def line(self, code, *values):
        return sdr_line(self.version, code, *values)

    def note(self, code, text):
        return self.line(code, text)

    def coords(self, code, name, note=""):
        n, e, h = self.g.points[name]
        return self.line(code, name, self.coordinate(n), self.coordinate(e), self.height(h), note)

    def station(self, name, hi, note=""):
        n, e, h = self.g.points[name]
        return self.line("02TP", name, self.coordinate(n), self.coordinate(e), self.height(h),
                         self.height(hi), note)

    def backsight(self, stn, bs):
        az = to_second(self.g.azimuth(stn, bs))
        return self.line("07TP", stn, bs, self.angle(az), self.angle(az))

    def obs(self, code, stn, tgt, hi, ht, face=1, distance=True, note=""):
        slope, zenith, circle = self.g.observe(stn, tgt, hi, ht, face)
        return self.line(code, stn, tgt, self.distance(slope) if distance else "",
                         self.angle(zenith), self.angle(circle), note)

    def mean_obs(self, stn, tgt, hi, ht):
        slope, zenith, circle = self.g.mean(stn, tgt, hi, ht)
        return self.line("09MD", stn, tgt, self.distance(slope), self.angle(zenith),
                         self.angle(circle), "")

    def reduced(self, stn, tgt, desc=""):
        dh = self.g.points[tgt][2] - self.g.points[stn][2]
        return self.line("11KI", stn, tgt, self.angle(to_second(self.g.azimuth(stn, tgt))),
                         self.horizontal(self.g.horizontal(stn, tgt)), self.height(dh), desc)


def level_readings(line, distance, reading):
    """The one-wire and three-wire level records of a layout."""

    def one_wire(name, span, middle, stn, is_bs, is_tp, desc=""):
        return line("63NM", name, distance(span), reading(middle), desc,
                    str(stn), is_bs, is_tp, reading(0.0))

    def three_wire(name, middle, half_span, stn, is_bs, is_tp, desc=""):
        top, low = middle + half_span, middle - half_span
        return line("64NM", name, distance(100 * (top - low)), reading(middle),
                    desc, str(stn), is_bs, is_tp, reading(0.0),
                    reading(top), reading(low))

    return one_wire, three_wire


# ---------------------------------------------------------------------------
# SDR3x: traverse PP114 - T1 - T2 - PP115 near Zaraisk, MSK-50 coordinates.

def traverse_sdr33():
    g = Geometry({
        "GGS7": (415120.3520, 2209340.1180, 181.452),
        "GGS9": (412480.7740, 2209905.2210, 176.118),
        "PP114": (413562.4180, 2207815.6630, 148.312),
    }, seed=114)
    g.add_polar("T1", "PP114", 62.3056, 187.431, 150.874)
    g.add_polar("T2", "T1", 105.7139, 164.902, 149.205)
    g.add_polar("PP115", "T2", 71.2214, 203.617, 152.630)
    g.add_polar("101", "PP114", 128.5172, 24.366, 148.905)
    g.add_polar("102", "T1", 15.2408, 31.852, 151.318)

    line, note, coords, station, backsight, obs, mean_obs, reduced = Records(
        g, "3", coordinate=lambda v: fixed(v, 4), height=lambda v: fixed(v, 3),
        angle=lambda v: fixed(v, 8), distance=lambda v: fixed(v, 3),
        horizontal=lambda v: fixed(v, 3)).makers()

    hi1, hi2, hi3, ht = 1.552, 1.498, 1.517, 1.600
    return [
        line("00NM", "SDR33 V04-04.34", "2417", "14-Май-24 08:42", "11111"),
        line("10NM", "ZARAISK-HOD1", "122111"),
        note("13OO", "Теодолитный ход 2 разряда, г. Зарайск, ул. Советская"),
        note("13OO", "Исполнитель Петров А.С., погода ясно, ветер слабый"),
        line("06NM", "0.99996240"),
        line("05NM", "746.0", "17.5"),
        line("04NM", "0.00083", "-0.00139"),
        line("01NM", "=", "EDM 2MM+2PPM", "204417", "THEO 5SEC", "204417",
             "1", "1", "0.000", "0.000", "-30.0"),
        note("13TS", "14-Май-24 08:51"),
        coords("08KI", "GGS7", "пирамида"),
        coords("08KI", "GGS9", "сигнал"),
        coords("08KI", "PP114", "стенной знак"),
        coords("08KI", "PP115", "грунтовый знак"),
        station("PP114", hi1, "ул. Советская"),
        line("03NM", fixed(ht, 3)),
        backsight("PP114", "GGS7"),
        obs("09F1", "PP114", "GGS7", hi1, 0.0, 1, distance=False),
        obs("09F2", "PP114", "GGS7", hi1, 0.0, 2, distance=False),
        obs("09F1", "PP114", "T1", hi1, ht, 1),
        obs("09F2", "PP114", "T1", hi1, ht, 2),
        mean_obs("PP114", "T1", hi1, ht),
        coords("08TP", "T1", "дюбель"),
        obs("09F1", "PP114", "101", hi1, ht, 1, note="угол дома"),
        coords("08TP", "101", "угол дома"),
        note("13TS", "14-Май-24 09:27"),
        station("T1", hi2),
        line("03NM", fixed(ht, 3)),
        backsight("T1", "PP114"),
        obs("09F1", "T1", "PP114", hi2, ht, 1),
        obs("09F2", "T1", "PP114", hi2, ht, 2),
        obs("09F1", "T1", "T2", hi2, ht, 1),
        obs("09F2", "T1", "T2", hi2, ht, 2),
        obs("09MC", "T1", "102", hi2, ht, 1, note="опора ЛЭП"),
        coords("08TP", "T2", "металл. штырь"),
        coords("08TP", "102", "опора ЛЭП"),
        note("13TS", "14-Май-24 10:04"),
        station("T2", hi3),
        line("03NM", fixed(ht, 3)),
        backsight("T2", "T1"),
        obs("09F1", "T2", "T1", hi3, ht, 1),
        obs("09F1", "T2", "PP115", hi3, ht, 1),
        obs("09F2", "T2", "PP115", hi3, ht, 2),
        obs("09F1", "T2", "GGS9", hi3, 0.0, 1, distance=False),
        reduced("T2", "PP115", "контроль"),
        note("13NM", "Ход примкнут к PP115 и GGS9, угловая невязка +7\""),
        *levelling_sdr33(g),
        note("13NM", "Конец работ 14.05.2024 11:40"),
    ]


def levelling_sdr33(g):
    """Two set-ups from the wall benchmark RP12 to PP114."""

    def line(code, *values):
        return sdr_line("3", code, *values)

    rp12 = 147.2861
    bs1, fs1 = 1.4235, 0.9872              # RP12 -> TP1
    bs2 = 1.5120                           # TP1 -> PP114
    tp1 = rp12 + bs1 - fs1
    fs2 = tp1 + bs2 - g.points["PP114"][2]

    one_wire, three_wire = level_readings(line, lambda v: fixed(v, 2), lambda v: fixed(v, 4))

    return [
        line("60NM", "1", "DIGITAL LEVEL", "304512", "100"),
        line("65NM", "0.0000"),
        line("61NM", "RP12", "стенной репер", fixed(rp12, 4)),
        line("62NM", "1", "RP12", "0"),
        one_wire("RP12", 28.40, bs1, 1, "1", "0", "стенной репер"),
        three_wire("TP1", fs1, 0.1420, 1, "0", "1", "костыль"),
        line("62NM", "2", "TP1", "1"),
        three_wire("TP1", bs2, 0.1465, 2, "1", "1", "костыль"),
        one_wire("PP114", 29.10, fs2, 2, "0", "0", "стенной знак"),
    ]


# ---------------------------------------------------------------------------
# SDR2x: levelling from benchmark 0500 and a triangulation set-up, local grid.

def level_and_triangulation_sdr20():
    g = Geometry({
        "0001": (1000.000, 5000.000, 120.000),
        "0002": (1412.337, 5188.925, 123.416),
        "0003": (1105.772, 5391.604, 119.283),
    }, seed=20)
    g.add_polar("0004", "0001", 148.6021, 305.118, 117.905)
    g.add_polar("1001", "0001", 35.2217, 48.316, 120.412)
    g.add_polar("1002", "0001", 92.7408, 61.075, 119.876)
    g.add_polar("1003", "0003", 201.5533, 42.904, 118.991)

    line, note, coords, station, backsight, obs, mean_obs, reduced = Records(
        g, "2", coordinate=fill10, height=fill10, angle=fill10, distance=fill10,
        horizontal=lambda v: fill10(round(v, 3))).makers()

    hi1, hi3, ht = 1.563, 1.602, 1.500
    return [
        line("00NM", "SDR20     V03-08", "2175", "03-Jun-24 10:05", "11311"),
        line("10NM", "LEVEL-TRIANG-24"),
        note("13CP", "Sea level crn: N"),
        note("13CP", "C and R crn: N"),
        note("13OO", "Нивелирование IV класса от Рп 0500 до пункта 0001"),
        line("06NM", fill10(1.0)),
        line("05NM", fill10(1008.0), fill10(21.0)),
        line("04NM", fill10(0.0), fill10(0.0)),
        line("01NM", ":", "EDM", "510273", "THEO 2SEC", "510273", "1", "1",
             fill10(0.0), fill10(0.0), fill10(-30.0)),
        note("13TS", "03-Jun-24 10:12"),
        *levelling_sdr20(g),
        note("13OO", "Триангуляция: пункты 0001, 0002, 0003, новый 0004"),
        coords("08KI", "0001", "центр N1"),
        coords("08KI", "0002", "центр N2"),
        coords("08KI", "0003", "центр N3"),
        note("13TS", "03-Jun-24 11:30"),
        station("0001", hi1),
        line("03NM", fill10(ht)),
        backsight("0001", "0002"),
        obs("09F1", "0001", "0002", hi1, ht, 1),
        obs("09F2", "0001", "0002", hi1, ht, 2),
        obs("09F1", "0001", "0003", hi1, ht, 1),
        obs("09F2", "0001", "0003", hi1, ht, 2),
        obs("09F1", "0001", "0004", hi1, ht, 1),
        obs("09F2", "0001", "0004", hi1, ht, 2),
        mean_obs("0001", "0004", hi1, ht),
        coords("08TP", "0004", "новый пункт"),
        obs("09F1", "0001", "1001", hi1, ht, 1, note="колодец"),
        obs("09MC", "0001", "1002", hi1, ht, 1, note="угол забора"),
        coords("08TP", "1001", "колодец"),
        coords("08TP", "1002", "угол забора"),
        reduced("0001", "0004", "0001-0004"),
        note("13TS", "03-Jun-24 12:45"),
        station("0003", hi3),
        line("03NM", fill10(ht)),
        backsight("0003", "0001"),
        obs("09F1", "0003", "0001", hi3, ht, 1),
        obs("09F2", "0003", "0001", hi3, ht, 2),
        obs("09F1", "0003", "0004", hi3, ht, 1),
        obs("09F1", "0003", "1003", hi3, ht, 1, note="люк"),
        coords("08TP", "1003", "люк"),
        reduced("0003", "0004", "0003-0004"),
        note("13NM", "Конец работ 03.06.2024 13:20"),
    ]


def levelling_sdr20(g):
    """Two set-ups from benchmark 0500 to point 0001."""

    def line(code, *values):
        return sdr_line("2", code, *values)

    bm = 118.4520
    bs1, fs1 = 1.6021, 0.8844              # 0500 -> turning point 0901
    bs2 = 1.7318                           # 0901 -> 0001
    tp = bm + bs1 - fs1
    fs2 = tp + bs2 - g.points["0001"][2]

    one_wire, three_wire = level_readings(line, fill10, fill10)

    return [
        line("60NM", "1", "DIGITAL LEVEL", "708114", "100"),
        line("65NM", fill10(0.0)),
        line("61NM", "0500", "грунтовый репер", fill10(bm)),
        line("62NM", "1", "0500", "0"),
        one_wire("0500", 35.20, bs1, 1, "1", "0", "грунтовый репер"),
        three_wire("0901", fs1, 0.1755, 1, "0", "1", "башмак"),
        line("62NM", "2", "0901", "1"),
        three_wire("0901", bs2, 0.1690, 2, "1", "1", "башмак"),
        one_wire("0001", 33.60, fs2, 2, "0", "0", "центр N1"),
    ]


BOOKS = {
    "traverse-sdr33.sdr": traverse_sdr33,
    "level-and-triangulation-sdr20.sdr": level_and_triangulation_sdr20,
}


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).parent.parent / "examples"
    out.mkdir(parents=True, exist_ok=True)
    for name, make in BOOKS.items():
        text = "".join(line + "\r\n" for line in make())
        (out / name).write_bytes(text.encode("cp1251"))
        print(f"{out / name}: {text.count(chr(10))} lines")


if __name__ == "__main__":
    main()
