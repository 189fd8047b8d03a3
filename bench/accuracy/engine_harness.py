#!/usr/bin/env python3
"""Accuracy of the speech engine alone, without the application.

Writes the training and decoding files the way the application writes them
(model inventory, grammar, lexicon, lists, parameter files), runs the engine
tools through the `speech` program and scores the decoder's output. Used to
tune the engine while the command-line front end is not at hand; the
benchmark proper is bench/accuracy/run_accuracy.py.

  engine_harness.py --speech build/bin/speech --corpus DIR [--takes K] [--tasks a,b] [--speakers x,y]
"""
import argparse, collections, os, shutil, subprocess, sys, tempfile, time
from concurrent.futures import ThreadPoolExecutor

DICT = "/usr/share/pocketsphinx/model/en-us/cmudict-en-us.dict"

FEATURE_ARGS = ["-delta", "-acc", "-cms", "-zero_mean", "-energy", "-energy_norm", "-mfcc", "12", "-delta_win", "2",
                "-lifter_coeff", "36", "-window_dur", "20", "-frame_dur", "10", "-num_fbanks", "22",
                "-window_type", "hamming", "-sf", "11025.0", "-pre_emph_coeff", "0.97", "-output_mode", "binary"]

PARAMS_TRAIN = """train_mode = normal
acc_file = 
acclist_file = 
mfcclist_file = mfc.txt
lablist_file = model_transitions.txt
monophones_file = monophones.txt
models_file = models.txt
phones_file = phones.txt
lexicon_file = lexicon.txt
states_file = init_states.bin
transitions_file = init_transitions.txt
updated_states_file = train_states.bin
updated_trans_file = train_trans.txt
input_mode = binary
output_mode = binary
context_mode = monophone
min_mpd = 1000
beam_width = 500
min_occupancy = 1.0e-10
min_model_count = 1
variance_floor_file = init_varfloor.txt
state_occupancy_file = 
state_occupancy = off
"""

PARAMS_DEC = """function = lattice_rescoring
monophones_file = monophones.txt
models_file = models.txt
phones_file = phones.txt
lexicon_file = lexicon.txt
states_file = train_states.bin
transitions_file = train_trans.txt
input_format = binary
align_mode = word
context_mode = monophone
history_paths = 1
nbest_paths = 1
beam_pruning = 300 150 150
mapmi_limit = 10000
num_allowed_words = 50
mfcc_list = mfc_dec.txt
output_list = out_dec.txt
input_lattice_list = lat_dec.txt
"""


def load_dictionary():
    pron = {}
    with open(DICT) as f:
        for line in f:
            parts = line.split()
            if parts and parts[0] not in pron:
                pron[parts[0]] = [p.lower() for p in parts[1:]]
    return pron


def transcribe(word, pron):
    if word in pron:
        return pron[word]
    units, unit = [], ""
    for i, ch in enumerate(word):
        if ch != "_":
            unit += ch
            if i % 2 == 1:
                units.append(unit)
                unit = ""
    if unit:
        units.append(unit)
    return units


def write(path, text):
    with open(path, "w") as f:
        f.write(text)


def write_training_files(work, vocab, pron):
    """vocab: dict word -> list of utterance numbers, in vocabulary order."""
    phones_of = {w: transcribe(w, pron) for w in vocab}
    phone_map = sorted({p for w in vocab for p in phones_of[w]})
    write(os.path.join(work, "model_lengths.txt"), "0 sp\n4 sil\n" + "".join("4 %s\n" % p for p in phone_map))
    models = "num_models = %d\n\n" % (len(phone_map) + 2)
    models += ("index: 0\nphone: sp\nnum_states: 2\ntransitions: 0\nstates: 0 0\n\n"
               "index: 1\nphone: sil\nnum_states: 6\ntransitions: 1\nstates: 0 1 2 3 4 0\n\n")
    index = {}
    for k, p in enumerate(phone_map):
        m = k + 2
        s = 5 + 4 * k
        index[p] = m
        models += "index: %d\nphone: %s\nnum_states: 6\ntransitions: %d\nstates: 0 %d %d %d %d 0\n\n" % (m, p, m, s, s + 1, s + 2, s + 3)
    write(os.path.join(work, "models.txt"), models)
    write(os.path.join(work, "monophones.txt"),
          "\nnum_monophones = %d\n\nsp \nsil \n" % (len(phone_map) + 2) + "".join(p + "\n" for p in phone_map))
    index["sp"], index["sil"] = 0, 1
    lines = []
    for p in sorted(index):
        v = index[p]
        lines.append("sil 1   1\n" if v == 1 else "sp 1   0\n" if v == 0 else "%s 1 %d %d %d\n" % (p, v, v, v))
    write(os.path.join(work, "phones.txt"), "num_phones = %d\n\n" % len(index) + "".join(lines))
    gw = lambda w: w.replace(" ", "_").upper()
    write(os.path.join(work, "loop_grammar.txt"),
          "$orlu_utterance = !SENT_START < " + " | ".join(gw(w) for w in vocab) + " > !SENT_END;")
    lex = "!SENT_END sil\n!SENT_START sil\n"
    for w in sorted(vocab):
        r = "".join(p + " " for p in phones_of[w])
        lex += "%s %s\n%s %ssil\n" % (gw(w), r, gw(w), r)
    write(os.path.join(work, "lexicon.txt"), lex)
    labels, raws, mfcs = "", "", ""
    for w, utts in vocab.items():
        r = "".join(p + " " for p in phones_of[w])
        for n in utts:
            labels += "sil " + r + "sil\n"
            raws += "%d.raw\n" % n
            mfcs += "%d.mfc\n" % n
    write(os.path.join(work, "model_transitions.txt"), labels)
    write(os.path.join(work, "raw.txt"), raws)
    write(os.path.join(work, "mfc.txt"), mfcs)
    write(os.path.join(work, "params_train.txt"), PARAMS_TRAIN)


def run(speech, work, args):
    r = subprocess.run([speech] + args, cwd=work, capture_output=True, text=True)
    if r.returncode != 0 and args[0] not in ("extract_feature",):
        sys.stderr.write("%s: %s" % (args[0], r.stderr))
    return r


def train(speech, work):
    run(speech, work, ["grammar_compiler", "-input", "loop_grammar.txt", "-output", "loop_grammar.lat"])
    run(speech, work, ["extract_feature"] + FEATURE_ARGS + ["-input", "raw.txt", "-output", "mfc.txt"])
    run(speech, work, ["init_hmm", "-input", "mfc.txt", "-models", "model_lengths.txt", "-trans", "init_transitions.txt",
                       "-mode", "binary", "-state", "init_states.txt", "-vfloor_file", "init_varfloor.txt", "-var_floor", "0.0002"])
    run(speech, work, ["convert_mmf", "-input_mode", "ascii", "-output_mode", "binary", "init_states.txt", "init_states.bin"])
    run(speech, work, ["bw_train", "-p", "params_train.txt"])


def recognise(speech, work, n):
    write(os.path.join(work, "raw_dec.txt"), "%d.raw\n" % n)
    write(os.path.join(work, "mfc_dec.txt"), "%d.mfc\n" % n)
    write(os.path.join(work, "out_dec.txt"), "decoder.out")
    write(os.path.join(work, "lat_dec.txt"), "loop_grammar.lat")
    out = os.path.join(work, "decoder.out")
    if os.path.exists(out):
        os.remove(out)
    run(speech, work, ["extract_feature"] + FEATURE_ARGS + ["-input", "raw_dec.txt", "-output", "mfc_dec.txt"])
    run(speech, work, ["trace_projection", "-p", "params_dec.txt"])
    results = {}
    if os.path.exists(out):
        for line in open(out):
            line = line.strip()
            if not line:
                continue
            fields = line[10:].split()
            if not fields or "!SENT_START" in fields[0] or "!SENT_END" in fields[0]:
                continue
            try:
                results[fields[0]] = float(fields[1])
            except (IndexError, ValueError):
                results[fields[0]] = 0.0
    return results


def one_run(speech, corpus, task, speaker, takes, tests):
    words = sorted(os.listdir(os.path.join(corpus, task, speaker)))
    pron = load_dictionary()
    work = tempfile.mkdtemp(prefix="parrot-harness-")
    try:
        vocab, n = collections.OrderedDict(), 0
        for w in words:
            vocab[w] = []
            for k in range(takes):
                shutil.copy(os.path.join(corpus, task, speaker, w, "%d.raw" % k), os.path.join(work, "%d.raw" % n))
                vocab[w].append(n)
                n += 1
        write_training_files(work, vocab, pron)
        write(os.path.join(work, "params_dec.txt"), PARAMS_DEC)
        t0 = time.time()
        train(speech, work)
        train_time = time.time() - t0
        correct, total, errors = 0, 0, []
        for w in words:
            for k in tests:
                shutil.copy(os.path.join(corpus, task, speaker, w, "%d.raw" % k), os.path.join(work, "%d.raw" % n))
                results = recognise(speech, work, n)
                n += 1
                best = max(results, key=results.get) if results else None
                total += 1
                if best == w.upper():
                    correct += 1
                else:
                    errors.append("%s/%d->%s" % (w, k, "+".join(results) if results else "-"))
        return task, speaker, correct, total, train_time, errors
    finally:
        shutil.rmtree(work)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--speech", required=True)
    ap.add_argument("--corpus", required=True)
    ap.add_argument("--takes", type=int, default=3)
    ap.add_argument("--tasks", default="digits,commands,nato,oov,pairs")
    ap.add_argument("--speakers", default="us_m3,us_f2,gb_m1,gb_f4,sc_m2,rp_m7")
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--verbose", action="store_true")
    a = ap.parse_args()
    speech = os.path.abspath(a.speech)
    jobs = [(t, s) for t in a.tasks.split(",") for s in a.speakers.split(",")
            if os.path.isdir(os.path.join(a.corpus, t, s))]
    per_task = collections.defaultdict(lambda: [0, 0])
    with ThreadPoolExecutor(a.jobs) as pool:
        for task, speaker, c, n, tt, errors in pool.map(lambda j: one_run(speech, a.corpus, j[0], j[1], a.takes, range(3, 8)), jobs):
            per_task[task][0] += c
            per_task[task][1] += n
            print("%-9s %-6s %3d/%3d %5.1f%%  train %.2fs %s" % (task, speaker, c, n, 100.0 * c / n, tt,
                                                                " ".join(errors) if a.verbose else ""), flush=True)
    for task, (c, n) in per_task.items():
        print("TOTAL %-9s %4d/%4d %5.1f%%" % (task, c, n, 100.0 * c / n))


if __name__ == "__main__":
    main()
