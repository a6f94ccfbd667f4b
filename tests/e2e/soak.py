#!/usr/bin/env python3
"""The soak driver: many codes through the pseudo-terminal COM1, or many keyboard-reader bursts
between ordinary typing from the X server, each checked against what the settings say the
"Quillomarte" window must receive (its record: one character code a line). Prints the counts and
"PASS: ..." / "FAIL: ..." lines; exits non-zero on a failure.

    soak.py serial   <ttyB> <record file> <codes> <seed>
    soak.py keyboard <record file> <bursts> <seed>
"""
import difflib
import os
import random
import subprocess
import sys
import time

MARK, TICK = 0xA0, 0.05
TYPING = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789%:"


def record(path):
    with open(path) as f:
        return [int(x) for x in f.read().split("\n")[:-1] if x.strip()]


def wait(path, done, timeout):
    end = time.monotonic() + timeout
    while not done(record(path)) and time.monotonic() < end:
        time.sleep(0.01)


def serial_expected(code, state):
    """Keystrokes for one serial code with Prefix 2 and Enter; a card code selects all characters."""
    text = code.decode("cp1251")
    if "CARD:" in text:
        text = "".join("%02X" % b for b in text.replace("CARD:", "").encode("cp1251"))
        state["send_to"] = 0
    if not text:
        return None
    if not text.startswith(("969", "971")):
        text = chr(MARK) + "969" + text
    keep = (lambda c: c.isascii() and c.isalnum() or 0x410 <= ord(c) <= 0x44F) \
        if state["send_to"] == 0 else (lambda c: "0" <= c <= "9")
    text = "".join(c for i, c in enumerate(text) if (i == 0 and ord(c) == MARK) or keep(c))
    return tuple(ord(c) for c in text) + (13,)


def report(kind, sent, counts, extra):
    print(f"{kind}: sent {sent}, received {counts['received']}, lost {counts['lost']}, "
          f"doubled {counts['doubled']}, garbled {counts['garbled']}{extra}")
    ok = counts["received"] == sent and not counts["lost"] + counts["doubled"] + counts["garbled"]
    print(f"{'PASS' if ok else 'FAIL'}: {kind}: every code arrived once, in order, as the settings say")
    return ok


def random_code(rng, i):
    """Mostly card-sized codes, now and then a long one, some with a card marker or a client code."""
    n = rng.randint(1, 16) if rng.random() < 0.85 else rng.randint(17, 100)
    specials = [b"\x00", b"\x7f", b"\xff", b"\r", b"\n", b"-", b" ", b"\xc0", b"\xe9"]
    letters = b"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
    out = b"".join(bytes([rng.randint(0x30, 0x39)]) if r < 0.5 else bytes([rng.choice(letters)])
                   if r < 0.8 else rng.choice(specials) for r in (rng.random() for _ in range(n)))
    r = rng.random()
    if r < 0.12 or i == 2:
        at = rng.randint(0, len(out))
        return out[:at] + b"CARD:" + out[at:]
    return rng.choice([b"969", b"971"]) + out if r < 0.18 else out


def soak_serial(tty, path, count, seed):
    rng, state, expected = random.Random(seed), {"send_to": 1}, []
    out, start = os.open(tty, os.O_WRONLY), time.monotonic()
    for i in range(count):
        code = random_code(rng, i)
        os.write(out, code)
        if (keys := serial_expected(code, state)) is not None:
            expected.append(keys)
        time.sleep(4 * TICK)  # without waiting for it: three ticks that bring nothing end a code
    wait(path, lambda c: c.count(13) >= len(expected), 10)
    time.sleep(1)
    parts = "".join(map(chr, record(path))).split("\r")
    received = [tuple(map(ord, p + "\r")) for p in parts[:-1]] + [tuple(map(ord, parts[-1]))] * (parts[-1] != "")
    counts = dict(received=0, lost=0, doubled=0, garbled=0)
    matcher = difflib.SequenceMatcher(None, expected, received, autojunk=False)
    for op, i1, i2, j1, j2 in matcher.get_opcodes():
        if op == "equal":
            counts["received"] += i2 - i1
        elif op == "delete":
            counts["lost"] += i2 - i1
        elif op == "insert":
            for j in range(j1, j2):
                counts["doubled" if received[j] in expected[max(0, i1 - 1):i1 + 1] else "garbled"] += 1
        else:
            counts["garbled"] += min(i2 - i1, j2 - j1)
            counts["lost"] += max(0, (i2 - i1) - (j2 - j1))
        if op != "equal":
            print(f"   {op}: expected {expected[i1:i2][:3]} received {received[j1:j2][:3]}")
    return report("serial", len(expected), counts,
                  f" ({count} codes in {time.monotonic() - start:.0f} s, seed {seed})")


def soak_keyboard(path, bursts, seed):
    rng, start = random.Random(seed), time.monotonic()
    wid = subprocess.run(["xdotool", "search", "--name", "^Quillomarte$"], capture_output=True,
                         text=True).stdout.split()[0]

    def typed(*commands, wait_for):
        """Focuses the target, runs the xdotool commands, answers what arrived."""
        before = len(record(path))
        for args in [("mousemove", "--window", wid, "120", "60"),
                     ("windowfocus", "--sync", wid)] + list(commands):
            if args[0] == "sleep":
                time.sleep(float(args[1]))
            else:
                subprocess.run(["xdotool", *args], stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
        wait(path, lambda c: wait_for(c[before:]), 5)
        time.sleep(0.1)
        return record(path)[before:]

    counts = dict(received=0, lost=0, doubled=0, garbled=0)
    leaked = words = keys = changed = lost = reordered = 0
    d0 = ("--delay", "0")
    for _ in range(bursts):
        # A reader's burst: an opening (a tapped semicolon or left Shift with 5), letters and
        # digits, Enter.
        code = "".join(rng.choice("0123456789abcdefghijklmnopqrstuvwxyz")
                       for _ in range(rng.randint(1, 12)))
        opening = ("keydown", *d0, "semicolon", "keyup", *d0, "semicolon") \
            if rng.random() < 0.5 else ("keydown", *d0, "Shift_L", "keydown", *d0, "5",
                                        "keyup", *d0, "5", "keyup", *d0, "Shift_L")
        want = [MARK] + [ord(c.upper()) for c in code] + [13]
        got = typed(opening, ("key", "--delay", str(rng.randint(0, 4)), *code, "Return"),
                    wait_for=lambda c: 13 in c)
        kind = "received" if got == want else "lost" if not got else \
            "doubled" if got == want + want else "garbled"
        counts[kind] += 1
        if kind == "garbled":  # keys of the burst that reached the window as they were typed
            leaked += sum(1 for c in got if c not in want or got.count(c) > want.count(c))
            print(f"   burst {code}: expected {want} received {got}")
        # Ordinary typing in between, as a person types: at a person's pace or all at once, now
        # and then two keys rolled over (the second pressed before the first is released) and a
        # semicolon held a while.
        word = "".join(rng.choice(TYPING) for _ in range(rng.randint(1, 6)))
        commands, want = [("type", "--delay", rng.choice(["0", "30"]), word)], [ord(c) for c in word]
        if rng.random() < 0.3:
            a, b = rng.sample("abcdefghijklmnopqrstuvwxyz0123456789", 2)
            commands.append(("keydown", *d0, a, "keydown", *d0, b, "keyup", *d0, a, "keyup", *d0, b))
            want += [ord(a), ord(b)]
        if rng.random() < 0.2:
            commands += [("keydown", "semicolon"), ("sleep", "0.08"), ("keyup", "semicolon")]
            want.append(ord(";"))
        got = typed(*commands, wait_for=lambda c: len(c) >= len(want))
        words, keys = words + 1, keys + len(want)
        if got != want:
            if sorted(got) == sorted(want):
                reordered += 1
            elif len(got) < len(want) and all(got.count(c) <= want.count(c) for c in got):
                lost += len(want) - len(got)
            else:
                changed += 1
            print(f"   typing {word}: expected {want} received {got}")
    ok = report("keyboard", bursts, counts, f", keys leaked {leaked} ({bursts} bursts in "
                f"{time.monotonic() - start:.0f} s, seed {seed})")
    print(f"typing: {words} words, {keys} keys; changed {changed}, lost {lost}, reordered {reordered}")
    clean = not (leaked or changed or lost or reordered)
    print(f"{'PASS' if clean else 'FAIL'}: keyboard: no key of a burst leaks and ordinary typing "
          "arrives as typed")
    return ok and clean


if __name__ == "__main__":
    a = sys.argv
    ok = soak_serial(a[2], a[3], int(a[4]), int(a[5])) if a[1] == "serial" else \
        soak_keyboard(a[2], int(a[3]), int(a[4]))
    sys.exit(0 if ok else 1)
