#!/usr/bin/env python3
"""The soak driver: many codes through the pseudo-terminal COM1, or many keyboard-reader bursts
interleaved with ordinary typing from the X server, each checked against what the settings say
the "Quillomarte" window must receive.

    soak.py serial   <ttyB> <record file> <codes> [seed]
    soak.py keyboard <record file> <bursts> [seed]

Prints the counts and "PASS: ..." / "FAIL: ..." lines; exits non-zero on a failure.
"""
import difflib
import os
import random
import subprocess
import sys
import time

MARK = 0xA0
TICK = 0.05
# What the ordinary typing between the bursts is made of.
TYPING = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789%:"


class Record:
    """The target window's record: one character code a line, read as it grows."""

    def __init__(self, path):
        self.path, self.offset, self.codes, self.partial = path, 0, [], ""

    def poll(self):
        try:
            with open(self.path) as f:
                f.seek(self.offset)
                data = f.read()
                self.offset = f.tell()
        except FileNotFoundError:
            return self.codes
        data = self.partial + data
        lines = data.split("\n")
        self.partial = lines.pop()
        self.codes += [int(x) for x in lines if x.strip()]
        return self.codes

    def wait(self, done, timeout):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            if done(self.poll()):
                return True
            time.sleep(0.005)
        return done(self.poll())


# --- What the settings make of a code ----------------------------------------------------------


def alphanumeric(text):
    out = [c for i, c in enumerate(text) if (i == 0 and ord(c) == MARK) or c.isascii() and
           c.isalnum() or 0x410 <= ord(c) <= 0x44F]
    return "".join(out)


def digits(text):
    return "".join(c for i, c in enumerate(text) if (i == 0 and ord(c) == MARK) or "0" <= c <= "9")


def delivered(text, send_to, enter=True):
    if send_to == 0:
        text = alphanumeric(text)
    elif send_to == 1:
        text = digits(text)
    text = text.replace("\r", "")
    return [ord(c) for c in text] + ([13] if enter else [])


def serial_expected(code, state):
    """Keystrokes for one serial code (bytes), with Prefix 2; updates SendTo after a card."""
    text = code.decode("cp1251")
    if "CARD:" in text:
        rest = text.replace("CARD:", "")
        text = "".join("%02X" % b for b in rest.encode("cp1251"))
        state["send_to"] = 0
    if not text:
        return None
    if not (text.startswith("969") or text.startswith("971")):
        text = chr(MARK) + "969" + text
    return delivered(text, state["send_to"])


# --- Counting ------------------------------------------------------------------------------------


def split_codes(codes):
    out, cur = [], []
    for c in codes:
        cur.append(c)
        if c == 13:
            out.append(tuple(cur))
            cur = []
    if cur:
        out.append(tuple(cur))
    return out


def compare(expected, received):
    """Counts of codes received as expected, lost, doubled and garbled, by aligning the lists."""
    counts = dict(received=0, lost=0, doubled=0, garbled=0)
    bad = []
    sm = difflib.SequenceMatcher(None, expected, received, autojunk=False)
    for op, i1, i2, j1, j2 in sm.get_opcodes():
        if op == "equal":
            counts["received"] += i2 - i1
            continue
        if op == "delete":
            counts["lost"] += i2 - i1
        elif op == "insert":
            for j in range(j1, j2):
                near = expected[max(0, i1 - 1):i1 + 1]
                counts["doubled" if received[j] in near else "garbled"] += 1
        else:
            counts["garbled"] += min(i2 - i1, j2 - j1)
            counts["lost"] += max(0, (i2 - i1) - (j2 - j1))
        bad.append((op, expected[i1:i2][:3], received[j1:j2][:3]))
    return counts, bad


def report(kind, sent, counts, bad, extra=""):
    print(f"{kind}: sent {sent}, received {counts['received']}, lost {counts['lost']}, "
          f"doubled {counts['doubled']}, garbled {counts['garbled']}{extra}")
    for op, e, r in bad[:8]:
        print(f"   {op}: expected {list(map(list, e))} received {list(map(list, r))}")
    ok = counts["received"] == sent and not any(counts[k] for k in ("lost", "doubled", "garbled"))
    print(f"{'PASS' if ok else 'FAIL'}: {kind}: every code arrived once, in order, as the settings say")
    return ok


# --- Serial --------------------------------------------------------------------------------------


def random_code(rng, i):
    specials = [b"\x00", b"\x7f", b"\xff", b"\r", b"\n", b"-", b" ", b"\xc0", b"\xe9"]
    # Mostly card-sized codes, now and then a long one: the gap after each is the same.
    n = rng.randint(1, 16) if rng.random() < 0.85 else rng.randint(17, 100)
    out = b""
    for _ in range(n):
        r = rng.random()
        if r < 0.5:
            out += bytes([rng.randint(0x30, 0x39)])
        elif r < 0.8:
            out += bytes([rng.choice(b"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")])
        else:
            out += rng.choice(specials)
    r = rng.random()
    if r < 0.12 or i == 2:
        at = rng.randint(0, len(out))
        out = out[:at] + b"CARD:" + out[at:]
    elif r < 0.18:
        out = rng.choice([b"969", b"971"]) + out
    return out


def soak_serial(tty, record_path, count, seed):
    rng = random.Random(seed)
    rec = Record(record_path)
    out = os.open(tty, os.O_WRONLY)
    state = {"send_to": 1}  # the configuration starts with digits only
    expected, before = [], len(split_codes(rec.poll()))
    start = time.monotonic()
    for i in range(count):
        code = random_code(rng, i)
        keys = serial_expected(code, state)
        os.write(out, code)
        if keys is not None:
            expected.append(tuple(keys))
        # A fixed gap of four ticks after each code, whatever its length, without waiting for
        # it to arrive: three ticks that bring nothing end a code.
        time.sleep(4 * TICK)
    rec.wait(lambda c: c.count(13) >= before + len(expected), 10)
    time.sleep(1)
    received = split_codes(rec.poll())
    counts, bad = compare(expected, received)
    return report("serial", len(expected), counts, bad,
                  f" ({count} codes in {time.monotonic() - start:.0f} s, seed {seed})")


# --- Keyboard reader -----------------------------------------------------------------------------


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=False, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)


def soak_keyboard(record_path, bursts, seed):
    rng = random.Random(seed)
    rec = Record(record_path)
    wid = subprocess.run(["xdotool", "search", "--name", "^Quillomarte$"], capture_output=True,
                         text=True).stdout.split()[0]

    def focus():
        xdotool("mousemove", "--window", wid, "120", "60")
        xdotool("windowfocus", "--sync", wid)

    counts = dict(received=0, lost=0, doubled=0, garbled=0)
    leaked, bad = 0, []
    words = keys = changed = lost = reordered = 0
    start = time.monotonic()
    for _ in range(bursts):
        # A reader's burst: an opening, letters and digits, Enter.
        code = "".join(rng.choice("0123456789abcdefghijklmnopqrstuvwxyz")
                       for _ in range(rng.randint(1, 12)))
        opening = rng.choice(["semicolon", "percent"])
        want = [MARK] + [ord(c.upper()) for c in code] + [13]
        focus()
        before = len(rec.poll())
        if opening == "semicolon":
            xdotool("keydown", "--delay", "0", "semicolon", "keyup", "--delay", "0", "semicolon")
        else:
            xdotool("keydown", "--delay", "0", "Shift_L", "keydown", "--delay", "0", "5",
                    "keyup", "--delay", "0", "5", "keyup", "--delay", "0", "Shift_L")
        xdotool("key", "--delay", str(rng.randint(0, 4)), *code, "Return")
        rec.wait(lambda c: 13 in c[before:], 5)
        time.sleep(0.15)
        got = rec.poll()[before:]
        if got == want:
            counts["received"] += 1
        elif not got:
            counts["lost"] += 1
        elif got == want + want:
            counts["doubled"] += 1
        else:
            counts["garbled"] += 1
            # Keys of the burst that reached the window as they were typed.
            leaked += sum(1 for c in got if c not in want or got.count(c) > want.count(c))
            bad.append(("burst " + code, [tuple(want)], [tuple(got)]))
        # Ordinary typing in between, as a person types: small and capital letters, digits,
        # "%" and ":", at a person's pace or all at once, now and then two keys rolled over
        # (the second pressed before the first is released) and a semicolon held a while.
        focus()
        before = len(rec.poll())
        word = "".join(rng.choice(TYPING) for _ in range(rng.randint(1, 6)))
        xdotool("type", "--delay", rng.choice(["0", "30"]), word)
        want = [ord(c) for c in word]
        if rng.random() < 0.3:
            a, b = rng.sample("abcdefghijklmnopqrstuvwxyz0123456789", 2)
            xdotool("keydown", "--delay", "0", a, "keydown", "--delay", "0", b, "keyup",
                    "--delay", "0", a, "keyup", "--delay", "0", b)
            want += [ord(a), ord(b)]
        if rng.random() < 0.2:
            xdotool("keydown", "semicolon")
            time.sleep(0.08)
            xdotool("keyup", "semicolon")
            want.append(ord(";"))
        rec.wait(lambda c: len(c) - before >= len(want), 5)
        time.sleep(0.1)
        got = rec.poll()[before:]
        words += 1
        keys += len(want)
        if got != want:
            if sorted(got) == sorted(want):
                reordered += 1
            elif len(got) < len(want) and all(got.count(c) <= want.count(c) for c in got):
                lost += len(want) - len(got)
            else:
                changed += 1
            bad.append(("typing " + word, [tuple(want)], [tuple(got)]))
    ok = report("keyboard", bursts, counts, bad,
                f", keys leaked {leaked} ({bursts} bursts in {time.monotonic() - start:.0f} s, "
                f"seed {seed})")
    print(f"typing: {words} words, {keys} keys; changed {changed}, lost {lost}, "
          f"reordered {reordered}")
    if leaked or changed or lost or reordered:
        print(f"FAIL: keyboard: no key of a burst leaks and ordinary typing arrives as typed")
        return False
    print("PASS: keyboard: no key of a burst leaks and ordinary typing arrives as typed")
    return ok


if __name__ == "__main__":
    mode = sys.argv[1]
    if mode == "serial":
        seed = int(sys.argv[5]) if len(sys.argv) > 5 else random.randrange(1 << 30)
        ok = soak_serial(sys.argv[2], sys.argv[3], int(sys.argv[4]), seed)
    else:
        seed = int(sys.argv[4]) if len(sys.argv) > 4 else random.randrange(1 << 30)
        ok = soak_keyboard(sys.argv[2], int(sys.argv[3]), seed)
    sys.exit(0 if ok else 1)
