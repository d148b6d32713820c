#!/usr/bin/env python3
"""Wine as the oracle for the native tolvane.

Makes random but realistic installs (a scenery library whose Local= paths are
written every way people and installers write them, conflicting files in
every state, package folders in every state), runs tolvane.exe under Wine and
the native tolvane (with --wineprefix) on the same tree, one after the other
from the same pristine copy, and compares what each leaves on disk, its JSON
and its exit code; TolvaneConfig.exe -u against tolvane restore as well. On a
difference the tree is kept and a one-line reproducer printed.

  tests/oracle.py --seconds N [--seed S]    random cases for N seconds
  tests/oracle.py --case S                  the one case S again

Run it through tools/oracle.sh, which builds the programs, makes the Wine
prefixes and gives Wine a display.
"""
import argparse
import hashlib
import json
import os
import random
import shutil
import stat
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WORK = os.path.join(ROOT, "build", "oracle")
NATIVE = os.path.join(ROOT, "build", "native", "cli", "tolvane")
WINDOWS_BUILD = os.environ.get("TOLVANE_WINDOWS_BUILD", os.path.join(ROOT, "build", "mingw64"))
EXE = os.path.join(WINDOWS_BUILD, "cli", "tolvane.exe")
DIALOG = os.path.join(WINDOWS_BUILD, "TolvaneConfig.exe")
DRIVER = os.path.join(WINDOWS_BUILD, "tools", "demo_driver.exe")  # answers its messages
WINE = os.path.join(ROOT, "tools", "wine.sh")
# The prefixes, by ANSI code page: Wine takes it from the locale it starts in.
PREFIXES = {
    1252: (os.environ.get("WINEPREFIX", os.path.join(ROOT, "build", "wineprefix")), None),
    932: (os.path.join(ROOT, "build", "wineprefix-932"), "ja_JP.UTF-8"),
}

# The product's own data, which the oracle does not declare again: the
# plan's layer files, the settings keys and the conflicting names, as the
# native tolvane's status reports them on a sample install (ProductData).
HIGHER, LOWER, KEYS, CONFLICTS = [], [], [], []
NAMES = {1252: ["Drey Marrowby", "Brenmoor", "Old Harbour", "Saarbrücken", "Île Tolva", "Vik's Fjord",
                "Harrel Point"],
         932: ["Drey Marrowby", "ソフト", "表示", "能登 空港", "Brenmoor", "ﾀﾞﾑ", "ソ", "データ表"]}


def ProductData():
    """The plan's files by area, the settings keys and the conflicting names,
    from tolvane status --json on a sample install that holds them all."""
    sample = os.path.join(WORK, "product")
    shutil.rmtree(sample, ignore_errors=True)
    subprocess.run([os.path.join(ROOT, "build", "native", "tools", "make_sample_install"), sample],
                   check=True, stdout=subprocess.DEVNULL)
    out = subprocess.run([NATIVE, "--package", os.path.join(sample, "Addon Scenery", "Tolvane"),
                          "status", "--json"], stdout=subprocess.PIPE).stdout
    status = json.loads(out)
    shutil.rmtree(sample)
    for layer in status["layers"]:
        names = HIGHER if layer["area"] == "Higher" else LOWER
        if layer["file"] not in names:
            names.append(layer["file"])
    KEYS.extend(setting["key"] for setting in status["settings"])
    for area in status["library"]["conflicts"]:
        CONFLICTS.extend(f["name"] for f in area["files"] if f["name"] not in CONFLICTS)
    if len(KEYS) != 11 or len(CONFLICTS) != 3 or not HIGHER or not LOWER:
        sys.exit("oracle: the sample install's status does not hold the product's data")


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data if isinstance(data, bytes) else data.encode())


class Case:
    """One random install and one command, made from a seed alone."""

    def __init__(self, seed):
        self.seed = seed
        self.rng = random.Random(seed)
        rng = self.rng
        self.codepage = 932 if rng.random() < 0.25 else 1252
        self.prefix, self.locale = PREFIXES[self.codepage]
        inside = rng.random() < 0.5  # on drive C: of the prefix, else on Z:
        self.base = os.path.join(self.prefix, "drive_c", "oracle") if inside else os.path.join(
            WORK, "trees")
        self.base = os.path.join(self.base, str(seed))
        self.root = os.path.join(self.base, rng.choice(["FS9", "Flight Simulator 9", self.Name()]),
                                 "FS9")
        self.package = os.path.join(self.root, "Addon Scenery", "Tolvane")

    def Name(self):
        return self.rng.choice(NAMES[self.codepage])

    def Windows(self, host):
        """The Windows form Wine gives a host path: on C: inside drive_c, else Z:."""
        drive_c = os.path.join(os.path.realpath(self.prefix), "drive_c")
        host = os.path.realpath(host)
        if host == drive_c or host.startswith(drive_c + "/"):
            return "C:\\" + host[len(drive_c) + 1:].replace("/", "\\")
        return "Z:" + host.replace("/", "\\")

    def Spell(self, host, relative):
        """A Local= value for the folder at host, as someone may write it."""
        rng = self.rng
        if relative is not None and rng.random() < 0.6:
            parts, head = relative.split("/"), ""
        else:
            full = self.Windows(host)
            parts, head = full[3:].split("\\"), full[:3]
            if rng.random() < 0.1:
                head = "\\\\?\\" + head
            elif rng.random() < 0.1:
                head = head[:2] + "\\\\"
        parts = [p.upper() if rng.random() < 0.1 else p for p in parts]
        if rng.random() < 0.15:
            parts.insert(rng.randrange(len(parts)), ".")
        if rng.random() < 0.15:
            parts[rng.randrange(len(parts)):0] = ["NoSuchFolder", ".."]
        if rng.random() < 0.1:
            parts[rng.randrange(len(parts)):0] = [parts[-1] + ".", ".."]
        if rng.random() < 0.15:
            i = rng.randrange(len(parts))
            parts[i] += rng.choice([".", " ", " .", "..", ". "])
        if rng.random() < 0.1 and len(parts) > 1:
            i = rng.randrange(len(parts) - 1)
            parts[i] += rng.choice([".", " "])
        separator = rng.choice(["\\"] * 6 + ["/", "\\\\"])
        text = head + separator.join(parts) + rng.choice([""] * 5 + ["\\", "/", "\\\\", "\\."])
        if rng.random() < 0.08:
            text = '"' + text + '"'
        return text

    def Build(self):
        rng = self.rng
        shutil.rmtree(self.base, ignore_errors=True)
        for area, names in (("Higher", HIGHER), ("Lower", LOWER)):
            folder = os.path.join(self.package, "Tolvane - %s Priority" % area)
            os.makedirs(os.path.join(folder, "Scenery"))
            for name in names:
                master = os.path.join(folder, "Cache", name)
                if rng.random() < 0.93:
                    write(master, "%s master %d\n" % (name, self.seed))
                    if rng.random() < 0.05:
                        os.chmod(master, 0o444)
                state = rng.random()
                copy = os.path.join(folder, "Scenery", name)
                if state < 0.2 and os.path.exists(master):
                    shutil.copy(master, copy)
                elif state < 0.3:
                    write(copy, "stale")
                elif state < 0.33:
                    write(copy[:-4] + copy[-4:].upper() if copy.endswith(".bgl") else copy.lower(),
                          "other case")
                if state < 0.3 and rng.random() < 0.1:
                    os.chmod(copy, 0o444)
        if rng.random() < 0.5:
            keys = rng.sample(KEYS, rng.randint(1, len(KEYS)))
            write(os.path.join(self.package, "TolvaneConfig.ini"),
                  "[UTCAN]\r\n" + "".join("%s=%d\r\n" % (k, rng.randint(0, 1)) for k in keys))
        sections = []
        for number in range(1, rng.randint(2, 9)):
            sections.append(self.Area(number))
        if rng.random() < 0.2:
            sections.append(rng.choice(sections))  # an area listed twice
        rng.shuffle(sections)
        library = "[General]\r\nTitle=FS9 World Scenery\r\n\r\n" + "".join(sections)
        if rng.random() < 0.95:
            write(os.path.join(self.root, "scenery.cfg"), library.encode("cp%d" % self.codepage))

    def Area(self, number):
        rng = self.rng
        name = self.Name()
        under_root = rng.random() < 0.7
        folder = os.path.join(self.root if under_root else self.base, "Addon Scenery"
                              if under_root else "Elsewhere", name)
        relative = ("Addon Scenery/" + name) if under_root else None
        kind = rng.random()
        if os.path.exists(folder):
            pass  # the same name twice: the first one stands
        elif kind < 0.08:
            write(folder, "a file, not a folder")
        elif kind < 0.9:
            scenery = os.path.join(folder, rng.choice(["scenery"] * 4 + ["Scenery", "SCENERY"]))
            os.makedirs(scenery, exist_ok=True)
            for conflict in CONFLICTS:
                for ext in rng.choice([[], [], [".bgl"], [".bgl"], [".xxx"], [".bgl", ".xxx"]]):
                    file = conflict + ext
                    if rng.random() < 0.1:
                        file = file.upper() if rng.random() < 0.5 else file.lower()
                    write(os.path.join(scenery, file), "%s %s" % (name, file))
        active = rng.choice(["TRUE"] * 6 + ["FALSE", "True"])
        return "[Area.%03d]\r\nTitle=%s\r\nLocal=%s\r\nActive=%s\r\nLayer=%d\r\n\r\n" % (
            number if rng.random() < 0.9 else 1, name, self.Spell(folder, relative), active, number)

    def Command(self):
        rng = self.rng
        command = rng.choice(["scan", "scan", "restore", "apply", "apply", "status"])
        args = [command]
        if command == "apply":
            for key in rng.sample(KEYS, rng.randint(0, 4)):
                args += ["--set", "%s=%d" % (key, rng.randint(0, 1))]
        if command != "status" and rng.random() < 0.3:
            args.append("--dry-run")
        return args + ["--json"]

    def PackageArguments(self):
        """The package as each program is given it, and the folder each runs in."""
        rng = self.rng
        windows = self.Windows(self.package)
        choice = rng.random()
        if choice < 0.15:
            return (["--package", "."], self.package), (["--package", "."], self.package)
        if choice < 0.25:
            here = os.path.join(self.package, "Tolvane - Lower Priority")
            return (["--package", ".."], here), (["--package", ".."], here)
        if choice < 0.35:
            link = self.base + "-link"
            if not os.path.lexists(link):
                os.symlink(self.package, link)
            return (["--package", windows], ROOT), (["--package", link], ROOT)
        spelled = windows.replace("\\", "/") + "/" if choice < 0.45 else windows
        native = spelled if choice < 0.7 else self.package
        return (["--package", spelled], ROOT), (["--package", native], ROOT)


def listing(base):
    """Every entry below base: its kind and content or target."""
    entries = {}
    for folder, folders, files in os.walk(base):
        for name in folders + files:
            path = os.path.join(folder, name)
            info = os.lstat(path)
            if stat.S_ISLNK(info.st_mode):
                what = "link " + os.readlink(path)
            elif stat.S_ISDIR(info.st_mode):
                what = "folder"
            else:
                with open(path, "rb") as f:
                    what = "file %o %s" % (info.st_mode & 0o222 != 0,
                                           hashlib.sha256(f.read()).hexdigest()[:16])
            entries[os.path.relpath(path, base)] = what
    return entries


def environment(prefix, locale):
    env = dict(os.environ, WINEPREFIX=prefix)
    if locale:
        # The code page from the locale, the system's messages in English.
        env.pop("LC_ALL", None)
        env.update(LANG=locale, LC_CTYPE=locale, LC_MESSAGES="en_US.UTF-8")
    return env


# What Wine itself says when it could not start or run a program, as
# opposed to what the program does: its exit codes (tools/wine.sh) and words.
WINE_FAILURES = ("Wine could not start", "wine client error", "could not load",
                 "wineserver", "failed to start")


def wine_failure(result):
    """Why Wine itself failed the run, or None when the program ran."""
    if result["code"] == "timeout":
        return "a timeout"
    if result["code"] in (53, 126, 127):
        return "exit code %d" % result["code"]
    # tolvane.exe says what it did, or why it stopped, before every exit
    # code: a failure without a word is Wine's.
    if result["code"] != 0 and result["out"] is None and not result["err"].strip():
        return "exit code %s without a word" % result["code"]
    for words in WINE_FAILURES:
        if words in result["err"]:
            return words
    return None


def run(case, program, args, cwd):
    env = environment(case.prefix, case.locale)
    command = ([WINE, program] if program.endswith(".exe") else [program]) + args
    # Files, not pipes: the wineserver a run starts outlives it and would
    # hold a pipe open.
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        try:
            code = subprocess.run(command, cwd=cwd, env=env, stdin=subprocess.DEVNULL, stdout=out,
                                  stderr=err, timeout=60).returncode
        except subprocess.TimeoutExpired:
            subprocess.run(["wineserver", "-k"], env=env)
            code = "timeout"
        out.seek(0)
        err.seek(0)
        text = out.read().decode("utf-8", "replace").replace("\r\n", "\n")
        errors = err.read().decode("utf-8", "replace")
    try:
        text = json.loads(text) if text.strip() else None
    except ValueError:
        pass
    return {"code": code, "out": text, "err": errors}


# The same refusal in each system's words: the reasons are compared by what
# they mean. A text that is in neither list is compared as it stands.
MEANINGS = {
    "not found": ["No such file or directory", "Path not found.",
                  "The system cannot find the file specified.",
                  "The system cannot find the path specified."],
    "exists": ["File exists", "Cannot create a file when that file already exists.",
               "File exists.", "File already exists."],
    "denied": ["Permission denied", "Access denied.", "Access is denied.", "Is a directory",
               "The file is read-only", "Operation not permitted"],
}
MEANING_OF = {text: meaning for meaning, texts in MEANINGS.items() for text in texts}


def meaning(text):
    for prefix in ("no Cache master: ", "the Cache master: "):
        if text.startswith(prefix):
            return prefix + meaning(text[len(prefix):])
    return MEANING_OF.get(text, text)


def compare(a, b, where, found):
    """The places where two JSON values differ, reasons by their meaning."""
    if isinstance(a, dict) and isinstance(b, dict):
        for key in sorted(set(a) | set(b)):
            compare(a.get(key), b.get(key), where + "." + key, found)
    elif isinstance(a, list) and isinstance(b, list):
        for i in range(max(len(a), len(b))):
            compare(a[i] if i < len(a) else None, b[i] if i < len(b) else None,
                    "%s[%d]" % (where, i), found)
    elif where.endswith(".reason") and isinstance(a, str) and isinstance(b, str):
        if meaning(a) != meaning(b):
            found.append("%s: %s / %s" % (where, json.dumps(a), json.dumps(b)))
    elif a != b:
        found.append("%s: %s / %s" % (where, json.dumps(a)[:300], json.dumps(b)[:300]))


def differences(a, b):
    found = []
    compare(a["code"], b["code"], "exit code", found)
    compare(a["out"], b["out"], "json", found)
    compare(a["files"], b["files"], "files", found)
    return found


def check(seed, keep=True):
    """Runs case seed; the differences found (empty when none)."""
    case = Case(seed)
    case.Build()
    pristine = case.base + ".pristine"
    shutil.rmtree(pristine, ignore_errors=True)
    shutil.copytree(case.base, pristine, symlinks=True)
    args = case.Command()
    (wine_package, wine_cwd), (native_package, native_cwd) = case.PackageArguments()

    def again():
        shutil.rmtree(case.base)
        shutil.copytree(pristine, case.base, symlinks=True)

    results = {}
    for label, program, package, cwd in (("wine", EXE, wine_package, wine_cwd),
                                         ("native", NATIVE, native_package, native_cwd)):
        again()
        extra = ["--wineprefix", case.prefix] if label == "native" else []
        results[label] = run(case, program, extra + package + args, cwd)
        if label == "wine" and wine_failure(results[label]):
            # Wine itself failed now and then while a prefix was updated.
            again()
            results[label] = run(case, program, extra + package + args, cwd)
            if wine_failure(results[label]):
                return " ".join(args), None, wine_failure(results[label])
        results[label]["files"] = listing(case.base)
    found = differences(results["wine"], results["native"])
    command = " ".join(args)
    if not found and os.path.exists(os.path.join(case.root, "scenery.cfg")) and case.rng.random() < 0.3:
        # The dialog program's restore against the command line's.
        again()
        shutil.copy(DIALOG, os.path.join(case.package, "TolvaneConfig.exe"))
        shutil.copytree(case.base, pristine + "-u", symlinks=True)
        dialog = run(case, DRIVER, [case.Windows(os.path.join(case.package, "TolvaneConfig.exe")),
                                    "-u"], ROOT)
        if wine_failure(dialog) or dialog["code"] == 1:  # the driver could not start it
            shutil.rmtree(case.base)
            shutil.copytree(pristine + "-u", case.base, symlinks=True)
            dialog = run(case, DRIVER, [case.Windows(os.path.join(case.package,
                                                                  "TolvaneConfig.exe")), "-u"], ROOT)
            if wine_failure(dialog) or dialog["code"] == 1:
                return "TolvaneConfig.exe -u", None, wine_failure(dialog) or "could not start it"
        dialog["files"] = listing(case.base)
        shutil.rmtree(case.base)
        shutil.copytree(pristine + "-u", case.base, symlinks=True)
        native = run(case, NATIVE, ["--wineprefix", case.prefix, "--package", case.package,
                                    "restore"], ROOT)
        native["files"] = listing(case.base)
        shutil.rmtree(pristine + "-u")
        results = {"TolvaneConfig.exe -u": dict(dialog), "tolvane restore": dict(native)}
        # The driver's exit code and the dialog's output are no command line's.
        dialog["code"] = native["code"] = dialog["out"] = native["out"] = None
        found = differences(dialog, native)
        command = "TolvaneConfig.exe -u"
    if found and keep:
        kept = os.path.join(WORK, "failed", str(seed))
        shutil.rmtree(kept, ignore_errors=True)
        shutil.copytree(pristine, kept, symlinks=True)
        with open(os.path.join(kept, "DIFFERENCES.txt"), "w") as out:
            out.write("%s\ntolvane.exe (first) %s\ntolvane (second) %s\n%s\n" % (
                command, " ".join(wine_package), " ".join(native_package), "\n".join(found)))
            for label, result in results.items():
                out.write("\n%s (exit code %s):\n%s\n%s" % (label, result.get("code"),
                                                           result.get("out") or "",
                                                           result.get("err", "")))
    shutil.rmtree(pristine, ignore_errors=True)
    shutil.rmtree(case.base, ignore_errors=True)
    if os.path.lexists(case.base + "-link"):
        os.remove(case.base + "-link")
    return command, found, None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--seconds", type=float, default=120)
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--case", type=int, default=None)
    options = parser.parse_args()
    ProductData()
    if options.case is not None:
        command, found, wine = check(options.case)
        if wine:
            print("case %d (%s): Wine itself failed (%s)" % (options.case, command, wine))
            return 1
        print("case %d (%s): %s" % (options.case, command, "\n  ".join(found) or "the same"))
        return 1 if found else 0
    seed = options.seed if options.seed is not None else random.SystemRandom().randrange(10**6)
    print("oracle: seed %d, %g seconds" % (seed, options.seconds), flush=True)
    end = time.monotonic() + options.seconds
    cases = failed = wine_failed = 0
    while time.monotonic() < end:
        case_seed = seed * 10000 + cases
        command, found, wine = check(case_seed)
        cases += 1
        if wine:
            # Not a difference of the programs: Wine could not run one.
            wine_failed += 1
            print("case %d (%s): Wine itself failed (%s), twice: not compared" % (
                case_seed, command, wine), flush=True)
            continue
        if found:
            failed += 1
            print("DIFFERENT case %d (%s): %s\n  replay: bash tools/oracle.sh --case %d" % (
                case_seed, command, "; ".join(found[:3]), case_seed), flush=True)
    print("oracle: %d cases, %d different, %d not run by Wine (seed %d)" % (
        cases, failed, wine_failed, seed))
    return 1 if failed or wine_failed > cases // 10 else 0


def wait_for_wineservers():
    """Each prefix's wineserver outlives its last program by a few seconds
    and then writes the registry: wait, so that no one finds it still
    writing (a folder being removed, say)."""
    for prefix, locale in PREFIXES.values():
        if os.path.isdir(prefix):
            subprocess.run(["wineserver", "-w"], env=environment(prefix, locale))


if __name__ == "__main__":
    try:
        status = main()
    finally:
        wait_for_wineservers()
    sys.exit(status)
