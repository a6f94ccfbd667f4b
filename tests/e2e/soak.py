#!/usr/bin/env python3
"""The soak driver: random codes through COM1 (serial <ttyB> <record> <codes> <seed>), or reader
bursts between ordinary typing from the X server (keyboard <record> <bursts> <seed>), checked
against the "Quillomarte" window's record; prints the counts and PASS/FAIL lines."""
import difflib, os, random, subprocess, sys, time  # noqa: E401

MARK, ENTER = 0xA0, 13
ALNUM = "abcdefghijklmnopqrstuvwxyz0123456789"
TYPING = ALNUM + "ABCDEFGHIJKLMNOPQRSTUVWXYZ%:"
D = "--delay 0"


class Record:
    """The target window's record, read as it grows: the character codes so far."""

    def __init__(self, path):
        self.path, self.offset, self.codes = path, 0, []

    def poll(self):
        try:
            with open(self.path, "rb") as f:
                f.seek(self.offset)
                whole = f.read().rpartition(b"\n")[0]
        except FileNotFoundError:
            return self.codes
        if whole:
            self.offset += len(whole) + 1
            self.codes += [int(x) for x in whole.split()]
        return self.codes

    def wait(self, done, timeout):
        end = time.monotonic() + timeout
        while not done(self.poll()) and time.monotonic() < end:
            time.sleep(0.01)


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


def serial_expected(code, state):
    """Keystrokes for one serial code with Prefix 2 and Enter; a card code selects all characters."""
    text = code.decode("cp1251")
    if "CARD:" in text:
        text = text.replace("CARD:", "").encode("cp1251").hex().upper()
        state["all"] = True
    if not text:
        return None
    if not text.startswith(("969", "971")):
        text = chr(MARK) + "969" + text
    keep = (lambda c: c.isascii() and c.isalnum() or 0x410 <= ord(c) <= 0x44F) if state["all"] \
        else (lambda c: "0" <= c <= "9")
    return tuple(ord(c) for i, c in enumerate(text) if (i == 0 and c == chr(MARK)) or keep(c)) + (ENTER,)


def soak_serial(tty, path, count, seed):
    rng, state, expected, seen = random.Random(seed), {"all": False}, [], Record(path)
    out, start = os.open(tty, os.O_WRONLY), time.monotonic()
    for i in range(count):
        code = random_code(rng, i)
        os.write(out, code)
        if (keys := serial_expected(code, state)) is not None:
            expected.append(keys)
        time.sleep(0.2)  # four ticks, without waiting for the code: three that bring nothing end it
    seen.wait(lambda c: c.count(ENTER) >= len(expected), 10)
    time.sleep(1)
    *whole, rest = "".join(map(chr, seen.poll())).split("\r")
    received = [tuple(map(ord, p + "\r")) for p in whole] + [tuple(map(ord, rest))] * (rest != "")
    counts = dict(received=0, lost=0, doubled=0, garbled=0)
    matcher = difflib.SequenceMatcher(None, expected, received, autojunk=False)
    for op, i1, i2, j1, j2 in matcher.get_opcodes():
        if op == "insert":
            for j in range(j1, j2):
                counts["doubled" if received[j] in expected[max(0, i1 - 1):i1 + 1] else "garbled"] += 1
        else:
            counts["received" if op == "equal" else "garbled"] += min(i2 - i1, j2 - j1)
            counts["lost"] += max(0, (i2 - i1) - (j2 - j1))
        if op != "equal":
            print(f"   {op}: expected {expected[i1:i2][:3]} received {received[j1:j2][:3]}")
    return report("serial", len(expected), counts,
                  f" ({count} codes in {time.monotonic() - start:.0f} s, seed {seed})")


def soak_keyboard(path, bursts, seed):
    rng, start, seen = random.Random(seed), time.monotonic(), Record(path)

    def typed(commands, done):  # focuses the target, runs the xdotool lines, answers what arrived
        before = len(seen.poll())
        for line in ["search --name ^Quillomarte$ mousemove --window %1 120 60 windowfocus --sync %1",
                     *commands]:
            subprocess.run(["xdotool", *line.split()], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        seen.wait(lambda c: done(c[before:]), 5)
        time.sleep(0.1)
        return seen.poll()[before:]

    counts = dict(received=0, lost=0, doubled=0, garbled=0)
    leaked = words = keys = changed = lost = reordered = 0
    for _ in range(bursts):
        # A reader's burst: a tapped semicolon or left Shift with 5, letters and digits, Enter.
        code = "".join(rng.choice(ALNUM) for _ in range(rng.randint(1, 12)))
        opening = f"keydown {D} semicolon keyup {D} semicolon" if rng.random() < 0.5 else \
            f"keydown {D} Shift_L keydown {D} 5 keyup {D} 5 keyup {D} Shift_L"
        want = [MARK] + [ord(c.upper()) for c in code] + [ENTER]
        got = typed([f"{opening} key --delay {rng.randint(0, 4)} {' '.join(code)} Return"],
                    lambda c: ENTER in c)
        kind = "received" if got == want else "lost" if not got else \
            "doubled" if got == want + want else "garbled"
        counts[kind] += 1
        if kind == "garbled":  # keys of the burst that reached the window as they were typed
            leaked += sum(1 for c in got if c not in want or got.count(c) > want.count(c))
            print(f"   burst {code}: expected {want} received {got}")
        # Typing in between, at a person's pace or all at once, now and then two keys rolled over
        # and a semicolon held a while.
        word = "".join(rng.choice(TYPING) for _ in range(rng.randint(1, 6)))
        commands, want = [f"type --delay {rng.choice([0, 30])} {word}"], [ord(c) for c in word]
        if rng.random() < 0.3:
            a, b = rng.sample(ALNUM, 2)
            commands.append(f"keydown {D} {a} keydown {D} {b} keyup {D} {a} keyup {D} {b}")
            want += [ord(a), ord(b)]
        if rng.random() < 0.2:
            commands.append("keydown semicolon sleep 0.08 keyup semicolon")
            want.append(ord(";"))
        got = typed(commands, lambda c: len(c) >= len(want))
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
    sys.exit(not (soak_serial(a[2], a[3], int(a[4]), int(a[5])) if a[1] == "serial" else
                  soak_keyboard(a[2], int(a[3]), int(a[4]))))
