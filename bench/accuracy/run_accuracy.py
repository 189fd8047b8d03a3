#!/usr/bin/env python3
"""Recognition accuracy and press times of Parrot, through parrot-cli.

For every task and speaker of a corpus made by make_corpus, one run of
parrot-cli trains every word on takes 0..K-1 and then recognises takes 3..7
of every word. A take counts as correct when the only result line, or the
one with the highest score, is the spoken word in grammar form (upper case).
Prints correct/total per task and speaker, totals per task, and the medians
of the training presses, of the last training press (which retrains the
whole vocabulary) and of the recognition presses.

--answers FILE writes one line per recognition, as run_rejection.py does
(every take of kind "trained"), with the terms of its confidence:
fit_confidence.py --check shows how a refitted confidence would answer them.

  run_accuracy.py --cli build/bin/parrot-cli --corpus DIR --takes 3 [--tasks ...] [--speakers ...] [--jobs 2] [--verbose] [--answers FILE]
"""
import argparse, collections, os
from concurrent.futures import ThreadPoolExecutor

from cli_run import (TERMS_ENVIRONMENT, TEST_TAKES, action_times, add_arguments, median,
                     recognitions_of_run, recognize_actions, run_cli, take_path, task_speakers,
                     task_words, train_actions, write_answers)


def one_run(cli, corpus, task, speaker, takes, with_terms):
    folder, words = task_words(corpus, task, speaker)
    actions = train_actions(folder, words, takes)
    cases = []  # (kind, truth, take)
    for word in words:
        for k in TEST_TAKES:
            actions += recognize_actions(take_path(folder, word, k))
            cases.append(("trained", word, k))
    run = run_cli(cli, actions, TERMS_ENVIRONMENT if with_terms else None)
    recognitions = recognitions_of_run(task, speaker, cases, run)
    errors = ["%s/%d->%s" % (r.truth, r.take, r.answer or "-")
              for r in recognitions if r.answer != r.truth.upper()]
    missing = len(cases) - len(recognitions)
    errors += ["%d recognitions without output" % missing] if missing > 0 else []
    correct = sum(r.answer == r.truth.upper() for r in recognitions)
    return task, speaker, correct, len(cases), action_times(run.stderr), errors, recognitions


def main():
    ap = argparse.ArgumentParser()
    add_arguments(ap)
    a = ap.parse_args()
    cli = os.path.abspath(a.cli)
    jobs = task_speakers(a)
    totals = collections.OrderedDict()
    train_times, last_train_times, recognize_times, everything = [], [], [], []
    with ThreadPoolExecutor(a.jobs) as pool:
        for task, speaker, c, n, times, errors, recognitions in pool.map(
                lambda j: one_run(cli, a.corpus, j[0], j[1], a.takes, a.answers is not None), jobs):
            everything += recognitions
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
    if a.answers:
        write_answers(a.answers, everything)


if __name__ == "__main__":
    main()
