#!/usr/bin/env bash
# Lays out the data of the distribution medium: the files mediagen writes, then the MP3 sounds
# encoded from its WAV sources. The programs and libraries are copied in by the build afterwards.
#
#   make-medium.sh <mediagen> <medium directory> <sound directory>
#
# The medium is emptied first, so an entry dropped from the manifest leaves no stale file behind.
set -euo pipefail
mediagen=$1 medium=$2 sounds=$3

rm -rf "$medium" "$sounds"
mkdir -p "$medium" "$sounds"
"$mediagen" "$medium" "$sounds"

# One job per MP3: bit rate, sample rate, WAV source, MP3 target. -t leaves out the encoder's
# info frame, so every frame of a file is sound; --resample pins the source's own rate.
xargs -0 -n4 -P2 sh -c 'exec lame --quiet -t -b "$1" --resample "$2" "$3" "$4"' lame-job \
  < "$sounds/lame-jobs"
