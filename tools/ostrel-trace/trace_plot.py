#!/usr/bin/env python3
"""Draws a trace for ostrel-trace plot: reads `ostrel-trace dump --csv` lines on stdin, writes OUT.

One row of panels per thread, one column per address region (accesses closer than 1 MiB to each
other share a region): the offset of each access from its region's start against the record's
place in the trace. Loads and stores in two colours, gathers and scatters marked with x, the
region-of-interest markers as dashed lines; under them a histogram of access sizes. Prints one
line saying what was drawn.
"""
import csv
import sys

REGION_GAP = 1 << 20
MAX_REGIONS = 4
START_MARKER, STOP_MARKER = 0xFFFFFFFF, 0xFFFFFFFE
PANEL_W, PANEL_H, HIST_H, DPI = 5.0, 2.2, 2.6, 100
LOAD_COLOUR, STORE_COLOUR = "tab:blue", "tab:orange"


def fail(message):
    print(f"ostrel-trace: {message}", file=sys.stderr)
    sys.exit(1)


def read_records(stream):
    rows = list(csv.DictReader(stream))
    records = [dict(order=i, tid=int(r["tid"], 16), seq=int(r["seq_flags"]),
                    load=r["type"] == "1", size=int(r["size"]), addr=int(r["addr"], 16))
               for i, r in enumerate(rows)]
    records.sort(key=lambda r: int(rows[r["order"]]["count"]))
    for place, r in enumerate(records):
        r["order"] = place
    return records


def address_regions(accesses):
    """[start, end) spans of the accesses, busiest first, at most MAX_REGIONS; and how many more."""
    spans = []
    for r in sorted(accesses, key=lambda r: r["addr"]):
        if spans and r["addr"] - spans[-1][1] < REGION_GAP:
            spans[-1][1] = max(spans[-1][1], r["addr"] + r["size"])
            spans[-1][2] += 1
        else:
            spans.append([r["addr"], r["addr"] + r["size"], 1])
    spans.sort(key=lambda s: -s[2])
    kept = sorted(spans[:MAX_REGIONS])
    return [(s[0], s[1]) for s in kept], len(spans) - len(kept)


def main():
    if len(sys.argv) != 2:
        fail("usage: trace_plot.py OUT.png|OUT.svg < records.csv")
    out = sys.argv[1]
    try:
        import matplotlib
        matplotlib.use("Agg")
        import matplotlib.pyplot as plt
        from matplotlib.collections import PathCollection
    except ImportError:
        fail("plot needs python3-matplotlib (apt-get install python3-matplotlib)")

    records = read_records(sys.stdin)
    markers = [r for r in records if r["tid"] in (START_MARKER, STOP_MARKER)]
    accesses = [r for r in records if r["tid"] not in (START_MARKER, STOP_MARKER)]
    if not accesses:
        fail("the trace holds no loads or stores to draw")
    threads = list(dict.fromkeys(r["tid"] for r in accesses))
    regions, hidden = address_regions(accesses)

    rows, cols = len(threads), len(regions)
    fig = plt.figure(figsize=(PANEL_W * cols, PANEL_H * rows + HIST_H), dpi=DPI)
    grid = fig.add_gridspec(rows + 1, cols, height_ratios=[PANEL_H] * rows + [HIST_H])
    points = []
    for t, tid in enumerate(threads):
        for c, (start, end) in enumerate(regions):
            ax = fig.add_subplot(grid[t, c])
            mine = [r for r in accesses if r["tid"] == tid and start <= r["addr"] < end]
            for load, colour, name in ((True, LOAD_COLOUR, "load"), (False, STORE_COLOUR, "store")):
                for element_wise, shape in ((False, "."), (True, "x")):
                    sel = [r for r in mine if r["load"] == load and bool(r["seq"] & 2) == element_wise]
                    if sel:
                        label = name + (" (gather/scatter)" if element_wise else "")
                        x = [r["order"] for r in sel]
                        y = [r["addr"] - start for r in sel]
                        # A bar over the bytes each access covers, a mark where it starts.
                        ax.vlines(x, y, [o + r["size"] for o, r in zip(y, sel)], colors=colour,
                                  linewidth=1.5)
                        ax.scatter(x, y, s=12, c=colour, marker=shape, label=label)
            for m in markers:
                ax.axvline(m["order"], color="grey", linestyle="--", linewidth=0.8)
            ax.set_title(f"thread {t + 1} (0x{tid:08x}), region at 0x{start:x}", fontsize=8)
            ax.set_xlabel("record", fontsize=7)
            ax.set_ylabel("offset (bytes)", fontsize=7)
            ax.tick_params(labelsize=7)
            if mine:
                ax.legend(fontsize=6, loc="best")
            points.append(sum(len(coll.get_offsets()) for coll in ax.collections
                              if isinstance(coll, PathCollection)))

    hist = fig.add_subplot(grid[rows, :])
    sizes = sorted({r["size"] for r in accesses})
    loads = [sum(1 for r in accesses if r["load"] and r["size"] == s) for s in sizes]
    stores = [sum(1 for r in accesses if not r["load"] and r["size"] == s) for s in sizes]
    at = range(len(sizes))
    hist.bar(at, loads, color=LOAD_COLOUR, label="loads")
    hist.bar(at, stores, bottom=loads, color=STORE_COLOUR, label="stores")
    hist.set_xticks(list(at), [str(s) for s in sizes], fontsize=7)
    hist.set_xlabel("access size (bytes)", fontsize=7)
    hist.set_ylabel("records", fontsize=7)
    hist.legend(fontsize=6)
    title = f"{len(accesses)} accesses, {rows} thread(s)"
    if hidden:
        title += f"; {hidden} quieter address region(s) not shown"
    fig.suptitle(title, fontsize=9)
    fig.tight_layout()
    try:
        fig.savefig(out)
    except (OSError, ValueError) as error:
        fail(f"cannot write '{out}': {getattr(error, 'strerror', None) or error}")
    width, height = (round(v * DPI) for v in fig.get_size_inches())
    print(f"wrote {out}: {width}x{height} pixels, {rows} thread(s) x {cols} region(s), "
          f"points per panel {' '.join(map(str, points))}, "
          f"{len(sizes)} access size(s) in the histogram")


if __name__ == "__main__":
    main()
