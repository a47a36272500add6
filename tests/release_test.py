#!/usr/bin/env python3
"""The release as a careful user or a package repository checks it, in folders under WORK.
    release_test.py reproduce WORK SRC
        builds the release in two clones of SRC at HEAD, one after the other, with other
        folders, umask and time zone: every file must come out byte for byte the same.
    release_test.py sign WORK WINERUN WINEDIR DIST_SCRIPT DIST_ARGS...
        signs a release with a certificate made here and checks the signatures of the exe, the
        setup and the uninstaller that the setup installs (under Wine); a wrong password or a
        missing file stops the build and leaves no release behind."""
import hashlib
import os
import shutil
import subprocess
import sys
import zipfile
from pathlib import Path

failures = []


def check(what, ok, detail=""):
    print(("ok   " if ok else "FAIL ") + what + (f": {detail}" if detail and not ok else ""))
    if not ok:
        failures.append(what)
    return ok


def cleanenv(**extra):
    """The environment without any signing setting or date of the caller's."""
    env = {k: v for k, v in os.environ.items() if not k.startswith("VX_SIGN_") and k != "SOURCE_DATE_EPOCH"}
    env.update({k: str(v) for k, v in extra.items()})
    return env


def files(folder):
    folder = Path(folder)
    if not folder.is_dir():
        return {}
    return {p.relative_to(folder).as_posix(): p.read_bytes() for p in sorted(folder.rglob("*")) if p.is_file()}


def reproduce(work, src):
    def build(folder, tz, umask):
        subprocess.run(["git", "clone", "-q", src, str(folder)], check=True)
        env = cleanenv(TZ=tz)
        for cmd in (["cmake", "--preset", "mingw-cross", "-DBUILD_TESTING=OFF"],
                    ["cmake", "--build", "--preset", "mingw-cross", "--target", "dist"]):
            r = subprocess.run(cmd, cwd=folder, env=env, capture_output=True, text=True,
                               preexec_fn=lambda: os.umask(umask))
            if not check(" ".join(cmd[:3]) + f" in {folder.name}", r.returncode == 0, (r.stdout + r.stderr)[-3000:]):
                return {}
        built = files(folder / "dist")
        built["vexolind.exe as built"] = (folder / "build/mingw-cross/vexolind.exe").read_bytes()
        return built

    # A space in the second folder's name, and a time zone 14 hours east of the first's.
    first = build(work / "first", "UTC0", 0o022)
    second = build(work / "second build", "XYZ-14", 0o077)
    names = sorted(first)
    check("the release holds the setup, the zip, SHA256SUMS and the manifests",
          len(names) >= 7 and "SHA256SUMS" in names and "scoop/vexolind.json" in names, names)
    check("both builds wrote the same files", names == sorted(second), (names, sorted(second)))
    for name in names:
        check(f"{name} is byte for byte the same", first[name] == second.get(name))


def sign(work, winerun, winedir, script, distargs):
    password = "release test"
    key, cert, pfx = work / "key.pem", work / "cert.pem", work / "signer.pfx"
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
                    "-days", "2", "-subj", "/CN=vexolind release test",
                    "-addext", "extendedKeyUsage=codeSigning"], check=True, capture_output=True)
    subprocess.run(["openssl", "pkcs12", "-export", "-inkey", key, "-in", cert, "-out", pfx,
                    "-passout", "pass:" + password], check=True, capture_output=True)
    der = subprocess.run(["openssl", "x509", "-in", cert, "-outform", "DER"], check=True, capture_output=True)
    leaf = "sha256:" + hashlib.sha256(der.stdout).hexdigest()

    def release(name, **signing):
        out = work / name
        r = subprocess.run(["cmake", *distargs, f"-DSTAGE={work / (name + '-stage')}", f"-DOUT={out}", "-P", script],
                           env=cleanenv(**signing), capture_output=True, text=True)
        return r, out

    def signed(path, what):
        r = subprocess.run(["osslsigncode", "verify", "-CAfile", cert, "-require-leaf-hash", leaf, "-in", path],
                           capture_output=True, text=True)
        check(f"{what} carries a valid signature from the test certificate",
              r.returncode == 0 and "Signature verification: ok" in r.stdout, r.stdout + r.stderr)

    r, byfile = release("pfx", VX_SIGN_PFX=pfx, VX_SIGN_PASS=password)
    if not check("a release signed with VX_SIGN_PFX and VX_SIGN_PASS builds", r.returncode == 0, r.stdout + r.stderr):
        return
    r, bypem = release("pem", VX_SIGN_CERT=cert, VX_SIGN_KEY=key)
    check("a release signed with VX_SIGN_CERT and VX_SIGN_KEY builds", r.returncode == 0, r.stdout + r.stderr)
    check("the same key in either form signs byte for byte the same release", files(byfile) == files(bypem))
    setup = next(byfile.glob("*-setup.exe"))
    signed(setup, "the setup")
    with zipfile.ZipFile(next(byfile.glob("*-portable.zip"))) as z:
        (work / "portable.exe").write_bytes(z.read("vexolind.exe"))
    signed(work / "portable.exe", "the zip's vexolind.exe")
    sums = subprocess.run(["sha256sum", "-c", "SHA256SUMS"], cwd=byfile, capture_output=True, text=True)
    check("SHA256SUMS holds the signed files' sums", sums.returncode == 0, sums.stdout + sums.stderr)

    env = dict(os.environ, VEXOLIND_WINE_DIR=str(winedir))
    installed = Path(winedir) / "prefix/drive_c/vx-signed"
    done = subprocess.run([winerun, "Z:" + str(setup).replace("/", "\\"), "/S", "/D=C:\\vx-signed"], env=env)
    if check("the signed setup installs", done.returncode == 0):
        signed(installed / "vexolind.exe", "the installed vexolind.exe")
        signed(installed / "uninstall.exe", "the uninstaller the setup wrote")
        subprocess.run([winerun, "C:\\vx-signed\\uninstall.exe", "/S", "_?=C:\\vx-signed"], env=env)

    for what, signing in (("a wrong password", dict(VX_SIGN_PFX=pfx, VX_SIGN_PASS="wrong")),
                          ("a missing key file", dict(VX_SIGN_CERT=cert, VX_SIGN_KEY=work / "none.pem"))):
        out = work / "failed"
        shutil.copytree(byfile, out, dirs_exist_ok=True)   # an earlier release must go too
        r, _ = release("failed", **signing)
        said = " ".join((r.stdout + r.stderr).split())   # CMake wraps its messages
        check(f"{what} stops the build and says so", r.returncode != 0 and "No release was written" in said
              and ("Could not sign" in said or "none.pem, which is not a file" in said), said)
        check(f"{what} leaves no release files", not files(out) and not files(str(out) + ".part"), sorted(files(out)))


def main():
    work = Path(sys.argv[2])
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    if sys.argv[1] == "reproduce":
        reproduce(work, sys.argv[3])
    else:
        sign(work, *sys.argv[3:6], sys.argv[6:])
    print(f"{len(failures)} check(s) failed" if failures else "all checks passed")
    sys.exit(1 if failures else 0)


main()
