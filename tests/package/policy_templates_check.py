#!/usr/bin/env python3
"""The administrative templates: well-formed, every string and presentation
the ADMX names in each ADML, each policy's registry values exactly the names
the programs read (kSettingKeys in settings.h, kWeekdayPolicyNames in
policy.h), with their ranges. Usage: policy_templates_check.py SOURCE_DIR
"""
import re
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

NS = {"p": "http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions"}
LANGUAGES = ["ja-JP", "en-US"]

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def program_names(source):
    """The keys' table (name -> kind, low, high) and the weekday boxes, as the code has them."""
    settings = (source / "common/schedule/settings.h").read_text(encoding="utf-8")
    keys = {}
    for m in re.finditer(r'\{"(\w+)", SettingKind::(\w+), (\w+), (\w+), (\w+)', settings):
        keys[m[1]] = (m[2], m[4], m[5])
    policy = (source / "common/schedule/policy.h").read_text(encoding="utf-8")
    boxes_text = re.search(r"kWeekdayPolicyNames = \{([^}]*)\}", policy, re.S)
    boxes = re.findall(r'"(\w+)"', boxes_text[1]) if boxes_text else []
    key_path = re.search(r'kPolicyKeyPath\[\] = L"([^"]*)"', policy)
    return keys, boxes, key_path[1].replace("\\\\", "\\") if key_path else None


def main():
    source = Path(sys.argv[1])
    keys, boxes, key_path = program_names(source)
    check(len(keys) >= 10 and len(boxes) == 7 and key_path, "the names are read from the code")

    folder = source / "policies"
    try:
        admx = ET.parse(folder / "Ombrel.admx").getroot()
        admls = {lang: ET.parse(folder / lang / "Ombrel.adml").getroot() for lang in LANGUAGES}
    except ET.ParseError as error:
        print(f"FAIL: not well-formed: {error}")
        return 1

    text = ET.tostring(admx, encoding="unicode")
    strings = set(re.findall(r"\$\(string\.(\w+)\)", text))
    presentations = set(re.findall(r"\$\(presentation\.(\w+)\)", text))
    for lang, adml in admls.items():
        have = {s.get("id") for s in adml.findall("p:resources/p:stringTable/p:string", NS)}
        for name in sorted(strings - have):
            check(False, f"{lang}: string {name} is missing")
        shown = {p.get("id"): p for p in adml.findall("p:resources/p:presentationTable/p:presentation", NS)}
        for name in sorted(presentations - set(shown)):
            check(False, f"{lang}: presentation {name} is missing")
        for policy in admx.findall("p:policies/p:policy", NS):
            reference = re.fullmatch(r"\$\(presentation\.(\w+)\)", policy.get("presentation", ""))
            elements = {e.get("id") for e in policy.findall("p:elements/*", NS)}
            if reference and reference[1] in shown:
                boxes_shown = {b.get("refId") for b in shown[reference[1]]}
                check(boxes_shown == elements, f"{lang}: {policy.get('name')}'s boxes are its elements")

    categories = {c.get("name") for c in admx.findall("p:categories/p:category", NS)}
    check(categories == {"Ombrel"}, "one category, Ombrel")
    values = []
    for policy in admx.findall("p:policies/p:policy", NS):
        name = policy.get("name")
        check(policy.get("class") == "Both", f"{name} is for the computer and the user")
        check(policy.get("key") == key_path, f"{name}'s key is {key_path}")
        parent = policy.find("p:parentCategory", NS)
        check(parent is not None and parent.get("ref") == "Ombrel", f"{name} is in Ombrel")
        if policy.get("valueName"):
            value = policy.get("valueName")
            values.append(value)
            # Enabled 1, disabled 0: a key of no other values.
            check(keys.get(value, ("", "", ""))[1:] == ("0", "1"), f"{value} takes 0 and 1 alone")
        for element in policy.findall("p:elements/*", NS):
            value = element.get("valueName")
            values.append(value)
            check(element.get("key") in (None, key_path), f"{value}'s key is {key_path}")
            tag = element.tag.split("}")[1]
            if value in keys:
                kind, low, high = keys[value]
                expected = {"kNumber": "decimal", "kDates": "text", "kPath": "text"}.get(kind)
                check(tag == expected, f"{value} is a {expected} box")
                if tag == "decimal":
                    check((element.get("minValue"), element.get("maxValue")) == (low, high),
                          f"{value}'s range is {low} to {high}")
            elif value in boxes:
                check(tag == "boolean", f"{value} is a check box")

    read = set(keys) | set(boxes)
    check(len(values) == len(set(values)), "each value is named once")
    for value in sorted(set(values) - read):
        check(False, f"{value} is no value the programs read")
    # Days is read as its text too; the template gives it as the seven boxes.
    for value in sorted(read - set(values) - {"Days"}):
        check(False, f"{value} has no policy")

    for failure in failures:
        print(f"FAIL: {failure}")
    print(f"{len(values)} values checked, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
