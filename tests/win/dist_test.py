#!/usr/bin/env python3
"""The release archive: exactly the plug-in's files; the same bytes from two
builds, with no build time inside the programs so that separate builds agree
too; a SHA256SUMS that sha256sum accepts; and one version in VERSION, the
archive's name, the DLL's version resource, the shipped
ionsift-annotate --version and the help page's footer.

usage: dist_test.py WIN_BUILD_DIR
"""
import calendar
import os
import re
import struct
import subprocess
import sys
import tempfile
import time
import zipfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
EXPECTED_FILES = sorted([
    "Docs/Html/ionsift/dlg-main-ions.png",
    "Docs/Html/ionsift/dlg-main-several-ions.png",
    "Docs/Html/ionsift/dlg-spectra.png",
    "Docs/Html/ionsift/index.htm",
    "INSTALL.txt",
    "Ionsift.dll",
    "Locale/english/RADURUR.evidodi",
    "Locale/french/RADURUR.evidodi",
    "Locale/german/RADURUR.evidodi",
    "ionsift-annotate.exe",
])
failures = []


def check(ok, what):
    print(("ok      " if ok else "FAILED  ") + what)
    if not ok:
        failures.append(what)


def build_archive(build, out):
    subprocess.run([str(ROOT / "scripts" / "make-dist"), str(build), str(out)], check=True,
                   stdout=subprocess.DEVNULL)
    archives = list(out.glob("*.zip"))
    assert len(archives) == 1, archives
    return archives[0]


def build_time_stamps(program):
    """The PE header's and the export directory's time stamps as objdump reads
    them: a linker or strip writes the time of its run there."""
    dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", str(program)], capture_output=True,
                          text=True, check=True, env={"TZ": "UTC", "LC_ALL": "C"}).stdout
    header = re.search(r"^Time/Date\t+(.+)$", dump, re.M).group(1)
    stamps = [calendar.timegm(time.strptime(header, "%a %b %d %H:%M:%S %Y"))]
    stamps += [int(stamp, 16) for stamp in re.findall(r"^Time/Date stamp\s+([0-9a-f]+)$", dump, re.M)]
    return stamps


def resource_versions(dll):
    """FILEVERSION of VS_FIXEDFILEINFO and the ProductVersion string, read
    from the PE's bytes (the fixed block starts with its signature)."""
    at = dll.index(struct.pack("<I", 0xFEEF04BD))
    _, _, ms, ls = struct.unpack_from("<IIII", dll, at)
    fixed = f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"
    key = "ProductVersion\0".encode("utf-16-le")
    text = dll[dll.index(key) + len(key):]
    text = text[len(text) - len(text.lstrip(b"\0")):]  # padding to 32 bits
    product = text[:text.index(b"\0\0")+1].decode("utf-16-le").rstrip("\0")
    return fixed, product


def main():
    build = Path(sys.argv[1]).resolve()
    version = (ROOT / "VERSION").read_text().split()[0]
    with tempfile.TemporaryDirectory(dir=build) as work:
        first = build_archive(build, Path(work) / "first")
        second = build_archive(build, Path(work) / "second")
        check(first.read_bytes() == second.read_bytes(), "two builds give identical archives")
        sums = subprocess.run(["sha256sum", "-c", "SHA256SUMS"], cwd=first.parent,
                              capture_output=True, text=True)
        check(sums.returncode == 0, "SHA256SUMS checks: " + sums.stdout.strip())

        check(first.name == f"Ionsift-{version}-win32.zip", f"archive name {first.name}")
        with zipfile.ZipFile(first) as archive:
            names = archive.namelist()
            check(names == EXPECTED_FILES, "file list is exactly the plug-in's: " + ", ".join(names))
            check(archive.testzip() is None, "every member's CRC is right")
            dll = archive.read("Ionsift.dll")
            page = archive.read("Docs/Html/ionsift/index.htm").decode("utf-8", "replace")
            install = archive.read("INSTALL.txt").decode("ascii")
            # The program as shipped (stripped), not the build's.
            dll_file = Path(archive.extract("Ionsift.dll", work))
            annotate_exe = Path(archive.extract("ionsift-annotate.exe", work))
            stamps = build_time_stamps(dll_file) + build_time_stamps(annotate_exe)
            annotate = subprocess.run([str(ROOT / "scripts" / "wine-run"), str(annotate_exe),
                                       "--version"], capture_output=True, text=True, timeout=120)

    epoch = int(os.environ.get("SOURCE_DATE_EPOCH") or subprocess.run(
        ["git", "-C", str(ROOT), "log", "-1", "--format=%ct"], capture_output=True, text=True,
        check=True).stdout)
    check(len(stamps) == 3 and set(stamps) == {epoch},
          f"the programs are stamped with the last commit's time {epoch}, not the build's: {stamps}")

    fixed, product = resource_versions(dll)
    check(fixed == f"{version}.0", f"DLL FILEVERSION {fixed}")
    check(product == f"{version}.0", f"DLL ProductVersion {product}")
    footer = re.search(r'<div class="footer">Ionsift ([^ ]+) &ndash;', page)
    check(footer is not None and footer.group(1) == version,
          f"help page footer {footer.group(1) if footer else None}")
    staged = (build / "stage/Docs/Html/ionsift/index.htm").read_text(encoding="utf-8", errors="replace")
    check(staged == page, "the archive's help page is the staged one")
    check(f"Ionsift {version} " in install, "INSTALL.txt names the version")

    said = annotate.stdout.strip()
    check(annotate.returncode == 0 and said == f"ionsift-annotate {version}",
          f"ionsift-annotate --version: {said!r}")

    if failures:
        print(f"{len(failures)} check(s) failed")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
