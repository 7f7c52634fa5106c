#!/usr/bin/python3
"""Simulated measured isotope patterns for the isotope-fit accuracy benchmark.

The patterns come from IsoSpec (Debian's python3-isospec), never from the
plug-in's own engine: the [M+H]+ ion's fine structure, a Gaussian profile of
FWHM = m/z / R, its centroids (local maxima; m/z the intensity-weighted mean
over the points above half the apex up to the valleys either side, intensity the apex height), then the
noise of a real instrument:

- m/z: a calibration offset shared by the spectrum (normal, 1.5 ppm) plus a
  jitter of each peak (normal, 1 ppm at 100 %, growing as 1/sqrt(intensity)
  up to 5 ppm);
- intensity: 3 % of the peak plus 0.2 % of the tallest (normal), scaled
  again to a tallest of 100; peaks under 0.5 % are lost;
- one time in five, an unrelated peak of 0.5 to 3 % within the pattern's span.

Molecules are drawn from SQLite molecule databases (Molecules.Formula),
neutral, 100 to 1,000 Da, made of the elements below. Writes the spectra as
MGF (TITLE, PEPMASS the measured monoisotopic m/z, CHARGE, RESOLUTION) and
the truth as TSV (title, formula, resolving power). A fixed seed repeats it.

usage: simulate_spectra.py OUT.mgf TRUTH.tsv COUNT SEED DATABASE.db...
"""
import random
import re
import sqlite3
import sys

import numpy
import IsoSpecPy
from IsoSpecPy.PeriodicTbl import symbol_to_monoisotopic_mass  # most abundant isotope

ELECTRON = 0.000548579909
RESOLVING_POWERS = (15000, 30000, 60000, 120000, 240000)
# Organic elements, and the heavier ones whose many isotopes trouble a
# ranking by nominal sticks.
ELEMENTS = {"C", "H", "N", "O", "P", "S", "F", "Cl", "Br", "I", "B", "Si", "Se", "Sn", "Fe", "Pt"}
# Elements always taken when a database holds them, beyond the random draw.
RARE = {"B", "Se", "Sn", "Fe", "Pt", "Si"}
DETECTION_LIMIT = 0.5  # % of the tallest


def parse(formula):
    counts = {}
    for symbol, count in re.findall(r"([A-Z][a-z]?)(\d*)", formula):
        counts[symbol] = counts.get(symbol, 0) + (int(count) if count else 1)
    return counts


def text(counts):
    return "".join(f"{s}{n}" for s, n in counts.items() if n > 0)


def centroids(masses, probs, resolving_power):
    """Centroids of the Gaussian profile of the lines, the tallest 100."""
    low, high = masses.min(), masses.max()
    fwhm = high / resolving_power
    step = fwhm / 20
    grid = numpy.arange(low - 5 * fwhm, high + 5 * fwhm, step)
    profile = numpy.zeros_like(grid)
    for mass, prob in zip(masses, probs):
        sigma = mass / resolving_power / 2.3548200450309493
        first = numpy.searchsorted(grid, mass - 6 * sigma)
        last = numpy.searchsorted(grid, mass + 6 * sigma)
        profile[first:last] += prob * numpy.exp(-0.5 * ((grid[first:last] - mass) / sigma) ** 2)
    tallest = profile.max()
    peaks = []
    for i in range(1, len(grid) - 1):
        if not (profile[i] > profile[i - 1] and profile[i] >= profile[i + 1]):
            continue
        if profile[i] < 1e-4 * tallest:
            continue
        half = profile[i] / 2
        left, right = i, i
        # Down to half the apex, and no further than the valley to a neighbour.
        while left > 0 and half < profile[left - 1] <= profile[left]:
            left -= 1
        while right < len(grid) - 1 and half < profile[right + 1] <= profile[right]:
            right += 1
        weights = profile[left:right + 1]
        mz = float((grid[left:right + 1] * weights).sum() / weights.sum())
        peaks.append([mz, 100.0 * profile[i] / tallest])
    return peaks


def measure(peaks, rng):
    offset = rng.gauss(0, 1.5e-6)
    noisy = []
    for mz, intensity in peaks:
        jitter = rng.gauss(0, 1e-6) * min(5.0, (100.0 / intensity) ** 0.5)
        level = intensity * (1 + rng.gauss(0, 0.03)) + rng.gauss(0, 0.2)
        noisy.append([mz * (1 + offset + jitter), level])
    if rng.random() < 0.2:
        span_low, span_high = peaks[0][0], peaks[-1][0] + 1
        noisy.append([rng.uniform(span_low, span_high), rng.uniform(0.5, 3.0)])
    tallest = max(level for _, level in noisy)
    kept = [[mz, 100 * level / tallest] for mz, level in noisy]
    return sorted(p for p in kept if p[1] >= DETECTION_LIMIT)


def molecules(databases):
    found = {}
    for database in databases:
        connection = sqlite3.connect(f"file:{database}?mode=ro", uri=True)
        for formula, mass in connection.execute("SELECT Formula, MassMI FROM Molecules ORDER BY ID"):
            if not formula or not 100 <= mass <= 1000:
                continue
            counts = parse(formula)
            if set(counts) <= ELEMENTS and "C" in counts:
                found.setdefault(formula, counts)
    return sorted(found.items())


def main():
    out, truth_path, count, seed, *databases = sys.argv[1:]
    rng = random.Random(int(seed))
    pool = molecules(databases)
    rare = [m for m in pool if set(m[1]) & RARE]
    common = [m for m in pool if not set(m[1]) & RARE]
    chosen = rare + rng.sample(common, max(0, int(count) - len(rare)))
    rng.shuffle(chosen)
    with open(out, "w") as mgf, open(truth_path, "w") as truth:
        truth.write("title\tformula\tresolution\n")
        for n, (formula, counts) in enumerate(chosen):
            resolving_power = RESOLVING_POWERS[n % len(RESOLVING_POWERS)]
            ion = dict(counts)
            ion["H"] = ion.get("H", 0) + 1
            lines = IsoSpecPy.IsoThreshold(formula=text(ion), threshold=1e-6, absolute=False)
            masses = numpy.array(list(lines.masses)) - ELECTRON
            probs = numpy.array(list(lines.probs))
            mono_mz = sum(n * symbol_to_monoisotopic_mass[s] for s, n in ion.items()) - ELECTRON
            measured = measure(centroids(masses, probs, resolving_power), rng)
            searched = min(measured, key=lambda p: abs(p[0] - mono_mz))[0]
            title = f"sim{n + 1:04d}"
            mgf.write(f"BEGIN IONS\nTITLE={title}\nPEPMASS={searched:.6f}\nCHARGE=1+\n"
                      f"RESOLUTION={resolving_power}\n")
            for mz, intensity in measured:
                mgf.write(f"{mz:.6f} {intensity:.3f}\n")
            mgf.write("END IONS\n\n")
            truth.write(f"{title}\t{formula}\t{resolving_power}\n")


if __name__ == "__main__":
    main()
