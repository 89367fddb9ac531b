#!/usr/bin/env python3
"""The program's own load at real pace: CPU, peak memory and start-up time.

Runs the built `kuzelna` (speed factor 1) for a measured window against the
virtual alley of `kuzelna-lanesim` in a separate process, on 6 lanes, under a
private Xvfb display, in a fresh scratch folder with a zodided.ini whose
monitor and FTP addresses are on loopback. Three ways:

  headless  `kuzelna --headless`: the lane link runs at once;
  console   the console window only; "Start" is clicked as an operator would;
  all       the console, both boards (results and tournament) and the
            overview "Výsledky - hráči", opened with the console's buttons.

Usage (from the worktree, after scripts/build.sh):

    python3 bench/bench_program_load.py [--build build] [--seconds 60]
            [--ways headless,console,all] [--repeat 1] [--settle 5]

Needs Xvfb, xdotool and libX11 (scripts/setup.sh installs them). For every
run it prints one line:

    <way>  cpu <percent of one core> %  wakeups <voluntary context switches per second>
           peak-rss <VmHWM> MB  rss <VmRSS> MB
           shown <ms from process start to the console mapped> (cpu <ms of CPU used by then>)
           windows <mapped windows>
           polls <polls the alley answered>  throws <throws played>  load <1-min load average>

CPU is the run time the scheduler counted for the kuzelna process (all its
threads, /proc/<pid>/task/*/schedstat) over the measured window, which starts `--settle` seconds
after the link runs; "wakeups" counts how often its threads slept and woke in
that window, a figure the machine's load hardly touches. "shown" is the time
from just before the process is started until the window "Server - Domácí Hoste" is mapped, seen as a
MapNotify on the display's root window; the CPU time the process had used
by then is printed beside it. The machine's load is printed
because start-up time suffers from other work on the machine, CPU time
mostly does not.
"""

import argparse
import ctypes
import ctypes.util
import os
import re
import select
import shutil
import subprocess
import sys
import tempfile
import time

CONSOLE_TITLE = "Server - Domácí Hoste"

# The console's canvas (below the menu bar) and where its controls lie on it.
CANVAS_HEIGHT = 550
START_BUTTON = (688 + 44, 456 + 20)
OVERVIEW_BUTTON = (8 + 44, 512 + 12)
BOARD_BUTTON = (104 + 48, 512 + 12)
TOURNAMENT_CHECK = (16 + 8, 424 + 8)

# Loopback only: the shipped defaults point at the hall's network.
INI_TEXT = """[Monitory]
Host1=127.0.0.71
Host2=127.0.0.72
Host3=127.0.0.73
Host4=127.0.0.74
Host5=127.0.0.75
Host6=127.0.0.76
FtpHost=127.0.0.1
Port=46650
LocalPort=46660
[Vysledkova_tabule]
autopozice=0
pozicex=1000
pozicey=620
"""


class MapWatcher:
    """MapNotify events of the display's top-level windows, through libX11."""

    MAP_NOTIFY = 19
    SUBSTRUCTURE_NOTIFY_MASK = 1 << 19

    def __init__(self, display):
        self.x = ctypes.CDLL(ctypes.util.find_library("X11"))
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        self.x.XConnectionNumber.argtypes = [ctypes.c_void_p]
        self.x.XPending.argtypes = [ctypes.c_void_p]
        self.x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        self.x.XFlush.argtypes = [ctypes.c_void_p]
        self.x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.dpy = self.x.XOpenDisplay(display.encode())
        if not self.dpy:
            raise RuntimeError("cannot open display " + display)
        self.x.XSelectInput(self.dpy, self.x.XDefaultRootWindow(self.dpy), self.SUBSTRUCTURE_NOTIFY_MASK)
        self.x.XFlush(self.dpy)
        self.fd = self.x.XConnectionNumber(self.dpy)
        self.event = ctypes.create_string_buffer(192)

    def mapped(self, timeout):
        """Window ids mapped within timeout seconds, each with the time it was seen."""
        seen = []
        end = time.monotonic() + timeout
        while not seen:
            left = end - time.monotonic()
            if left <= 0:
                break
            if not self.x.XPending(self.dpy):
                select.select([self.fd], [], [], left)
            while self.x.XPending(self.dpy):
                self.x.XNextEvent(self.dpy, self.event)
                now = time.monotonic()
                kind = ctypes.c_int.from_buffer(self.event, 0).value
                if kind == self.MAP_NOTIFY:
                    # XMapEvent: type, serial, send_event, display, event, window
                    seen.append((ctypes.c_ulong.from_buffer(self.event, 40).value, now))
        return seen

    def close(self):
        self.x.XCloseDisplay(self.dpy)


def window_name(display, wid):
    out = subprocess.run(["xwininfo", "-display", display, "-id", str(wid)], capture_output=True,
                         text=True).stdout
    m = re.search(r'xwininfo: Window id: \S+ "(.*)"', out)
    return m.group(1) if m else ""


def window_height(display, wid):
    out = subprocess.run(["xwininfo", "-display", display, "-id", str(wid)], capture_output=True,
                         text=True).stdout
    return int(re.search(r"Height:\s+(\d+)", out).group(1))


def visible_windows(display, pid):
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid), "--name", ""],
                         capture_output=True, text=True, env=dict(os.environ, DISPLAY=display)).stdout
    root = subprocess.run(["xwininfo", "-display", display, "-root"], capture_output=True, text=True).stdout
    root_id = int(re.search(r"Window id: (\S+)", root).group(1), 16)
    return len([w for w in out.split() if int(w) != root_id])


def click(display, wid, point, canvas_top):
    env = dict(os.environ, DISPLAY=display)
    subprocess.run(["xdotool", "windowraise", str(wid)], env=env, check=True)
    subprocess.run(["xdotool", "mousemove", "--window", str(wid), str(point[0]), str(point[1] + canvas_top),
                    "click", "1"], env=env, check=True)
    time.sleep(0.3)


def cpu_ns(pid):
    """CPU time of all the process's threads in ns, from the scheduler: exact, where
    utime+stime are sampled at the clock tick and are off by a tick or two a minute."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as f:
                total += int(f.read().split()[0])
        except FileNotFoundError:
            pass  # a thread that ended meanwhile
    return total


def wakeups(pid):
    """Voluntary context switches of all the process's threads: how often it slept and woke."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/status") as f:
                for line in f:
                    if line.startswith("voluntary_ctxt_switches:"):
                        total += int(line.split()[1])
        except FileNotFoundError:
            pass  # a thread that ended meanwhile
    return total


def memory_kb(pid, key):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    return 0


def load_average():
    with open("/proc/loadavg") as f:
        return f.read().split()[0]


def start_xvfb():
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1920x1200x24",
                             "-nolisten", "tcp"], pass_fds=[write_end], stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read_end, 16)
        if not chunk:
            raise RuntimeError("Xvfb did not start")
        number += chunk
    os.close(read_end)
    return xvfb, ":" + number.decode().strip()


def stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def run_once(way, args, display):
    build = os.path.abspath(args.build)
    scratch = tempfile.mkdtemp(prefix="kuzelna-bench-")
    with open(os.path.join(scratch, "zodided.ini"), "w", encoding="cp1250") as f:
        f.write(INI_TEXT)
    match = ["--kind", "120", "--lanes", "6", "--duels", "6"]
    alley_log_path = os.path.join(scratch, "lanesim.log")
    alley_log = open(alley_log_path, "w")
    alley = subprocess.Popen([os.path.join(build, "kuzelna-lanesim"), *match, "--pace", str(args.pace), "--print"],
                             stdout=alley_log, stderr=subprocess.STDOUT, cwd=scratch)
    device = None
    for _ in range(200):
        with open(alley_log_path) as f:
            m = re.match(r"lanes on (\S+)", f.readline())
        if m:
            device = m.group(1)
            break
        time.sleep(0.02)
    if device is None:
        stop(alley)
        raise RuntimeError("kuzelna-lanesim printed no device")

    env = dict(os.environ, DISPLAY=display)
    env.pop("QT_QPA_PLATFORM", None)
    command = [os.path.join(build, "kuzelna"), "--port", device, "--web-port", "0", "--no-resume", *match]
    if way == "headless":
        command.append("--headless")
    watcher = MapWatcher(display) if way != "headless" else None
    log = open(os.path.join(scratch, "kuzelna.log"), "w")
    started = time.monotonic()
    program = subprocess.Popen(command, cwd=scratch, env=env, stdout=log, stderr=subprocess.STDOUT)
    result = {"way": way, "shown": None, "start_cpu": None, "windows": 0}
    try:
        if watcher:
            console = None
            while console is None:
                mapped = watcher.mapped(20)
                if not mapped:
                    raise RuntimeError("the console was not mapped within 20 s")
                for wid, when in mapped:
                    if window_name(display, wid).startswith("Server - Dom"):
                        console, result["shown"] = wid, (when - started) * 1000
                        result["start_cpu"] = cpu_ns(program.pid) / 1e6
            watcher.close()
            time.sleep(1.0)  # the console settles as an operator would look at it
            top = window_height(display, console) - CANVAS_HEIGHT
            click(display, console, START_BUTTON, top)
            if way == "all":
                click(display, console, TOURNAMENT_CHECK, top)  # the board button opens the tournament board
                click(display, console, BOARD_BUTTON, top)
                click(display, console, TOURNAMENT_CHECK, top)  # back to a match: the results board
                click(display, console, BOARD_BUTTON, top)
                click(display, console, OVERVIEW_BUTTON, top)
            result["windows"] = visible_windows(display, program.pid)
        time.sleep(args.settle)
        if program.poll() is not None:
            raise RuntimeError(f"kuzelna ended early ({program.returncode}); see {scratch}/kuzelna.log")
        ns0, woke0, t0 = cpu_ns(program.pid), wakeups(program.pid), time.monotonic()
        time.sleep(args.seconds)
        ns1, woke1, t1 = cpu_ns(program.pid), wakeups(program.pid), time.monotonic()
        result["cpu"] = 100.0 * (ns1 - ns0) / 1e9 / (t1 - t0)
        result["wakeups"] = (woke1 - woke0) / (t1 - t0) if t1 > t0 else 0.0
        result["hwm"] = memory_kb(program.pid, "VmHWM") / 1024
        result["rss"] = memory_kb(program.pid, "VmRSS") / 1024
        result["load"] = load_average()
    finally:
        stop(program)
        stop(alley)
        log.close()
        alley_log.close()
        with open(alley_log_path) as f:
            counts = re.findall(r"throws (\d+)  polls (\d+)", f.read())
        result["throws"], result["polls"] = counts[-1] if counts else ("?", "?")
        if not args.keep:
            shutil.rmtree(scratch, ignore_errors=True)
    return result


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", default="build", help="build directory (default ./build)")
    parser.add_argument("--seconds", type=float, default=60, help="measured window in seconds (default 60)")
    parser.add_argument("--ways", default="headless,console,all", help="comma-separated: headless,console,all")
    parser.add_argument("--repeat", type=int, default=1, help="runs of each way (default 1)")
    parser.add_argument("--settle", type=float, default=5, help="seconds after the link runs before measuring")
    parser.add_argument("--pace", type=int, default=18000, help="the alley's mean ms between throws of a lane")
    parser.add_argument("--keep", action="store_true", help="keep the scratch folders (kuzelna.log)")
    args = parser.parse_args()
    ways = [w for w in args.ways.split(",") if w]
    for w in ways:
        if w not in ("headless", "console", "all"):
            parser.error("unknown way " + w)
    xvfb, display = start_xvfb()
    try:
        for _ in range(args.repeat):
            for way in ways:
                r = run_once(way, args, display)
                shown = f"{r['shown']:.0f} ms (cpu {r['start_cpu']:.0f} ms)" if r["shown"] is not None else "-"
                print(f"{way:9} cpu {r['cpu']:.3f} %  wakeups {r['wakeups']:.1f}/s  peak-rss {r['hwm']:.1f} MB  rss {r['rss']:.1f} MB  "
                      f"shown {shown}  windows {r['windows']}  polls {r['polls']}  throws {r['throws']}  "
                      f"load {r['load']}", flush=True)
    finally:
        stop(xvfb)


if __name__ == "__main__":
    sys.exit(main())
