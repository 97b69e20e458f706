#!/usr/bin/env python3
"""Reads the cross build's game resources back, as windres decompiles them: the manifest runs the game
with the user's own rights and common controls 6 on the listed Windows versions, aware of each monitor's
DPI; the version resource carries the project's version and the game's names.
    check_windows_resources.py <windres> <zopp.exe> <project version>"""
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

windres, exe, version = sys.argv[1:]
rc = subprocess.run([windres, "-i", exe, "-O", "rc"], check=True, capture_output=True, text=True).stdout
numbers = (version.split(".") + ["0"] * 4)[:4]
failures = []


def expect(what, actual, expected):
    if actual != expected:
        failures.append(f"{what}: {actual!r}, expected {expected!r}")


# The manifest is written as one quoted string a line, its quotes doubled.
block = re.search(r"^1 24 /\* RT_MANIFEST \*/\nBEGIN\n(.*?)\nEND$", rc, re.M | re.S)
lines = re.findall(r'^\s*"(.*)"$', block.group(1) if block else "", re.M)
manifest = ET.fromstring("".join(lines).replace('""', '"').replace("\\n", "\n").encode())
V1, V3 = "{urn:schemas-microsoft-com:asm.v1}", "{urn:schemas-microsoft-com:asm.v3}"
expect("own identity", manifest.find(V1 + "assemblyIdentity").get("version"), ".".join(numbers))
expect("execution level", [e.get("level") for e in manifest.iter(V3 + "requestedExecutionLevel")], ["asInvoker"])
dependencies = manifest.findall(f"{V1}dependency/{V1}dependentAssembly/{V1}assemblyIdentity")
expect("dependencies", [(d.get("name"), d.get("version")) for d in dependencies],
       [("Microsoft.Windows.Common-Controls", "6.0.0.0")])
expect("supported versions", [e.get("Id") for e in manifest.iter() if e.tag.endswith("}supportedOS")],
       ["{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
        "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"])
expect("DPI awareness", [(e.tag, e.text) for e in manifest.iter() if "dpiaware" in e.tag.lower()],
       [("{http://schemas.microsoft.com/SMI/2005/WindowsSettings}dpiAware", "true/pm"),
        ("{http://schemas.microsoft.com/SMI/2016/WindowsSettings}dpiAwareness", "PerMonitorV2, PerMonitor")])

fixed = ", ".join(numbers)
expect("fixed versions", re.findall(r"^ (?:FILE|PRODUCT)VERSION (.*)$", rc, re.M), [fixed, fixed])
values = dict(re.findall(r'^\s*VALUE "(\w+)", "(.*)"$', rc, re.M))
for name, expected in [("FileVersion", version), ("ProductVersion", version), ("ProductName", "ZOPP"),
                       ("OriginalFilename", "zopp.exe")]:
    expect(name, values.get(name), expected)
sys.exit("\n".join(failures) or None)
