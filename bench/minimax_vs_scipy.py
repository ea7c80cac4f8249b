"""Times scipy's remez on the minimax benchmark's cases and runs the benchmark in the
same session, then states each speed ratio (processor time, one core).

usage: /usr/bin/python3 bench/minimax_vs_scipy.py PATH/TO/tapwright-minimax-bench
"""
import json
import subprocess
import sys
import time
import warnings

from scipy.signal import remez

CASES = [  # benchmark name, taps, band edges (x Fs), grid densities tried by scipy
    ("BM_Minimax101", 101, [0, 0.2, 0.25, 0.5], (16,)),
    ("BM_Minimax1001", 1001, [0, 0.2, 0.205, 0.5], (16, 32)),
    ("BM_Minimax4097/iterations:1", 4097, [0, 0.0117, 0.0156, 0.5], (16, 32)),
]


def scipy_time(taps, edges, density):
    """Mean processor seconds of a remez call (the benchmark's statistic), or the
    failure text."""
    def once():
        with warnings.catch_warnings():
            warnings.simplefilter("ignore")
            remez(taps, edges, [1, 0], fs=1.0, grid_density=density)
    try:
        once()
    except Exception as e:  # remez raises when it fails to converge
        return str(e).split(",")[0]
    t0 = time.process_time()
    once()
    reps = max(1, min(1000, int(0.5 / max(time.process_time() - t0, 1e-5))))
    t0 = time.process_time()
    for _ in range(reps):
        once()
    return (time.process_time() - t0) / reps


def main(bench):
    out = subprocess.run([bench, "--benchmark_format=json"], check=True,
                         capture_output=True, text=True).stdout
    ours = {b["name"]: b for b in json.loads(out)["benchmarks"]}
    print("%-30s %12s %10s  %s" % ("case", "ours (ms)", "status", "scipy remez (ms) and ratio"))
    for name, taps, edges, densities in CASES:
        b = ours.get(name)
        if b is None:
            continue
        ms = b["cpu_time"] * {"ms": 1, "us": 1e-3, "ns": 1e-6, "s": 1e3}[b["time_unit"]]
        parts = []
        for d in densities:
            t = scipy_time(taps, edges, d)
            if isinstance(t, float):
                parts.append("density %d: %.3f ms (ours/scipy %.2f)" % (d, t * 1e3, ms / (t * 1e3)))
            else:
                parts.append("density %d: %s" % (d, t))
        print("%-30s %12.3f %10s  %s" % (name, ms, b.get("label", ""), "; ".join(parts)))
    for name, b in ours.items():
        if name.startswith("BM_MinimaxShortest"):
            print("%-30s taps %d (estimate %d), %d designs, search / one design = %.2f" % (
                name, b["taps"], b["estimate"], b["designs"], b["search_over_one"]))


if __name__ == "__main__":
    main(sys.argv[1])
