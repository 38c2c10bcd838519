#!/usr/bin/python3
"""The real window as a screen reader meets it, through AT-SPI.

Run inside with_atspi.sh, on a display of its own. It starts the program with
settings of its own, then:
  1. lists the window's controls as the accessibility interface shows them,
     and fails for any control a screen reader could not name;
  2. presses OPEN through the interface, types a clip's path into the file
     chooser's location and opens it, and finds the clip's row in the list;
  3. presses Encode through the interface and waits for the status line to
     say the clip is converted, for its converted file, and for its row's
     state to read Converted;
  4. lists the controls again, the clip described.

Usage: screen_reader_check.py PROGRAM
"""
import os
import subprocess
import sys
import tempfile
import time

import pyatspi

BOUND = 120.0       # an upper bound for every wait, against a hang only
INTERVAL = 0.1      # the pace of asking again; the answer decides
FRAME_TITLE = "Vantrel Video Converter"

# Roles of structure rather than controls a user meets.
STRUCTURAL = {
    pyatspi.ROLE_APPLICATION, pyatspi.ROLE_FILLER, pyatspi.ROLE_PANEL,
    pyatspi.ROLE_SCROLL_PANE, pyatspi.ROLE_VIEWPORT, pyatspi.ROLE_SPLIT_PANE,
    pyatspi.ROLE_SEPARATOR, pyatspi.ROLE_WINDOW, pyatspi.ROLE_SCROLL_BAR,
    pyatspi.ROLE_UNKNOWN, pyatspi.ROLE_REDUNDANT_OBJECT,
}
# A label's text is what it says.
SELF_NAMED_BY_TEXT = {pyatspi.ROLE_LABEL, pyatspi.ROLE_STATIC}


class Failure(Exception):
    pass


def poll(what, predicate, bound=BOUND):
    """Return predicate()'s first true value; raise Failure after bound s."""
    deadline = time.monotonic() + bound
    last_error = None
    while True:
        try:
            value = predicate()
            if value:
                return value
        except Exception as e:  # objects come and go while the UI settles
            last_error = e
        if time.monotonic() > deadline:
            raise Failure("timed out waiting for %s%s" % (
                what, " (last error: %s)" % last_error if last_error else ""))
        time.sleep(INTERVAL)


def fresh(acc):
    """Drop cached data so that states and names are read from the app."""
    try:
        acc.clearCache()
    except Exception:
        pass
    return acc


def walk(acc, depth=0):
    yield acc, depth
    try:
        n = acc.childCount
    except Exception:
        return
    # A table/list with thousands of cells would be slow: cap children.
    for i in range(min(n, 200)):
        try:
            child = acc.getChildAtIndex(i)
        except Exception:
            continue
        if child is not None:
            yield from walk(child, depth + 1)


def text_of(acc):
    try:
        t = acc.queryText()
        return t.getText(0, t.characterCount)
    except Exception:
        return None


def value_of(acc):
    try:
        v = acc.queryValue()
        return (v.currentValue, v.minimumValue, v.maximumValue)
    except Exception:
        return None


def actions_of(acc):
    try:
        a = acc.queryAction()
        return [a.getName(i) for i in range(a.nActions)]
    except Exception:
        return []


def describe(acc, depth):
    s = acc.getState()
    flags = []
    for st, label in ((pyatspi.STATE_ENABLED, "enabled"),
                      (pyatspi.STATE_SENSITIVE, "sensitive"),
                      (pyatspi.STATE_FOCUSABLE, "focusable"),
                      (pyatspi.STATE_FOCUSED, "focused"),
                      (pyatspi.STATE_SHOWING, "showing"),
                      (pyatspi.STATE_EDITABLE, "editable"),
                      (pyatspi.STATE_CHECKED, "checked")):
        if s.contains(st):
            flags.append(label)
    line = "%s%s name=%r desc=%r [%s]" % (
        "  " * depth, acc.getRoleName(), acc.name, acc.description,
        ",".join(flags))
    text = text_of(acc)
    if text is not None and acc.getRole() != pyatspi.ROLE_FRAME:
        line += " text=%r" % (text[:60])
    val = value_of(acc)
    if val is not None:
        line += " value=%g min=%g max=%g" % val
    acts = actions_of(acc)
    if acts:
        line += " actions=%s" % ",".join(acts)
    rels = relations_of(acc)
    if rels:
        line += " relations=%s" % rels
    return line


def relations_of(acc):
    out = []
    try:
        for r in acc.getRelationSet():
            targets = [r.getTarget(i) for i in range(r.getNTargets())]
            out.append("%s->%s" % (
                pyatspi.relationToString(r.getRelationType()) if hasattr(pyatspi, "relationToString")
                else r.getRelationType().value_nick,
                "|".join(repr(t.name) for t in targets if t is not None)))
    except Exception:
        pass
    return ",".join(out)


def has_label_relation(acc):
    try:
        # Only a label that says something counts.
        return any(r.getRelationType() == pyatspi.RELATION_LABELLED_BY and
                   any((r.getTarget(i).name or "").strip()
                       for i in range(r.getNTargets()))
                   for r in acc.getRelationSet())
    except Exception:
        return False


def needs_name(acc):
    """Why acc lacks a usable accessible name, or None when it has one."""
    role = acc.getRole()
    name = (acc.name or "").strip()
    state = acc.getState()
    if role == pyatspi.ROLE_COMBO_BOX:
        # GTK names a combo box after its current choice: that is its
        # value, not a name telling what is chosen.
        items = set()
        for c, _ in walk(acc):
            if c.getRole() == pyatspi.ROLE_MENU_ITEM:
                items.add(c.name)
        if not name:
            return "no name"
        if name in items and not has_label_relation(acc):
            return "named only by its current choice %r" % name
        return None
    if role == pyatspi.ROLE_MENU and acc.parent is not None and \
            acc.parent.getRole() == pyatspi.ROLE_COMBO_BOX:
        return None  # the pop-up of a combo box
    if role in (pyatspi.ROLE_PANEL, pyatspi.ROLE_SCROLL_PANE) and not name and \
            state.contains(pyatspi.STATE_FOCUSABLE):
        return "focusable %s with no name (custom-drawn control?)" % acc.getRoleName()
    if role in STRUCTURAL or role in SELF_NAMED_BY_TEXT:
        return None
    if role in (pyatspi.ROLE_TABLE_CELL, pyatspi.ROLE_LIST_ITEM,
                pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_TABLE_ROW):
        return None  # items are named by their content
    if not name:
        return "no name" + (" (has a labelled-by relation)" if has_label_relation(acc) else "")
    return None


def print_tree(frame):
    unnamed = []
    for acc, depth in walk(fresh(frame)):
        try:
            print(describe(acc, depth))
            why = needs_name(acc)
            if why:
                unnamed.append((acc, why))
        except Exception as e:
            print("%s<gone: %s>" % ("  " * depth, e))
    print()
    print("Controls without an accessible name (%d):" % len(unnamed))
    for acc, why in unnamed:
        parent = acc.parent
        print("  %s: %s (under %s %r, index %d)%s" % (
            acc.getRoleName(), why, parent.getRoleName() if parent else "-",
            parent.name if parent else "", acc.getIndexInParent(),
            neighbour_hint(acc)))
    return unnamed


def neighbour_hint(acc):
    """The text of the label just before acc among its siblings, as a clue."""
    try:
        parent, i = acc.parent, acc.getIndexInParent()
        for j in range(i - 1, max(i - 3, -1), -1):
            sib = parent.getChildAtIndex(j)
            if sib.getRole() == pyatspi.ROLE_LABEL and sib.name:
                return "; label before it: %r" % sib.name
    except Exception:
        pass
    return ""


def find_one(root, role, name=None, prefix=None):
    for acc, _ in walk(fresh(root)):
        try:
            if acc.getRole() != role:
                continue
            if name is not None and acc.name != name:
                continue
            if prefix is not None and not (acc.name or text_of(acc) or "").startswith(prefix):
                continue
            return acc
        except Exception:
            continue
    return None


def labels_starting(root, prefix):
    for acc, _ in walk(fresh(root)):
        try:
            if acc.getRole() in (pyatspi.ROLE_LABEL, pyatspi.ROLE_STATIC, pyatspi.ROLE_STATUS_BAR):
                for t in (acc.name, text_of(acc)):
                    if t and t.startswith(prefix):
                        return t
        except Exception:
            continue
    return None


def click(acc, wanted=("click", "press", "activate")):
    a = acc.queryAction()
    names = [a.getName(i) for i in range(a.nActions)]
    for w in wanted:
        if w in names:
            if not a.doAction(names.index(w)):
                raise Failure("action %r on %r refused" % (w, acc.name))
            return w
    raise Failure("%r has no action among %s (has %s)" % (acc.name, wanted, names))


def enabled(acc):
    s = fresh(acc).getState()
    return s.contains(pyatspi.STATE_SENSITIVE) and s.contains(pyatspi.STATE_ENABLED)


def press_ctrl_l():
    reg = pyatspi.Registry
    ctrl = 37  # keycodes of the Xvfb default keymap: Control_L, 'l'
    reg.generateKeyboardEvent(ctrl, None, pyatspi.KEY_PRESS)
    reg.generateKeyboardEvent(46, None, pyatspi.KEY_PRESSRELEASE)
    reg.generateKeyboardEvent(ctrl, None, pyatspi.KEY_RELEASE)




def find_app(proc):
    def look():
        for app in pyatspi.Registry.getDesktop(0):
            try:
                if app is not None and app.get_process_id() == proc.pid:
                    return app
            except Exception:
                pass
        return None
    return poll("the program on the accessibility bus", look)


def find_frame(app):
    def look():
        for child in fresh(app):
            if child is not None and FRAME_TITLE in (child.name or "") and \
                    child.getState().contains(pyatspi.STATE_SHOWING):
                return child
        return None
    return poll("the window", look)


def open_clip(app, frame, path):
    button = poll("the button OPEN", lambda: find_one(frame, pyatspi.ROLE_PUSH_BUTTON, name="OPEN"))
    print("OPEN:", click(button))

    def chooser():
        for child in fresh(app):
            if child is not None and child is not frame and \
                    find_one(child, pyatspi.ROLE_FILE_CHOOSER) is not None:
                return child
        return None
    dialog = poll("the file chooser", chooser)

    def location_entry():
        for acc, _ in walk(fresh(dialog)):
            state = acc.getState()
            if acc.getRole() == pyatspi.ROLE_TEXT and state.contains(pyatspi.STATE_EDITABLE) and \
                    state.contains(pyatspi.STATE_SHOWING):
                return acc
        return None
    if location_entry() is None:
        # Ctrl+L shows the chooser's location field, as a keyboard user would
        # open it. With no window manager the keys go to the window under the
        # pointer, so the pointer goes over the chooser first.
        chooser_view = find_one(dialog, pyatspi.ROLE_FILE_CHOOSER)
        x, y, width, height = chooser_view.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        pyatspi.Registry.generateMouseEvent(x + width // 2, y + height // 2, "abs")
        chooser_view.queryComponent().grabFocus()
        press_ctrl_l()
    entry = poll("the chooser's location", location_entry)
    entry.queryEditableText().setTextContents(path)
    poll("the path typed (the location reads %r)" % text_of(fresh(entry)), lambda: text_of(fresh(entry)) == path)
    open_button = poll("the chooser's Open", lambda: find_one(dialog, pyatspi.ROLE_PUSH_BUTTON, name="_Open")
                       or find_one(dialog, pyatspi.ROLE_PUSH_BUTTON, name="Open"))
    poll("Open enabled", lambda: enabled(open_button))
    print("chooser's Open:", click(open_button))
    name = os.path.basename(path)
    row = poll("the clip's row in the list",
               lambda: find_one(frame, pyatspi.ROLE_TABLE_CELL, name=name))
    print("row:", row.getRoleName(), repr(row.name), "in", repr(row.parent.name))


def encode(frame, converted):
    button = poll("the button Encode", lambda: find_one(frame, pyatspi.ROLE_PUSH_BUTTON, name="Encode"))
    poll("Encode enabled", lambda: enabled(button))
    bar = find_one(frame, pyatspi.ROLE_PROGRESS_BAR, name="Progress")
    if bar is None:
        raise Failure("no progress bar named Progress")
    print("Encode:", click(button))
    stem = os.path.basename(converted)
    status = poll("the status line to say the clip is converted",
                  lambda: labels_starting(frame, "Converted: " + stem))
    print("status:", status)
    poll("the converted file", lambda: os.path.exists(converted) and os.path.getsize(converted) > 0)
    # The row's state, as a screen reader reads it now: the list's cells
    # follow the row (they kept the row's first texts while only the cells
    # were redrawn).
    def converted_cell():
        for acc, _ in walk(fresh(frame)):
            if acc.getRole() == pyatspi.ROLE_TABLE_CELL and (fresh(acc).name or "").startswith("Converted"):
                return acc
        return None
    state = poll("the row's state to read Converted", converted_cell)
    print("row's state:", state.name)
    current, _, maximum = value_of(fresh(bar))
    print("progress bar: %g of %g" % (current, maximum))
    if current != maximum:
        raise Failure("the bar is not full after the list: %g of %g" % (current, maximum))


def main():
    with tempfile.TemporaryDirectory() as work:
        return check(sys.argv[1], work)


def check(program, work):
    clip = os.path.join(work, "clip.mp4")
    subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=2",
                    "-f", "lavfi", "-i", "sine=frequency=440:duration=2", "-shortest", clip], check=True)
    environment = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"), LANG="C.UTF-8")
    environment.pop("LC_ALL", None)
    environment.pop("LANGUAGE", None)
    log = open(os.path.join(work, "program.log"), "w")
    proc = subprocess.Popen([program], stdout=log, stderr=subprocess.STDOUT, env=environment, cwd=work)
    failed = []
    try:
        app = find_app(proc)
        frame = find_frame(app)
        print("--- the window at start ---")
        failed += print_tree(frame)
        open_clip(app, frame, clip)
        encode(frame, os.path.join(work, "clip.d3v"))
        print("--- the window with the clip converted ---")
        failed += print_tree(frame)
    except Failure as e:
        print("FAIL:", e)
        failed.append(e)
    finally:
        proc.terminate()
        try:
            proc.wait(timeout=30)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()
    print("program exit status:", proc.returncode)
    if proc.returncode != 0:
        failed.append("exit status %d" % proc.returncode)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
