#!/usr/bin/env python3
"""The real application's CPU use, idle and during a two-deck run.

Starts build/Quillon.app/Contents/MacOS/Quillon on a private X server (Xvfb) with a data folder of its
own, on the file-backed test sound devices (see shared environment notes), and reads its CPU time from
/proc/<pid>/stat (all its threads, Qt's raster threads included) over 30 s with no run, then over 30 s
of a run started with the space bar, as the user does.

The test devices have no clock. Their capture file is a named pipe here, fed with a generated
timecode record (both decks' channel pairs) at the device's rate in real time, so the decks decode in
real time and the input streams wait on the pipe as they would on a sound card. No output device is
configured: an unpaced playback file would keep a core busy on its own.

Usage: bench/app_cpu.py [build folder] [seconds per phase]
"""
import ctypes
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else os.path.join(ROOT, "build")
SECONDS = float(sys.argv[2]) if len(sys.argv) > 2 else 30.0
PROGRAM = os.path.join(BUILD, "Quillon.app", "Contents", "MacOS", "Quillon")
SETUP = os.path.join(BUILD, "bench", "app_cpu_setup")
RATE = 44100
FRAME_BYTES = 128 * 2
TICKS = os.sysconf("SC_CLK_TCK")

ALSA_CONFIG = """pcm.tc_capture {{
    type file
    slave.pcm {{ type null }}
    file "/dev/null"
    infile "{capture}"
    format "raw"
}}
pcm.tc_playback {{
    type file
    slave.pcm {{ type null }}
    file "/dev/null"
    format "raw"
}}
pcm.!default {{ type asym; playback.pcm "tc_playback"; capture.pcm "tc_capture" }}
"""


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    # utime and stime: fields 14 and 15 of the line, counted from the pid.
    return (int(fields[11]) + int(fields[12])) / TICKS


def feed(path, clip, stop):
    """Writes the clip into the capture pipe again and again at RATE frames a second."""
    # Read and write: opening never waits for the device, and a device that closes the pipe does not
    # make the writes fail.
    fd = os.open(path, os.O_RDWR)
    chunk = FRAME_BYTES * RATE // 100
    start = time.monotonic()
    written = 0
    offset = 0
    while not stop.is_set():
        ahead = written / (FRAME_BYTES * RATE) - (time.monotonic() - start)
        if ahead > 0.02:
            time.sleep(0.005)
            continue
        part = clip[offset:offset + chunk]
        os.write(fd, part)
        written += len(part)
        offset = (offset + len(part)) % len(clip)
    os.close(fd)


def press_space(display):
    """The space bar pressed and released in the application's window, through the XTEST extension."""
    x11 = ctypes.CDLL("libX11.so.6")
    xtst = ctypes.CDLL("libXtst.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    dpy = x11.XOpenDisplay(display.encode())
    if not dpy:
        raise RuntimeError("cannot open display " + display)
    window = ctypes.c_ulong
    x11.XDefaultRootWindow.restype = window
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XQueryTree.argtypes = [ctypes.c_void_p, window, ctypes.POINTER(window), ctypes.POINTER(window),
                               ctypes.POINTER(ctypes.POINTER(window)), ctypes.POINTER(ctypes.c_uint)]
    x11.XSetInputFocus.argtypes = [ctypes.c_void_p, window, ctypes.c_int, ctypes.c_ulong]
    x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    root, parent, children, count = window(), window(), ctypes.POINTER(window)(), ctypes.c_uint()
    x11.XQueryTree(dpy, x11.XDefaultRootWindow(dpy), ctypes.byref(root), ctypes.byref(parent),
                   ctypes.byref(children), ctypes.byref(count))
    # Without a window manager nothing gives the window the focus: the topmost top-level takes it.
    if count.value:
        x11.XSetInputFocus(dpy, children[count.value - 1], 2, 0)
        x11.XSync(dpy, 0)
        time.sleep(0.5)
    code = x11.XKeysymToKeycode(dpy, 0x20)
    xtst.XTestFakeKeyEvent(dpy, code, 1, 0)
    xtst.XTestFakeKeyEvent(dpy, code, 0, 0)
    x11.XSync(dpy, 0)
    x11.XCloseDisplay(dpy)


def find(folder, name):
    for top, _, files in os.walk(folder):
        if name in files:
            return os.path.join(top, name)
    return None


def set_keys(path, values):
    lines = open(path).read().splitlines()
    for i, line in enumerate(lines):
        key = line.strip().split("=", 1)[0]
        if key in values:
            lines[i] = f" {key}={values[key]}"
    open(path, "w").write("\n".join(lines) + "\n")


def main():
    for f in (PROGRAM, SETUP):
        if not os.path.exists(f):
            sys.exit(f"missing {f}: build first")
    work = tempfile.mkdtemp(prefix="quillon-cpu-")
    processes = []
    stop = threading.Event()
    try:
        env = dict(os.environ)
        for name in ("HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"):
            env[name] = os.path.join(work, name.lower())
            os.makedirs(env[name], mode=0o700)
        clip_path = os.path.join(work, "timecode.raw")
        out = subprocess.run([SETUP, clip_path, "6"], env=env, capture_output=True, text=True)
        devices = dict(l.split("=", 1) for l in out.stdout.splitlines() if "=" in l)
        if out.returncode != 0 or "inputA" not in devices:
            sys.exit("set-up failed: " + out.stderr[-2000:])
        clip = open(clip_path, "rb").read()
        capture = os.path.join(work, "capture.pipe")
        os.mkfifo(capture)
        alsa = os.path.join(work, "alsa.conf")
        open(alsa, "w").write(ALSA_CONFIG.format(capture=capture))
        env.update(ALSA_CONFIG_PATH=alsa, JACK_NO_START_SERVER="1", QT_QPA_PLATFORM="xcb")
        env.pop("WAYLAND_DISPLAY", None)

        display = next(n for n in range(70, 200) if not os.path.exists(f"/tmp/.X{n}-lock"))
        xvfb = subprocess.Popen(["Xvfb", f":{display}", "-screen", "0", "1920x1080x24", "-nolisten", "tcp"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        processes.append(xvfb)
        for _ in range(100):
            if os.path.exists(f"/tmp/.X11-unix/X{display}"):
                break
            time.sleep(0.1)
        env["DISPLAY"] = f":{display}"

        feeder = threading.Thread(target=feed, args=(capture, clip, stop), daemon=True)
        feeder.start()

        def start():
            p = subprocess.Popen([PROGRAM], env=env, stdout=subprocess.DEVNULL, stderr=open(os.path.join(work, "app.log"), "a"))
            processes.append(p)
            return p

        # The first start lays out the data folder; its settings then name the test devices.
        app = start()
        config = None
        for _ in range(300):
            config = find(env["XDG_DATA_HOME"], "config.ini")
            if config:
                break
            time.sleep(0.1)
        time.sleep(3)
        app.send_signal(signal.SIGTERM)
        app.wait(20)
        if not config:
            sys.exit("the application wrote no settings: " + open(os.path.join(work, "app.log")).read()[-2000:])
        set_keys(config, {"inputA": devices["inputA"], "inputB": devices["inputB"], "outputPlayback": "",
                          "timecode": "generic_V2"})

        app = start()
        time.sleep(10)
        for phase in ("idle", "run"):
            if phase == "run":
                press_space(env["DISPLAY"])
                # The count-in.
                time.sleep(6)
            if app.poll() is not None:
                sys.exit(f"the application ended ({app.returncode})")
            c0, t0 = cpu_seconds(app.pid), time.monotonic()
            print(f"{phase} measuring, pid {app.pid}", file=sys.stderr, flush=True)
            time.sleep(SECONDS)
            c1, t1 = cpu_seconds(app.pid), time.monotonic()
            # Each phase as it ends, so that a profiler can follow the run (the pid is on stderr).
            print(f"{phase}: {100.0 * (c1 - c0) / (t1 - t0):.1f} % of one core over {SECONDS:.0f} s", flush=True)
    finally:
        stop.set()
        for p in reversed(processes):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(10)
                except subprocess.TimeoutExpired:
                    p.kill()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
