"""Presses the calculator's keys through the accessibility bus, as a screen reader does, and
prints the calculator's resident memory after each round.

Usage: access_soak.py PID ROUNDS PRESSES-A-ROUND
"""
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


pid, rounds, presses = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3])
desktop = Atspi.get_desktop(0)
end = time.monotonic() + 20
app = None
while app is None and time.monotonic() < end:
    apps = [desktop.get_child_at_index(i) for i in range(desktop.get_child_count())]
    app = next((a for a in apps if a is not None and a.get_name() == "Tessel"), None)
    time.sleep(0.2)
frame = app.get_child_at_index(0)
keys = {}
for i in range(frame.get_child_count()):
    child = frame.get_child_at_index(i)
    if child.get_role() == Atspi.Role.PUSH_BUTTON:
        keys[child.get_name()] = child
sequence = [keys[n] for n in ("1", "2", "Plus", "3", "Equals", "Memory add", "Clear")]
done = 0
for r in range(rounds):
    for i in range(presses):
        sequence[i % len(sequence)].do_action(0)
    done += presses
    time.sleep(0.5)
    print(f"presses {done} rss_kib {rss_kib(pid)}", flush=True)
