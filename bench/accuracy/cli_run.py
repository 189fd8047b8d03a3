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
    parser.add_argument("--answers", help="write one tab-separated line per recognition to this file")


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


# The answers files of run_accuracy.py and run_rejection.py: one tab-separated
# line per recognition (task, speaker, kind, truth, take, answer or "-",
# score or "-", then the confidence-terms fields, if any).
TERMS_PREFIX = "confidence-terms "
TERMS_ENVIRONMENT = {"SPEECH_CONFIDENCE_TERMS": "1"}

Recognition = collections.namedtuple(
    "Recognition", "task speaker kind truth take answer score terms")


def terms_per_recognition(stderr):
    """The fields (the chosen word, then NAME=VALUE) of the "confidence-terms"
    line printed during each recognition (None when it printed none), in order."""
    terms, pending = [], None
    for line in stderr.splitlines():
        line = line.strip()
        if line.startswith(TERMS_PREFIX):
            pending = line[len(TERMS_PREFIX):].split()
            continue
        match = TIMING.match(line)
        if match:
            if match.group(1) == "recognize":
                terms.append(pending)
            pending = None
    return terms


def recognitions_of_run(task, speaker, cases, run):
    """A Recognition for each (kind, truth, take) of CASES, in the order of the
    recognize actions of RUN, as far as its output goes."""
    answers = split_answers(run.stdout)
    terms = terms_per_recognition(run.stderr)
    terms += [None] * (len(cases) - len(terms))
    recognitions = []
    for (kind, truth, take), results, fields in zip(cases, answers, terms):
        answer = best(results)
        recognitions.append(Recognition(task, speaker, kind, truth, take, answer,
                                        results[answer] if answer else None, fields))
    return recognitions


def write_answers(path, recognitions):
    with open(path, "w") as out:
        for r in recognitions:
            fields = [r.task, r.speaker, r.kind, r.truth, str(r.take), r.answer or "-",
                      "-" if r.score is None else repr(r.score)] + (r.terms or [])
            out.write("\t".join(fields) + "\n")


def read_answers(path):
    """The recognitions of a file that write_answers wrote."""
    recognitions = []
    with open(path) as lines:
        for line in lines:
            task, speaker, kind, truth, take, answer, score, *terms = line.rstrip("\n").split("\t")
            recognitions.append(Recognition(task, speaker, kind, truth, int(take),
                                            None if answer == "-" else answer,
                                            None if score == "-" else float(score), terms or None))
    return recognitions
