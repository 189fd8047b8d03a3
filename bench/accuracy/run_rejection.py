#!/usr/bin/env python3
"""How Parrot rejects untrained words and recordings without speech, and how
well its confidence is calibrated, through parrot-cli.

For every task and speaker of a corpus made by make_corpus (including its
task "nonspeech"), one run of parrot-cli trains the words at even positions
(0, 2, 4, ...) of the task's sorted word list on takes 0..K-1, then
recognises takes 3..7 of every word of the task, trained or not, and takes
0..7 of each of the speaker's non-speech recordings
(nonspeech/SPEAKER/KIND/N.raw). A recognition's answer is its result line
with the highest score; a recognition without a result line was rejected.

Prints per task and speaker, per task and in total: the trained-word takes
answered correctly (a rejection is not correct) and rejected, the
untrained-word and non-speech takes accepted, and the median recognition
press. Then the calibration: every accepted answer binned by its score taken
as a confidence (0.0-0.1, ..., 0.9-1.0) with the count, the mean confidence
and the share correct (an answer to an untrained word or to non-speech is
never correct); "!" marks a bin of at least 30 answers whose share correct
is more than 0.1 away from its mean confidence. The calibration is left out
when a score lies outside [0, 1], as a log-likelihood score does.

--verbose lists the wrong answers. --answers FILE writes one tab-separated
line per recognition: task, speaker, kind (trained, untrained, nonspeech),
truth (the word, or the non-speech kind), take, answer or "-", score or "-",
followed, for a recognition whose path reached the word network's end, by
the word the decoder chose (accepted or not) and the terms its confidence
weighed (NAME=VALUE), which the decoder prints on stderr when
SPEECH_CONFIDENCE_TERMS is set; fit_confidence.py fits the confidence to
such files.

  run_rejection.py --cli build/bin/parrot-cli --corpus DIR --takes 3 [--tasks ...] [--speakers ...] [--jobs 2] [--verbose] [--answers FILE]
"""
import argparse, collections, os, sys
from concurrent.futures import ThreadPoolExecutor

from cli_run import (TERMS_ENVIRONMENT, TEST_TAKES, action_times, add_arguments, median,
                     recognitions_of_run, recognize_actions, run_cli, take_path, task_speakers,
                     task_words, train_actions, write_answers)

NONSPEECH_TASK = "nonspeech"
NONSPEECH_TAKES = range(0, 8)
BINS = 10
CALIBRATION_MIN_COUNT = 30
CALIBRATION_TOLERANCE = 0.1

def nonspeech_recordings(corpus, speaker):
    """(kind, take, path) for each of the speaker's non-speech takes."""
    folder, kinds = task_words(corpus, NONSPEECH_TASK, speaker)
    return [(kind, k, take_path(folder, kind, k)) for kind in kinds for k in NONSPEECH_TAKES]


def one_run(cli, corpus, task, speaker, takes, nonspeech, with_terms):
    folder, words = task_words(corpus, task, speaker)
    trained = words[0::2]
    actions = train_actions(folder, trained, takes)
    cases = []  # (kind, truth, take)
    for word in words:
        for k in TEST_TAKES:
            actions += recognize_actions(take_path(folder, word, k))
            cases.append(("trained" if word in trained else "untrained", word, k))
    for kind, k, path in nonspeech:
        actions += recognize_actions(path)
        cases.append(("nonspeech", kind, k))
    run = run_cli(cli, actions, TERMS_ENVIRONMENT if with_terms else None)
    recognitions = recognitions_of_run(task, speaker, cases, run)
    problems = ["parrot-cli exit status %d" % run.returncode] if run.returncode else []
    # A rejection is an answer, not a problem.
    problems += [l for l in run.stderr.splitlines()
                 if l.startswith("parrot-cli:") and ": no word recognised in " not in l][:5]
    if len(recognitions) < len(cases):
        problems.append("%d recognitions without output" % (len(cases) - len(recognitions)))
    return recognitions, action_times(run.stderr)["recognize"], problems


def is_correct(r):
    return r.kind == "trained" and r.answer == r.truth.upper()


def percent(part, whole):
    return "%5d/%5d %5.1f%%" % (part, whole, 100.0 * part / whole if whole else float("nan"))


HEADER = "%-18s %-18s %-18s %-18s %-18s %s" % (
    "", "in-vocab correct", "in-vocab rejected", "untrained accepted", "nonspeech accepted",
    "recognize median")


def summary_line(name, recognitions, times):
    by_kind = collections.defaultdict(list)
    for r in recognitions:
        by_kind[r.kind].append(r)
    trained, untrained, nonspeech = by_kind["trained"], by_kind["untrained"], by_kind["nonspeech"]
    return "%-18s %s %s %s %s %.3fs" % (
        name, percent(sum(map(is_correct, trained)), len(trained)),
        percent(sum(r.answer is None for r in trained), len(trained)),
        percent(sum(r.answer is not None for r in untrained), len(untrained)),
        percent(sum(r.answer is not None for r in nonspeech), len(nonspeech)), median(times))


def wrong_answers(recognitions):
    """One indented line per kind listing its wrong answers ("-" is a rejection)."""
    lines = []
    for kind in ("trained", "untrained", "nonspeech"):
        wrong = ["%s/%d->%s" % (r.truth, r.take, r.answer or "-") for r in recognitions
                 if r.kind == kind and not is_correct(r) and (kind == "trained" or r.answer)]
        if wrong:
            lines.append("  wrong %s: %s" % (kind, " ".join(wrong)))
    return "".join("\n" + line for line in lines)


def print_calibration(recognitions):
    accepted = [r for r in recognitions if r.answer is not None]
    if any(not 0.0 <= r.score <= 1.0 for r in accepted):
        print("calibration: left out, the scores are not confidences in [0, 1]")
        return
    bins = [[] for _ in range(BINS)]
    for r in accepted:
        bins[min(int(r.score * BINS), BINS - 1)].append(r)
    print("calibration of %d accepted answers:" % len(accepted))
    print("  confidence  answers  mean  correct")
    for index, answers in enumerate(bins):
        low, high = index / BINS, (index + 1) / BINS
        if not answers:
            print("  %.1f-%.1f   %7d" % (low, high, 0))
            continue
        mean = sum(r.score for r in answers) / len(answers)
        share = sum(map(is_correct, answers)) / len(answers)
        off = len(answers) >= CALIBRATION_MIN_COUNT and abs(share - mean) > CALIBRATION_TOLERANCE
        print("  %.1f-%.1f   %7d  %.3f  %.3f%s" % (low, high, len(answers), mean, share,
                                                  "  !" if off else ""))


def main():
    ap = argparse.ArgumentParser()
    add_arguments(ap)
    a = ap.parse_args()
    cli = os.path.abspath(a.cli)
    jobs = task_speakers(a)
    speakers = {s for _, s in jobs}
    missing = [s for s in speakers if not os.path.isdir(os.path.join(a.corpus, NONSPEECH_TASK, s))]
    if missing:
        sys.exit("no non-speech recordings for %s in %s (make_corpus --tasks %s)" % (
            ", ".join(sorted(missing)), a.corpus, NONSPEECH_TASK))
    nonspeech = {s: nonspeech_recordings(a.corpus, s) for s in speakers}
    everything, times_per_task = [], collections.OrderedDict()
    print(HEADER)
    with ThreadPoolExecutor(a.jobs) as pool:
        runs = pool.map(lambda j: one_run(cli, a.corpus, j[0], j[1], a.takes, nonspeech[j[1]],
                                          a.answers is not None), jobs)
        for (task, speaker), (recognitions, times, problems) in zip(jobs, runs):
            everything += recognitions
            times_per_task.setdefault(task, []).extend(times)
            print(summary_line("%s %s" % (task, speaker), recognitions, times) +
                  (wrong_answers(recognitions) if a.verbose else ""), flush=True)
            for problem in problems:
                print("  %s %s: %s" % (task, speaker, problem), file=sys.stderr)
    print(HEADER)
    for task, times in times_per_task.items():
        print(summary_line("TOTAL " + task, [r for r in everything if r.task == task], times))
    print(summary_line("TOTAL", everything, [t for times in times_per_task.values() for t in times]))
    print_calibration(everything)
    if a.answers:
        write_answers(a.answers, everything)


if __name__ == "__main__":
    main()
