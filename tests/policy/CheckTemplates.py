#!/usr/bin/env python3
"""Checks the administrative templates against the policy values the program
reads, so an administrator is never offered a value the program ignores and
no value the program reads is missing from the templates.

Usage: CheckTemplates.py <print_policy_values> <policy folder>
Fails (exit 1) when a template is not well-formed XML, when either side has a
value the other lacks, when a value is not offered to computers and users
alike, when the templates can write a number outside the program's range or
not every number in it, or when an ADML lacks a string or presentation the
ADMX names."""
import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

NS = "{http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions}"
CULTURES = ("en-US", "de-DE", "es-ES", "it-IT")
REFERENCE = re.compile(r"\$\((string|presentation)\.([^)]+)\)")


def ProgramValues(printer):
    lines = subprocess.run([printer], check=True, capture_output=True, text=True).stdout.splitlines()
    key = next(line.split(" ", 1)[1] for line in lines if line.startswith("key "))
    values = {}
    for line in lines:
        if line.startswith("value "):
            _, name, minimum, maximum = line.split()
            values[name] = set(range(int(minimum), int(maximum) + 1))
    return key, values


def Parse(path, errors):
    try:
        return ElementTree.parse(path).getroot()
    except (ElementTree.ParseError, OSError) as error:
        errors.append(f"{path}: not well-formed: {error}")
        return None


def Decimals(node):
    return {int(d.get("value")) for d in node.iter(NS + "decimal")}


def TemplateValues(admx, errors):
    """{value name: (classes, numbers the templates can write, keys)}."""
    found = {}
    for policy in admx.iter(NS + "policy"):
        classes = {"Machine", "User"} if policy.get("class") == "Both" else {policy.get("class")}
        writes = []  # (value name, key, numbers)
        if policy.get("valueName"):
            numbers = set()
            for tag in ("enabledValue", "disabledValue"):
                for node in policy.findall(NS + tag):
                    numbers |= Decimals(node)
            writes.append((policy.get("valueName"), policy.get("key"), numbers))
        for elements in policy.findall(NS + "elements"):
            for element in elements:
                if element.tag == NS + "enum":
                    numbers = Decimals(element)
                elif element.tag == NS + "decimal":
                    numbers = set(range(int(element.get("minValue", 0)), int(element.get("maxValue", -1)) + 1))
                else:
                    errors.append(f"policy {policy.get('name')}: element {element.tag} writes no REG_DWORD")
                    continue
                writes.append((element.get("valueName"), element.get("key", policy.get("key")), numbers))
        for name, key, numbers in writes:
            entry = found.setdefault(name, (set(), set(), set()))
            entry[0].update(classes)
            entry[1].update(numbers)
            entry[2].add(key)
    return found


def main(printer, folder):
    errors = []
    key, program = ProgramValues(printer)
    admx = Parse(os.path.join(folder, "Shadowpane.admx"), errors)
    admls = {c: Parse(os.path.join(folder, c, "Shadowpane.adml"), errors) for c in CULTURES}
    if admx is not None:
        if admx.tag != NS + "policyDefinitions" or not admx.get("revision") or not admx.get("schemaVersion"):
            errors.append("Shadowpane.admx: not a policyDefinitions with revision and schemaVersion")
        templates = TemplateValues(admx, errors)
        for name in sorted(set(program) - set(templates)):
            errors.append(f"{name}: the program reads it, the templates lack it")
        for name in sorted(set(templates) - set(program)):
            errors.append(f"{name}: the templates set it, the program does not read it")
        for name in sorted(set(templates) & set(program)):
            classes, numbers, keys = templates[name]
            if classes != {"Machine", "User"}:
                errors.append(f"{name}: offered to {sorted(classes)} only, not to computers and users")
            if numbers != program[name]:
                errors.append(f"{name}: templates write {sorted(numbers)}, the program reads {sorted(program[name])}")
            if keys != {key}:
                errors.append(f"{name}: under {sorted(keys)}, the program reads {key}")
        references = set(REFERENCE.findall(ElementTree.tostring(admx, encoding="unicode")))
        for culture, adml in admls.items():
            if adml is None:
                continue
            have = {("string", s.get("id")) for s in adml.iter(NS + "string")}
            have |= {("presentation", p.get("id")) for p in adml.iter(NS + "presentation")}
            for kind, name in sorted(references - have):
                errors.append(f"{culture}: no {kind} {name}")
    for error in errors:
        print(error)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
