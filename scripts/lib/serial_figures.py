#!/usr/bin/env python3
"""Figures of the serial reader under Wine, for scripts/measure-serial and scripts/bench.

    serial_figures.py latency <ttyB> <record> <length> <codes>
        Writes codes of that many characters to COM1, one at a time, over 300 ms apart, and prints the
        milliseconds from the write of the last byte to the Enter in the target window's record,
        and to its first key: "median p99 max lost first-median first-p99 first-max".
    serial_figures.py replug <ttyA> <ttyB> <record> <runs>
        Unplugs and plugs in COM1 (the pseudo-terminal pair, run here) while the program holds it,
        and prints "unplug-median unplug-max replug-median replug-max" in milliseconds: unplug to
        the port let go (the same step that shows the not-connected image), and plug-in to the
        first code read (a short code is sent every four ticks until one arrives).
"""
import os
import random
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "e2e"))
from soak import Record  # noqa: E402  the target's record, read as it grows


def keys(record):
    try:
        with open(record) as f:
            return f.read().split()
    except FileNotFoundError:
        return []


def enters(record):
    return keys(record).count("13")


def percentiles(values):
    if not values:
        return "? ? ?"
    v = sorted(values)
    p99 = v[min(len(v) - 1, max(0, -(-99 * len(v) // 100) - 1))]
    return f"{statistics.median(v):.1f} {p99:.1f} {v[-1]:.1f}"


def latency(tty, record, length, count):
    out = os.open(tty, os.O_WRONLY)
    code = ("4711234567" * (length // 10 + 1))[:length].encode()
    first, times, lost = [], [], 0
    seen = Record(record)
    for _ in range(count):
        before = len(seen.poll())
        os.write(out, code)
        start = time.monotonic()
        seen_first = False
        while time.monotonic() < start + 5:
            now = seen.poll()
            if not seen_first and len(now) > before:
                first.append((time.monotonic() - start) * 1000)
                seen_first = True
            if 13 in now[before:]:
                times.append((time.monotonic() - start) * 1000)
                break
            time.sleep(0.001)
        else:
            lost += 1
        time.sleep(0.3 + random.random() * 0.05)  # the next write at any point of a tick
    print(percentiles(times), lost, percentiles(first))


def holders(device):
    """Processes that hold the device open."""
    found = []
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            for fd in os.listdir(f"/proc/{pid}/fd"):
                # A pseudo-terminal whose other end went away shows as "(deleted)".
                if os.readlink(f"/proc/{pid}/fd/{fd}").split(" (")[0] == device:
                    found.append(int(pid))
                    break
        except OSError:
            pass
    return found


def replug(tty_a, tty_b, record, runs):
    def plug():
        for link in (tty_a, tty_b):
            if os.path.lexists(link):
                os.unlink(link)
        p = subprocess.Popen(["socat", f"pty,raw,echo=0,link={tty_a}", f"pty,raw,echo=0,link={tty_b}"],
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        while not os.path.exists(tty_b):
            time.sleep(0.005)
        return p

    def wait(done, seconds):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            if done():
                return True
            time.sleep(0.005)
        return False

    socat = plug()
    unplugs, replugs = [], []
    for _ in range(runs):
        device = os.path.realpath(tty_a)
        if not wait(lambda: [p for p in holders(device) if p != socat.pid], 10):
            print("? ? ? ?  (the program did not open COM1)")
            return
        time.sleep(0.5)
        start = time.monotonic()
        socat.kill()
        socat.wait()
        if wait(lambda: not holders(device), 5):
            unplugs.append((time.monotonic() - start) * 1000)
        time.sleep(0.3 + random.random() * 2)  # at any point between two retries
        start = time.monotonic()
        socat = plug()
        out = os.open(tty_b, os.O_WRONLY)
        before = enters(record)
        arrived = False
        while not arrived and time.monotonic() < start + 10:
            os.write(out, b"4711")
            tick_end = time.monotonic() + 0.2
            arrived = wait(lambda: enters(record) > before, max(0.0, tick_end - time.monotonic()))
        os.close(out)
        if arrived:
            replugs.append((time.monotonic() - start) * 1000)
        wait(lambda: False, 0.5)  # the rest of the codes sent
    socat.kill()
    u, r = sorted(unplugs) or [0], sorted(replugs) or [0]
    print(f"{statistics.median(u):.0f} {u[-1]:.0f} {statistics.median(r):.0f} {r[-1]:.0f}")


if __name__ == "__main__":
    if sys.argv[1] == "latency":
        latency(sys.argv[2], sys.argv[3], int(sys.argv[4]), int(sys.argv[5]))
    else:
        replug(sys.argv[2], sys.argv[3], sys.argv[4], int(sys.argv[5]))
