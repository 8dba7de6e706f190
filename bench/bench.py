#!/usr/bin/env python3
"""make bench: the setup program against a peer installer and a floor, side by side under Wine.

It generates a deterministic payload of the release's shape (tsd.exe of 3,418,192 bytes of mixed,
partly compressible content, the licence, 16 templates and 242 clip library items), builds the
setup program over it (make dist PAYLOAD=DIR), the peer installer from the same files with NSIS
(solid zlib, the same destination folders, one shortcut, the uninstall key) and the floor
(bench/floor.c: inflate once, EnumWindows once, one WriteFile per file). Then it runs them
interleaved, each in a fresh copy of one booted prefix whose wineserver and desktop process a
holder program keeps running, verifies every installed file byte for byte and prints medians.
A second table repeats it with four times as many files; a third times the first visible window.

"""

import argparse
import os
import random
import re
import shutil
import statistics
import subprocess
import sys
import time
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BENCH = os.path.join(ROOT, "bench")
# What runs under Wine here (tools/host-code.sh): the 32-bit programs where the host runs 32-bit
# code, else the 64-bit ones against the peer's amd64 stub, in a 64-bit prefix.
ARCH = os.environ.get("BENCH_ARCH") or ("x86" if os.environ.get("HOST_CODE", "both") == "both" else "x64")
MINGW = "i686-w64-mingw32-" if ARCH == "x86" else "x86_64-w64-mingw32-"
RES_FORMAT = "pe-i386" if ARCH == "x86" else "pe-x86-64"
TSD_SIZE = 3418192
UNINSTALL_KEY = r"Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaron Word Processor"
WINE_ENV = {"WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d",
            "WINEARCH": "win32" if ARCH == "x86" else "win64"}
if ARCH == "x64":
    # Wine's 64-bit loader itself: Debian's wine would pick an installed wine32 first.
    WINE_ENV["PATH"] = os.path.join(ROOT, "tools", "wine64") + os.pathsep + os.environ["PATH"]


def log(*words):
    print(*words, file=sys.stderr, flush=True)


def run(cmd, **kw):
    kw.setdefault("check", True)
    return subprocess.run(cmd, **kw)


# ---- The payload -------------------------------------------------------------------------------

def make_tsd(path):
    """3,418,192 bytes that compress about as well as a real program: runs of random bytes
    between runs of repetitive, code-like and text-like bytes."""
    rng = random.Random(4438)
    words = [b"GetWindowTextW", b"TTessaronDocument", b"\x8b\x45\x08\x89\x45\xfc", b"\x00" * 8,
             b"Paragraph", b"\xe8\x00\x00\x00\x00\x83\xc4\x04", b"StyleSheet", b"\xff\x15"]
    out = bytearray(b"MZ\x90\x00" + b"\x00" * 60)
    while len(out) < TSD_SIZE:
        if rng.random() < 0.435:
            out += rng.randbytes(rng.randint(256, 4096))
        else:
            chunk = bytearray()
            target = rng.randint(512, 8192)
            while len(chunk) < target:
                chunk += rng.choice(words)
                chunk += rng.randbytes(rng.randint(0, 3))
            out += chunk
    with open(path, "wb") as f:
        f.write(bytes(out[:TSD_SIZE]))


def make_payload(folder, copies):
    """The release's files in folder, with listing.txt; copies > 1 adds further sets of the
    templates and clip library items (inside the same two folders, so they install alike)."""
    source = os.path.join(ROOT, "resources", "payload")
    if os.path.isdir(folder):
        shutil.rmtree(folder)
    os.makedirs(folder)
    make_tsd(os.path.join(folder, "tsd.exe"))
    listing = []
    with open(os.path.join(source, "listing.txt"), encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\r\n")
            if line and not line.startswith("#"):
                listing.append(line.split("\t"))
    out = []
    for name, stamp in listing:
        if name != "tsd.exe":
            copy_entry(source, name, folder, name)
        out.append((name, stamp))
    for n in range(2, copies + 1):
        for name, stamp in listing:
            top, sep, rest = name.partition("\\")
            if top in ("Templates", "Clip Library") and sep:
                copy_name = "%s\\Set %d\\%s" % (top, n, rest)
                copy_entry(source, name, folder, copy_name)
                out.append((copy_name, stamp))
    with open(os.path.join(folder, "listing.txt"), "w", encoding="utf-8", newline="\n") as f:
        f.write("# Benchmark payload\n")
        for name, stamp in out:
            f.write("%s\t%s\n" % (name, stamp))
    return [name for name, _ in out]


def copy_entry(source, name, folder, as_name):
    target = os.path.join(folder, *as_name.split("\\"))
    os.makedirs(os.path.dirname(target), exist_ok=True)
    shutil.copyfile(os.path.join(source, *name.split("\\")), target)


def installed_place(name):
    """Where an entry lands, relative to drive_c, in the layout every candidate uses."""
    top = name.split("\\", 1)[0]
    if top in ("Templates", "Clip Library"):
        return "ProgramData/Tessaron/Public/" + name.replace("\\", "/")
    return "Program Files/Tessaron/" + name.replace("\\", "/")


# ---- The candidates ----------------------------------------------------------------------------

class Candidate:
    def __init__(self, label, exe, args, stored):
        self.label, self.exe, self.args, self.stored = label, exe, args, stored
        self.times, self.rss = [], []
        # The second run over a first one in the same prefix.
        self.re_times, self.re_rss = [], []

    def size(self):
        return os.path.getsize(self.exe)


def build_setup(payload, work, tag):
    win = os.path.join(work, ("win32-" if ARCH == "x86" else "win64-") + tag)
    dist = os.path.join(work, "dist-" + tag)
    build = ["DIST_ARCHS=x86", "WIN=" + win] if ARCH == "x86" else ["DIST_ARCHS=x64", "WIN64=" + win]
    run(["make", "-s", "-C", ROOT, "dist", "PAYLOAD=" + payload, "DIST=" + dist,
         "WIN_TARGETS=tessaron-setup tsd"] + build, stdout=subprocess.DEVNULL)
    stored = os.path.getsize(os.path.join(win, "payload", "payload.bin"))
    exe = os.path.join(dist, "tessaron-setup.exe" if ARCH == "x86" else "x64/tessaron-setup.exe")
    return Candidate("setup -S", exe, ["-S"], stored), \
        os.path.join(win, "payload", "payload.bin")


def build_peer(payload, work, tag):
    script = os.path.join(payload, "peer.nsi")
    out = os.path.join(work, "peer-%s.exe" % tag)
    with open(script, "w", encoding="utf-8") as f:
        f.write("""%s
SetCompressor /SOLID zlib
Name "Tessaron Word Processor"
OutFile "%s"
InstallDir "%s\\Tessaron"
RequestExecutionLevel admin
Page directory
Page instfiles
Section
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "tsd.exe"
  File "License.txt"
  SetOutPath "$APPDATA\\Tessaron\\Public"
  File /r "Templates"
  File /r "Clip Library"
  CreateShortCut "$SMPROGRAMS\\Tessaron Word Processor.lnk" "$INSTDIR\\tsd.exe"
  WriteRegStr HKLM "%s" "DisplayName" "Tessaron Word Processor"
  WriteRegStr HKLM "%s" "UninstallString" '"$INSTDIR\\tsd.exe" -ui'
SectionEnd
""" % ("Unicode true" if ARCH == "x86" else "Target amd64-unicode", out,
       "$PROGRAMFILES" if ARCH == "x86" else "$PROGRAMFILES64", UNINSTALL_KEY, UNINSTALL_KEY))
    result = run(["makensis", "-V4", script], cwd=payload, capture_output=True, text=True)
    # "Compressed data: 1845187 / 3825933 bytes": stored / inflated (install code and files)
    m = re.search(r"Compressed data:\s+(\d+) / (\d+) bytes", result.stdout)
    if not m:
        raise RuntimeError("makensis printed no size of its compressed data")
    stored = int(m.group(1))
    return Candidate("peer /S", out, ["/S"], stored)


def build_floor(payload_bin, work, tag):
    folder = os.path.join(work, "floor-" + tag)
    os.makedirs(folder, exist_ok=True)
    shutil.copyfile(payload_bin, os.path.join(folder, "payload.bin"))
    res = os.path.join(folder, "floor_res.o")
    run([MINGW + "windres", "-F", RES_FORMAT, "-I", folder, "-i", os.path.join(BENCH, "floor.rc"),
         "-o", res])
    exe = os.path.join(folder, "floor.exe")
    run([MINGW + "gcc", "-O2", "-s", "-municode", "-mwindows", "-static",
         os.path.join(BENCH, "floor.c"), res, "-o", exe, "-lz"])
    return Candidate("floor", exe, [], os.path.getsize(payload_bin))


def build_tool(name, work):
    exe = os.path.join(work, name + ".exe")
    extra = ["-municode"] if name == "holder" else []
    run([MINGW + "gcc", "-O2", "-s", "-static"] + extra + [os.path.join(BENCH, name + ".c"),
                                                          "-o", exe])
    return exe


# ---- Wine ----------------------------------------------------------------------------------------

class Prefixes:
    """One booted template; a fresh copy per run, kept warm by the holder."""

    def __init__(self, work, holder):
        self.work, self.holder = work, holder
        self.template = os.path.join(work, "template")
        self.env = dict(os.environ, **WINE_ENV)
        self.env.pop("DISPLAY", None)

    def boot(self):
        if os.path.isdir(self.template):
            shutil.rmtree(self.template)
        env = dict(self.env, WINEPREFIX=self.template)
        run(["wineboot", "-i"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            stdin=subprocess.DEVNULL)
        run(["wineserver", "-w"], env=env)
        users = os.path.join(self.template, "drive_c", "users")
        for user in os.listdir(users):
            for entry in os.listdir(os.path.join(users, user)):
                link = os.path.join(users, user, entry)
                if os.path.islink(link):
                    os.unlink(link)
                    os.makedirs(link)

    def fresh(self, display=None):
        prefix = os.path.join(self.work, "run")
        if os.path.isdir(prefix):
            shutil.rmtree(prefix)
        run(["cp", "-a", self.template, prefix])
        run(["sync"])
        env = dict(self.env, WINEPREFIX=prefix)
        if display:
            env["DISPLAY"] = display
        ready = os.path.join(prefix, "drive_c", "ready")
        holder = subprocess.Popen(["wine", self.holder, "C:\\ready"], env=env,
                                  stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        deadline = time.time() + 60
        while not os.path.exists(ready):
            if time.time() > deadline:
                raise RuntimeError("the holder did not start")
            time.sleep(0.02)
        time.sleep(0.3)  # let the desktop process settle
        return prefix, env, holder

    def finish(self, prefix, env, holder):
        subprocess.run(["wineserver", "-k"], env=env, stderr=subprocess.DEVNULL)
        holder.wait()
        subprocess.run(["wineserver", "-w"], env=env, stderr=subprocess.DEVNULL)


def timed_run(candidate, env, measure):
    """Wall time and peak resident memory (kB) of one run, through the measuring launcher."""
    out = subprocess.run([measure, "wine", candidate.exe] + candidate.args, env=env,
                         stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                         stderr=subprocess.DEVNULL, text=True, check=True).stdout.split()
    return float(out[0]), int(out[1]), int(out[2])


def verify(prefix, payload, names):
    drive = os.path.join(prefix, "drive_c")
    for name in names:
        with open(os.path.join(payload, *name.split("\\")), "rb") as f:
            want = f.read()
        path = os.path.join(drive, *installed_place(name).split("/"))
        try:
            with open(path, "rb") as f:
                got = f.read()
        except OSError:
            return "missing " + name
        if got != want:
            return "different bytes in " + name
    return None


def measure(prefixes, candidates, payload, names, rounds, launcher, reinstall=False):
    """Interleaved rounds of fresh installs; with reinstall, each timed run is the second one
    over a first, untimed, installation by the same candidate in the same prefix."""
    for r in range(rounds):
        order = candidates[r % len(candidates):] + candidates[:r % len(candidates)]
        for c in order:
            prefix, env, holder = prefixes.fresh()
            try:
                problem = None
                if reinstall:
                    _, _, code = timed_run(c, env, launcher)
                    if code != 0:
                        problem = "first run: exit code %d" % code
                    else:
                        problem = verify(prefix, payload, names)
                if not problem:
                    elapsed, rss, code = timed_run(c, env, launcher)
                    problem = "exit code %d" % code if code != 0 else verify(prefix, payload,
                                                                           names)
            finally:
                prefixes.finish(prefix, env, holder)
            if problem:
                raise RuntimeError("%s, round %d: %s" % (c.label, r + 1, problem))
            (c.re_times if reinstall else c.times).append(elapsed)
            (c.re_rss if reinstall else c.rss).append(rss)
        log("  round %d of %d done" % (r + 1, rounds))


def first_window(prefixes, firstwin, candidates, rounds):
    """Interleaved rounds; the floor is timed with its message box alone (its argument "/W")."""
    xvfb, display = start_xvfb()
    try:
        times = {c.label: [] for c in candidates}
        for r in range(rounds):
            order = candidates if r % 2 == 0 else candidates[::-1]
            for c in order:
                prefix, env, holder = prefixes.fresh(display)
                args = ["/W"] if c.label == "floor" else []
                try:
                    out = subprocess.run(["wine", firstwin, c.exe] + args, env=env,
                                         capture_output=True, text=True,
                                         stdin=subprocess.DEVNULL, timeout=60)
                finally:
                    prefixes.finish(prefix, env, holder)
                m = re.search(r"^([\d.]+)\s*$", out.stdout, re.M)
                if not m:
                    raise RuntimeError("%s showed no window (code %d)" % (c.label,
                                                                          out.returncode))
                times[c.label].append(float(m.group(1)))
        return times
    finally:
        xvfb.kill()
        xvfb.wait()


def start_xvfb():
    n = 70
    while os.path.exists("/tmp/.X11-unix/X%d" % n) or os.path.exists("/tmp/.X%d-lock" % n):
        n += 1
    xvfb = subprocess.Popen(["Xvfb", ":%d" % n, "-screen", "0", "1024x768x24", "-nolisten",
                             "tcp"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(100):
        if os.path.exists("/tmp/.X11-unix/X%d" % n):
            break
        time.sleep(0.05)
    return xvfb, ":%d" % n


# ---- Report --------------------------------------------------------------------------------------

def table(title, candidates, files, reinstall=False):
    if reinstall:
        # The same report over the second runs.
        shown = []
        for c in candidates:
            copy = Candidate(c.label, c.exe, c.args, c.stored)
            copy.times, copy.rss = c.re_times, c.re_rss
            shown.append(copy)
        candidates = shown
    print("\n%s (%d files, %d rounds)" % (title, files, len(candidates[0].times)))
    print("| installer | min s | median s | max s | median peak RSS MB | exe bytes "
          "| exe - stored payload |")
    print("|---|---|---|---|---|---|---|")
    for c in candidates:
        print("| %s | %.3f | %.3f | %.3f | %.1f | %s | %s |" % (
            c.label, min(c.times), statistics.median(c.times), max(c.times),
            statistics.median(c.rss) / 1024.0, "{:,}".format(c.size()),
            "{:,}".format(c.size() - c.stored)))
    peer, floor = candidates[1], candidates[2]
    mp, mf = statistics.median(peer.times), statistics.median(floor.times)
    for setup in [candidates[0]] + candidates[3:]:
        ms = statistics.median(setup.times)
        print("%s: / floor %.2fx, / peer %.2fx; RSS - floor RSS %+.1f MB" % (
            setup.label, ms / mf, ms / mp,
            (statistics.median(setup.rss) - statistics.median(floor.rss)) / 1024.0))
    print("peer / floor %.2fx" % (mp / mf))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--window-rounds", type=int, default=5)
    parser.add_argument("--work", default=os.path.join(ROOT, "build", "bench"))
    parser.add_argument("--baseline", action="append", default=[],
                        help="also run an earlier build of the setup program: BASE-260 and "
                        "BASE-1034 are its Windows build folders over the two payloads (made "
                        "with make dist PAYLOAD=... WIN=...); may be given more than once")
    args = parser.parse_args()
    work = os.path.abspath(args.work)
    os.makedirs(work, exist_ok=True)

    sets = {}
    for tag, copies in (("260", 1), ("1034", 4)):
        payload = os.path.join(work, "payload-" + tag)
        log("Payload with %s files in %s" % (tag, payload))
        names = make_payload(payload, copies)
        log("Building the setup program, the peer and the floor over it")
        setup, payload_bin = build_setup(payload, work, tag)
        peer = build_peer(payload, work, tag)
        floor = build_floor(payload_bin, work, tag)
        candidates = [setup, peer, floor]
        for baseline in args.baseline:
            base = "%s-%s" % (baseline, tag)
            # Named by the baseline's folder when there are several.
            label = "before" if len(args.baseline) == 1 else \
                "before:" + os.path.basename(os.path.normpath(baseline))
            candidates.append(Candidate(label + " -S", os.path.join(base, "tessaron-setup.exe"),
                                        ["-S"], os.path.getsize(os.path.join(base, "payload",
                                                                             "payload.bin"))))
        sets[tag] = (payload, names, candidates)
    launcher = os.path.join(work, "measure")
    run(["cc", "-O2", os.path.join(BENCH, "measure.c"), "-o", launcher])
    holder = build_tool("holder", work)
    firstwin = build_tool("firstwin", work)

    prefixes = Prefixes(work, holder)
    log("Booting the template prefix")
    prefixes.boot()
    for tag, (payload, names, candidates) in sets.items():
        log("Silent installs, %s files" % tag)
        measure(prefixes, candidates, payload, names, args.rounds, launcher)
    log("Silent reinstalls, 260 files")
    payload, names, candidates = sets["260"]
    measure(prefixes, candidates, payload, names, args.rounds, launcher, reinstall=True)
    windows = {}
    if args.window_rounds > 0:
        log("First visible window")
        windows = first_window(prefixes, firstwin, sets["260"][2], args.window_rounds)

    print("Measured: %s" % ("the 32-bit setup program, the peer's x86 stub and a 32-bit floor in a "
                            "32-bit prefix" if ARCH == "x86" else
                            "the 64-bit setup program, the peer's amd64 stub and a 64-bit floor in "
                            "a 64-bit prefix (this host runs 64-bit code only)"))
    print("Silent installation under Wine: wall time from start to exit, warm wineserver and "
          "desktop, every file verified")
    table("Release-shaped payload", sets["260"][2], len(sets["260"][1]))
    table("Four times as many files", sets["1034"][2], len(sets["1034"][1]))
    table("Release-shaped payload, reinstall: a second run over a first", sets["260"][2],
          len(sets["260"][1]), reinstall=True)
    extra = len(sets["1034"][1]) - len(sets["260"][1])
    print("\nCost per extra file (median difference / %d files)" % extra)
    print("| installer | ms per file |")
    print("|---|---|")
    for small, large in zip(sets["260"][2], sets["1034"][2]):
        print("| %s | %.3f |" % (small.label, (statistics.median(large.times) -
                                               statistics.median(small.times)) * 1000 / extra))
    print("\nTime to the first visible window (Xvfb), ms; the floor shows a message box only")
    print("| installer | min | median | max |")
    print("|---|---|---|---|")
    for label, values in windows.items():
        label = label.split()[0]
        print("| %s | %.0f | %.0f | %.0f |" % (label, min(values), statistics.median(values),
                                                max(values)))
    summary(sets["260"][2], windows)
    shutil.rmtree(os.path.join(work, "run"), ignore_errors=True)


def summary(candidates, windows):
    """The three figures of the release-shaped payload side by side: own weight, fresh install,
    reinstall and first window, each against the peer and the floor."""
    def med(values):
        return statistics.median(values) if values else None
    rows = [
        ("own weight, bytes (exe - stored payload)", lambda c: c.size() - c.stored, "{:,.0f}"),
        ("fresh install, median s", lambda c: med(c.times), "{:.3f}"),
        ("reinstall, median s", lambda c: med(c.re_times), "{:.3f}"),
        ("first window, median ms", lambda c: med(windows.get(c.label, [])), "{:.0f}"),
    ]
    setups = [candidates[0]] + candidates[3:]
    peer, floor = candidates[1], candidates[2]
    print("\nSummary, release-shaped payload")
    header = ["measure"] + [c.label.split()[0] for c in setups] + ["peer", "floor"] + \
        ["%s / peer" % c.label.split()[0] for c in setups] + \
        ["%s / floor" % c.label.split()[0] for c in setups]
    print("| " + " | ".join(header) + " |")
    print("|" + "---|" * len(header))
    for title, value, form in rows:
        cells = [title]
        for c in setups + [peer, floor]:
            v = value(c)
            cells.append(form.format(v) if v is not None else "-")
        for base in (peer, floor):
            b = value(base)
            for c in setups:
                v = value(c)
                cells.append("%.2fx" % (v / b) if v is not None and b else "-")
        print("| " + " | ".join(cells) + " |")


if __name__ == "__main__":
    main()
