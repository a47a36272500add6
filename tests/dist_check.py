#!/usr/bin/env python3
"""Checks the release in dist/ from the Linux side: version literals, the zip, the exe in it,
SHA256SUMS and the winget and Scoop manifests.
    dist_check.py DIST VERSION OBJDUMP"""
import hashlib
import json
import re
import struct
import subprocess
import sys
import tempfile
from pathlib import Path

import yaml

dist, version, objdump = Path(sys.argv[1]), sys.argv[2], sys.argv[3]
setup = f"vexolind-{version}-setup.exe"
portable = f"vexolind-{version}-portable.zip"
failures = []


def check(what, ok, detail=""):
    print(("ok   " if ok else "FAIL ") + what + (f": {detail}" if detail and not ok else ""))
    if not ok:
        failures.append(what)


def version_literals(exe):
    """The file version in the exe's version record and its manifest's own version."""
    data = exe.read_bytes()
    at = data.find(struct.pack("<I", 0xFEEF04BD))
    fileversion = None
    if at >= 0:
        ms, ls = struct.unpack_from("<II", data, at + 8)
        fileversion = f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"
    check("the exe's FILEVERSION is the project version", fileversion == version, fileversion)
    m = re.search(rb'<assemblyIdentity[^>]*name="Vexolind\.vexolind"[^>]*version="([\d.]+)"', data)
    check("the manifest's own assemblyIdentity version is the project version",
          bool(m) and m.group(1).decode() == version, m and m.group(1))


def zip_and_exe():
    listed = subprocess.run(["cmake", "-E", "tar", "tf", str(dist / portable)],
                            capture_output=True, text=True)
    names = sorted(listed.stdout.split())
    check("the zip lists", listed.returncode == 0, listed.stderr)
    check("the zip holds exactly vexolind.exe, README.txt and LICENSE.txt at its root",
          names == ["LICENSE.txt", "README.txt", "vexolind.exe"], names)
    with tempfile.TemporaryDirectory() as tmp:
        out = subprocess.run(["cmake", "-E", "tar", "xf", str(dist / portable)], cwd=tmp)
        exe = Path(tmp) / "vexolind.exe"
        check("the zip unpacks", out.returncode == 0 and exe.exists())
        if not exe.exists():
            return
        version_literals(exe)
        size = exe.stat().st_size
        check("the shipped exe is at most 1 MiB", size <= 1 << 20, f"{size} bytes")
        headers = subprocess.run([objdump, "-h", str(exe)], capture_output=True, text=True)
        debug = re.findall(r"\.debug_\w+", headers.stdout)
        check("the shipped exe has no .debug_* sections", headers.returncode == 0 and not debug, debug)
        for name, want in (("README.txt", "%APPDATA%\\vexolind"), ("LICENSE.txt", "MIT License")):
            text = (Path(tmp) / name).read_bytes()
            check(f"{name} has Windows line ends and says {want}",
                  b"\r\n" in text and b"\n" not in text.replace(b"\r\n", b"") and want.encode() in text)


def checksums():
    r = subprocess.run(["sha256sum", "-c", "SHA256SUMS"], cwd=dist, capture_output=True, text=True)
    check("sha256sum -c SHA256SUMS passes", r.returncode == 0, r.stdout + r.stderr)
    named = sorted(line.split()[1] for line in (dist / "SHA256SUMS").read_text().splitlines())
    check("SHA256SUMS names the installer and the zip", named == sorted([setup, portable]), named)


def winget():
    base = "Vexolind.vexolind"
    docs = {}
    for part, kind in (("", "version"), (".installer", "installer"), (".locale.en-US", "defaultLocale")):
        path = dist / "winget" / f"{base}{part}.yaml"
        try:
            docs[kind] = yaml.safe_load(path.read_text())
        except (OSError, yaml.YAMLError) as e:
            check(f"{path.name} parses", False, e)
            continue
        d = docs[kind]
        check(f"{path.name} is a {kind} manifest 1.6 of {base} {version}",
              isinstance(d, dict) and d.get("ManifestType") == kind and d.get("ManifestVersion") == "1.6.0"
              and d.get("PackageIdentifier") == base and str(d.get("PackageVersion")) == version, d)
    inst = docs.get("installer") or {}
    sha = hashlib.sha256((dist / setup).read_bytes()).hexdigest()
    entries = inst.get("Installers") or [{}]
    url = entries[0].get("InstallerUrl", "")
    want = {"InstallerType": "nullsoft", "Scope": "user", "ProductCode": "vexolind"}
    for key, value in want.items():
        check(f"installer manifest {key} is {value}", inst.get(key) == value, inst.get(key))
    check("installer manifest declares exit code 2 as packageInUse",
          inst.get("ExpectedReturnCodes") == [{"InstallerReturnCode": 2, "ReturnResponse": "packageInUse"}],
          inst.get("ExpectedReturnCodes"))
    check("installer manifest carries the installer's SHA-256",
          str(entries[0].get("InstallerSha256", "")).lower() == sha, entries[0].get("InstallerSha256"))
    check("installer manifest downloads over https from /software/vexolind/",
          re.fullmatch(rf"https://[\w.-]+/software/vexolind/{re.escape(setup)}", url) is not None, url)
    locale = docs.get("defaultLocale") or {}
    check("default locale names publisher, name and licence",
          locale.get("Publisher") == "Vexolind Software" and locale.get("PackageName") == "vexolind"
          and locale.get("License") == "MIT", locale)


def scoop():
    try:
        d = json.loads((dist / "scoop" / "vexolind.json").read_text())
    except (OSError, ValueError) as e:
        return check("scoop/vexolind.json parses", False, e)
    x64 = d.get("architecture", {}).get("64bit", {})
    check("the Scoop manifest: this version, the zip over https with its SHA-256, the exe as bin and shortcut",
          d.get("version") == version and d.get("license") == "MIT" and d.get("bin") == "vexolind.exe"
          and d.get("shortcuts") == [["vexolind.exe", "vexolind"]]
          and x64.get("hash") == hashlib.sha256((dist / portable).read_bytes()).hexdigest()
          and re.fullmatch(rf"https://[\w.-]+/software/vexolind/{re.escape(portable)}", x64.get("url", "")) is not None, d)


for part in (zip_and_exe, checksums, winget, scoop):
    part()
print(f"{len(failures)} check(s) failed" if failures else "all release checks passed")
sys.exit(1 if failures else 0)
