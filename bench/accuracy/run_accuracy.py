#!/usr/bin/env python3
"""Recognition accuracy and press times of Parrot, through parrot-cli.

For every task and speaker of a corpus made by make_corpus, one run of
parrot-cli trains every word on takes 0..K-1 and then recognises takes 3..7
of every word. A take counts as correct when the only result line, or the
one with the highest score, is the spoken word in grammar form (upper case).
Prints correct/total per task and speaker, totals per task, and the medians
of the training presses, of the last training press (which retrains the
whole vocabulary) and of the recognition presses.

  run_accuracy.py --cli build/bin/parrot-cli --corpus DIR --takes 3 [--tasks ...] [--speakers ...] [--jobs 2]
"""
import argparse, collections, os, re, shutil, statistics, subprocess, sys, tempfile
from concurrent.futures import ThreadPoolExecutor

TIMING = re.compile(r"^(train|recognize) ([0-9.eE+-]+)$")
RESULT = re.compile(r"^(\S*) score=(\S+)$")


def one_run(cli, corpus, task, speaker, takes, tests):
    folder = os.path.join(corpus, task, speaker)
    words = sorted(os.listdir(folder))
    actions = []
    for word in words:
        for k in range(takes):
            actions += ["train", word, os.path.join(folder, word, "%d.raw" % k)]
    truth = []
    for word in words:
        for k in tests:
            actions += ["recognize", os.path.join(folder, word, "%d.raw" % k), "counter"]
            truth.append((word, k))
    work = tempfile.mkdtemp(prefix="parrot-accuracy-")
    try:
        run = subprocess.run([cli, "--workdir", work, "--timings"] + actions,
                             capture_output=True, text=True)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    # Each recognition's result lines end at the counter line that follows it.
    answers, current = [], {}
    for line in run.stdout.splitlines():
        if re.fullmatch(r"-?\d+", line.strip()):
            answers.append(current)
            current = {}
            continue
        match = RESULT.match(line.strip())
        if match:
            try:
                current[match.group(1)] = float(match.group(2))
            except ValueError:
                current[match.group(1)] = 0.0
    times = collections.defaultdict(list)
    for line in run.stderr.splitlines():
        match = TIMING.match(line.strip())
        if match:
            times[match.group(1)].append(float(match.group(2)))
    correct, errors = 0, []
    for (word, k), results in zip(truth, answers):
        best = max(results, key=results.get) if results else None
        if best == word.upper():
            correct += 1
        else:
            errors.append("%s/%d->%s" % (word, k, "+".join(results) if results else "-"))
    missing = len(truth) - len(answers)
    errors += ["%d recognitions without output" % missing] if missing > 0 else []
    return task, speaker, correct, len(truth), times, errors


def median(values):
    return statistics.median(values) if values else float("nan")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cli", required=True)
    ap.add_argument("--corpus", required=True)
    ap.add_argument("--takes", type=int, default=3)
    ap.add_argument("--tasks", default="digits,commands,nato,oov,pairs")
    ap.add_argument("--speakers", default="us_m3,us_f2,gb_m1,gb_f4,sc_m2,rp_m7")
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--verbose", action="store_true")
    a = ap.parse_args()
    cli = os.path.abspath(a.cli)
    jobs = [(t, s) for t in a.tasks.split(",") for s in a.speakers.split(",")
            if os.path.isdir(os.path.join(a.corpus, t, s))]
    totals = collections.OrderedDict()
    train_times, last_train_times, recognize_times = [], [], []
    with ThreadPoolExecutor(a.jobs) as pool:
        for task, speaker, c, n, times, errors in pool.map(
                lambda j: one_run(cli, a.corpus, j[0], j[1], a.takes, range(3, 8)), jobs):
            t = totals.setdefault(task, [0, 0])
            t[0] += c
            t[1] += n
            train_times += times["train"]
            last_train_times += times["train"][-1:]
            recognize_times += times["recognize"]
            print("%-9s %-6s %3d/%3d %5.1f%%  train median %.3fs last %.3fs  recognize median %.3fs %s" % (
                task, speaker, c, n, 100.0 * c / n, median(times["train"]),
                times["train"][-1] if times["train"] else float("nan"), median(times["recognize"]),
                " ".join(errors) if a.verbose else ""), flush=True)
    for task, (c, n) in totals.items():
        print("TOTAL %-9s %4d/%4d %5.1f%%" % (task, c, n, 100.0 * c / n))
    print("press times (median): train %.3fs, last train %.3fs, recognize %.3fs" % (
        median(train_times), median(last_train_times), median(recognize_times)))


if __name__ == "__main__":
    main()
