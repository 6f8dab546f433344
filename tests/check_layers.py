#!/usr/bin/env python3
"""The areas of src/ stand in layers: each may include headers of the areas listed for it below and
nothing else of ours, so nothing includes upward (the chart engine's folders have their own check,
tests/chart/check_chart_layers.py). Areas that the command-line scanner links take no Qt at all,
and the platform's paint device no widgets. Prints every include that breaks a rule and exits 1
when there is one.

Usage: check_layers.py [SRC_DIR] [--widgets-dir QT_WIDGETS_INCLUDE_DIR]
  (default: the src beside these tests; without the widgets folder, any <Q...> header of an area
  that may use Qt's GUI module but no widgets is not checked)"""

import argparse
import pathlib
import re
import sys

# The platform layer's areas each keep their own folder on the include path; the other areas are
# one folder (the chart engine's subfolders are included as "core/Rect.h" from its root).
PLATFORM = ["platform/fs", "platform/settings", "platform/system", "platform/shell", "platform/metafile"]

# What each area may include besides itself. Lowest first.
MAY_INCLUDE = {
    "platform/fs": [],
    "platform/settings": ["platform/fs"],
    "platform/system": ["platform/fs"],
    "platform/shell": ["platform/fs"],
    "platform/metafile": [],
    "scan": PLATFORM,
    "history": PLATFORM,
    "chart": PLATFORM,
    "shell": PLATFORM,
    "about": PLATFORM,
    "cli": PLATFORM + ["scan", "history"],
    "app": PLATFORM + ["scan", "history", "chart", "shell", "about"],
}
# Qt that an area may use: None for none at all, "gui" for everything but widgets.
QT_ALLOWED = {area: "any" for area in MAY_INCLUDE}
QT_ALLOWED.update({area: None for area in PLATFORM + ["scan", "history", "cli"]})
QT_ALLOWED["platform/metafile"] = "gui"

OUR_INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
SYSTEM_INCLUDE = re.compile(r"^\s*#\s*include\s+<([^>]+)>", re.M)
QT_HEADER = re.compile(r"^(Qt[A-Za-z]*/|Q[A-Z]\w*$|q[a-z0-9]+\.h$)")


def area_of(path: pathlib.Path) -> str | None:
    parts = path.relative_to(src).parts
    if len(parts) < 2:
        return None
    if parts[0] == "platform":
        return f"platform/{parts[1]}" if len(parts) > 2 else "platform"
    return parts[0]


def include_root(area: str) -> pathlib.Path:
    return src / area


def resolve(source: pathlib.Path, included: str) -> pathlib.Path | None:
    """The header an include names, as the compiler finds it: beside the source first, then in
    the include folder of each area; None for a header that is not ours."""
    beside = source.parent / included
    if beside.exists():
        return beside
    found = [include_root(area) / included for area in MAY_INCLUDE if (include_root(area) / included).exists()]
    if len(found) > 1:
        faults.append(f"{source.relative_to(src)}: {included} names {len(found)} headers; give each its own name")
    return found[0] if found else None


def widget_headers(widgets_dir: str | None) -> set[str]:
    if not widgets_dir:
        return set()
    return {entry.name for entry in pathlib.Path(widgets_dir).iterdir()}


parser = argparse.ArgumentParser()
parser.add_argument("src", nargs="?", default=pathlib.Path(__file__).resolve().parents[1] / "src")
parser.add_argument("--widgets-dir")
arguments = parser.parse_args()
src = pathlib.Path(arguments.src).resolve()
widgets = widget_headers(arguments.widgets_dir)

faults: list[str] = []
for source in sorted(src.rglob("*")):
    if source.suffix not in (".h", ".cpp"):
        continue
    relative = source.relative_to(src)
    area = area_of(source)
    if area not in MAY_INCLUDE:
        faults.append(f"{relative}: {area or 'src'} has no place in the layers (tests/check_layers.py)")
        continue
    text = source.read_text(encoding="utf-8")
    for included in OUR_INCLUDE.findall(text):
        header = resolve(source, included)
        if header is None:
            continue
        target = area_of(header)
        if target != area and target not in MAY_INCLUDE[area]:
            faults.append(f"{relative}: includes {included} of {target}, which {area} may not include")
    for included in SYSTEM_INCLUDE.findall(text):
        if not QT_HEADER.match(included):
            continue
        rule = QT_ALLOWED[area]
        if rule is None:
            faults.append(f"{relative}: includes <{included}>, but {area} uses no Qt")
        elif rule == "gui" and (included.startswith("QtWidgets/") or included in widgets):
            faults.append(f"{relative}: includes the widget header <{included}>, but {area} draws no widgets")
for fault in faults:
    print(fault)
sys.exit(1 if faults else 0)
