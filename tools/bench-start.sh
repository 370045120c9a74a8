#!/bin/sh
# Times the game from its start to its first picture on the screen: the
# game starts full screen with a bundled song on a private 1024 x 768 X
# server, and the screen is read every millisecond until the game's picture
# shows. Prints the minimum, median and maximum over RUNS runs (default 5),
# as the game starts by default and once more without a SoundFont, so the
# SoundFont's part of the time shows. Builds the game first when needed.
#
#   tools/bench-start.sh [RUNS]
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
"$top/tools/install-packages.sh" xvfb python3 timgm6mb-soundfont fonts-ipafont-gothic fonts-ipafont-mincho
[ -x "$top/build/tonquill" ] || "$top/tools/build.sh" "$top/build" >/dev/null
exec python3 - "$top/build/tonquill" "$top/assets/songs/twinkle.mid" "$runs" <<'PYTHON'
import ctypes, os, shutil, signal, subprocess, sys, tempfile, time

game, song, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])

class XImage(ctypes.Structure):  # the leading fields of Xlib's XImage
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_ubyte))]

x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XGetImage.restype = ctypes.POINTER(XImage)
x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                          ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
x11.XFree.argtypes = [ctypes.c_void_p]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

def start_server():
    for number in range(500, 600):
        if os.path.exists("/tmp/.X%d-lock" % number):
            continue
        server = subprocess.Popen(["Xvfb", ":%d" % number, "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-br"],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(200):
            display = x11.XOpenDisplay((":%d" % number).encode())
            if display:
                return server, display, ":%d" % number
            if server.poll() is not None:
                break
            time.sleep(0.05)
        server.kill()
        server.wait()
    sys.exit("bench-start: no X server could be started")

def pixel(display, root, x, y):
    image = x11.XGetImage(display, root, x, y, 1, 1, 0xFFFFFFFF, 2)  # ZPixmap
    if not image:
        return 0
    blue, green, red = image.contents.data[0], image.contents.data[1], image.contents.data[2]
    x11.XFree(image.contents.data)
    x11.XFree(image)
    return (red << 16) | (green << 8) | blue

def first_picture_ms(display, root, name, environment):
    # The title panel of the picture, scaled from 640 x 480 to 1024 x 768;
    # the screen around it is black until the game shows a frame.
    folder = tempfile.mkdtemp(prefix="tonquill-bench-start-")
    # The game's data folder (history, rankings) lies in the run's own
    # folder, removed after it, never in the user's.
    env = dict(os.environ, DISPLAY=name, TONQUILL_INSTANCE_DIR=folder, XDG_DATA_HOME=os.path.join(folder, "data"),
               **environment)
    started = time.monotonic()
    process = subprocess.Popen([game, song], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    shown = None
    while time.monotonic() - started < 30 and process.poll() is None:
        if pixel(display, root, 480, 160) != 0:
            shown = (time.monotonic() - started) * 1000
            break
        time.sleep(0.001)
    process.send_signal(signal.SIGTERM)
    try:
        process.wait(10)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
    while pixel(display, root, 480, 160) != 0 and time.monotonic() - started < 40:
        time.sleep(0.01)  # the window is gone before the next run
    shutil.rmtree(folder, ignore_errors=True)
    if shown is None:
        sys.exit("bench-start: the game showed no picture within 30 s")
    return shown

server, display, name = start_server()
try:
    root = x11.XDefaultRootWindow(display)
    print("time from start to first picture, full screen 1024 x 768, %d runs (ms):" % runs)
    for label, environment in (("as started by default", {}),
                               ("without a SoundFont", {"TONQUILL_SOUNDFONT": "/nonexistent.sf2"})):
        times = sorted(first_picture_ms(display, root, name, environment) for _ in range(runs))
        print("  %-22s min %4.0f  median %4.0f  max %4.0f" % (label + ":", times[0], times[len(times) // 2], times[-1]))
finally:
    x11.XCloseDisplay(display)
    server.terminate()
    server.wait()
PYTHON
