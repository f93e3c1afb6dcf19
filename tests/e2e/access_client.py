"""A screen reader's side of the accessibility test: finds the calculator on the
accessibility bus and walks, presses and reads it through Atspi, as a screen reader does.

Usage: access_client.py tree | press NAME... | focused | extents NAME
Prints what it found, one fact a line; exits 1 when the calculator cannot be found.
"""
import os
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

# The bindings call the action interface deprecated; screen readers still walk it so.
warnings.simplefilter("ignore", DeprecationWarning)


def find_app(seconds=float(os.environ.get("ACCESS_WAIT", "20"))):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app is not None and app.get_name() == "Tessel":
                return app
        time.sleep(0.2)
    print("no application named Tessel on the accessibility bus")
    sys.exit(1)


def children(obj):
    return [obj.get_child_at_index(i) for i in range(obj.get_child_count())]


def parts(app):
    frame = children(app)[0]
    kids = children(frame)
    buttons = [k for k in kids if k.get_role() == Atspi.Role.PUSH_BUTTON]
    display = next(k for k in kids if k.get_role() == Atspi.Role.STATUS_BAR)
    return frame, buttons, display, kids


def display_text(display):
    return Atspi.Text.get_text(display, 0, -1)


def pump(seconds):
    end = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.01)


def main():
    mode, args = sys.argv[1], sys.argv[2:]
    app = find_app()
    frame, buttons, display, kids = parts(app)
    by_name = {b.get_name(): b for b in buttons}
    if mode == "tree":
        print("frame", frame.get_role_name(), frame.get_name())
        print("buttons", len(buttons), "unique", len(by_name))
        print("clickable", sum(1 for b in buttons
                               if b.get_action_iface() is not None
                               and b.get_action_name(0) == "click"))
        print("names", "|".join(sorted(by_name)))
        print("display", display_text(display))
        print("description", display.get_description())
        print("binding", by_name["Memory clear"].get_key_binding(0))
    elif mode == "press":
        heard = []
        listener = Atspi.EventListener.new(lambda e: heard.append(e.any_data))
        listener.register("object:announcement")
        pump(0.3)
        for name in args:
            by_name[name].do_action(0)
            pump(0.25)
        pump(0.5)
        print("display", display_text(display))
        print("announced", "|".join(str(h) for h in heard))
        print("description", display.get_description())
    elif mode == "focused":
        focused = [b.get_name() for b in buttons
                   if b.get_state_set().contains(Atspi.StateType.FOCUSED)]
        print("focused", "|".join(focused))
    elif mode == "extents":
        e = by_name[args[0]].get_extents(Atspi.CoordType.SCREEN)
        print("extents", e.x, e.y, e.width, e.height)
    elif mode == "keys":
        # The keys the calculator echoes to the screen reader while they are typed.
        typed = []

        def heard(event):
            if event.type == Atspi.EventType.KEY_PRESSED_EVENT:
                typed.append(event.event_string)
            return False

        listener = Atspi.DeviceListener.new(heard)
        Atspi.register_keystroke_listener(listener, None, 0,
                                          1 << Atspi.EventType.KEY_PRESSED_EVENT,
                                          Atspi.KeyListenerSyncType.NOSYNC)
        print("listening", flush=True)
        pump(float(args[0]))
        print("typed", "".join(typed))
    elif mode == "card":
        card = [k for k in kids if k.get_role() == Atspi.Role.LABEL]
        print("card", len(card))
        if card:
            print(Atspi.Text.get_text(card[0], 0, -1))


main()
