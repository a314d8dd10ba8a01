#!/usr/bin/env bash
# Runs every benchmark (or reads JSON a run left) and writes the table of their latest
# figures into README.md between the bench-table markers.
#
#   scripts/bench-table.sh                 run every binary in build-test/bench, then write
#   scripts/bench-table.sh --from DIR      write from the *.json files in DIR only
#   BUILD=build BENCH_REPS=5 BENCH_TIMEOUT=600 scripts/bench-table.sh
#
# Each binary runs with BENCH_REPS repetitions (3 by default) and the table quotes the
# median. The machine's load average (1 minute) as each binary started is printed with
# its figures: compare ratios measured in the same run rather than absolute times.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build-test}
reps=${BENCH_REPS:-3}
out=""
if [[ ${1:-} == --from ]]; then
    out=${2:?"--from needs a folder"}
else
    out="$build/bench-json"
    mkdir -p "$out"
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" HOME="$scratch"
    export QT_QPA_PLATFORM=offscreen OV_DATA_DIR="$PWD/data"
    for binary in "$build"/bench/*Bench; do
        [[ -x $binary ]] || continue
        name=$(basename "$binary")
        echo "running $name" >&2
        timeout "${BENCH_TIMEOUT:-1200}" "$binary" --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true \
            --benchmark_out="$out/$name.json" --benchmark_out_format=json >/dev/null 2>"$out/$name.log" ||
            echo "  $name failed; see $out/$name.log" >&2
    done
fi
python3 - "$out" README.md bench/goals.tsv <<'PY'
import glob, json, os, re, sys

folder, readme, goals_file = sys.argv[1:4]
goals = []
for line in open(goals_file, encoding="utf-8"):
    if line.startswith("#") or not line.strip():
        continue
    pattern, what, data, goal_ms, goal_text = line.rstrip("\n").split("\t")
    goals.append((re.compile(pattern), what, data, None if goal_ms == "-" else float(goal_ms), goal_text))

def describe(name):
    for pattern, what, data, goal_ms, goal_text in goals:
        if pattern.search(name):
            return what, data, goal_ms, goal_text
    return "", "", None, "—"

scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
skip = {"family_index", "per_family_instance_index", "repetitions", "repetition_index", "threads",
        "iterations", "real_time", "cpu_time", "time_unit", "height", "rebuilders", "bare_ms"}
rows = []
for path in sorted(glob.glob(os.path.join(folder, "*.json"))):
    try:
        report = json.load(open(path, encoding="utf-8"))
    except (OSError, ValueError):
        continue
    context = report.get("context", {})
    load = context.get("load_avg", [None])[0]
    date = context.get("date", "")[:16].replace("T", " ")
    for b in report.get("benchmarks", []):
        # Medians of repeated runs; a single run stands for itself.
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        if b.get("run_type") != "aggregate" and b.get("repetitions", 1) > 1:
            continue
        if b.get("error_occurred"):
            continue
        name = b.get("run_name", b["name"])
        name = re.sub(r"/(iterations|min_time|process_time|real_time|manual_time)(:[0-9.]+)?", "", name)
        ms = b["real_time"] * scale.get(b.get("time_unit", "ns"), 1e-6)
        what, data, goal_ms, goal_text = describe(name)
        counters = {k: v for k, v in b.items() if isinstance(v, (int, float)) and k not in skip}
        ratio_keys = [k for k in counters if k.startswith("vs_") or k.startswith("x_")]
        if ratio_keys:
            ratio = ", ".join(f"{k} {counters[k]:.2f}" for k in ratio_keys)
        elif goal_ms:
            ratio = f"{ms / goal_ms:.2f} of goal"
        else:
            ratio = "—"
        sizes = ", ".join(f"{k} {v:g}" for k, v in counters.items() if k not in ratio_keys)
        if b.get("label"):
            data = b["label"]  # the benchmark's own words for its data
        data = ", ".join(x for x in (data, sizes) if x) or "—"
        rows.append((name, what or "—", data, f"{ms:.3g} ms", ratio, goal_text,
                     "" if load is None else f"{load:.1f}", date))

lines = ["| benchmark | what | data | time (median) | ratio | goal | load (1 min) | measured (UTC) |",
         "|---|---|---|---|---|---|---|---|"]
for r in rows:
    lines.append("| " + " | ".join(str(c).replace("|", "\\|") for c in r) + " |")
table = "\n".join(lines)

start, end = "<!-- bench-table:start -->", "<!-- bench-table:end -->"
text = open(readme, encoding="utf-8").read()
if start not in text:
    sys.exit("README.md has no bench-table markers")
before, rest = text.split(start, 1)
after = rest.split(end, 1)[1]
open(readme, "w", encoding="utf-8").write(before + start + "\n" + table + "\n" + end + after)
print(f"{len(rows)} figures written to {readme}", file=sys.stderr)
PY
