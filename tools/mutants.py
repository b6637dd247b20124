#!/usr/bin/env python3
"""Mutation check: do the tests catch the faults a hand makes?

Makes one-line faults (mutants) in the game's sources and racer_check, one at
a time, builds each in a build tree of its own and runs the tests that cover
the mutated folder. A mutant is killed (a test failed), timed out, survived
(every test passed) or discarded (it did not compile). A survivor is a hole in
the tests, or a fault that cannot change what the game does: those are listed,
each with its reason, in tests/mutants/equivalent.txt and not run.

  tools/mutants.py [--sample N] [--seed S]   a sample spread over the folders
  tools/mutants.py --changed BASE            the lines changed since BASE
  tools/mutants.py --files F [F ...]         these files
  tools/mutants.py --again                   the last report's survivors
  tools/mutants.py --list ...                list the mutants, run nothing

Two build trees (copies of the working tree under build-mutants/) run side by
side. The report goes to build-mutants/report.md. Exit status: 0 when no
mutant survived that equivalent.txt does not list and it names no mutant the
sources no longer make, 1 otherwise, 2 on bad use
or when the unmutated tests fail.
"""

import argparse
import dataclasses
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import threading
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
WORK = ROOT / "build-mutants"
EQUIVALENT = ROOT / "tests/mutants/equivalent.txt"

# Each covered folder and the tests that cover it: test programs run from
# the build's bin/, "e2e" the end-to-end tests through ctest. Fastest first,
# since the first failure ends a mutant's run.
GAME = ["core_tests", "extreme_tests", "shell_tests", "check_tests"]
FOLDERS = {
    "src": GAME + ["media_tests", "sdl_tests", "e2e"],
    "src/sim": GAME,
    "src/data": GAME,
    "src/view": GAME,
    "src/windowed": GAME,
    "src/media": ["media_tests", "core_tests", "shell_tests", "sdl_tests"],
    "src/shell": ["shell_tests", "core_tests", "extreme_tests", "check_tests", "sdl_tests", "e2e"],
    "src/headless": ["core_tests", "extreme_tests", "check_tests"],
    "src/platform/null": ["shell_tests", "sdl_tests"],
    "src/platform/sdl": ["sdl_tests", "e2e"],
    "tools/racer_check": ["check_tests"],
}
# What the tests run besides themselves.
HELPERS = {
    "core_tests": ["racer_sim"],
    "check_tests": ["racer_check", "racer_sim"],
    "e2e": ["racer", "racer_window", "x11_close_window"],
}
SOURCE = re.compile(r"\.(cpp|h)$")


def folder_of(path):
    parent = str(Path(path).parent)
    return parent if parent in FOLDERS else None


def covered_files():
    out = git("ls-files", "-co", "--exclude-standard", "src", "tools/racer_check")
    return sorted(f for f in out.splitlines() if SOURCE.search(f) and folder_of(f) and (ROOT / f).exists())


def git(*args):
    return subprocess.run(["git", "-C", str(ROOT), *args], check=True, capture_output=True, text=True).stdout


# ---------------------------------------------------------------- mutants


@dataclasses.dataclass
class Mutant:
    file: str
    line: int  # from 1
    operator: str
    original: str  # the whole line, without its end
    mutated: str
    outcome: str = ""
    seconds: float = 0.0

    def key(self):
        return (self.file, self.original.strip(), self.mutated.strip())

    def describe(self):
        return f"{self.file}: `{self.original.strip()}` -> `{self.mutated.strip()}`"


def code_only(lines):
    """Each line with comments, string and character literals blanked to
    spaces, so that an operator is only found where code is."""
    out, in_block = [], False
    for line in lines:
        chars, i, n = list(line), 0, len(line)
        while i < n:
            if in_block:
                end = line.find("*/", i)
                stop = n if end < 0 else end + 2
                chars[i:stop] = " " * (stop - i)
                in_block, i = end < 0, stop
            elif line.startswith("//", i):
                chars[i:] = " " * (n - i)
                break
            elif line.startswith("/*", i):
                in_block = True
            elif line[i] in "\"'":
                quote, j = line[i], i + 1
                while j < n and line[j] != quote:
                    j += 2 if line[j] == "\\" else 1
                # A digit separator is no literal: 10'000.
                if quote == "'" and i > 0 and line[i - 1].isdigit():
                    i += 1
                    continue
                chars[i + 1 : j] = " " * (j - i - 1)
                i = j + 1
            else:
                i += 1
        out.append("".join(chars))
    return out


SWAPS = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "==",
         "+": "-", "-": "+", "*": "/", "/": "*", "+=": "-=", "-=": "+=", "&&": "||", "||": "&&"}
KIND = {"<": "boundary", "<=": "boundary", ">": "boundary", ">=": "boundary", "==": "sense", "!=": "sense",
        "+": "arithmetic", "-": "arithmetic", "*": "arithmetic", "/": "arithmetic", "+=": "arithmetic",
        "-=": "arithmetic", "&&": "logic", "||": "logic"}
# A binary operator stands between spaces; templates, pointers and unary
# signs do not.
BINARY = re.compile(r"(?<= )(<=|>=|==|!=|\+=|-=|&&|\|\||<|>|\+|-|\*|/)(?= )")
NUMBER = re.compile(r"(?<![\w.'])(0[xX][0-9a-fA-F]+|\d+)(?=[uUlL]*(?![\w.']))")
NOT = re.compile(r"!(?!=)")
# Exchanging their arguments (the operands, for the builtins) changes nothing.
COMMUTATIVE = {"Add", "Mul", "max", "min", "__builtin_add_overflow", "__builtin_mul_overflow"}
KEYWORDS = {"if", "for", "while", "switch", "return", "sizeof", "catch", "alignof", "decltype",
            "static_assert", "defined", "noexcept", "assert", "alignas", "operator"}
CALL = re.compile(r"\b([A-Za-z_]\w*)\s*\(")
DECLARATION = re.compile(r"^(const )?[\w:<>]+[ *&]+\w+( = .*)?$")
LVALUE = r"[\w.\[\]>*-]*\w[\]\w]*"
STATEMENT = re.compile(
    rf"^\s*({LVALUE} (=|\+=|-=|\*=|/=|%=|\|=|&=|\^=|<<=|>>=) .*"  # an assignment
    rf"|(\+\+|--){LVALUE}|{LVALUE}(\+\+|--)"                         # a step
    r"|[\w:.>\[\]-]+\(.*\)"                                          # a call
    r"|if \(.*\) (return|continue|break)\b.*);\s*$")                 # a guard
NOT_A_STATEMENT = re.compile(r"^\s*(return|case|default|else|do|goto|delete|throw|using|typedef|const|static|auto)\b")


def top_level_arguments(code, open_at):
    """The spans of a call's arguments, or None when its closing parenthesis
    is on another line or an argument has a comma inside brackets."""
    depth, start, spans = 0, open_at + 1, []
    for i in range(open_at, len(code)):
        c = code[i]
        if c in "([{":
            depth += 1
        elif c in ")]}":
            depth -= 1
            if depth == 0:
                spans.append((start, i))
                return spans
        elif c == "," and depth == 1:
            spans.append((start, i))
            start = i + 1
        elif c == "<" and depth == 1 and i + 1 < len(code) and code[i + 1] not in " =<":
            return None  # a template's commas
    return None


def line_mutants(line, code):
    """(operator, mutated line) for each one-line fault of this line."""
    # Preprocessor lines, checks that NDEBUG or the compiler take out, and raw strings.
    if code.lstrip().startswith("#") or re.search(r"\b(static_)?assert\b", code) or "R\"" in code:
        return
    for m in BINARY.finditer(code):
        op = m.group(1)
        yield KIND[op], line[: m.start()] + SWAPS[op] + line[m.end() :]
    for m in NUMBER.finditer(code):
        text = m.group(1)
        if re.fullmatch(r"0\d+", text):
            continue  # octal, or digits after a separator
        n = int(text, 0)
        for new in {0: [1], 1: [0, 2]}.get(n, [n + 1, n - 1]):
            written = str(new)
            if text[:2] in ("0x", "0X"):  # as written: 0x4D, 0x4E
                digits = f"{new:0{len(text) - 2}x}"
                written = text[:2] + (digits if any(c in "abcdef" for c in text[2:]) else digits.upper())
            yield "constant", line[: m.start()] + written + line[m.end() :]
    for m in NOT.finditer(code):
        yield "negation", line[: m.start()] + line[m.end() :]
    if STATEMENT.match(code) and not NOT_A_STATEMENT.match(code) and code.count("(") == code.count(")"):
        indent = line[: len(line) - len(line.lstrip())]
        yield "statement", indent + "/* deleted */"
    for m in CALL.finditer(code):
        if m.group(1) in KEYWORDS or m.group(1) in COMMUTATIVE:
            continue
        spans = top_level_arguments(code, m.end() - 1)
        if not spans:
            continue
        texts = [line[a:b].strip() for a, b in spans]
        if any(not t or DECLARATION.match(t) for t in texts):
            continue
        for (a1, b1), (a2, b2), t1, t2 in zip(spans, spans[1:], texts, texts[1:]):
            if t1 != t2:
                lead1 = line[a1:b1][: len(line[a1:b1]) - len(line[a1:b1].lstrip())]
                lead2 = line[a2:b2][: len(line[a2:b2]) - len(line[a2:b2].lstrip())]
                yield "arguments", line[:a1] + lead1 + t2 + line[b1:a2] + lead2 + t1 + line[b2:]


def continued(code_lines, i):
    """Whether line i continues a statement begun above it."""
    for prev in reversed(code_lines[:i]):
        s = prev.strip()
        if s:
            return not (s.endswith((";", "{", "}", ":")) or s.startswith("#"))
    return False


def file_mutants(path):
    lines = (ROOT / path).read_text(encoding="utf-8").split("\n")
    code = code_only(lines)
    seen = set()
    for i, (line, c) in enumerate(zip(lines, code)):
        for operator, mutated in line_mutants(line, c):
            if operator == "statement" and continued(code, i):
                continue
            if mutated != line and mutated not in seen:
                seen.add(mutated)
                yield Mutant(path, i + 1, operator, line, mutated)
        seen.clear()


def changed_lines(base):
    """{file: set of line numbers} that the working tree changes since BASE."""
    # A file moved within them keeps its unchanged lines unchanged.
    diff = git("diff", "-U0", "-M", base, "--", "src", "tools/racer_check")
    touched, current = {}, None
    for row in diff.splitlines():
        if row.startswith("+++ "):
            current = row[6:] if row.startswith("+++ b/") else None
        elif row.startswith("@@") and current:
            m = re.match(r"@@ -\S+ \+(\d+)(?:,(\d+))? @@", row)
            first, count = int(m.group(1)), int(m.group(2) or 1)
            touched.setdefault(current, set()).update(range(first, first + count))
    for f in git("ls-files", "-o", "--exclude-standard", "src", "tools/racer_check").splitlines():
        touched[f] = None  # a new file: every line
    return touched


def spread_sample(mutants, n, seed):
    """N mutants, each folder's share in proportion to its count, a few at
    least from every folder."""
    rng = random.Random(seed)
    by_folder = {}
    for m in mutants:
        by_folder.setdefault(folder_of(m.file), []).append(m)
    if n >= len(mutants):
        return mutants
    floor = max(1, n // (4 * len(by_folder)))
    quota = {f: min(len(ms), max(floor, round(n * len(ms) / len(mutants)))) for f, ms in by_folder.items()}
    while sum(quota.values()) > n:
        quota[max(quota, key=lambda f: quota[f])] -= 1
    picked = []
    for f in sorted(by_folder):
        picked += rng.sample(by_folder[f], quota[f])
    return sorted(picked, key=lambda m: (m.file, m.line))


def read_equivalents():
    """{(file, original, mutated): reason} from equivalent.txt."""
    entries = {}
    if not EQUIVALENT.exists():
        return entries
    for number, row in enumerate(EQUIVALENT.read_text(encoding="utf-8").splitlines(), 1):
        if not row.strip() or row.startswith("#"):
            continue
        m = re.match(r"^(\S+): `(.*?)` -> `(.*?)`: (.+)$", row)
        if not m:
            sys.exit(f"mutants: {EQUIVALENT.relative_to(ROOT)}:{number}: not FILE: `LINE` -> `MUTANT`: REASON")
        entries[m.group(1, 2, 3)] = m.group(4)
    return entries


# ---------------------------------------------------------------- running


def run(command, cwd, timeout):
    """'pass', 'fail' or 'timeout'; the command's whole process group is
    ended on a timeout."""
    with subprocess.Popen(command, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          stdin=subprocess.DEVNULL, start_new_session=True) as p:
        try:
            return "pass" if p.wait(timeout=timeout) == 0 else "fail"
        except subprocess.TimeoutExpired:
            os.killpg(p.pid, signal.SIGKILL)
            p.wait()
            return "timeout"


class Worker:
    baseline = {}  # test -> seconds, unmutated; the trees are alike

    def __init__(self, number):
        self.dir = WORK / f"tree{number}"
        self.source = self.dir / "source"
        self.build = self.dir / "build"

    def sync(self, files):
        """The working tree's files in this tree's copy; unchanged files keep
        their times, so the build stays incremental."""
        for f in files:
            src, dst = ROOT / f, self.source / f
            data = src.read_bytes()
            if not dst.exists() or dst.read_bytes() != data:
                dst.parent.mkdir(parents=True, exist_ok=True)
                dst.write_bytes(data)
                shutil.copymode(src, dst)

    def configure(self):
        args = ["cmake", "-S", str(self.source), "-B", str(self.build), "-G", "Ninja", "-Wno-dev",
                "-DCMAKE_BUILD_TYPE=Release", "-DCMAKE_CXX_FLAGS_RELEASE=-O1 -DNDEBUG",
                "-DCMAKE_C_FLAGS_RELEASE=-O1 -DNDEBUG", "-DRACER_BUILD_TESTS=ON",
                "-DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST"]
        if shutil.which("ccache"):
            args.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
        subprocess.run(args, check=True, stdout=subprocess.DEVNULL)

    def targets(self, tests):
        return sorted({t for test in tests for t in [test, *HELPERS.get(test, [])]} - {"e2e"})

    def make(self, tests, timeout=None, jobs=1):
        return run(["ninja", "-C", str(self.build), f"-j{jobs}", *self.targets(tests)], self.build, timeout)

    def test(self, name, timeout):
        if name == "e2e":
            command = ["ctest", "--test-dir", str(self.build), "-L", "e2e", "--stop-on-failure"]
        else:
            command = [str(self.build / "bin" / name), "--gtest_fail_fast", "--gtest_brief=1"]
        return run(command, self.build / "tests", timeout)

    def measure(self, names):
        """The unmutated tests' times; a failure here makes every mutant
        look killed, so it stops the check."""
        for name in names:
            if name not in self.baseline:
                start = time.monotonic()
                if self.test(name, 600) != "pass":
                    raise RuntimeError(f"{name} fails without any mutant in {self.build}")
                self.baseline[name] = time.monotonic() - start

    def try_mutant(self, m):
        tests = FOLDERS[folder_of(m.file)]
        path = self.source / m.file
        original = path.read_text(encoding="utf-8")
        lines = original.split("\n")
        assert lines[m.line - 1] == m.original, f"{m.file}:{m.line} changed under the check"
        lines[m.line - 1] = m.mutated
        start = time.monotonic()
        try:
            path.write_text("\n".join(lines), encoding="utf-8")
            # Each test built just before it runs: most mutants fall to the
            # first, and the others need not be linked for them.
            m.outcome = "survived"
            for name in tests:
                if self.make([name], timeout=600) != "pass":
                    m.outcome = "discarded"
                    break
                result = self.test(name, 10 + 3 * self.baseline[name])
                if result != "pass":
                    m.outcome = "killed" if result == "fail" else "timed out"
                    break
        finally:
            path.write_text(original, encoding="utf-8")
            m.seconds = time.monotonic() - start


def prepare(workers, tests):
    """Every tree built unmutated, and the tests timed in the first while
    the others build: they find its objects in ccache."""
    files = [f for f in git("ls-files", "-co", "--exclude-standard").splitlines()
             if "node_modules/" not in f and (ROOT / f).is_file()]
    errors = []

    def build(w, jobs):
        if w.make(tests, jobs=jobs) != "pass":
            errors.append(RuntimeError(f"the unmutated tree does not build: ninja -C {w.build}"))

    def measure():
        try:
            workers[0].measure(tests)
        except RuntimeError as e:
            errors.append(e)

    for w in workers:
        w.sync(files)
        if not (w.build / "build.ninja").exists():
            w.configure()
    build(workers[0], os.cpu_count() or 2)
    if errors:
        raise errors[0]
    together([measure] + [lambda w=w: build(w, 1) for w in workers[1:]], errors)


def check(mutants, jobs):
    workers = [Worker(i + 1) for i in range(jobs)]
    needed = sorted({t for m in mutants for t in FOLDERS[folder_of(m.file)]})
    os.environ.setdefault("CCACHE_DIR", str(WORK / "ccache"))
    os.environ["CCACHE_BASEDIR"] = str(WORK)
    os.environ["CCACHE_NOHASHDIR"] = "1"
    start = time.monotonic()
    prepare(workers, needed)
    print(f"built and timed the unmutated tests in {time.monotonic() - start:.0f} s", flush=True)
    queue, lock, errors = list(reversed(mutants)), threading.Lock(), []
    done = [0]

    def work(worker):
        while True:
            with lock:
                if not queue or errors:
                    return
                m = queue.pop()
            try:
                worker.try_mutant(m)
            except Exception as e:  # noqa: BLE001 - reported once, stops the others
                with lock:
                    errors.append(e)
                return
            with lock:
                done[0] += 1
                print(f"[{done[0]}/{len(mutants)}] {m.outcome:9} {m.seconds:5.1f} s {m.file}:{m.line} {m.operator}",
                      flush=True)

    together([lambda w=w: work(w) for w in workers], errors)


def together(jobs, errors):
    """Runs the jobs side by side; the first error they noted, if any, is raised."""
    threads = [threading.Thread(target=job) for job in jobs]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    if errors:
        raise errors[0]


# ---------------------------------------------------------------- report


def report(mutants, seconds):
    rows = {}
    for m in mutants:
        for key in (folder_of(m.file), "all"):
            r = rows.setdefault(key, {"mutants": 0, "killed": 0, "timed out": 0, "survived": 0,
                                      "equivalent": 0, "discarded": 0, "seconds": 0.0})
            r["mutants"] += 1
            r[m.outcome] += 1
            r["seconds"] += m.seconds
    lines = [f"# Mutation check, {time.strftime('%Y-%m-%d %H:%M')}", "",
             f"{' '.join(sys.argv[1:]) or '(whole)'}: {len(mutants)} mutants in {seconds / 60:.1f} minutes.", "",
             "Caught: killed or timed out, of the mutants that compiled and are not listed as equivalent.", "",
             "| folder | mutants | killed | survived | equivalent | timed out | did not compile | caught | minutes |",
             "|---|---:|---:|---:|---:|---:|---:|---:|---:|"]
    for key in sorted(k for k in rows if k != "all") + (["all"] if rows else []):
        r = rows[key]
        caught = r["killed"] + r["timed out"]
        live = caught + r["survived"]
        share = f"{100 * caught / live:.1f} %" if live else "-"
        lines.append(f"| {key} | {r['mutants']} | {r['killed']} | {r['survived']} | {r['equivalent']} | "
                     f"{r['timed out']} | {r['discarded']} | {share} | {r['seconds'] / 60:.1f} |")
    survivors = [m for m in mutants if m.outcome == "survived"]
    if survivors:
        lines += ["", "## Survivors", "", "Each wants a test that fails, or a line in "
                  "tests/mutants/equivalent.txt with the reason it cannot change what the program does:", ""]
        lines += [f"- {m.file}:{m.line} ({m.operator}): `{m.original.strip()}` -> `{m.mutated.strip()}`"
                  for m in survivors]
    text = "\n".join(lines) + "\n"
    WORK.mkdir(exist_ok=True)
    (WORK / "report.md").write_text(text, encoding="utf-8")
    print("\n" + text)
    return survivors


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0],
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--sample", type=int, metavar="N", help="N mutants spread over the folders")
    parser.add_argument("--seed", type=int, default=0, metavar="S", help="the sample's seed (0)")
    parser.add_argument("--files", nargs="+", metavar="F", help="only these files")
    parser.add_argument("--changed", metavar="BASE", help="only the lines changed since BASE")
    parser.add_argument("--again", action="store_true", help="only the last report's survivors")
    parser.add_argument("--jobs", type=int, default=2, metavar="J", help="build trees side by side (2)")
    parser.add_argument("--list", action="store_true", help="list the mutants and run nothing")
    args = parser.parse_args()
    if (args.sample is not None and args.sample < 1) or args.jobs < 1:
        parser.error("--sample and --jobs take a whole number from 1")

    files = covered_files()
    if args.files:
        wanted = {str(Path(f).resolve().relative_to(ROOT)) if Path(f).exists() else f for f in args.files}
        unknown = wanted - set(files)
        if unknown:
            parser.error(f"not a covered source file: {', '.join(sorted(unknown))}")
        files = [f for f in files if f in wanted]
    mutants = [m for f in files for m in file_mutants(f)]
    if args.changed:
        try:
            touched = changed_lines(args.changed)
        except subprocess.CalledProcessError as e:
            parser.error(f"--changed {args.changed}: {e.stderr.strip()}")
        mutants = [m for m in mutants if m.file in touched and (touched[m.file] is None or m.line in touched[m.file])]
    if args.again:
        last = (WORK / "report.md").read_text(encoding="utf-8") if (WORK / "report.md").exists() else ""
        wanted = set(re.findall(r"^- (\S+):\d+ \(\w+\): `(.*?)` -> `(.*?)`$", last, re.M))
        mutants = [m for m in mutants if m.key() in wanted]
    if args.sample is not None:
        mutants = spread_sample(mutants, args.sample, args.seed)
    if args.list:
        for m in mutants:
            print(f"{m.file}:{m.line}: {m.operator}: `{m.original.strip()}` -> `{m.mutated.strip()}`")
        return 0

    equivalents = read_equivalents()
    for m in mutants:
        if m.key() in equivalents:
            m.outcome = "equivalent"
    # An entry whose line has changed no longer says anything: it goes.
    every = {m.key() for f in covered_files() for m in file_mutants(f)}
    stale = [f"{f}: `{a}` -> `{b}`" for (f, a, b) in equivalents if (f, a, b) not in every]
    for entry in stale:
        print(f"mutants: {EQUIVALENT.relative_to(ROOT)} names a mutant the sources no longer make: {entry}")
    start = time.monotonic()
    try:
        check([m for m in mutants if not m.outcome], args.jobs)
    except (RuntimeError, subprocess.CalledProcessError) as e:
        print(f"mutants: {e}", file=sys.stderr)
        return 2
    survivors = report(mutants, time.monotonic() - start)
    return 1 if survivors or stale else 0


if __name__ == "__main__":
    sys.exit(main())
