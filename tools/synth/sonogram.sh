#!/bin/sh
# Draws a spectrogram of an MP3 for review: decodes it with lame, then lets
# sox draw the whole length, section times marked on the x axis by time.
#   sonogram.sh IN.mp3 OUT.png
set -eu
if [ $# -ne 2 ]; then
    echo "usage: sonogram.sh IN.mp3 OUT.png" >&2
    exit 2
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
lame --quiet --decode "$1" "$tmp/track.wav"
sox "$tmp/track.wav" -n remix - spectrogram -x 2000 -y 513 -z 90 -t "$(basename "$1")" -o "$2"
echo "wrote $2"
