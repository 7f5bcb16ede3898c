#!/usr/bin/python3
"""Writes samples/SOLUC.DBF: a solved timetable for the sample school (samples/centro.xml converted with
template PL1), as the timetable program would leave it: a dBase III table with N fields.

It uses python3-dbf, an independent dBase writer; run it with the system's /usr/bin/python3.
Class rows carry TAREA "*479"; occupation rows repeat their task code in TAREA. DIA 0 or HORA 0: not placed.
"""
import os
import sys

import dbf

ROWS = [
    # ASIG, TAREA, DIA, HORA, CODGRUPO, PROF, AULA
    ("MAT1", "*479", 1, 1, "1ESOA", "GLA", "A101"),
    ("MAT1", "*479", 3, 2, "1ESOA", "GLA", "A101"),
    ("MAT1", "*479", 5, 1, "1ESOA", "GLA", "A101"),
    ("VAL1", "*479", 2, 3, "1ESOA", "gla1", "A101"),
    ("VAL1", "*479", 4, 4, "1ESOA", "gla1", "A101"),
    ("EF1", "*479", 2, 5, "1ESOA", "FSP", "Gimn"),
    ("EF1", "*479", 4, 6, "1ESOA", "FSP", "Gimn"),
    ("TUT1", "*479", 5, 6, "1ESOA", "GLA", "A101"),
    ("MAT1", "*479", 1, 2, "1ESOB", "PCR", "A102"),
    ("CAS1", "*479", 3, 1, "1ESOB", "gla1", "A102"),
    ("CAS1", "*479", 3, 3, "1ESOB", "GLA", "A102"),
    ("HISTESPA2B", "*479", 2, 1, "2BATCIENES", "\u00c1MN", "A102"),
    ("HISTESPA2B", "*479", 4, 2, "2BATCIENES", "\u00c1MN", "A102"),
    ("MAT2", "*479", 0, 0, "2ESOA", "PCR", "A101"),
    ("*DIA", "*DIA", 1, 3, "", "GLA", ""),
    ("*DIA", "*DIA", 2, 2, "", "FSP", ""),
    ("*DEP", "*DEP", 3, 4, "", "gla1", ""),
    ("*DIA", "*DIA", 0, 5, "", "GLA", ""),
]


def main():
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "SOLUC.DBF")
    table = dbf.Table(
        target,
        "ASIG C(10); TAREA C(10); DIA N(2,0); HORA N(3,0); CODGRUPO C(10); PROF C(10); AULA C(10)",
        dbf_type="db3",
        codepage="cp1252",
    )
    table.open(dbf.READ_WRITE)
    for row in ROWS:
        table.append(row)
    table.close()


if __name__ == "__main__":
    main()
