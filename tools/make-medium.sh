#!/usr/bin/env bash
# Lays out the data of the distribution medium: the files mediagen writes, then the MP3 sounds
# encoded from its WAV sources. The programs and libraries are copied in by the build afterwards.
#
#   make-medium.sh <mediagen> <medium directory> <sound directory> <encoding cache>
#
# The medium is emptied first, so an entry dropped from the manifest leaves no stale file behind.
set -euo pipefail
mediagen=$1 medium=$2 sounds=$3
export QUORVANE_MP3_CACHE=$4

rm -rf "$medium" "$sounds"
mkdir -p "$medium" "$sounds" "$QUORVANE_MP3_CACHE"
"$mediagen" "$medium" "$sounds"

# One job per MP3: bit rate, sample rate, WAV source, MP3 target. -t leaves out the encoder's
# info frame, so every frame of a file is sound; --resample pins the source's own rate.
# The build trees of one checkout (build/win32, build/win64 and the reproducibility check's) lay
# out media of the same sounds: an encoding is kept in the cache under the digest of all that
# makes it (the encoder's version, its options, the WAV source) and taken from there by the next
# tree. A new file takes its name only when whole, so trees that build at once share safely.
export QUORVANE_ENCODER
QUORVANE_ENCODER=$(lame --version | head -n 1)
xargs -0 -n4 -P2 bash -c '
  set -e
  options=(--quiet -t -b "$1" --resample "$2")
  digest=$( { echo "$QUORVANE_ENCODER ${options[*]}"; cat "$3"; } | sha256sum)
  cached=$QUORVANE_MP3_CACHE/${digest%% *}.mp3
  if [ ! -f "$cached" ]; then
    lame "${options[@]}" "$3" "$cached.$$"
    mv -f "$cached.$$" "$cached"
  fi
  cp "$cached" "$4"' lame-job <"$sounds/lame-jobs"
