#!/usr/bin/python3
"""Writes fine_structure_reference.txt: the isotopic fine structure of a fixed
set of formulas as Debian's IsoSpec for Python (python3-isospec) computes it,
the reference the native engine is tested against.

IsoSpec gets the masses and abundances of our own isotope table
(isotopes/isotope_table.cpp) and our electron mass, so that only the
algorithm is compared, not the data.

Output, one block per formula:
    formula <Hill-ordered formula> <charge> <total probability at 1e-6> <lines>
    <m/z> <probability relative to the tallest>      (lines of at least 1e-4)

Usage: make_fine_structure_reference.py [REPOSITORY] > fine_structure_reference.txt
"""
import os
import random
import re
import sys

import IsoSpecPy

THRESHOLD = 1e-6   # the engine's default: lines down to 1e-6 of the tallest
LISTED = 1e-4      # lines the test requires the engine to reproduce


def read_table(root):
    rows = re.findall(r'\{"([A-Z][a-z]?)", (\d+), ([0-9.]+), ([0-9.eE-]+)\}',
                      open(os.path.join(root, "isotopes/isotope_table.cpp")).read())
    table = {}
    for symbol, _, mass, abundance in rows:
        table.setdefault(symbol, ([], []))
        table[symbol][0].append(float(mass))
        table[symbol][1].append(float(abundance))
    electron = float(re.search(r"kElectronMass = ([0-9.]+)",
                               open(os.path.join(root, "isotopes/isotope_table.h")).read()).group(1))
    return table, electron


def hill(counts):
    if "C" in counts:
        order = ["C", "H"] + sorted(s for s in counts if s not in ("C", "H"))
    else:
        order = sorted(counts)
    return "".join(s + (str(counts[s]) if counts[s] != 1 else "") for s in order if counts.get(s, 0) > 0)


def formulas(table):
    rng = random.Random(20)
    chosen = []
    # Every element of the table, alone and in a small organic molecule.
    for symbol in table:
        chosen.append(({symbol: 1}, 0))
        chosen.append(({"C": 8, "H": 10, "O": 2, symbol: 2}, rng.choice([0, 1, -1])))
    # Organic molecules with the heteroatoms whose patterns matter most.
    # At most one metal with many isotopes, at most two lighter heteroatoms,
    # so that the file stays small.
    metals = ["Fe", "Sn", "Se", "Pt", "Cu", "Zn", "Hg", "Ni", "Mo", "Ru", "Pd", "Ge", "Mg"]
    light = ["B", "Cl", "Br", "S", "D", "Si", "P", "F", "I", "Na", "K", "Li"]
    while len(chosen) < 480:
        counts = {"C": rng.randint(1, 60), "H": rng.randint(0, 90)}
        for symbol in ("N", "O"):
            if rng.random() < 0.7:
                counts[symbol] = rng.randint(1, 15)
        for symbol in rng.sample(light, rng.randint(0, 2)):
            counts[symbol] = rng.randint(1, 4)
        if rng.random() < 0.4:
            counts[rng.choice(metals)] = 1
        chosen.append((counts, rng.choice([0, 0, 0, 1, 1, -1, 2, -2, 3])))
    # Peptides and small proteins, up to insulin.
    for counts, charge in [
        ({"C": 257, "H": 383, "N": 65, "O": 77, "S": 6}, 0),    # insulin
        ({"C": 257, "H": 388, "N": 65, "O": 77, "S": 6}, 5),    # insulin [M+5H]5+
        ({"C": 254, "H": 377, "N": 65, "O": 75, "S": 6}, 0),    # insulin lispro-like
        ({"C": 190, "H": 287, "N": 55, "O": 57, "S": 1}, 3),    # glucagon-sized
        ({"C": 150, "H": 226, "N": 40, "O": 46, "S": 2}, 0),
        ({"C": 98, "H": 138, "N": 24, "O": 33, "S": 2}, 2),
        ({"C": 62, "H": 86, "N": 12, "O": 16, "Cl": 2}, 1),
        ({"C": 66, "H": 75, "Cl": 2, "N": 9, "O": 24}, 0),      # vancomycin
        ({"C": 47, "H": 51, "N": 1, "O": 14}, 1),               # paclitaxel [M+H]+ -like
        ({"C": 63, "H": 88, "Co": 1, "N": 14, "O": 14, "P": 1}, 0),  # cobalamin
        ({"C": 34, "H": 32, "Fe": 1, "N": 4, "O": 4}, 0),       # haem b
        ({"C": 12, "H": 8, "Br": 4, "O": 1}, -1),
        ({"C": 24, "H": 20, "Sn": 1}, 0),
        ({"C": 2, "H": 6, "Cl": 2, "N": 2, "Pt": 1}, 1),       # cisplatin-like
        ({"C": 10, "H": 10, "Fe": 1}, 1),                       # ferrocenium
        ({"C": 60}, 0),
        ({"C": 60}, -1),
        ({"C": 6, "D": 6}, 0),
        ({"C": 2, "D": 6, "O": 1, "S": 1}, 1),
        ({"H": 2, "O": 1}, 0),
        ({"B": 10, "C": 2, "H": 12}, 0),                        # carborane
        ({"C": 18, "H": 15, "Se": 2}, 0),
        ({"C": 6, "Cl": 6}, 0),
        ({"Br": 6, "C": 6}, -2),
    ]:
        chosen.append((counts, charge))
    return chosen


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "../../..")
    table, electron = read_table(root)
    out = sys.stdout
    for counts, charge in formulas(table):
        symbols = sorted(counts)
        spectrum = IsoSpecPy.IsoThreshold(
            THRESHOLD, absolute=False,
            atomCounts=[counts[s] for s in symbols],
            isotopeMasses=[table[s][0] for s in symbols],
            isotopeProbabilities=[table[s][1] for s in symbols])
        masses, probabilities = list(spectrum.masses), list(spectrum.probs)
        tallest = max(probabilities)
        kept = sorted((m, p / tallest) for m, p in zip(masses, probabilities) if p >= LISTED * tallest)
        to_mz = (lambda m: (m - charge * electron) / abs(charge)) if charge else (lambda m: m)
        out.write("formula %s %d %.12f %d\n" % (hill(counts), charge, spectrum.total_prob(), len(kept)))
        for mass, relative in kept:
            out.write("%.7f %.6f\n" % (to_mz(mass), relative))


if __name__ == "__main__":
    main()
