#!/usr/bin/env python3
"""Time of one "Add/Train word" press that retrains a large vocabulary.

Trains WORDS words with TAKES takes each through one run of parrot-cli and
prints the time of the last training press, which retrains every model from
every recording. Words come from a corpus made by make_corpus, speaker after
speaker; a later speaker's words get a second piece ("zero again") so that
every word is distinct.

  retrain_time.py --cli build/bin/parrot-cli --corpus DIR [--words 100] [--takes 5]
"""
import argparse, os, re, shutil, subprocess, sys, tempfile

SECOND_PIECES = ["", "again", "please", "now", "there", "here"]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cli", required=True)
    ap.add_argument("--corpus", required=True)
    ap.add_argument("--words", type=int, default=100)
    ap.add_argument("--takes", type=int, default=5)
    a = ap.parse_args()
    recordings = []  # (name, folder)
    speakers = sorted({s for t in os.listdir(a.corpus) if os.path.isdir(os.path.join(a.corpus, t))
                       for s in os.listdir(os.path.join(a.corpus, t))})
    for index, speaker in enumerate(speakers):
        for task in sorted(os.listdir(a.corpus)):
            folder = os.path.join(a.corpus, task, speaker)
            if not os.path.isdir(folder):
                continue
            for word in sorted(os.listdir(folder)):
                name = (word + " " + SECOND_PIECES[index % len(SECOND_PIECES)]).strip()
                recordings.append((name, os.path.join(folder, word)))
    recordings = recordings[:a.words]
    if len(recordings) < a.words:
        sys.exit("the corpus has only %d words" % len(recordings))
    actions = []
    for name, folder in recordings:
        for k in range(a.takes):
            actions += ["train", name, os.path.join(folder, "%d.raw" % k)]
    work = tempfile.mkdtemp(prefix="parrot-retrain-")
    try:
        run = subprocess.run([os.path.abspath(a.cli), "--workdir", work, "--timings"] + actions,
                             capture_output=True, text=True)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    times = [float(m.group(1)) for m in (re.match(r"^train ([0-9.eE+-]+)$", l) for l in run.stderr.splitlines()) if m]
    if not times:
        sys.exit("no timings: " + run.stderr[-2000:])
    print("%d words x %d takes: last training press %.3f s (presses: %d, exit status %d)" % (
        a.words, a.takes, times[-1], len(times), run.returncode))


if __name__ == "__main__":
    main()
