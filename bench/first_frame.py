#!/usr/bin/env python3
"""How long a window takes to show its first frame: from starting the program to the first
frame it presents, in a virtual X display (Xvfb) at scale 2 with sound on. Without a sound
card SDL's dummy audio driver stands in, so the whole sound start-up still runs.

The game logs "first frame shown" right after presenting its first frame; the log file's
modification time is when that line was written (nothing else is logged for about a second
after it). Prints each run, the median and how loaded the machine was: it may be shared, so
compare medians taken at a similar load.

    bench/first_frame.py [--build DIR] [--runs N] [-- extra game options]
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
parser.add_argument("--build", default="build")
parser.add_argument("--runs", type=int, default=9)
parser.add_argument("extra", nargs="*", help="more options for the game")
args = parser.parse_args()

game = os.path.join(args.build, "parapet")
if not os.access(game, os.X_OK):
    sys.exit(f"no {game}: build it first (cmake --build {args.build} --target parapet)")
if shutil.which("Xvfb") is None:
    sys.exit("Xvfb is needed (apt-get install xvfb)")

work = tempfile.mkdtemp(prefix="first-frame-")
env = dict(os.environ)
if not os.path.exists("/dev/snd"):
    env.setdefault("SDL_AUDIODRIVER", "dummy")
read_end, write_end = os.pipe()
xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1920x1080x24",
                         "-nolisten", "tcp"], pass_fds=[write_end], stderr=subprocess.DEVNULL)
os.close(write_end)
try:
    env["DISPLAY"] = ":" + os.read(read_end, 64).decode().strip()
    settings = os.path.join(work, "settings.ini")
    open(settings, "w").close()
    times = []
    for run in range(1, args.runs + 1):
        log = os.path.join(work, f"log-{run}.txt")
        start = time.time_ns()
        proc = subprocess.Popen([game, "--windowed", "--scale", "2", "--log", log, "--config",
                                 settings, "--save-dir", os.path.join(work, "save")] + args.extra,
                                env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        shown = None
        deadline = time.monotonic() + 30
        while shown is None and time.monotonic() < deadline and proc.poll() is None:
            time.sleep(0.02)
            try:
                with open(log, "rb") as f:
                    if b"\nfirst frame shown\n" in f.read():
                        shown = os.stat(log).st_mtime_ns
            except FileNotFoundError:
                pass
        proc.terminate()
        _, errors = proc.communicate()
        if shown is None:
            sys.exit(f"run {run}: no first frame within 30 s\n{errors.decode(errors='replace')}")
        ms = (shown - start) / 1e6
        times.append(ms)
        print(f"run {run}: first frame after {ms:.0f} ms", flush=True)
    print(f"median of {len(times)} runs: {statistics.median(times):.0f} ms "
          f"(min {min(times):.0f}, max {max(times):.0f}; budget 500 ms)")
    load = os.getloadavg()
    print(f"load: {load[0]:.2f} {load[1]:.2f} {load[2]:.2f} (1, 5, 15 min) on "
          f"{os.cpu_count()} cores")
finally:
    xvfb.terminate()
    xvfb.wait()
    shutil.rmtree(work, ignore_errors=True)
