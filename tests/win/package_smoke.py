#!/usr/bin/env python3
"""Smoke test of the release archive, as a user installs it.

1. Unpacks the archive into a fresh copy of the stand-in host's folder that
   has no plug-in, starts the host under Wine, opens the tool window through
   the host's menu, searches the sample database and takes a screenshot
   (build/win/screenshots/package-smoke.png).
2. Unpacks it over an older copy: the plug-in's files in their places (with
   other bytes), a settings file as 1.0.0 wrote it, a database of the user's
   and another plug-in's files. Only the plug-in's files change, and the new
   version shows and keeps the old settings, its new keys at their defaults.

usage: package_smoke.py WIN_BUILD_DIR DRIVER_EXE
"""
import configparser
import hashlib
import shutil
import subprocess
import sys
import tempfile
import zipfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
# The stand-in host's own files in the stage; everything else there is the plug-in's.
STAND_IN_FILES = ["Data/Databases/structures.db", "ionsift-host.exe", "ionsift-sheet.dll", "locale.dll"]
GLUCOSE = ("structures", "180.063388", "5", "C6H12O6")
# Settings as 1.0.0 wrote them: its four keys only, amid the host's and another plug-in's.
OLD_SETTINGS = ("[Host]\r\nLanguage=english\r\n"
                "[Ionsift]\r\nDATABASE=mine\r\nMASS=194.080376\r\nMAXRESULTS=50\r\nPPM=3.5\r\n"
                "[Peakview]\r\nColour=blue\r\n")
# What the window shows for them; the keys added since at their defaults.
SHOWN_OLD_SETTINGS = {"database": "mine", "mass": "194.080376", "max_results": "50", "ppm": "3.5",
                      "ion": "M (neutral)", "resolution": "30000"}
NEW_KEY_DEFAULTS = {"ION": "M", "RESOLUTION": "30000", "IONSET": "", "USERIONS": ""}
failures = []


def check(ok, what):
    print(("ok      " if ok else "FAILED  ") + what)
    if not ok:
        failures.append(what)


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


def menu_caption(folder):
    """The tool window's entry in the Plug-ins menu, from the installed English catalog."""
    catalog = (folder / "Locale/english/RADURUR.evidodi").read_bytes().decode("cp1252")
    for line in catalog.splitlines():
        number, _, text = line.partition("\t")
        if number == "39":
            return text
    raise SystemExit("no caption 39 in the installed catalog")


def drive(driver, folder, screenshot, *search):
    """Runs the driver; its name=value lines as a dict."""
    done = subprocess.run([str(ROOT / "scripts/wine-run"), windows_path(driver), windows_path(folder),
                           menu_caption(folder), windows_path(screenshot), *search],
                          capture_output=True, text=True, timeout=300)
    print(done.stdout + done.stderr, end="")
    lines = dict(line.split("=", 1) for line in done.stdout.replace("\r", "").splitlines() if "=" in line)
    lines["status"] = done.returncode
    return lines


def digests(folder):
    return {str(p.relative_to(folder)): hashlib.sha256(p.read_bytes()).hexdigest()
            for p in sorted(folder.rglob("*")) if p.is_file()}


def ini_sections(text):
    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str  # keys keep their case
    parser.read_string(text)
    return {name: dict(parser[name]) for name in parser.sections()}


def settings_file(folder):
    return ini_sections((folder / "ionsift-host.ini").read_bytes().decode("cp1252"))


def bare_host(stage, folder):
    for name in STAND_IN_FILES:
        (folder / name).parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(stage / name, folder / name)


def fresh_install(driver, stage, archive, work, shots):
    folder = work / "fresh"
    bare_host(stage, folder)
    with zipfile.ZipFile(archive) as package:
        package.extractall(folder)
    bmp = work / "fresh.bmp"
    seen = drive(driver, folder, bmp, *GLUCOSE[:3])
    check(seen.get("tool_window") == "open", "the menu opens the tool window")
    check(int(seen.get("rows", "0")) > 0, f"the search lists candidates: {seen.get('found')}")
    check(seen.get("first_row", "").split("|")[1:2] == [GLUCOSE[3]],
          f"the first candidate is {GLUCOSE[3]}: {seen.get('first_row')}")
    check(seen["status"] == 0 and seen.get("host_exit") == "0", "the host closes cleanly")
    check(bmp.is_file() and bmp.stat().st_size > 0, "a screenshot was taken")
    if bmp.is_file():
        shots.mkdir(parents=True, exist_ok=True)
        subprocess.run(["convert", str(bmp), str(shots / "package-smoke.png")], check=True)
        print(f"screenshot: {shots / 'package-smoke.png'}")
    saved = settings_file(folder).get("Ionsift", {})
    check(saved.get("MASS") == GLUCOSE[1], f"the new settings file holds the searched mass: {saved}")


def upgrade(driver, stage, archive, work):
    folder = work / "older"
    bare_host(stage, folder)
    with zipfile.ZipFile(archive) as package:
        names = [name for name in package.namelist() if not name.endswith("/")]
        for name in names:  # the earlier version's files, in the same places
            (folder / name).parent.mkdir(parents=True, exist_ok=True)
            (folder / name).write_bytes(b"Ionsift 1.0.0: " + name.encode())
        shutil.copy2(folder / STAND_IN_FILES[0], folder / "Data/Databases/mine.db")
        (folder / "Locale/english/PEAKVIEW.evidodi").write_bytes(b"1\tAnother plug-in\r\n")
        (folder / "Docs/Html/peakview").mkdir(parents=True)
        (folder / "Docs/Html/peakview/index.htm").write_bytes(b"<p>Another plug-in</p>")
        (folder / "ionsift-host.ini").write_bytes(OLD_SETTINGS.encode())
        before = digests(folder)
        package.extractall(folder)
        after = digests(folder)
        replaced = [name for name in names if (folder / name).read_bytes() == package.read(name)]
    check(replaced == names, "every file of the plug-in is replaced")
    kept = {name: digest for name, digest in before.items() if name not in names}
    check(all(after.get(name) == digest for name, digest in kept.items()) and set(after) == set(before),
          "nothing else is touched: " + ", ".join(sorted(kept)))

    seen = drive(driver, folder, work / "older.bmp")
    check(seen.get("tool_window") == "open", "the upgraded plug-in opens its tool window")
    shown = {key: seen.get(key) for key in SHOWN_OLD_SETTINGS}
    check(shown == SHOWN_OLD_SETTINGS, f"the window shows the old settings: {shown}")
    check(seen["status"] == 0 and seen.get("host_exit") == "0", "the host closes cleanly")

    old, new = ini_sections(OLD_SETTINGS), settings_file(folder)
    check({k: v for k, v in new.items() if k != "Ionsift"} == {k: v for k, v in old.items() if k != "Ionsift"},
          "the host's and the other plug-in's sections are kept")
    ours = new.get("Ionsift", {})
    check(all(ours.get(key) == value for key, value in old["Ionsift"].items()),
          f"the old keys keep their values: {ours}")
    check(all(ours.get(key, value) == value for key, value in NEW_KEY_DEFAULTS.items()),
          "the new keys are at their defaults")
    after_run = digests(folder)
    check(all(after_run.get(name) == digest for name, digest in kept.items() if name != "ionsift-host.ini"),
          "the run changed no file but the settings")


def main():
    build, driver = Path(sys.argv[1]).resolve(), Path(sys.argv[2]).resolve()
    stage = build / "stage"
    with tempfile.TemporaryDirectory(dir=build) as scratch:
        work = Path(scratch)
        subprocess.run([str(ROOT / "scripts/make-dist"), str(build), str(work / "dist")], check=True,
                       stdout=subprocess.DEVNULL)
        archive = next((work / "dist").glob("*.zip"))
        with zipfile.ZipFile(archive) as package:
            plugin_files = set(package.namelist()) - {"INSTALL.txt", "ionsift-annotate.exe"}
        staged = {str(p.relative_to(stage)) for p in stage.rglob("*") if p.is_file()}
        check(staged == plugin_files | set(STAND_IN_FILES),
              "the stage is the stand-in host's files and the archive's: "
              + ", ".join(sorted(staged ^ (plugin_files | set(STAND_IN_FILES)))))
        fresh_install(driver, stage, archive, work, build / "screenshots")
        upgrade(driver, stage, archive, work)
    if failures:
        print(f"{len(failures)} check(s) failed")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
