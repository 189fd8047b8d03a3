#!/usr/bin/env python3
"""Press times of Parrot as the vocabulary grows, through parrot-cli.

For each vocabulary size N, one run of parrot-cli trains the first N words of
a task (by default "large", 100 words) of one speaker on takes 0..K-1 and then
recognises takes K..7 of each; prints the time of the last training press,
which retrains every model from every recording, with the median of the last
five presses (each of which retrains nearly as much; one press alone varies
by a fifth on a busy machine), the median recognition press and how many
recognitions were right.

  vocabulary_speed.py --cli build/bin/parrot-cli --corpus DIR [--words 20,50,100] [--takes 5]
                      [--task large] [--speaker us_m3]
"""
import argparse, os

from cli_run import (action_times, best, median, recognize_actions, run_cli, take_path, task_words,
                     train_actions, split_answers)


LAST_PRESSES = 5


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cli", required=True)
    ap.add_argument("--corpus", required=True)
    ap.add_argument("--words", default="20,50,100")
    ap.add_argument("--takes", type=int, default=5)
    ap.add_argument("--task", default="large")
    ap.add_argument("--speaker", default="us_m3")
    a = ap.parse_args()
    folder, all_words = task_words(a.corpus, a.task, a.speaker)
    for count in (int(n) for n in a.words.split(",")):
        words = all_words[:count]
        if len(words) < count:
            raise SystemExit("%s/%s has only %d words" % (a.task, a.speaker, len(words)))
        truth = [word.upper() for word in words for k in range(a.takes, 8)]
        actions = train_actions(folder, words, a.takes) + [
            action for word in words for k in range(a.takes, 8)
            for action in recognize_actions(take_path(folder, word, k))]
        run = run_cli(os.path.abspath(a.cli), actions)
        times = action_times(run.stderr)
        if not times["train"] or not times["recognize"]:
            raise SystemExit("no timings for %d words: %s" % (count, run.stderr[-2000:]))
        correct = sum(best(results) == word for word, results in zip(truth, split_answers(run.stdout)))
        print("%3d words x %d takes: last training press %.3f s (median of the last %d: %.3f s), "
              "recognize median %.4f s (%d presses), correct %d/%d" % (
                  count, a.takes, times["train"][-1], LAST_PRESSES, median(times["train"][-LAST_PRESSES:]),
                  median(times["recognize"]), len(times["recognize"]), correct, len(truth)), flush=True)


if __name__ == "__main__":
    main()
