#!/usr/bin/python3
"""Checks a release's winget manifests offline against winget's manifest
schema 1.12.0, the installer they describe and each other; or prints the
uninstall entry they name, NAME=value a line.

  winget_check.py check WINGET_DIR INSTALLER RELEASE_URL
  winget_check.py entry WINGET_DIR
"""
import hashlib
import pathlib
import re
import sys

import yaml

LOCALE = r"([a-zA-Z]{2,3}|[iI]-[a-zA-Z]+|[xX]-[a-zA-Z]{1,8})(-[a-zA-Z]{1,8})*"
def text(low, high):
    return rf"(?s).{{{low},{high}}}"
# What each type requires (beside the four every type does), as paths
# ("[]" for each item of a list) and the pattern the text matches whole.
REQUIRED = {
    "version": {"DefaultLocale": LOCALE},
    "installer": {"Installers[].Architecture": "x86|x64|arm|arm64|neutral",
                  "Installers[].InstallerUrl": r"[Hh][Tt][Tt][Pp][Ss]?://.{1,2040}",
                  "Installers[].InstallerSha256": "[A-Fa-f0-9]{64}"},
    "defaultLocale": {"PackageLocale": LOCALE, "Publisher": text(2, 256), "PackageName": text(2, 256),
                      "License": text(3, 512), "ShortDescription": text(3, 256)},
    "locale": {"PackageLocale": LOCALE},
}
# The enumerations among the optional fields written.
ALLOWED = {
    "InstallerType": "msix|msi|appx|exe|zip|inno|nullsoft|wix|burn|pwa|portable|font",
    "Scope": "user|machine", "UpgradeBehavior": "install|uninstallPrevious|deny",
    "ElevationRequirement": "elevationRequired|elevationProhibited|elevatesSelf",
    "InstallModes[]": "interactive|silent|silentWithProgress",
    "ExpectedReturnCodes[].ReturnResponse": "packageInUse|packageInUseByApplication|installInProgress|fileInUse|"
    "missingDependency|diskFull|insufficientMemory|invalidParameter|noNetwork|contactSupport|"
    "rebootRequiredToFinish|rebootRequiredForInstall|rebootInitiated|cancelledByUser|alreadyInstalled|"
    "downgrade|blockedByPolicy|systemNotSupported|custom",
}


def at(node, path):
    """The values at PATH in NODE; None for a missing one."""
    head, _, rest = path.partition(".")
    items = node.get(head.removesuffix("[]")) if isinstance(node, dict) else None
    if head.endswith("[]"):
        items = items if isinstance(items, list) and items else [None]
    else:
        items = [items]
    return [v for item in items for v in (at(item, rest) if rest else [item])]


def scalars(node, path=""):
    """Every scalar under NODE with its path."""
    if isinstance(node, dict):
        return [s for key, value in node.items() for s in scalars(value, f"{path}.{key}".lstrip("."))]
    if isinstance(node, list):
        return [s for value in node for s in scalars(value, path + "[]")]
    return [(path, node)]


def schema_problems(kind, manifest):
    rules = dict(REQUIRED[kind], PackageIdentifier=r"[^.\s\\/:*?\"<>|\x01-\x1f]{1,32}"
                 r"(\.[^.\s\\/:*?\"<>|\x01-\x1f]{1,32}){1,7}", PackageVersion=r"[^\\/:*?\"<>|\x01-\x1f]{1,128}",
                 ManifestType=kind, ManifestVersion=r"1\.12\.0")
    found = [f"{path}: {value!r} is missing or does not match {pattern}" for path, pattern in rules.items()
             for value in at(manifest, path) if not isinstance(value, str) or not re.fullmatch(pattern, value)]
    found += [f"{path}: {value!r} is none of {pattern}" for path, pattern in ALLOWED.items()
              for value in at(manifest, path) if value is not None and not re.fullmatch(pattern, str(value))]
    # Every field written is text but the return codes, whole numbers: YAML
    # reads an unquoted 1.01 as a number, which the schema refuses.
    found += [f"{path}: {value!r} is a {type(value).__name__}" for path, value in scalars(manifest)
              if type(value) is not (int if path.endswith("InstallerReturnCode") else str)]
    return found


def load(winget_dir):
    files = sorted(pathlib.Path(winget_dir, "manifests").rglob("*.yaml"))
    return {yaml.safe_load(p.read_text(encoding="utf-8")).get("ManifestType"): p for p in files}


def check(winget_dir, installer, release_url):
    paths = load(winget_dir)
    results = []
    def expect(what, ok, detail=""):
        print(f"ok: {what}" if ok else f"FAILED: {what}\n  {detail}")
        results.append(ok)
    expect("four manifests, one of each type", sorted(paths) == sorted(REQUIRED), sorted(paths))
    manifests = {kind: yaml.safe_load(path.read_text(encoding="utf-8")) for kind, path in paths.items()}
    for kind, manifest in manifests.items():
        wrong = schema_problems(kind, manifest)
        expect(f"the {kind} manifest has each field the schema requires, typed as it says", not wrong,
               "\n  ".join(wrong))
    identity = {(m["PackageIdentifier"], m["PackageVersion"]) for m in manifests.values()}
    expect("all four name one identifier and version", len(identity) == 1, identity)
    ident, version = (str(manifests["version"][key]) for key in ("PackageIdentifier", "PackageVersion"))
    publisher, name = ident.split(".")
    folder = pathlib.Path(winget_dir, "manifests", publisher[0].lower(), publisher, name, version)
    names = {f"{ident}.yaml", f"{ident}.installer.yaml", f"{ident}.locale.ja-JP.yaml", f"{ident}.locale.en-US.yaml"}
    expect("they lie in manifests/<letter>/<Publisher>/<Name>/<version>/, named after the identifier",
           {p.parent for p in paths.values()} == {folder} and {p.name for p in paths.values()} == names,
           sorted(map(str, paths.values())))
    expect("the default locale is ja-JP, the other en-US", manifests["version"]["DefaultLocale"] == "ja-JP" ==
           manifests["defaultLocale"]["PackageLocale"] and manifests["locale"]["PackageLocale"] == "en-US")
    (only,) = manifests["installer"]["Installers"]
    sha256 = hashlib.sha256(pathlib.Path(installer).read_bytes()).hexdigest()
    expect("the SHA-256 is the installer's", only["InstallerSha256"].lower() == sha256, only["InstallerSha256"])
    url = release_url.rstrip("/") + "/" + pathlib.Path(installer).name
    expect("the installer is downloaded from the release's folder", only["InstallerUrl"] == url, only["InstallerUrl"])
    expect("the installer's statuses 2, 3 and 4 are expected",
           sorted(c["InstallerReturnCode"] for c in manifests["installer"]["ExpectedReturnCodes"]) == [2, 3, 4])
    return all(results)


def entry(winget_dir):
    manifest = yaml.safe_load(load(winget_dir)["installer"].read_text(encoding="utf-8"))
    (apps,) = manifest["AppsAndFeaturesEntries"]
    print("".join(f"{name}={value}\n" for name, value in sorted(apps.items())), end="")
    return True


if __name__ == "__main__":
    sys.exit(0 if {"check": check, "entry": entry}[sys.argv[1]](*sys.argv[2:]) else 1)
