#!/usr/bin/env python3
"""Runs a 48 kHz 16-bit WAV file through every voice effect of the built voice-effect library,
in host-sized blocks as the plugin's audio callbacks do, and writes one WAV file per effect and
setting, so that a person can listen to them.

Usage: render-voice-effects.py LIBRARY INPUT.wav OUTPUT_DIRECTORY
"""

import array
import ctypes
import os
import sys
import wave

BLOCK_FRAMES = 960

# (file name, process entry, setter entry or None, setting)
RENDERINGS = [
    ("muffle-03", "ProcessMuffle", "SetMuffleIntensity", 3),
    ("muffle-06", "ProcessMuffle", "SetMuffleIntensity", 6),
    ("muffle-10", "ProcessMuffle", "SetMuffleIntensity", 10),
    ("phone-signal-20", "ProcessPhone", "SetPhoneDistortion", 20.0),
    ("phone-signal-12", "ProcessPhone", "SetPhoneDistortion", 12.0),
    ("phone-signal-06", "ProcessPhone", "SetPhoneDistortion", 6.0),
    ("phone-signal-02", "ProcessPhone", "SetPhoneDistortion", 2.0),
    ("phone-signal-00", "ProcessPhone", "SetPhoneDistortion", 0.0),
    ("radio-00", "ProcessRadio", "SetRadioDistortion", 0.0),
    ("radio-06", "ProcessRadio", "SetRadioDistortion", 6.0),
    ("radio-12", "ProcessRadio", "SetRadioDistortion", 12.0),
    ("radio-18", "ProcessRadio", "SetRadioDistortion", 18.0),
    ("megaphone", "ProcessMegaphone", None, None),
]


def load(path):
    library = ctypes.CDLL(os.path.abspath(path))
    process_type = [ctypes.c_char_p, ctypes.POINTER(ctypes.c_int16), ctypes.c_int32, ctypes.c_int32,
                    ctypes.c_float]
    for name in ("ProcessMuffle", "ProcessPhone", "ProcessRadio", "ProcessMegaphone"):
        getattr(library, name).argtypes = process_type
        getattr(library, name).restype = None
    library.SetMuffleIntensity.argtypes = [ctypes.c_char_p, ctypes.c_int32]
    library.SetPhoneDistortion.argtypes = [ctypes.c_char_p, ctypes.c_float]
    library.SetRadioDistortion.argtypes = [ctypes.c_char_p, ctypes.c_float]
    return library


def main(arguments):
    if len(arguments) != 4:
        sys.exit(__doc__)
    library = load(arguments[1])
    with wave.open(arguments[2], "rb") as source:
        if source.getframerate() != 48000 or source.getsampwidth() != 2:
            sys.exit("the input must be 48 kHz 16-bit PCM")
        channels = source.getnchannels()
        voice = array.array("h", source.readframes(source.getnframes()))
    os.makedirs(arguments[3], exist_ok=True)
    frames = len(voice) // channels
    for file_name, process_name, setter_name, setting in RENDERINGS:
        player = file_name.encode()
        if setter_name is not None:
            getattr(library, setter_name)(player, setting)
        process = getattr(library, process_name)
        samples = array.array("h", voice)
        buffer = (ctypes.c_int16 * len(samples)).from_buffer(samples)
        for start in range(0, frames, BLOCK_FRAMES):
            count = min(BLOCK_FRAMES, frames - start)
            block = ctypes.cast(ctypes.byref(buffer, start * channels * 2), ctypes.POINTER(ctypes.c_int16))
            process(player, block, count, channels, 1.0)
        del block, buffer
        path = os.path.join(arguments[3], file_name + ".wav")
        with wave.open(path, "wb") as target:
            target.setnchannels(channels)
            target.setsampwidth(2)
            target.setframerate(48000)
            target.writeframes(samples.tobytes())
        print(path)


if __name__ == "__main__":
    main(sys.argv)
