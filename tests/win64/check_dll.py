#!/usr/bin/env python3
"""A Windows DLL of the build as the loader sees it, read with MinGW's objdump on Linux: the
names it exports, exactly, and the DLLs it imports, which must all be Windows' own (the C++
runtime, libgcc and winpthread are linked in, so no MinGW DLL has to lie beside it).

Usage: check_dll.py OBJDUMP DLL EXPORT...
Prints the export and import tables; exits non-zero and says why at the first fault."""
import re
import subprocess
import sys

# DLLs that every Windows 10 installation carries in System32.
SYSTEM_DLLS = {
    "advapi32.dll", "bcrypt.dll", "crypt32.dll", "gdi32.dll", "iphlpapi.dll", "kernel32.dll",
    "msvcrt.dll", "mswsock.dll", "normaliz.dll", "ole32.dll", "oleaut32.dll", "secur32.dll",
    "shell32.dll", "shlwapi.dll", "user32.dll", "wldap32.dll", "ws2_32.dll",
}


def tables(objdump, dll):
    text = subprocess.run([objdump, "-p", dll], check=True, capture_output=True, text=True).stdout
    imports = sorted(set(re.findall(r"^\s*DLL Name: (\S+)", text, re.MULTILINE)))
    exports = []
    in_names = False
    for line in text.splitlines():
        if line.startswith("[Ordinal/Name Pointer] Table"):
            in_names = True
            continue
        if in_names:
            match = re.match(r"^\s*\[\s*\d+\]\s+(\S+)\s*$", line)
            if not match:
                break
            exports.append(match.group(1))
    return exports, imports


def main():
    objdump, dll, expected = sys.argv[1], sys.argv[2], sys.argv[3:]
    exports, imports = tables(objdump, dll)
    print(f"{dll}: {len(exports)} exports: {' '.join(exports)}")
    print(f"{dll}: imports {' '.join(imports)}")
    if sorted(exports) != sorted(expected):
        missing = sorted(set(expected) - set(exports))
        extra = sorted(set(exports) - set(expected))
        print(f"FAIL: exports differ; missing {missing}, not expected {extra}")
        return 1
    foreign = [name for name in imports if name.lower() not in SYSTEM_DLLS]
    if foreign:
        print(f"FAIL: imports DLLs that are not Windows' own: {foreign}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
