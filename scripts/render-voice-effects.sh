#!/usr/bin/env bash
# Renders a spoken sample through every voice effect to WAV files for listening:
#   bash scripts/render-voice-effects.sh [output folder] [speech.wav]
# Without a speech file one is synthesised with espeak-ng (installed with apt-get when missing,
# as are sox and the build). The files land in build/default/voice-effects/ by default, beside
# speech.wav (the dry voice) and, for each, a spectrogram PNG.
set -euo pipefail
cd "$(dirname "$0")/.."

output=${1:-build/default/voice-effects}
speech=${2:-}
library=build/default/Tralvonic/VoiceDistortion_linux_amd64.so

need=()
command -v sox > /dev/null || need+=(sox)
[[ -n $speech ]] || command -v espeak-ng > /dev/null || need+=(espeak-ng)
if ((${#need[@]})); then
  sudo=$( ((EUID == 0)) || echo sudo)
  $sudo apt-get install -y "${need[@]}" || { $sudo apt-get update && $sudo apt-get install -y "${need[@]}"; }
fi
if [[ ! -f $library ]]; then
  cmake --preset default > /dev/null
  cmake --build build/default --target tralvonic_voice
fi

mkdir -p "$output"
if [[ -z $speech ]]; then
  espeak-ng -v en-us -s 150 -w "$output/espeak.wav" \
    "Bravo two, this is command. Move to the bridge and hold your position until further notice. Over."
  speech="$output/espeak.wav"
fi
# The host's format: 48 kHz, 16 bits, stereo, peaking near -3 dBFS as a close microphone does.
sox "$speech" -r 48000 -b 16 -c 2 "$output/speech.wav" gain -n -3

python3 scripts/render-voice-effects.py "$library" "$output/speech.wav" "$output"
for file in "$output"/speech.wav "$output"/{muffle,phone,radio,megaphone}*.wav; do
  sox "$file" -n remix 1 spectrogram -x 800 -y 257 -z 90 -t "$(basename "$file" .wav)" -o "${file%.wav}.png"
done
