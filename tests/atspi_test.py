"""What a screen-reader client meets in the running program, over AT-SPI.

Run by atspi_test.sh inside its own X display, window manager and buses. The task file
holds two tasks for today, so the window comes up listing them.
"""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

failures = []


def check(ok, what):
    print(("ok: " if ok else "FAIL: ") + what)
    if not ok:
        failures.append(what)


def wait_for(ok, seconds=5):
    """Lets AT-SPI events come in until ok() holds, for at most `seconds`; what ok() says."""
    context = GLib.MainContext.default()
    end = time.time() + seconds
    while not ok() and time.time() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.02)
    return ok()


def find_window():
    for _ in range(100):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "DAYVANE" and app.childCount > 0:
                return app[0]
        time.sleep(0.1)
    sys.exit("FAIL: the program never showed up on the accessibility bus")


def element(window, name):
    return next(c for c in window if c.name == name)


def focused(window):
    return [c.name for c in window if c.getState().contains(pyatspi.STATE_FOCUSED)]


def keys(*names):
    subprocess.run(["xdotool", "key", "--delay", "100", *names], check=True)


def alerts(window):
    return [w for w in window.getApplication() if w.getRole() == pyatspi.ROLE_ALERT]


window = find_window()
events = []
pyatspi.Registry.registerEventListener(
    lambda e: events.append((e.type, e.source.getRole(), e.source.name)),
    "object:property-change:accessible-name")
check(window.getRole() == pyatspi.ROLE_FRAME,
      "the window is a frame (it is %s)" % window.getRoleName())
check(window.name == "Today's Task(s)", "the window is named by its caption")
check(window.description.startswith("2 tasks due today: Pay rent; Call the dentist"),
      "today's tasks are told with the window: %r" % window.description)
check(focused(window) == ["Day"], "the focus starts in the day field")

# Tab to Save, press it with the fields empty, answer the refusal with Enter.
keys("Tab", "Tab", "Tab", "Tab")
check(wait_for(lambda: focused(window) == ["Save"]), "Tab reaches Save")
keys("Return")
check(wait_for(lambda: len(alerts(window)) == 1)
      and "something wrong" in [c.name for c in alerts(window)[0]],
      "the refusal is an alert saying what it says")
keys("Return")
check(wait_for(lambda: window.getState().contains(pyatspi.STATE_ACTIVE)),
      "the window is active again")
check(wait_for(lambda: focused(window) == ["Save"]),
      "the focus is back on Save: %r" % focused(window))

# Do not forget, pressed as a screen reader would: the new caption is announced.
events.clear()
element(window, "Do not forget").queryAction().doAction(0)
renamed = ("object:property-change:accessible-name", pyatspi.ROLE_FRAME, "Task Dayvane")
check(wait_for(lambda: renamed in events), "the caption change is announced: %r" % events)

sys.exit(1 if failures else 0)
