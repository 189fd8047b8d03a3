#!/bin/sh
# Parrot without a window: parrot-cli trains the words zero, one and five
# from two recordings of each, then recognises a third recording of each
# word and shows the word that scored best. Everything happens in a
# temporary work folder, removed at the end; the user's words are not
# touched.
#   run_demo.sh PARROT_CLI
set -eu

cli=$1
takes=$(dirname "$0")
work=$(mktemp -d "${TMPDIR:-/tmp}/parrot-demo.XXXXXX")
trap 'rm -rf "$work"' EXIT
parrot() { "$cli" --workdir "$work" --capture none "$@"; }

echo "There is no display to open the window on, so here is Parrot through parrot-cli."
for word in zero one five; do
    for take in 0 1; do
        echo "Training \"$word\" with ${word}_$take.raw"
        parrot train "$word" "$takes/${word}_$take.raw" save
    done
done
for word in zero one five; do
    # Saved, so the next run starts past this recording's number.
    best=$(parrot recognize "$takes/${word}_4.raw" save | sort -t= -k2 -g -r | head -n 1)
    echo "Recognising ${word}_4.raw: ${best:-no word}"
done
echo "The words of this demonstration are gone with its work folder; run parrot-cli --help to train your own."
