#!/usr/bin/env python3
"""Writes the Windows test package (scripts/package-tests.sh).

  test-package.py <ctest json-v1 listing> <win32 build dir> <output dir> <objdump>

Each test ctest runs through Wine (cmake/wine-run.sh <exe> <args>) is packed
at its place in the build tree; every other one needs this Linux host and is
named in run-tests.cmd as not run. Prints what it packed and left out.
"""
import json
import os
import re
import shutil
import subprocess
import sys
import zipfile

PACKAGE_NAME = "Shadowpane-tests"
RUNNER_NAME = "run-tests.cmd"
# How ctest runs a Windows executable here: through Wine.
WINE_RUNNER = "wine-run.sh"
# What the tests reach besides their own executables, by their place in
# the build tree: the program (the end-to-end tests copy it), its help, the
# virtual devices' DLL and helper, and the tool that unplugs their leftovers.
COMPANIONS = [
    "Shadowpane.exe",
    "Shadowpane.chm",
    "tests/virtualdevices/shadowpane_virtualdevices.dll",
    "tests/virtualdevices/shadowpane_capture_helper.exe",
    "tests/virtualdevices/shadowpane_e2e_tool.exe",
]
DEVICE_TOOL = "tests/virtualdevices/shadowpane_e2e_tool.exe"
# The tests that write the machine's registry: the virtual devices' classes
# (a new key under HKEY_CLASSES_ROOT is made under HKEY_LOCAL_MACHINE), the
# policy keys, discovery's test microphone. They need an administrator's
# prompt on Windows.
DEVICE_LOCK = "shadowpane_virtual_devices"
MACHINE_KEY_TESTS = {"policy_win32_tests", "ui_main_win32_tests"}
# MinGW's own runtime DLLs, which a Windows machine does not have: every
# packed file must be linked statically.
RUNTIME_DLL = re.compile(r"^(libgcc|libstdc\+\+|libwinpthread)", re.IGNORECASE)
# What an argument may hold to be written into a cmd file unquoted.
PLAIN_ARGUMENT = re.compile(r"^[A-Za-z0-9_=.:,/\\-]+$")


def classify(listing, build_dir):
    """Answers (packed, left_out): packed holds dicts with name, exe, folder,
    args, machine; left_out holds (name, reason)."""
    packed, left_out = [], []
    for test in listing["tests"]:
        name = test["name"]
        command = test.get("command") or []
        props = {p["name"]: p["value"] for p in test.get("properties", [])}
        runner = os.path.basename(command[0]) if command else "nothing"
        if runner != WINE_RUNNER or len(command) < 2:
            left_out.append((name, "runs %s on the Linux build host" % runner))
            continue
        exe = os.path.relpath(command[1], build_dir)
        args = command[2:]
        if exe.startswith("..") or not exe.lower().endswith(".exe"):
            left_out.append((name, "its executable is not of the Windows build"))
            continue
        if not all(PLAIN_ARGUMENT.match(a) and not a.startswith("/") for a in args):
            left_out.append((name, "takes a path or text of the Linux build host"))
            continue
        folder = os.path.relpath(props.get("WORKING_DIRECTORY", build_dir), build_dir)
        if folder.startswith(".."):
            folder = "."
        locks = props.get("RESOURCE_LOCK", [])
        machine = DEVICE_LOCK in locks or name in MACHINE_KEY_TESTS
        packed.append({"name": name, "exe": exe, "folder": folder, "args": args, "machine": machine})
    return packed, left_out


def windows_path(relative):
    return relative.replace("/", "\\")


def runner_text(packed, left_out):
    # Plain per-line expansion only: no delayed expansion and no blocks that
    # read what they set, which Wine's cmd does not follow.
    lines = [
        "@echo off",
        "rem Shadowpane's Windows tests, packed by scripts/package-tests.sh.",
        "rem   run-tests.cmd [name ...]   runs every test, or only those named",
        "rem Run it on a test machine: the tests block and unblock its microphones,",
        "rem end running copies of Shadowpane and rewrite Shadowpane's settings.",
        "rem The tests that write the machine's registry (the virtual devices, the",
        "rem policy keys) need a prompt opened with \"Run as administrator\";",
        "rem without one they are named as not run.",
        "setlocal EnableExtensions DisableDelayedExpansion",
        'set "root=%~dp0"',
        'set "logs=%~dp0logs"',
        'if not exist "%logs%" mkdir "%logs%"',
        'set "notes=%logs%\\not-run.txt"',
        'type nul >"%notes%"',
        'set "only=%*"',
        "set /a total=0, failed=0, notrun=0",
        'set "failedList="',
        "",
        "rem Whether this prompt may write the machine's registry.",
        "set machine=0",
        'reg add "HKLM\\Software\\ShadowpaneTestProbe" /f >nul 2>&1 && set machine=1',
        'if "%machine%"=="1" reg delete "HKLM\\Software\\ShadowpaneTestProbe" /f >nul 2>&1',
        "rem Virtual devices a broken run left behind go first; each test plugs its own.",
        'if "%%machine%%"=="1" "%%root%%%s" unplug >nul 2>&1' % windows_path(DEVICE_TOOL),
        "",
    ]
    for test in packed:
        lines.append('set "args=%s"' % " ".join(test["args"]))
        lines.append('call :test %s "%s" "%s" %s' % (test["name"], windows_path(test["folder"]),
                                                     windows_path(test["exe"]),
                                                     "machine" if test["machine"] else "user"))
    for name, reason in left_out:
        lines.append('call :notrun %s "left out: %s"' % (name, reason))
    lines += [
        "",
        "echo.",
        'if "%total%"=="0" echo No tests were found.',
        'if "%total%"=="0" exit /b 1',
        "set /a passed=total-failed",
        "rem Rounded as ctest rounds, and never 100 while one failed.",
        "set /a percent=(passed*200+total)/(2*total)",
        "if %failed% gtr 0 if %percent% gtr 99 set percent=99",
        "echo %percent%%% tests passed, %failed% tests failed out of %total%",
        "if %notrun% gtr 0 echo.",
        "if %notrun% gtr 0 echo The following tests did not run:",
        'if %notrun% gtr 0 type "%notes%"',
        "if %failed% gtr 0 echo.",
        "if %failed% gtr 0 echo The following tests FAILED:",
        "if %failed% gtr 0 for %%t in (%failedList%) do echo \t%%t",
        "if %failed% gtr 0 exit /b 1",
        "exit /b 0",
        "",
        "rem :test <name> <working folder> <executable> machine|user, with its arguments in args",
        ":test",
        "call :selected %~1",
        'if "%selected%"=="0" exit /b 0',
        'if "%~4"=="machine" if "%machine%"=="0" goto :needsAdministrator',
        "set /a total+=1",
        'pushd "%root%%~2"',
        '"%root%%~3" %args% >"%logs%\\%~1.log" 2>&1',
        "set rc=%errorlevel%",
        "popd",
        'if "%rc%"=="0" echo %total% %~1 ... Passed',
        'if "%rc%"=="0" exit /b 0',
        "set /a failed+=1",
        'set "failedList=%failedList% %~1"',
        "echo %total% %~1 ... ***Failed (exit code %rc%)",
        'type "%logs%\\%~1.log"',
        "exit /b 0",
        ":needsAdministrator",
        'call :notrun %~1 "needs a prompt run as administrator"',
        "exit /b 0",
        "",
        "rem :notrun <name> <reason>",
        ":notrun",
        "call :selected %~1",
        'if "%selected%"=="0" exit /b 0',
        "set /a notrun+=1",
        'echo %~1 ... Not run (%~2)',
        '>>"%notes%" echo \t%~1 (%~2)',
        "exit /b 0",
        "",
        "rem :selected <name>: selected=1 when no names were given or it is one of them",
        ":selected",
        "set selected=1",
        "if defined only set selected=0",
        'if defined only for %%n in (%only%) do if /i "%%n"=="%~1" set selected=1',
        "exit /b 0",
    ]
    return "\r\n".join(lines) + "\r\n"


def runtime_dlls(objdump, path):
    out = subprocess.run([objdump, "-p", path], capture_output=True, text=True, check=True).stdout
    names = re.findall(r"DLL Name:\s*(\S+)", out)
    return [n for n in names if RUNTIME_DLL.match(n)]


def main():
    listing_file, build_dir, out_dir, objdump = sys.argv[1:5]
    with open(listing_file, encoding="utf-8") as f:
        listing = json.load(f)
    packed, left_out = classify(listing, build_dir)
    package = os.path.join(out_dir, PACKAGE_NAME)
    shutil.rmtree(package, ignore_errors=True)
    os.makedirs(package)
    files = sorted({t["exe"] for t in packed} | set(COMPANIONS))
    for relative in files:
        source = os.path.join(build_dir, relative)
        if not os.path.isfile(source):
            sys.exit("test-package: %s is not built (run BUILD_ONLY=win32 scripts/build.sh)" % relative)
        if relative.lower().endswith((".exe", ".dll")):
            missing = runtime_dlls(objdump, source)
            if missing:
                sys.exit("test-package: %s needs %s, which Windows lacks" % (relative, ", ".join(missing)))
        target = os.path.join(package, relative)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copy2(source, target)
    with open(os.path.join(package, RUNNER_NAME), "w", encoding="ascii", newline="") as f:
        f.write(runner_text(packed, left_out))
    archive = os.path.join(out_dir, PACKAGE_NAME + ".zip")
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as z:
        for folder, _, names in os.walk(package):
            for n in sorted(names):
                path = os.path.join(folder, n)
                z.write(path, os.path.relpath(path, out_dir))
    for t in packed:
        print("packed: %s%s" % (t["name"], " (administrator)" if t["machine"] else ""))
    for name, reason in left_out:
        print("left out: %s (%s)" % (name, reason))
    print("folder: %s" % package)
    print("zip: %s" % archive)


if __name__ == "__main__":
    main()
