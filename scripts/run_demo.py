#!/usr/bin/env python3
"""Packs the bundled demo presentation (examples/demo) and runs it under Wine the way a
user would: started inside a Wine virtual desktop, watched until the projector shows
inside the runner window, photographed to out/demo.png, closed with the Escape key.
Then reports whether the run directory is gone.

Run it inside scripts/with-wine.sh (a private X display, a Wine prefix of its own, one
wineserver); it sets that prefix up for the screenshot (Wine's fonts, server-side drawing):
    WINEPREFIX=build/wineprefix-demo scripts/with-wine.sh python3 scripts/run_demo.py \
        [--host-bin DIR] [--win-bin DIR] [--out DIR]
Exits 0 only when the show started, ended on Escape and left no run directory behind.
"""
import argparse
import os
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEMO = os.path.join(ROOT, "examples", "demo")
SHOW_NAME = "QuindleDemo"
DESKTOP = "QuindleDemo,1024x768"
WINE64 = os.environ.get("WINE64", "/usr/lib/wine/wine64")
WINE_FONTS = "/usr/share/wine/fonts"  # Debian package fonts-wine

START_LIMIT_S = 60      # Wine's first start of a program in a fresh prefix is slow
END_LIMIT_S = 10        # per Escape press
ESCAPE_PRESSES = 3


def windows_path(path):
    """The path as Wine's programs see it, through the Z: drive."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def say(line):
    print(f"demo: {line}", flush=True)


def wait_until(pred, limit_s, step_s=0.2):
    deadline = time.monotonic() + limit_s
    while True:
        if pred():
            return True
        if time.monotonic() >= deadline:
            return False
        time.sleep(step_s)


def pack(args, work):
    """Packs the runner with the stand-in projector, the hook library, the ini and the music."""
    inputs = os.path.join(work, "inputs")
    os.makedirs(inputs)
    sources = [os.path.join(args.win_bin, "standin.exe"), os.path.join(args.win_bin, "zanticrun.dll"),
               os.path.join(DEMO, "demo.ini"), os.path.join(DEMO, "demo.mid")]
    for source in sources:
        shutil.copy2(source, inputs)
    exe = os.path.join(work, SHOW_NAME + ".exe")
    tool = os.path.join(args.host_bin, "quindle-pack")
    subprocess.run([tool, "pack", "--stub", os.path.join(args.win_bin, "runner.exe"), "--out", exe]
                   + [os.path.join(inputs, os.path.basename(s)) for s in sources], check=True)
    subprocess.run([tool, "list", exe], check=True)
    return exe


def prepare_prefix():
    """Sets the prefix up so that the screenshot shows what a user would see.

    Wine draws the caption buttons with its own Marlett font (fonts-wine). Debian's Wine 8
    looks for its fonts in "<data dir>\\../fonts", a path its file name conversion does not
    resolve, so it never finds /usr/share/wine/fonts; it does read the prefix's Fonts folder,
    so the fonts are linked there.

    With Wine's default client-side drawing a window that another process has taken in
    stays black. With server-side drawing (X11 Driver ClientSideGraphics=N) the projector's
    first frames reach the runner window; its later frames do not (see README.md)."""
    fonts = os.path.join(os.environ["WINEPREFIX"], "drive_c", "windows", "Fonts")
    if os.path.isdir(WINE_FONTS):
        os.makedirs(fonts, exist_ok=True)
        for name in os.listdir(WINE_FONTS):
            link = os.path.join(fonts, name)
            if not os.path.lexists(link):
                os.symlink(os.path.join(WINE_FONTS, name), link)
    else:
        say(f"{WINE_FONTS} is missing (package fonts-wine): the caption buttons show as letters")
    subprocess.run([WINE64, "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "ClientSideGraphics",
                    "/t", "REG_SZ", "/d", "N", "/f"], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def write_launcher(work, exe, temp, report):
    """A batch file that gives the show its own temporary folder (Wine takes TEMP and TMP
    from its registry, not from the Linux environment) and starts it in a virtual desktop."""
    bat = os.path.join(work, "run.bat")
    lines = ["@echo off",
             f"set TEMP={windows_path(temp)}",
             f"set TMP={windows_path(temp)}",
             f"set STANDIN_REPORT={windows_path(report)}",
             f"explorer /desktop={DESKTOP} {windows_path(exe)}"]
    with open(bat, "w", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n")
    return bat


def report_values(report, key):
    try:
        with open(report, encoding="latin-1") as f:
            return [line.rstrip("\r\n").split("=", 1)[1] for line in f if line.startswith(key + "=")]
    except FileNotFoundError:
        return []


def find_process(exe):
    """The Linux process id of the Windows program started from exe, or None."""
    wanted = windows_path(exe).lower()
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/cmdline", "rb") as f:
                argv0 = f.read().split(b"\0", 1)[0].decode("latin-1").lower()
        except OSError:
            continue
        if argv0 == wanted:
            return int(entry)
    return None


def process_alive(pid):
    """False once the process has ended (gone, or a zombie waiting for its reaper)."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            state = f.read().rsplit(")", 1)[1].split()[0]
    except (OSError, IndexError):
        return False
    return state not in ("Z", "X")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--host-bin", default=os.path.join(ROOT, "build", "host", "bin"))
    parser.add_argument("--win-bin", default=os.path.join(ROOT, "build", "win64", "bin"))
    parser.add_argument("--out", default=os.path.join(ROOT, "out"))
    args = parser.parse_args()
    if not os.environ.get("DISPLAY"):
        sys.exit("demo: DISPLAY is not set; run me inside scripts/with-wine.sh")

    work = os.path.join(args.out, "demo")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    temp = os.path.join(work, "tmp")
    os.makedirs(temp)
    report = os.path.join(work, "standin-report.txt")
    screenshot = os.path.join(args.out, "demo.png")
    if os.path.exists(screenshot):
        os.remove(screenshot)
    run_dir = os.path.join(temp, "Qgl_Rt")

    exe = pack(args, work)
    prepare_prefix()
    bat = write_launcher(work, exe, temp, report)
    say(f"starting {windows_path(exe)} in the virtual desktop {DESKTOP}, temporary folder {windows_path(temp)}")
    with open(os.path.join(work, "wine.log"), "wb") as log:
        subprocess.Popen([WINE64, "cmd", "/c", windows_path(bat)], stdout=log, stderr=log,
                         stdin=subprocess.DEVNULL, cwd=work)

    runner = None

    def shown():
        nonlocal runner
        runner = runner or find_process(exe)
        parents = report_values(report, "parent")
        return bool(parents) and parents[-1] == "MumuQuindleWindow"

    started = time.monotonic()
    if not wait_until(shown, START_LIMIT_S):
        say(f"FAILED: the projector was not shown inside the runner window within {START_LIMIT_S} s")
        return 1
    say(f"projector shown inside the runner window after {time.monotonic() - started:.1f} s "
        f"(run directory {windows_path(run_dir)} {'exists' if os.path.isdir(run_dir) else 'MISSING'}: "
        f"{', '.join(sorted(os.listdir(run_dir))) if os.path.isdir(run_dir) else '-'})")
    if runner is None:
        say("FAILED: the runner's process was not found")
        return 1

    time.sleep(1)
    subprocess.run(["import", "-window", "root", screenshot], check=True)
    say(f"screenshot saved to {screenshot}")

    ended = False
    for press in range(1, ESCAPE_PRESSES + 1):
        subprocess.run(["xdotool", "key", "Escape"], check=True)
        say(f"pressed Escape ({press})")
        if wait_until(lambda: not process_alive(runner), END_LIMIT_S):
            ended = True
            break
    if not ended:
        say(f"FAILED: the runner was still running {ESCAPE_PRESSES} Escape presses later")
        return 1
    projector_exit = report_values(report, "exit")
    say(f"runner ended; the projector ended with exit code {projector_exit[-1] if projector_exit else '?'}")

    # The runner removes its run directory before it ends; allow Wine a moment to settle.
    gone = wait_until(lambda: not os.path.exists(run_dir), 5)
    left = sorted(os.listdir(temp))
    if gone and not left:
        say(f"run directory {windows_path(run_dir)} is gone; the temporary folder is empty")
        return 0
    say(f"FAILED: left behind in {windows_path(temp)}: {', '.join(left)}")
    return 1


if __name__ == "__main__":
    sys.exit(main())
