#!/usr/bin/env python3
"""Mutated tables through zarnik-sim --check.

Makes tables from the shipped ones (byte flips, cut and repeated blocks, huge
and negative numbers, deep nesting, blocks of one table spliced into another),
runs each for 600 frames in `zarnik-sim --check` (many tables per process
with --batch) and sorts the outcomes: run clean, refused (the table can't be
used), check failed (a ball not finite or a slow load), crashed, hung. Tables
that fail, crash or hang are kept in WORK/found/ with their numbers; table N
of a seed is always the same table, so `--first N --count 1` remakes it.

  tools/mutate_tables.py --sim build-check/tools/zarnik-sim/zarnik-sim \\
      --data build/generated/data --work /tmp/mutants --count 500

Give the sim an ASan build. Runs under `nice -n 19` unless --no-nice.
"""
import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import time

TABLES = ["t0000.script", "t0001.script", "t0002.script"]
LIMIT = 512 * 1024  # bytes a mutant may grow to

HOSTILE_NUMBERS = [
    "1e38", "-1e38", "3.5e38", "1e300", "-1e300", "1e-45", "-0.0", "0", "-1",
    "2147483647", "-2147483648", "2147483648", "4294967296", "-4294967297",
    "99999999999999999999", "nan", "inf", "-inf", "0x7fffffff", "1e20", "-1e20",
]
NUMBER = re.compile(rb"-?\d+(?:\.\d+)?(?:[eE][-+]?\d+)?")
VALUE = re.compile(rb"(?<== )-?\d+(?:\.\d+)?(?:[eE][-+]?\d+)?(?=;)")


def statement_ends(text):
    return [m.end() for m in re.finditer(rb";;", text)] or [0]


def flip_bytes(rng, text, _others):
    b = bytearray(text)
    for _ in range(rng.randint(1, 32)):
        if not b:
            break
        i = rng.randrange(len(b))
        b[i] = b[i] ^ (1 << rng.randrange(8)) if rng.random() < 0.5 else rng.randrange(256)
    return bytes(b)


def cut_block(rng, text, _others):
    if len(text) < 2:
        return text
    start = rng.randrange(len(text))
    return text[:start] + text[start + rng.randint(1, 4000):]


def repeat_block(rng, text, _others):
    if not text:
        return text
    start = rng.randrange(len(text))
    block = text[start:start + rng.randint(1, 3000)]
    times = rng.choice([2, 3, 10, 100, 1000])
    times = max(1, min(times, (LIMIT - len(text)) // max(1, len(block))))
    at = rng.randrange(len(text) + 1)
    return text[:at] + block * times + text[at:]


def repeat_element(rng, text, _others):
    # A whole top-level element many times over: counts a loader must bound.
    ends = statement_ends(text)
    if len(ends) < 2:
        return text
    k = rng.randrange(len(ends) - 1)
    block = text[ends[k]:ends[k + 1]]
    times = max(1, min(rng.choice([50, 500, 5000]), (LIMIT - len(text)) // max(1, len(block))))
    return text[:ends[k + 1]] + block * times + text[ends[k + 1]:]


def hostile_numbers(rng, text, _others):
    # Mostly values (`key = 1.5;`); now and then any digits, names included.
    pattern = NUMBER if rng.random() < 0.15 else VALUE
    spans = [m.span() for m in pattern.finditer(text)]
    if not spans:
        return text
    picked = sorted(rng.sample(spans, min(len(spans), rng.randint(1, 40))), reverse=True)
    for a, b in picked:
        text = text[:a] + rng.choice(HOSTILE_NUMBERS).encode() + text[b:]
    return text


def deep_nesting(rng, text, _others):
    depth = rng.choice([10, 100, 1000, 10000, 50000])
    at = rng.choice(statement_ends(text))
    name = rng.choice([b"CollisionForm", b"Line", b"MainBall", b"x", b""])
    if rng.random() < 0.3:
        nest = (name + b" { ") * depth  # never closed
    else:
        nest = (name + b" { ") * depth + b" };; " * depth
    return text[:at] + nest + text[at:]


def splice(rng, text, others):
    # A stretch of another table, dropped in at a statement boundary.
    other = rng.choice(others)
    ends = statement_ends(other)
    a = rng.randrange(len(ends))
    b = min(len(ends) - 1, a + rng.randint(1, 20))
    at = rng.choice(statement_ends(text))
    return text[:at] + other[ends[a]:ends[b]] + text[at:]


MUTATIONS = [flip_bytes, cut_block, repeat_block, repeat_element, hostile_numbers,
             deep_nesting, splice]


def make_mutant(seed, index, sources):
    rng = random.Random(seed * 1000003 + index)
    text = sources[index % len(sources)]
    for _ in range(rng.choice([1, 1, 2, 3, 5])):
        text = rng.choice(MUTATIONS)(rng, text, sources)[:LIMIT]
    return text


def run_batch(args, names, work):
    """Runs the named tables; returns {name: outcome} for those it reached."""
    listing = os.path.join(work, "batch.txt")
    with open(listing, "w") as f:
        f.write("".join(n + "\n" for n in names))
    cmd = [args.sim, "--batch", "batch.txt", "--frames", str(args.frames), "--check",
           "--load-limit", str(args.load_limit)]
    if not args.no_nice:
        cmd = ["nice", "-n", "19"] + cmd
    env = dict(os.environ, SDL_VIDEODRIVER="dummy", SDL_AUDIODRIVER="dummy",
               ZARNIK_MESSAGES="stderr",
               ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:allocator_may_return_null=1",
               UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1")
    timeout = args.table_seconds * len(names)
    hung = False
    with open(os.path.join(work, "stderr.txt"), "wb") as err:
        try:
            proc = subprocess.run(cmd, cwd=work, stdout=subprocess.PIPE, stderr=err,
                                  timeout=timeout)
            out, code = proc.stdout, proc.returncode
        except subprocess.TimeoutExpired as e:
            out, code, hung = e.stdout or b"", None, True
    outcomes, current = {}, None
    for line in out.decode("utf-8", "replace").splitlines():
        if line.startswith("table "):
            current = line[6:]
        elif line.startswith("exit ") and current is not None:
            c = int(line[5:])
            outcomes[current] = {0: "clean", 1: "refused", 3: "check"}.get(c, "other")
            current = None
    if current is not None:  # the process ended inside this table
        outcomes[current] = "hung" if hung else "crashed"
        with open(os.path.join(work, "stderr.txt"), "rb") as f:
            outcomes[current + "#log"] = f.read()[-8000:]
    elif code not in (0, 1, 3) and not hung and len(outcomes) == len(names):
        outcomes["#exit"] = code  # died after the last table (e.g. at exit)
    return outcomes


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n")[1])
    p.add_argument("--sim", required=True)
    p.add_argument("--data", required=True, help="the generated data folder")
    p.add_argument("--work", required=True)
    p.add_argument("--count", type=int, default=100)
    p.add_argument("--first", type=int, default=0)
    p.add_argument("--seed", type=int, default=1)
    p.add_argument("--batch", type=int, default=25)
    p.add_argument("--frames", type=int, default=600)
    p.add_argument("--table-seconds", type=float, default=60.0)
    p.add_argument("--load-limit", type=float, default=30.0)
    p.add_argument("--minutes", type=float, default=0, help="stop after this long")
    p.add_argument("--no-nice", action="store_true")
    args = p.parse_args()
    args.sim = os.path.abspath(args.sim)

    sources = []
    for t in TABLES:
        with open(os.path.join(args.data, "tables", t), "rb") as f:
            sources.append(f.read())
    work = os.path.abspath(args.work)
    os.makedirs(os.path.join(work, "found"), exist_ok=True)
    # Loose data only: an archive would shadow the mutants.
    if not os.path.exists(os.path.join(work, "data")):
        shutil.copytree(args.data, os.path.join(work, "data"))
    mutants = os.path.join(work, "data", "mutants")
    os.makedirs(mutants, exist_ok=True)

    totals = {}
    started = time.time()
    done = 0
    index = args.first
    end = args.first + args.count
    while index < end:
        if args.minutes and time.time() - started > args.minutes * 60:
            break
        batch = list(range(index, min(end, index + args.batch)))
        index = batch[-1] + 1
        names = {}
        for i in batch:
            name = "data\\mutants\\m%06d.script" % i
            with open(os.path.join(mutants, "m%06d.script" % i), "wb") as f:
                f.write(make_mutant(args.seed, i, sources))
            names[name] = i
        pending = list(names)
        while pending:
            outcomes = run_batch(args, pending, work)
            if "#exit" in outcomes:
                print("zarnik-sim ended with %s after its batch" % outcomes["#exit"])
                totals["exit-fault"] = totals.get("exit-fault", 0) + 1
            reached = [n for n in pending if n in outcomes]
            for n in reached:
                kind = outcomes[n]
                totals[kind] = totals.get(kind, 0) + 1
                if kind in ("check", "crashed", "hung", "other"):
                    i = names[n]
                    kept = os.path.join(work, "found", "%s-m%06d.script" % (kind, i))
                    shutil.copy(os.path.join(mutants, "m%06d.script" % i), kept)
                    if n + "#log" in outcomes:
                        with open(kept + ".log", "wb") as f:
                            f.write(outcomes[n + "#log"])
                    print("table %d: %s (kept as %s)" % (i, kind, kept), flush=True)
            if not reached:  # nothing ran at all: the sim itself is unusable
                sys.exit("zarnik-sim ran no table; see %s/stderr.txt" % work)
            pending = pending[pending.index(reached[-1]) + 1:]
        for i in batch:
            os.remove(os.path.join(mutants, "m%06d.script" % i))
        done += len(batch)
        # The game's log grows with every refused table; keep the folder small.
        log = os.path.join(work, "Zarnik.log")
        if os.path.exists(log) and os.path.getsize(log) > 50 * 1024 * 1024:
            os.remove(log)
        print("%d tables in %.0f s: %s" % (done, time.time() - started,
                                            ", ".join("%s %d" % kv for kv in sorted(totals.items()))),
              flush=True)
    bad = sum(totals.get(k, 0) for k in ("check", "crashed", "hung", "other", "exit-fault"))
    sys.exit(1 if bad else 0)


if __name__ == "__main__":
    main()
