#!/usr/bin/env python3
"""Turns the JSON of a veldranox_bench run into the Markdown tables of BENCHMARKS.md; a table is printed
only when the run holds its cases.

    build/release/bench/veldranox_bench --benchmark_out=bench.json --benchmark_out_format=json
    python3 bench/summarise.py bench.json

The worstBlock and instances cases of one or more runs (of other systems, say), side by side in compact tables,
each cell the runs' figures in the order given:

    python3 bench/summarise.py --compare debian12.json debian13.json
"""
import json
import sys

SETTINGS = ["default", "all0", "all100", "automated"]
RATES = ["44.1k", "48k", "96k"]
LAYOUTS = ["stereo", "mono"]
BLOCKS = ["32", "128", "512", "2048"]

# The worstBlock grid, and its conditions with the switches each reports apart. Every condition also reports
# "mark": the same windows halfway through the holds of its first state, the yardstick for its switches.
WORST_RATES = ["44.1k", "48k", "96k", "192k"]
WORST_BLOCKS = ["32", "64", "128", "512"]
WORST_CONDITIONS = [
    ("steady", []),
    ("automated", []),
    ("bypass", ["engage", "release"]),
    ("tempo", ["faster", "slower"]),
    ("silence", ["silence", "loud"]),
    ("prepare", ["prepared", "preparedAgain"]),
]
INSTANCE_COUNTS = ["1", "8", "64", "256"]

# Where the plug-in must get to: ratios to the reverb alone at 48 kHz, stereo, 512-sample blocks.
TARGETS = [
    ("default", "x_reverb", "<=", 4.0),
    ("all100", "x_reverb", "<=", 5.0),
    ("default", "x_realtime", ">=", 100.0),
    ("all100", "x_realtime", ">=", 100.0),
    ("all0", "x_realtime", ">=", 100.0),
    ("automated", "x_realtime", ">=", 100.0),
]


def by_name(runs):
    # Repeated runs report aggregates; the median is the figure to quote.
    table = {}
    for run in runs:
        if run.get("run_type") == "aggregate" and run.get("aggregate_name") != "median":
            continue
        table[run["run_name"]] = run
    return table


def find(table, prefix):
    for name, run in table.items():
        if name == prefix or name.startswith(prefix + "/"):
            return run
    return None


def has(table, prefix):
    return any(name.startswith(prefix) for name in table)


def print_grid(table, title, cell):
    # One row per rate, layout and block size, one column per setting; "–" where the run left a case out.
    print(f"\n### {title}\n")
    print("| Rate | Layout | Block | " + " | ".join(SETTINGS) + " |")
    print("|---|---|---|" + "---|" * len(SETTINGS))
    for rate in RATES:
        for layout in LAYOUTS:
            for block in BLOCKS:
                runs = [find(table, f"processBlock/{rate}/{layout}/{block}/{setting}") for setting in SETTINGS]
                cells = ["–" if run is None else cell(run) for run in runs]
                print(f"| {rate} | {layout} | {block} | " + " | ".join(cells) + " |")


def main(path):
    with open(path) as f:
        results = json.load(f)
    table = by_name(results["benchmarks"])
    context = results["context"]

    print(f"Run of {context['date']} on {context['host_name']}: {context['num_cpus']} CPUs at "
          f"{context['mhz_per_cpu']} MHz, load average {' / '.join(f'{x:.2f}' for x in context['load_avg'])} "
          f"at the start.\n")

    if has(table, "processBlock/"):
        print_processblock_sections(table)
    if has(table, "floor/"):
        print_floors(table)
    if has(table, "blockTimes/"):
        print_block_times(table)
    if has(table, "silenceAfterLoud/"):
        print_silence(table)
    if has(table, "worstBlock/"):
        print_worst_blocks(table)
    if has(table, "instances/"):
        print_instances(table)


def print_processblock_sections(table):
    print("### Targets (48 kHz, stereo, 512-sample blocks)\n")
    print("| Setting | Measure | Target | Measured | Met |")
    print("|---|---|---|---|---|")
    for setting, counter, relation, bound in TARGETS:
        run = find(table, f"processBlock/48k/stereo/512/{setting}")
        if run is None or counter not in run:
            continue
        value = run[counter]
        met = value <= bound if relation == "<=" else value >= bound
        unit = "× reverb" if counter == "x_reverb" else "× real time"
        print(f"| {setting} | {unit} | {relation} {bound:g} | {value:.2f} | {'yes' if met else 'no'} |")

    def ns_and_ratio(run):
        ratio = f" ({run['x_reverb']:.1f}×)" if "x_reverb" in run else ""
        return f"{run['ns_per_frame']:.0f}{ratio}"

    print_grid(table, "processBlock: ns per sample frame (ratio to the reverb alone on the same block)", ns_and_ratio)
    print_grid(table, "processBlock: real-time factor (audio seconds per CPU second)",
               lambda run: f"{run['x_realtime']:.0f}")



def print_floors(table):
    print("\n### Floors: ns per sample frame (real-time factor)\n")
    print("| Rate | Layout | Block | reverb alone | plain copy |")
    print("|---|---|---|---|---|")
    for rate in RATES:
        for layout in LAYOUTS:
            for block in BLOCKS:
                reverb = find(table, f"floor/reverb/{rate}/{layout}/{block}")
                copy = find(table, f"floor/copy/{layout}/{block}")
                reverb_cell = "–" if reverb is None else f"{reverb['ns_per_frame']:.1f} ({reverb['x_realtime']:.0f})"
                copy_cell = "–" if copy is None else f"{copy['ns_per_frame']:.3f}"
                print(f"| {rate} | {layout} | {block} | {reverb_cell} | {copy_cell} |")



def print_block_times(table):
    print("\n### Single-block wall times, 48 kHz stereo, 128-sample blocks, ten minutes of audio (µs)\n")
    print("| Setting | median | p99 | p99.9 | max | CPU p99 | CPU max | budget |")
    print("|---|---|---|---|---|---|---|---|")
    for setting in SETTINGS:
        run = find(table, f"blockTimes/48k/stereo/128/{setting}")
        if run is None:
            continue
        print(f"| {setting} | {run['p50_us']:.1f} | {run['p99_us']:.1f} | {run['p999_us']:.1f} | {run['max_us']:.0f} | "
              f"{run['cpu_p99_us']:.1f} | {run['cpu_max_us']:.0f} | {run['budget_us']:.0f} |")



def print_silence(table):
    print("\n### Loud input, then a minute of silence, 48 kHz stereo, 128-sample blocks (median µs per block)\n")
    print("| Setting | loud | silence, first 5 s | silence, last 5 s | worst 5 s of silence | worst ÷ first | verdict |")
    print("|---|---|---|---|---|---|---|")
    for setting in ["default", "all0"]:
        run = find(table, f"silenceAfterLoud/48k/stereo/128/{setting}")
        if run is None:
            continue
        print(f"| {setting} | {run['loud_p50_us']:.1f} | {run['silent_first_p50_us']:.1f} | "
              f"{run['silent_last_p50_us']:.1f} | {run['silent_worst_p50_us']:.1f} | {run['x_rise']:.2f} | "
              f"{run.get('label', '')} |")


def us_and_share(run, name):
    return f"{run[name + '_us']:.1f} ({run[name + '_pct']:.1f} %)"


def print_worst_blocks(table):
    # One table per condition: the whole run's wall-time quantiles and the floor's tail from the same loop;
    # for the marks and each kind of switch, the slowest block in the 30 ms after it: the median over them
    # (its share of the budget) and the slowest of them, and the floor's median over the same windows.
    for condition, switches in WORST_CONDITIONS:
        edges = ["mark"] + switches
        if not has(table, f"worstBlock/{condition}/"):
            continue
        print(f"\n### Every block timed: {condition} (wall µs, and % of the block's budget)\n")
        columns = ["budget", "median", "p99", "p99.9", "max", "CPU max", "floor p99.9", "floor max"]
        for edge in edges:
            columns += [f"after {edge}: median (max)", f"floor after {edge}", "count"]
        print("| Rate | Layout | Block | " + " | ".join(columns) + " |")
        print("|---|---|---|" + "---|" * len(columns))
        for rate in WORST_RATES:
            for layout in LAYOUTS:
                for block in WORST_BLOCKS:
                    run = find(table, f"worstBlock/{condition}/{rate}/{layout}/{block}")
                    if run is None:
                        continue
                    cells = [f"{run['budget_us']:.0f}"]
                    cells += [us_and_share(run, q) for q in ["p50", "p99", "p999", "max"]]
                    cells += [f"{run['cpu_max_us']:.1f}", f"{run['floor_p999_us']:.1f}", f"{run['floor_max_us']:.1f}"]
                    for edge in edges:
                        if f"{edge}_p50_us" not in run:
                            cells += ["–", "–", "0"]
                            continue
                        cells.append(f"{us_and_share(run, edge + '_p50')} ({run[edge + '_max_us']:.1f})")
                        cells.append(f"{run[edge + '_floor_p50_us']:.1f}")
                        cells.append(f"{run[edge + '_events']:.0f}")
                    print(f"| {rate} | {layout} | {block} | " + " | ".join(cells) + " |")


def print_instances(table):
    print("\n### Many instances, 48 kHz stereo, 128-sample blocks: µs per instance per block, median (p99), "
          "× one instance alone on one thread; MB resident per instance\n")
    print("| Instances | one thread | × one | two threads | × one | MB per instance (prepared / after the run) |")
    print("|---|---|---|---|---|---|")
    for count in INSTANCE_COUNTS:
        one = find(table, f"instances/48k/stereo/128/oneThread/{count}")
        two = find(table, f"instances/48k/stereo/128/twoThreads/{count}")
        if one is None and two is None:
            continue
        cells = []
        for run in (one, two):
            if run is None:
                cells += ["–", "–"]
                continue
            cells.append(f"{run['us_per_instance_p50']:.1f} ({run['us_per_instance_p99']:.1f})")
            cells.append(f"{run['x_one_instance']:.2f}" if "x_one_instance" in run else "–")
        memory = one or two
        cells.append(f"{memory['MB_per_instance_prepared']:.2f} / {memory['MB_per_instance_running']:.2f}")
        print(f"| {count} | " + " | ".join(cells) + " |")


def load_table(path):
    with open(path) as f:
        return by_name(json.load(f)["benchmarks"])


def side_by_side(values, fmt):
    return " / ".join("–" if v is None else fmt.format(v) for v in values)


def print_events_compared(tables):
    # The slowest block in the 30 ms after each kind of event, median over the events, against the same
    # windows with no event in them ("mark", in the steady case): an event that costs nothing stays at the mark.
    events = [("steady", "mark", "steady")] + [
        (condition, switch, switch) for condition, switches in WORST_CONDITIONS for switch in switches]
    for layout in LAYOUTS:
        if not any(has(t, f"worstBlock/steady/{rate}/{layout}") for t in tables for rate in WORST_RATES):
            continue
        print(f"\n### Slowest block within 30 ms after an event, median over the events, {layout} (µs)\n")
        print("| Rate | Block | budget | steady median | " + " | ".join(label for _, _, label in events)
              + " | automated median | worst event, % of budget |")
        print("|---|---|---|---|" + "---|" * (len(events) + 2))
        for rate in WORST_RATES:
            for block in WORST_BLOCKS:
                runs = [{c: find(t, f"worstBlock/{c}/{rate}/{layout}/{block}") for c, _ in WORST_CONDITIONS}
                        for t in tables]
                steady = [r["steady"] for r in runs]
                if all(run is None for run in steady):
                    continue
                budget = next(run for run in steady if run is not None)["budget_us"]
                cells = [f"{budget:.0f}", side_by_side([None if r is None else r["p50_us"] for r in steady], "{:.1f}")]
                for condition, switch, _ in events:
                    cells.append(side_by_side([None if r[condition] is None else r[condition].get(f"{switch}_p50_us")
                                               for r in runs], "{:.1f}"))
                cells.append(side_by_side([None if r["automated"] is None else r["automated"]["p50_us"]
                                           for r in runs], "{:.1f}"))
                worst = []
                for r in runs:
                    shares = [r[c][f"{s}_p50_pct"] for c, s, _ in events
                              if r[c] is not None and f"{s}_p50_pct" in r[c]]
                    worst.append(max(shares) if shares else None)
                cells.append(side_by_side(worst, "{:.1f}"))
                print(f"| {rate} | {block} | " + " | ".join(cells) + " |")


def print_tails_compared(tables):
    # The whole run's tail beside the reverb floor's, timed in the same loop: a tail the floor shares is the
    # machine's.
    print("\n### Whole runs, stereo: the plug-in's p99.9 and slowest block against the floor's (µs)\n")
    print("| Rate | Block | budget | condition | p99.9 | floor p99.9 | max | floor max |")
    print("|---|---|---|---|---|---|---|---|")
    for rate in WORST_RATES:
        for block in WORST_BLOCKS:
            for condition, _ in WORST_CONDITIONS:
                runs = [find(t, f"worstBlock/{condition}/{rate}/stereo/{block}") for t in tables]
                if all(run is None for run in runs):
                    continue
                budget = next(run for run in runs if run is not None)["budget_us"]
                cells = [side_by_side([None if r is None else r[k] for r in runs], "{:.0f}")
                         for k in ["p999_us", "floor_p999_us", "max_us", "floor_max_us"]]
                print(f"| {rate} | {block} | {budget:.0f} | {condition} | " + " | ".join(cells) + " |")


def print_instances_compared(tables):
    print("\n### Many instances, 48 kHz stereo, 128-sample blocks\n")
    print("| Instances | µs per instance, one thread | × one | µs per instance, two threads | × one | "
          "MB per instance |")
    print("|---|---|---|---|---|---|")
    for count in INSTANCE_COUNTS:
        one = [find(t, f"instances/48k/stereo/128/oneThread/{count}") for t in tables]
        two = [find(t, f"instances/48k/stereo/128/twoThreads/{count}") for t in tables]
        if all(run is None for run in one + two):
            continue
        cells = []
        for runs in (one, two):
            cells.append(side_by_side([None if r is None else r["us_per_instance_p50"] for r in runs], "{:.1f}"))
            cells.append(side_by_side([None if r is None else r.get("x_one_instance") for r in runs], "{:.2f}"))
        cells.append(side_by_side([None if r is None else r["MB_per_instance_running"] for r in one], "{:.2f}"))
        print(f"| {count} | " + " | ".join(cells) + " |")


def compare(paths):
    tables = [load_table(path) for path in paths]
    print_events_compared(tables)
    print_tails_compared(tables)
    print_instances_compared(tables)


if __name__ == "__main__":
    if len(sys.argv) >= 3 and sys.argv[1] == "--compare":
        compare(sys.argv[2:])
    elif len(sys.argv) == 2:
        main(sys.argv[1])
    else:
        sys.exit(__doc__)
