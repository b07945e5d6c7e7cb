#!/usr/bin/python3
"""A release's winget manifests (YAML): checked against schema 1.12.0, the
installer and each other, or the uninstall entry they name, NAME=value a line.
  winget_check.py check WINGET_DIR INSTALLER | entry WINGET_DIR"""
import hashlib
import pathlib
import sys

import yaml

# What schema 1.12.0 requires of each type beside PackageIdentifier,
# PackageVersion, ManifestType and ManifestVersion ("[]": each item of a list).
REQUIRED = {
    "version": ["DefaultLocale"],
    "installer": ["Installers[].Architecture", "Installers[].InstallerUrl", "Installers[].InstallerSha256"],
    "defaultLocale": ["PackageLocale", "Publisher", "PackageName", "License", "ShortDescription"],
    "locale": ["PackageLocale"],
}

def scalars(node, path=""):  # every value under NODE, with its path
    if isinstance(node, dict):
        return [s for key, value in node.items() for s in scalars(value, f"{path}.{key}".lstrip("."))]
    if isinstance(node, list):
        return [s for value in node for s in scalars(value, path + "[]")]
    return [(path, node)]

def manifests(winget_dir):
    files = pathlib.Path(winget_dir, "manifests").rglob("*.yaml")
    return {m["ManifestType"]: m for m in (yaml.safe_load(f.read_text(encoding="utf-8")) for f in files)}

def check(winget_dir, installer):
    found = manifests(winget_dir)
    wrong = [] if sorted(found) == sorted(REQUIRED) else [f"manifest types {sorted(found)}"]
    for kind, manifest in found.items():
        values = dict(pairs := scalars(manifest))
        wrong += [f"{kind}: no {path}" for path in REQUIRED.get(kind, []) + ["PackageIdentifier", "PackageVersion"]
                  if path not in values]
        wrong += [f"{kind}: {name} {values.get(name)!r}" for name, want in
                  (("ManifestType", kind), ("ManifestVersion", "1.12.0")) if values.get(name) != want]
        # Every field written is text but the return codes, whole numbers: YAML
        # reads an unquoted 1.01 as a number, which the schema refuses.
        wrong += [f"{kind}: {path} {value!r} is a {type(value).__name__}" for path, value in pairs
                  if type(value) is not (int if path.endswith("InstallerReturnCode") else str)]
    if len({(m.get("PackageIdentifier"), m.get("PackageVersion")) for m in found.values()}) != 1:
        wrong.append("the manifests name more than one identifier or version")
    sha256 = hashlib.sha256(pathlib.Path(installer).read_bytes()).hexdigest()
    if [i.get("InstallerSha256", "").lower() for i in found["installer"]["Installers"]] != [sha256]:
        wrong.append(f"the installer's SHA-256 is {sha256}")
    print("\n".join(wrong), file=sys.stderr, end="\n" if wrong else "")
    return not wrong

def entry(winget_dir):
    (apps,) = manifests(winget_dir)["installer"]["AppsAndFeaturesEntries"]
    print("\n".join(f"{name}={value}" for name, value in sorted(apps.items())))
    return True

if __name__ == "__main__":
    sys.exit(0 if {"check": check, "entry": entry}[sys.argv[1]](*sys.argv[2:]) else 1)
