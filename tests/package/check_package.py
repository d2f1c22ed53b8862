#!/usr/bin/env python3
"""The .ts3_plugin package as a user receives it: its entries and their compression, the
package.ini that TeamSpeak's installer reads, and whether the plugin, unpacked into a fresh
plugin folder, starts and stops in tralvonic-host.

Usage: check_package.py PACKAGE HOST_PROGRAM NAME VERSION AUTHOR DESCRIPTION [PLATFORMS [RUNNER]]
PLATFORMS is the package's platform list, comma-separated (default linux_amd64): the package
holds both libraries of each. The host starts the first platform's plugin, through RUNNER
when one is named (scripts/wine-run.sh for win64).
Exits non-zero and says why at the first fault."""
import os
import pathlib
import select
import signal
import subprocess
import sys
import tempfile
import time
import zipfile

LIBRARIES = {
    "linux_amd64": ("plugins/tralvonic_linux_amd64.so", "plugins/Tralvonic/VoiceDistortion_linux_amd64.so"),
    "win64": ("plugins/tralvonic_win64.dll", "plugins/Tralvonic/VoiceDistortion_win64.dll"),
}
SOUNDS = "plugins/Tralvonic/default/"
CLICKS = ["selfOnMicClick", "selfOffMicClick", "onMicClick", "offMicClick", "onSecMicClick", "offSecMicClick"]


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def check_entries(archive, platforms):
    files = [info for info in archive.infolist() if not info.is_dir()]
    names = sorted(info.filename for info in files)
    libraries = [library for platform in platforms for library in LIBRARIES[platform]]
    for required in ["package.ini"] + libraries + [SOUNDS + click + ".wav" for click in CLICKS]:
        if required not in names:
            fail(f"{required} missing; the package holds {names}")
    strays = [n for n in names if n not in ["package.ini"] + libraries
              and not (n.startswith(SOUNDS) and n.endswith(".wav") and "/" not in n[len(SOUNDS):])]
    if strays:
        fail(f"entries that do not belong in a plugin folder: {strays}")
    for info in files:
        if info.compress_type != zipfile.ZIP_DEFLATED:
            fail(f"{info.filename} is stored with method {info.compress_type}, not deflated")
    return names


def check_ini(archive, expected):
    text = archive.read("package.ini").decode("utf-8")
    values = {}
    for line in text.splitlines():
        if not line.strip():
            continue
        key, separator, value = line.partition("=")
        if not separator:
            fail(f"package.ini line without '=': {line!r}")
        values[key.strip()] = value.strip().strip('"')
    # The platform list is a set: its order is the packer's.
    if "Platforms" in values:
        values["Platforms"] = sorted(platform.strip() for platform in values["Platforms"].split(","))
    if values != expected:
        fail(f"package.ini holds {values}, expected {expected}")


def read_until(process, marker, deadline):
    seen = []
    while time.monotonic() < deadline:
        ready, _, _ = select.select([process.stdout], [], [], max(0.0, deadline - time.monotonic()))
        if not ready:
            break
        line = process.stdout.readline()
        if not line:
            break
        seen.append(line.rstrip("\n"))
        if marker in line:
            return seen
    fail(f"tralvonic-host never printed {marker!r}; it printed:\n" + "\n".join(seen[-30:]))


def check_runs(archive, host, platform, runner):
    with tempfile.TemporaryDirectory() as folder:
        archive.extractall(folder)
        plugin = pathlib.Path(folder) / LIBRARIES[platform][0]
        os.chmod(plugin, 0o755)
        # The package carries no settings file; the plugin must start on its defaults. The
        # game link's port may be taken by a running host, which the plugin survives too.
        process = subprocess.Popen(([runner] if runner else []) + [host, str(plugin)], stdout=subprocess.PIPE,
                                   stderr=subprocess.STDOUT, text=True, bufsize=1)
        try:
            read_until(process, "[sim] plugin started", time.monotonic() + 30)
            process.send_signal(signal.SIGINT)
            read_until(process, "[sim] plugin unloaded", time.monotonic() + 30)
            if process.wait(timeout=30) != 0:
                fail(f"tralvonic-host exited with {process.returncode}")
        finally:
            if process.poll() is None:
                process.kill()


def main():
    package, host, name, version, author, description = sys.argv[1:7]
    platform_list = sys.argv[7] if len(sys.argv) > 7 else "linux_amd64"
    runner = sys.argv[8] if len(sys.argv) > 8 else ""
    platforms = [platform.strip() for platform in platform_list.split(",")]
    with zipfile.ZipFile(package) as archive:
        names = check_entries(archive, platforms)
        check_ini(archive, {"Name": name, "Type": "Plugin", "Author": author, "Version": version,
                            "Platforms": sorted(platforms), "Description": description})
        check_runs(archive, host, platforms[0], runner)
    print(f"package {pathlib.Path(package).name}: {len(names)} files, ini and start in order")


if __name__ == "__main__":
    main()
