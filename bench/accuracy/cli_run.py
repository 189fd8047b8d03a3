"""What the accuracy benchmarks share: the corpus layout, the parrot-cli run
and the reading of its output.

A run trains with `train WORD AUDIO` actions and follows every `recognize
AUDIO` with `counter`, whose number closes that recognition's result lines
on stdout, so a recognition that printed nothing still gets its (empty)
answer. --timings puts one `ACTION SECONDS` line on stderr after each action.
"""
import collections, os, re, shutil, statistics, subprocess, tempfile

TIMING = re.compile(r"^(train|recognize) ([0-9.eE+-]+)$")
RESULT = re.compile(r"^(\S*) score=(\S+)$")
COUNTER = re.compile(r"^-?\d+$")
TEST_TAKES = range(3, 8)


def add_arguments(parser):
    """The arguments every accuracy benchmark takes."""
    parser.add_argument("--cli", required=True)
    parser.add_argument("--corpus", required=True)
    parser.add_argument("--takes", type=int, default=3)
    parser.add_argument("--tasks", default="digits,commands,nato,oov,pairs")
    parser.add_argument("--speakers", default="us_m3,us_f2,gb_m1,gb_f4,sc_m2,rp_m7")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--verbose", action="store_true")


def task_speakers(args):
    """(task, speaker) for every task and speaker the corpus holds."""
    return [(t, s) for t in args.tasks.split(",") for s in args.speakers.split(",")
            if os.path.isdir(os.path.join(args.corpus, t, s))]


def task_words(corpus, task, speaker):
    """The folder of one task and speaker, and its words in sorted order."""
    folder = os.path.join(corpus, task, speaker)
    return folder, sorted(os.listdir(folder))


def take_path(folder, word, take):
    return os.path.join(folder, word, "%d.raw" % take)


def train_actions(folder, words, takes):
    """Trains each of WORDS on takes 0..TAKES-1."""
    return [a for word in words for k in range(takes)
            for a in ("train", word, take_path(folder, word, k))]


def recognize_actions(path):
    return ["recognize", path, "counter"]


def run_cli(cli, actions, environment=None):
    """Runs parrot-cli with --timings in a fresh work folder, with ENVIRONMENT
    added to its environment; returns the CompletedProcess."""
    work = tempfile.mkdtemp(prefix="parrot-accuracy-")
    try:
        return subprocess.run([cli, "--workdir", work, "--timings"] + actions,
                              capture_output=True, text=True,
                              env=dict(os.environ, **(environment or {})))
    finally:
        shutil.rmtree(work, ignore_errors=True)


def split_answers(stdout):
    """One {WORD: score} per recognition, in order; empty when it printed no result line."""
    answers, current = [], {}
    for line in stdout.splitlines():
        line = line.strip()
        if COUNTER.fullmatch(line):
            answers.append(current)
            current = {}
            continue
        match = RESULT.match(line)
        if match:
            try:
                current[match.group(1)] = float(match.group(2))
            except ValueError:
                current[match.group(1)] = 0.0
    return answers


def best(results):
    """The word of the highest-scoring result line, or None for no line."""
    return max(results, key=results.get) if results else None


def action_times(stderr):
    """{ACTION: [seconds, ...]} from the --timings lines."""
    times = collections.defaultdict(list)
    for line in stderr.splitlines():
        match = TIMING.match(line.strip())
        if match:
            times[match.group(1)].append(float(match.group(2)))
    return times


def median(values):
    return statistics.median(values) if values else float("nan")
