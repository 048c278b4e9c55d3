"""Prints the benchmarks' medians as one table, each figure next to its target.

   bench_table.py CORES RESULT.json...   (Google Benchmark's JSON output, with repetitions)
"""
import json
import sys

# name in the results, what it measures, how it is shown, target (kind, bound) or None
ROWS = [
    ("BM_ReadCycle/data:0/noport:0", "read cycle, status lines, bench, pump", "rate", (">=", 500_000)),
    ("BM_ReadCycle/data:1/noport:0", "read cycle, status + data lines, bench, pump", "rate", (">=", 300_000)),
    ("BM_ReadCycle/data:0/noport:1", "read cycle, status lines, no-op port", "rate", None),
    ("BM_ReadCycle/data:1/noport:1", "read cycle, status + data lines, no-op port", "rate", None),
    # tamsel-cli's capture beside the window's read cycle: one sample per iteration.
    ("BM_Capture/data:0/toggle:0", "tamsel-cli capture, status lines, bench", "rate", (">=", 2_000_000)),
    ("BM_Capture/data:1/toggle:0", "tamsel-cli capture, status + data lines, bench", "rate", None),
    ("BM_Capture/data:0/toggle:1000", "same, Ack changing every 1000 samples", "rate", None),
    ("BM_Capture/data:0/toggle:1000", "  its resident size growth over the run", "kB:rss_growth_kB",
     ("<=", 1024)),
    # The graph keeps up with status changes at three times the 7,247 per second it once reached.
    ("BM_GraphRedraw/720/211", "graph full redraw 720 x 211, 64 samples", "us", ("<=", 20)),
    ("BM_GraphRedraw/1920/1000", "graph full redraw 1920 x 1000, 64 samples", "us", None),
    ("BM_GraphAddSample", "graph sample added + redraw 720 x 211", "us", None),
    ("BM_StatusChange", "status change: read, sample, redraw, copy", "rate", (">=", 21_741)),
    ("BM_LedRedraw", "LED redraw", "us", None),
    ("BM_SwitchRedraw", "switch redraw", "us", None),
    ("BM_StatusLightRedraw", "status light redraw", "us", None),
    ("BM_PrefsLoad", "preferences load, default file", "us", None),
    ("BM_PrefsSave", "preferences save, default file", "us", None),
    ("BM_StartUp/fresh:0", "start-up to end of detection, minus waits", "ms", ("<=", 50)),
    ("BM_StartUp/fresh:1", "same, default file written first", "ms", ("<=", 50)),
]

# What the graph's figures were on this machine when every redraw drew everything with general
# paths, before the backdrop drawn once per size, the traces drawn as spans and the redraw that
# gives back only the pixels the last traces covered.
BEFORE = {
    "BM_GraphRedraw/720/211": "65.60 us",
    "BM_GraphAddSample": "97.80 us",
    "BM_StatusChange": "7,247 /s",
}

TO_NS = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}


def medians(paths):
    found = {}
    for path in paths:
        with open(path) as f:
            for b in json.load(f)["benchmarks"]:
                if b.get("aggregate_name", "median") != "median":
                    continue
                name = b.get("run_name", b["name"])
                unit = TO_NS[b["time_unit"]]
                found[name] = (b["cpu_time"] * unit, b["real_time"] * unit, b)
    return found


def show(ns, shown):
    """The figure in its unit (a rate, a time in us or ms, or a counter in kB) and its text."""
    if shown.startswith("kB:"):
        return ns, f"{ns:,.0f} kB"
    if shown == "rate":
        return 1e9 / ns, f"{1e9 / ns:,.0f} /s"
    if shown == "us":
        return ns / 1e3, f"{ns / 1e3:,.2f} us"
    return ns / 1e6, f"{ns / 1e6:,.2f} ms"


def main():
    cores = sys.argv[1]
    ns = medians(sys.argv[2:])
    lines = []
    failed = 0
    for name, what, shown, target in ROWS:
        if name not in ns:
            lines.append((what, "missing", "", "", "", "MISSING"))
            failed += 1
            continue
        if shown.startswith("kB:"):
            value, text = show(ns[name][2].get(shown[3:], float("nan")), shown)
            wall = ""
        else:
            value, text = show(ns[name][0], shown)
            wall = show(ns[name][1], shown)[1]
        before = BEFORE.get(name, "")
        if target is None:
            lines.append((what, text, wall, before, "", ""))
            continue
        kind, bound = target
        ok = value >= bound if kind == ">=" else value <= bound
        unit = " /s" if shown == "rate" else " " + shown.split(":")[0]
        lines.append((what, text, wall, before, f"{kind} {bound:,}{unit}", "ok" if ok else "MISSED"))
        failed += 0 if ok else 1
    head = ("what", "median (CPU)", "median (wall)", "before", "target", "")
    w = [max(len(l[i]) for l in lines + [head]) for i in range(6)]
    print(f"\nTamsel benchmarks, Release, offscreen, medians; machine with {cores} cores")
    print("(targets judged on CPU time; wall time is higher when other work shares the cores)\n")
    print(f"{head[0]:<{w[0]}}  {head[1]:>{w[1]}}  {head[2]:>{w[2]}}  {head[3]:>{w[3]}}  {head[4]:<{w[4]}}")
    print("-" * (sum(w) + 10))
    for l in lines:
        print(f"{l[0]:<{w[0]}}  {l[1]:>{w[1]}}  {l[2]:>{w[2]}}  {l[3]:>{w[3]}}  {l[4]:<{w[4]}}  {l[5]}")
    print(f"\n{failed} figure(s) missed their target" if failed else "\nevery figure meets its target")


if __name__ == "__main__":
    main()
