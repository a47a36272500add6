#!/usr/bin/env python3
"""The release as anyone can check it, in folders under WORK:
    release_test.py reproduce WORK SRC     two builds of SRC's HEAD come out byte for byte the same
    release_test.py sign WORK WINERUN WINEDIR DIST_SCRIPT DIST_ARGS...   a release signed with a
        certificate made here; a wrong password or a missing file leaves no release"""
import hashlib
import os
import shutil
import subprocess
import sys
from pathlib import Path

failures = []


def check(what, ok, detail=""):
    print(("ok   " if ok else "FAIL ") + what + ("" if ok else f": {detail}"))
    if not ok:
        failures.append(what)


def run(cmd, cwd=None, umask=0o022, **env):
    """Exit code and output, without the caller's signing settings and date."""
    clean = {k: v for k, v in os.environ.items() if not k.startswith("VX_SIGN_") and k != "SOURCE_DATE_EPOCH"}
    r = subprocess.run([str(c) for c in cmd], cwd=cwd, env={**clean, **{k: str(v) for k, v in env.items()}},
                       capture_output=True, text=True, preexec_fn=lambda: os.umask(umask))
    return r.returncode, " ".join((r.stdout + r.stderr).split())   # CMake wraps its messages


def files(folder, pattern="*"):
    return {p.relative_to(folder).as_posix(): p.read_bytes() for p in sorted(Path(folder).rglob(pattern)) if p.is_file()}


def reproduce(work, src):
    built = []
    for name, tz, umask in (("first", "UTC0", 0o022), ("second build", "XYZ-14", 0o077)):
        folder = work / name
        for cmd in (["git", "clone", "-q", src, folder], ["cmake", "--preset", "mingw-cross", "-DBUILD_TESTING=OFF"],
                    ["cmake", "--build", "--preset", "mingw-cross", "--target", "dist"]):
            code, said = run(cmd, cwd=folder if cmd[0] == "cmake" else None, umask=umask, TZ=tz)
            check(f"{' '.join(cmd[:2])} in {name}", code == 0, said[-2000:])
        built.append({**files(folder / "dist"), **files(folder / "build/mingw-cross", "vexolind.exe")})
    first, second = built
    check("the release and the exe were built", len(first) >= 9, sorted(first))
    check("both builds wrote the same files", sorted(first) == sorted(second), (sorted(first), sorted(second)))
    for name in first:
        check(f"{name} is byte for byte the same", first[name] == second.get(name))


def sign(work, winerun, winedir, script, distargs):
    key, cert, pfx, password = work / "key.pem", work / "cert.pem", work / "signer.pfx", "release test"
    run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert, "-days", "2",
         "-subj", "/CN=vexolind release test", "-addext", "extendedKeyUsage=codeSigning"])
    run(["openssl", "pkcs12", "-export", "-inkey", key, "-in", cert, "-out", pfx, "-passout", "pass:" + password])
    der = subprocess.run(["openssl", "x509", "-in", cert, "-outform", "DER"], capture_output=True).stdout
    leaf = "sha256:" + hashlib.sha256(der).hexdigest()

    def release(name, **signing):
        return run(["cmake", *distargs, f"-DSTAGE={work / name}-stage", f"-DOUT={work / name}", "-P", script], **signing)

    code, said = release("pfx", VX_SIGN_PFX=pfx, VX_SIGN_PASS=password)
    check("a release signs with VX_SIGN_PFX and VX_SIGN_PASS", code == 0, said)
    if code:
        return
    code, said = release("pem", VX_SIGN_CERT=cert, VX_SIGN_KEY=key)
    check("VX_SIGN_CERT and VX_SIGN_KEY sign it byte for byte the same",
          code == 0 and files(work / "pfx") == files(work / "pem"), said)
    setup, = (work / "pfx").glob("*-setup.exe")
    code, said = run(["sha256sum", "-c", "SHA256SUMS"], cwd=work / "pfx")
    check("SHA256SUMS holds the signed files' sums", code == 0, said)
    code, said = run([winerun, "Z:" + str(setup).replace("/", "\\"), "/S", "/D=C:\\vx-signed"], VEXOLIND_WINE_DIR=winedir)
    check("the signed setup installs", code == 0, said)
    installed = Path(winedir) / "prefix/drive_c/vx-signed"
    for path in (setup, installed / "vexolind.exe", installed / "uninstall.exe"):
        code, said = run(["osslsigncode", "verify", "-CAfile", cert, "-require-leaf-hash", leaf, "-in", path])
        check(f"{path.name} carries a valid signature from the test certificate",
              code == 0 and "Signature verification: ok" in said, said)
    run([winerun, "C:\\vx-signed\\uninstall.exe", "/S", "_?=C:\\vx-signed"], VEXOLIND_WINE_DIR=winedir)

    for what, signing, why in (("a wrong password", dict(VX_SIGN_PFX=pfx, VX_SIGN_PASS="wrong"), "Could not sign"),
                               ("a missing key file", dict(VX_SIGN_CERT=cert, VX_SIGN_KEY=work / "none.pem"),
                                "none.pem, which is not a file")):
        shutil.copytree(work / "pfx", work / "failed", dirs_exist_ok=True)   # an earlier release goes too
        code, said = release("failed", **signing)
        check(f"{what} stops the build and says so", code != 0 and why in said and "No release was written" in said, said)
        check(f"{what} leaves no release files", not files(work / "failed") and not files(work / "failed.part"))


work = Path(sys.argv[2])
shutil.rmtree(work, ignore_errors=True)
work.mkdir(parents=True)
if sys.argv[1] == "reproduce":
    reproduce(work, sys.argv[3])
else:
    sign(work, *sys.argv[3:6], sys.argv[6:])
print(f"{len(failures)} check(s) failed" if failures else "all checks passed")
sys.exit(1 if failures else 0)
