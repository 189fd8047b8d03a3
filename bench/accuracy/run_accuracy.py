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
import argparse, collections, os
from concurrent.futures import ThreadPoolExecutor

from cli_run import (TEST_TAKES, action_times, add_arguments, best, median, recognize_actions,
                     run_cli, split_answers, take_path, task_speakers, task_words,
                     train_actions)


def one_run(cli, corpus, task, speaker, takes):
    folder, words = task_words(corpus, task, speaker)
    actions = train_actions(folder, words, takes)
    truth = []
    for word in words:
        for k in TEST_TAKES:
            actions += recognize_actions(take_path(folder, word, k))
            truth.append((word, k))
    run = run_cli(cli, actions)
    answers = split_answers(run.stdout)
    times = action_times(run.stderr)
    correct, errors = 0, []
    for (word, k), results in zip(truth, answers):
        if best(results) == word.upper():
            correct += 1
        else:
            errors.append("%s/%d->%s" % (word, k, "+".join(results) if results else "-"))
    missing = len(truth) - len(answers)
    errors += ["%d recognitions without output" % missing] if missing > 0 else []
    return task, speaker, correct, len(truth), times, errors


def main():
    ap = argparse.ArgumentParser()
    add_arguments(ap)
    a = ap.parse_args()
    cli = os.path.abspath(a.cli)
    jobs = task_speakers(a)
    totals = collections.OrderedDict()
    train_times, last_train_times, recognize_times = [], [], []
    with ThreadPoolExecutor(a.jobs) as pool:
        for task, speaker, c, n, times, errors in pool.map(
                lambda j: one_run(cli, a.corpus, j[0], j[1], a.takes), jobs):
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
