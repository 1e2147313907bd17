"""The X server's screen and keyboard for the benchmarks, through Xlib and XTest (ctypes):
a pixel or a strip of the screen read in well under a millisecond, keys pressed at once."""
import ctypes
import hashlib
import os
import subprocess
import time

MAGENTA, GREEN = 0xFF00FF, 0x00FF00


class Screen:
    """The X server's screen and keyboard, through Xlib and XTest."""

    def __init__(self):
        self.x = ctypes.CDLL("libX11.so.6")
        self.t = ctypes.CDLL("libXtst.so.6")
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x.XGetImage.restype = ctypes.c_void_p
        self.x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                     ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self.x.XGetPixel.restype = ctypes.c_ulong
        self.x.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
        self.x.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.t.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                             ctypes.c_ulong]
        self.x.XFlush.argtypes = [ctypes.c_void_p]
        self.d = self.x.XOpenDisplay(None)
        self.root = self.x.XDefaultRootWindow(ctypes.c_void_p(self.d))

    def region(self, x, y, w, h):
        """A digest of the strip of the screen."""
        img = self.x.XGetImage(self.d, self.root, x, y, w, h, 0xFFFFFFFF, 2)
        data = ctypes.cast(ctypes.c_void_p.from_address(img + 16).value, ctypes.c_char_p)
        bpl = ctypes.c_int.from_address(img + 44).value  # bytes_per_line
        digest = hashlib.md5(ctypes.string_at(data, bpl * h)).hexdigest()
        self._free(img)
        return digest

    def pixel(self, x, y):
        img = self.x.XGetImage(self.d, self.root, x, y, 1, 1, 0xFFFFFFFF, 2)  # ZPixmap
        value = self.x.XGetPixel(img, 0, 0) & 0xFFFFFF
        self._free(img)
        return value

    def _free(self, img):
        """XDestroyImage is a macro: the pixels, then the image."""
        self.x.XFree(ctypes.c_void_p(ctypes.c_void_p.from_address(img + 16).value))
        self.x.XFree(ctypes.c_void_p(img))

    def keys(self, *syms):
        codes = [self.x.XKeysymToKeycode(self.d, s) for s in syms]
        for c in codes:
            self.t.XTestFakeKeyEvent(self.d, c, 1, 0)
        for c in reversed(codes):
            self.t.XTestFakeKeyEvent(self.d, c, 0, 0)
        self.x.XFlush(self.d)

    def wait_for(self, colour, at, timeout=5.0):
        """Seconds until the point shows the colour, and the longest stretch it showed a third."""
        t0 = time.monotonic()
        other_since, longest_other, last = None, 0.0, None
        while time.monotonic() - t0 < timeout:
            p = self.pixel(*at)
            now = time.monotonic()
            if p == colour:
                return now - t0, longest_other
            if p not in (MAGENTA, GREEN):
                other_since = other_since or now
                longest_other = max(longest_other, now - other_since)
            else:
                other_since = None
            time.sleep(0.001)
        return None, longest_other




def private_display():
    """An Xvfb of its own, 1280x800, made the display of this process and its children."""
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1280x800x24",
                             "-nolisten", "tcp"], stdout=subprocess.PIPE)
    os.environ["DISPLAY"] = ":" + xvfb.stdout.readline().decode().strip()
    return xvfb
