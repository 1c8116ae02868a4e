#!/usr/bin/env python3
"""hyph's Python binding in the peers' benchmark protocol (see their README).

  bench_hyph.py LANG WORDLIST SAMPLES RUNS DUMP [--batch]
  bench_hyph.py LANG --cold WORD

The timed loop calls Pyphen.positions on each word, as a pyphen program
does; with --batch, or when called through a name ending in "-batch", it
hands the whole list to the library at once, as one text of a word a line
(Hyphenator.hyphenate_text), and only that call is timed: the breaks are
counted from its output afterwards, and the dump is that output. Running
text ends a word at a code point that is not one of the language's
letters, so the batch leaves fewer breaks than the word-by-word peers in
words such as "clientèle" (47 of the en-us list; none of de). LANG is a
word-list tag (en-us, de) or any name that hyph takes. The minimums are the
TeX patterns' (en-us 2/3, de 2/2), as the other peers use. Output: "key
value" lines.
"""
import os
import sys
import time

t_import = time.perf_counter_ns()
import hyph  # noqa: E402  (import time is part of the cold start)
from hyph import Pyphen  # noqa: E402
t_import = time.perf_counter_ns() - t_import

MINIMA = {"en-us": (2, 3), "de": (2, 2)}


def make(lang):
    left, right = MINIMA.get(lang, (2, 2))
    return Pyphen(lang=lang, left=left, right=right)


def read_words(path):
    with open(path, encoding="utf-8") as f:
        return [w for w in f.read().split("\n") if w]


def vm_hwm_kb():
    with open("/proc/self/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return -1


def main(argv):
    batch = "--batch" in argv or os.path.basename(argv[0]).endswith("-batch")
    argv = [a for a in argv if a != "--batch"]
    if len(argv) == 4 and argv[2] == "--cold":
        dic = make(argv[1])
        if batch:
            print(dic.hd.hyphenate_text(argv[3], separator="-"))
        else:
            print(dic.inserted(argv[3]))
        return
    if len(argv) != 6:
        sys.exit(__doc__)
    lang, words, samples, runs = argv[1], read_words(argv[2]), read_words(argv[3]), int(argv[4])

    t0 = time.perf_counter_ns()
    dic = make(lang)
    load_ns = time.perf_counter_ns() - t0
    print("peer hyph-python-%s%s" % (hyph.__version__, "-batch" if batch else ""))
    print("dict %s minima %d %d" % (dic.hd.language, dic.left, dic.right))
    print("words %d" % len(words))
    print("codepoints %d" % sum(len(w) for w in words))
    print("import_ns %d" % t_import)
    print("load_ns %d" % load_ns)
    t0 = time.perf_counter_ns()
    dic.positions(samples[0])
    print("first_ns %d" % (time.perf_counter_ns() - t0))
    for s in samples:
        print("sample %s" % dic.inserted(s))

    positions, text = dic.positions, "\n".join(words)
    breaks = possum = None
    for r in range(-1, runs):  # r == -1: warm-up pass
        b = p = 0
        c0 = time.thread_time_ns()
        t0 = time.perf_counter_ns()
        if batch:
            out = dic.hd.hyphenate_text(text, separator="\x1f")
            ns = time.perf_counter_ns() - t0
            cpu = time.thread_time_ns() - c0
            for line in out.split("\n"):
                at = 0
                for piece in line.split("\x1f")[:-1]:
                    at += len(piece)
                    b += 1
                    p += at
        else:
            for w in words:
                pos = positions(w)
                b += len(pos)
                p += sum(pos)
            ns = time.perf_counter_ns() - t0
            cpu = time.thread_time_ns() - c0
        if r >= 0:
            print("run_ns %d" % ns)
            print("run_cpu_ns %d" % cpu)
        if r > 0 and (b, p) != (breaks, possum):
            sys.exit("runs disagree")
        breaks, possum = b, p
    print("breaks %d\npossum %d" % (breaks, possum))

    dump = open(argv[5], "w", encoding="utf-8") if argv[5] != "-" else None
    h = 14695981039346656037
    # The batch's own output, so that the dump shows what was timed.
    lines = out.replace("\x1f", "-").split("\n") if batch else (dic.inserted(w) for w in words)
    for out in lines:
        for c in (out + "\n").encode("utf-8"):
            h = ((h ^ c) * 1099511628211) & 0xFFFFFFFFFFFFFFFF
        if dump:
            dump.write(out + "\n")
    if dump:
        dump.close()
    print("digest %016x" % h)
    print("vmhwm_kb %d" % vm_hwm_kb())


if __name__ == "__main__":
    main(sys.argv)
