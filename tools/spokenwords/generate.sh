#!/usr/bin/env bash
# Records the 33 spoken words of the results and the timed series' "Attention" in the four
# interface languages with espeak-ng and
# writes them as 22,050 Hz mono 16-bit WAVE files, one per word id:
#   resources/words/<lang>/<id>.wav
# ids 1166 (0), 1157..1165 (1..9), 1156 (10), 2160..2169 (tenths 0..9), 2170..2181 (1..12 o'clock),
# 2182 ("Attention"). The words are strings 330 (numbers 0..10), 331 (clock directions 1..12) and
# 539 (the countdown's "Attention") of the string tables
# resources/strings/<lang>.txt, "|" between words. Needs espeak-ng and sox (scripts/bootstrap.sh).
# The output is committed; run this again after changing those strings.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
out="$root/resources/words"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The words of one string: the text between the quotes of "<id> "..."", split at "|".
words() {  # table id
  sed -n "s/^$2[[:space:]]*\"\\([^\"]*\\)\".*/\\1/p" "$1" | tr '|' '\n'
}

say() {  # voice text file
  espeak-ng -v "$1" -s 150 -w "$tmp/raw.wav" "$2"
  # Leading and trailing silence cut, peak at -3 dB, 50 ms of silence after the word, no dither
  # (so the same words give the same bytes).
  sox -D "$tmp/raw.wav" -r 22050 -c 1 -b 16 -e signed-integer "$3" \
    silence 1 0.01 0.5% reverse silence 1 0.01 0.5% reverse gain -n -3 pad 0 0.05
}

for pair in en:en-us de:de sv:sv es:es; do
  lang=${pair%%:*}
  voice=${pair#*:}
  table="$root/resources/strings/$lang.txt"
  mkdir -p "$out/$lang"
  mapfile -t numbers < <(words "$table" 330)
  mapfile -t hours < <(words "$table" 331)
  if ((${#numbers[@]} != 11 || ${#hours[@]} != 12)); then
    echo "$table: string 330 needs 11 words and 331 needs 12" >&2
    exit 1
  fi
  for n in $(seq 0 10); do
    case $n in
      0) id=1166 ;;
      10) id=1156 ;;
      *) id=$((1156 + n)) ;;
    esac
    say "$voice" "${numbers[$n]}" "$out/$lang/$id.wav"
    ((n <= 9)) && cp "$out/$lang/$id.wav" "$out/$lang/$((2160 + n)).wav"
  done
  for h in $(seq 1 12); do
    say "$voice" "${hours[$((h - 1))]}" "$out/$lang/$((2169 + h)).wav"
  done
  say "$voice" "$(words "$table" 539)" "$out/$lang/2182.wav"
  echo "$lang: $(ls "$out/$lang" | wc -l) words"
done
