#!/usr/bin/env python3
"""Turns the JSON of a veldranox_bench run into the Markdown tables of BENCHMARKS.md; a table is printed
only when the run holds its cases.

    build/release/bench/veldranox_bench --benchmark_out=bench.json --benchmark_out_format=json
    python3 bench/summarise.py bench.json
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


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
