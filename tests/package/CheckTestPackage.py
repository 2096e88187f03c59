#!/usr/bin/env python3
"""Makes the Windows test package (scripts/package-tests.sh) and checks it
against the Windows build's own test list, read afresh from ctest: every
test executable ctest runs through Wine is in the folder at its place in
the build tree and is run by run-tests.cmd; every other test is named there
as not run; the program and the virtual devices' files are beside them; the
zip holds the folder; and the cmd file's lines end in CR LF (cmd finds its
labels by line).

  CheckTestPackage.py <source root> <win32 build dir>
"""
import json
import os
import subprocess
import sys
import zipfile

# What the tests reach besides their own executables.
COMPANIONS = [
    "Shadowpane.exe",
    "tests/virtualdevices/shadowpane_virtualdevices.dll",
    "tests/virtualdevices/shadowpane_capture_helper.exe",
    "tests/virtualdevices/shadowpane_e2e_tool.exe",
]


def main():
    root, build = (os.path.abspath(a) for a in sys.argv[1:3])
    env = dict(os.environ, BUILD_ROOT=os.path.dirname(build))
    subprocess.run([os.path.join(root, "scripts", "package-tests.sh")], check=True, env=env,
                   stdout=subprocess.DEVNULL)
    listing = json.loads(subprocess.run(["ctest", "-N", "--show-only=json-v1"], cwd=build, check=True,
                                        capture_output=True, text=True).stdout)
    out = os.path.join(build, "test-package")
    package = os.path.join(out, "Shadowpane-tests")
    with open(os.path.join(package, "run-tests.cmd"), "rb") as f:
        runner = f.read()
    text = runner.decode("ascii")
    faults = []
    if b"\n" in runner.replace(b"\r\n", b""):
        faults.append("run-tests.cmd has a line that does not end in CR LF")

    windows_tests = 0
    for test in listing["tests"]:
        name = test["name"]
        command = test.get("command") or []
        if len(command) >= 2 and os.path.basename(command[0]) == "wine-run.sh":
            windows_tests += 1
            exe = os.path.relpath(command[1], build)
            if not os.path.isfile(os.path.join(package, exe)):
                faults.append("%s: %s is not in the package" % (name, exe))
            if ("call :test %s " % name) not in text:
                faults.append("%s: run-tests.cmd does not run it" % name)
        elif ("call :notrun %s " % name) not in text:
            faults.append("%s: run-tests.cmd does not name it as not run" % name)
    if windows_tests == 0:
        faults.append("ctest lists no Windows test: nothing was checked")
    for companion in COMPANIONS:
        if not os.path.isfile(os.path.join(package, companion)):
            faults.append("%s is not in the package" % companion)

    on_disk = set()
    for folder, _, names in os.walk(package):
        on_disk |= {os.path.relpath(os.path.join(folder, n), out) for n in names}
    with zipfile.ZipFile(os.path.join(out, "Shadowpane-tests.zip")) as z:
        zipped = set(z.namelist())
    if zipped != on_disk:
        faults.append("the zip differs from the folder: %s" % sorted(zipped ^ on_disk))

    for fault in faults:
        print(fault)
    print("%d Windows tests checked, %d faults" % (windows_tests, len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
