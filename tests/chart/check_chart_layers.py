#!/usr/bin/env python3
"""The chart engine's folders stand in layers: a file includes headers of its own folder and of
the folders below it, never of one above (nor of the chart classes at the top). Prints every
include that runs upward or sideways and exits 1 when there is one.

Usage: check_chart_layers.py [SRC_CHART_DIR]  (default: the src/chart beside these tests)"""

import pathlib
import re
import sys

# Lowest first. Folders on one line may not include each other.
LAYERS = [
    ["core"],
    ["style"],
    ["canvas"],
    ["series"],
    ["axes", "legend"],
    ["panel"],
    ["pie", "bar"],
]
RANK = {folder: rank for rank, folders in enumerate(LAYERS) for folder in folders}
TOP = len(LAYERS)  # the chart classes in the folder itself
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def rank_of(path: str) -> int | None:
    """Layer of a header named relative to the chart folder; None for a header of another area."""
    parts = path.split("/")
    if len(parts) == 1:
        return TOP if (chart_dir / path).exists() else None
    return RANK.get(parts[0], TOP + 1)


chart_dir = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parents[2] / "src/chart")
faults = []
for source in sorted(chart_dir.rglob("*")):
    if source.suffix not in (".h", ".cpp"):
        continue
    relative = source.relative_to(chart_dir)
    folder = relative.parts[0] if len(relative.parts) > 1 else None
    if folder is not None and folder not in RANK:
        faults.append(f"{relative}: folder {folder} has no layer")
        continue
    own = TOP if folder is None else RANK[folder]
    for included in INCLUDE.findall(source.read_text(encoding="utf-8")):
        target = rank_of(included)
        if target is None:
            continue
        target_folder = included.split("/")[0] if "/" in included else None
        if target > own or (target == own and folder != target_folder and folder is not None):
            faults.append(f"{relative}: includes {included}, which lies above or beside it")
for fault in faults:
    print(fault)
sys.exit(1 if faults else 0)
