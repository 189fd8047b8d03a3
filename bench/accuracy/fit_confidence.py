#!/usr/bin/env python3
"""Fits the decoder's confidence again: the logistic function's bias and
weights (kBias, kWeights) and the calibration table (kCalibration) of
speech/decoding/confidence.cpp, from the answers files of
run_rejection.py --answers, which hold for every recognition that reached
the word network's end the word the decoder chose and the terms its
confidence weighed.

A recognition counts as right when a trained word's take was given that
word. The weights maximise the likelihood of right and wrong (with a small
penalty on the weights of the standardised terms, so that correlated terms
stay bounded); the calibration table maps the logistic function's value to
the share of right answers: the mean value and that share in each tenth of
[0, 1], from (0, 0) to 1 and the share right at 0.99 and above.

Fit on a corpus made with another seed than the one the figures are
reported on, on one take and on three:

  run_rejection.py --cli build/bin/parrot-cli --corpus TUNING --takes 1 --answers k1.tsv
  run_rejection.py --cli build/bin/parrot-cli --corpus TUNING --takes 3 --answers k3.tsv
  fit_confidence.py k1.tsv k3.tsv

Prints the constants to paste into confidence.cpp, then per answers file how
the new confidence would answer at the acceptance threshold
(kAcceptanceThreshold, read from confidence.h): trained-word takes answered
right (and accepted) and rejected, untrained-word takes and non-speech takes
accepted, per task. Files after --check are only reported on: the answers of
run_accuracy.py --answers (every word trained) and of the reported corpus
show what the refit does to accuracy, where every rejection is an error,
without fitting to them:

  fit_confidence.py k1.tsv k3.tsv --check accuracy-k1.tsv accuracy-k3.tsv
"""
import argparse, collections, math, os, re

from cli_run import read_answers as read_recognitions
from run_rejection import BINS

PENALTY = 1e-2
ITERATIONS = 100
TOP = 0.99
HEADER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "speech", "decoding",
                      "confidence.h")

Answer = collections.namedtuple("Answer", "task kind right names values")


def read_answers(path):
    """The recognitions of an answers file; one whose path did not reach the
    word network's end has no terms (names and values None) and counts as
    rejected."""
    answers = []
    for r in read_recognitions(path):
        if not r.terms:
            answers.append(Answer(r.task, r.kind, False, None, None))
            continue
        chosen, terms = r.terms[0], [field.split("=", 1) for field in r.terms[1:]]
        answers.append(Answer(r.task, r.kind, r.kind == "trained" and chosen == r.truth.upper(),
                              tuple(name for name, _ in terms), [float(value) for _, value in terms]))
    return answers


def solve(matrix, vector):
    """x with matrix x = vector (Gaussian elimination, partial pivoting)."""
    n = len(vector)
    rows = [list(row) + [value] for row, value in zip(matrix, vector)]
    for column in range(n):
        pivot = max(range(column, n), key=lambda r: abs(rows[r][column]))
        rows[column], rows[pivot] = rows[pivot], rows[column]
        for r in range(column + 1, n):
            factor = rows[r][column] / rows[column][column]
            for c in range(column, n + 1):
                rows[r][c] -= factor * rows[column][c]
    x = [0.0] * n
    for r in reversed(range(n)):
        x[r] = (rows[r][n] - sum(rows[r][c] * x[c] for c in range(r + 1, n))) / rows[r][r]
    return x


def sigmoid(z):
    return 1.0 / (1.0 + math.exp(-z)) if z > -700 else 0.0


def fit(answers):
    """(bias, weights) of the logistic function, by Newton's method on the
    standardised terms."""
    count, terms = len(answers), len(answers[0].values)
    means = [sum(a.values[i] for a in answers) / count for i in range(terms)]
    deviations = [math.sqrt(sum((a.values[i] - means[i]) ** 2 for a in answers) / count) + 1e-9
                  for i in range(terms)]
    rows = [[(a.values[i] - means[i]) / deviations[i] for i in range(terms)] + [1.0] for a in answers]
    labels = [1.0 if a.right else 0.0 for a in answers]
    w = [0.0] * (terms + 1)
    for _ in range(ITERATIONS):
        gradient = [PENALTY * wi for wi in w]
        hessian = [[PENALTY if i == j else 0.0 for j in range(terms + 1)] for i in range(terms + 1)]
        for row, label in zip(rows, labels):
            p = sigmoid(sum(wi * xi for wi, xi in zip(w, row)))
            for i, xi in enumerate(row):
                gradient[i] += (p - label) * xi
                for j in range(i, terms + 1):
                    hessian[i][j] += p * (1.0 - p) * xi * row[j]
        for i in range(terms + 1):
            for j in range(i):
                hessian[i][j] = hessian[j][i]
        step = solve(hessian, gradient)
        w = [wi - si for wi, si in zip(w, step)]
        if max(abs(s) for s in step) < 1e-9:
            break
    weights = [w[i] / deviations[i] for i in range(terms)]
    bias = w[terms] - sum(w[i] * means[i] / deviations[i] for i in range(terms))
    return bias, weights


def logistic(answer, bias, weights):
    return sigmoid(bias + sum(w * v for w, v in zip(weights, answer.values)))


def calibration(answers, bias, weights):
    """(logistic value, probability) points, rising, from (0, 0) to 1."""
    values = [(logistic(a, bias, weights), a.right) for a in answers]
    points = [(0.0, 0.0)]
    for index in range(BINS):
        low, high = index / BINS, (index + 1) / BINS
        inside = [(v, right) for v, right in values if low <= v < high or (index == BINS - 1 and v == 1.0)]
        if inside:
            points.append((sum(v for v, _ in inside) / len(inside),
                           sum(right for _, right in inside) / len(inside)))
    top = [right for v, right in values if v >= TOP]
    points.append((1.0, sum(top) / len(top) if top else points[-1][1]))
    for i in range(1, len(points)):
        points[i] = (points[i][0], max(points[i][1], points[i - 1][1]))
    return points


def calibrated(value, points):
    for (x0, y0), (x1, y1) in zip(points, points[1:]):
        if value <= x1:
            return y0 + (y1 - y0) * (value - x0) / (x1 - x0) if x1 > x0 else y1
    return points[-1][1]


def acceptance_threshold():
    with open(HEADER) as header:
        return float(re.search(r"kAcceptanceThreshold = ([0-9.]+);", header.read()).group(1))


def share(part, whole):
    return "%5.1f%%" % (100.0 * part / whole) if whole else "     -"


def report(path, answers, bias, weights, points, threshold):
    print("%s at threshold %g:" % (path, threshold))
    for task in sorted({a.task for a in answers}):
        counts = collections.Counter()
        for a in answers:
            if a.task != task:
                continue
            accepted = a.values is not None and calibrated(logistic(a, bias, weights), points) >= threshold
            counts[a.kind] += 1
            counts[a.kind + (" accepted" if accepted else " rejected")] += 1
            counts["right"] += a.right and accepted
        print("  %-10s trained right %s, rejected %s  untrained accepted %s  non-speech accepted %s" % (
            task, share(counts["right"], counts["trained"]),
            share(counts["trained rejected"], counts["trained"]),
            share(counts["untrained accepted"], counts["untrained"]),
            share(counts["nonspeech accepted"], counts["nonspeech"])))


def main():
    ap = argparse.ArgumentParser(description="Fits the decoder's confidence to answers files.")
    ap.add_argument("answers", nargs="+", help="answers files to fit to")
    ap.add_argument("--check", nargs="+", default=[],
                    help="answers files only to report on (run_accuracy.py --answers, another seed)")
    a = ap.parse_args()
    per_file = {path: read_answers(path) for path in a.answers + a.check}
    answers = [answer for path in a.answers for answer in per_file[path] if answer.values is not None]
    if not answers:
        ap.error("no recognition with confidence terms (run_rejection.py --answers)")
    names = answers[0].names
    if any(answer.names not in (names, None) for file_answers in per_file.values() for answer in file_answers):
        ap.error("the answers files name different confidence terms")
    bias, weights = fit(answers)
    points = calibration(answers, bias, weights)
    print("// fitted to %d recognitions; terms: %s" % (len(answers), ", ".join(names)))
    print("constexpr double kBias = %.6g;" % bias)
    print("constexpr std::array<double, kConfidenceTerms> kWeights = {%s};" %
          ", ".join("%.6g" % w for w in weights))
    print("constexpr CalibrationPoint kCalibration[] = {%s};" %
          ", ".join("{%.3f, %.3f}" % point for point in points))
    threshold = acceptance_threshold()
    for path, file_answers in per_file.items():
        report(path, file_answers, bias, weights, points, threshold)


if __name__ == "__main__":
    main()
