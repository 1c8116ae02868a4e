"""Bulk work: hyphenators sent to worker processes, and text streamed
through a TextHyphenator in chunks of any size.
"""
import concurrent.futures
import io
import multiprocessing
import operator
import os
import pathlib
import pickle
import random
import resource
import subprocess
import sys

import pytest

import hyph
from hyph import Pyphen

SAMPLES = pathlib.Path(__file__).resolve().parents[2] / "tests" / "samples"
WORDS = ["hyphenation", "Silbentrennung", "abcabc", "documentation", "Amsterdam"]


def hyphenators():
    return [
        hyph.Hyphenator("en-us"),
        hyph.Hyphenator("de"),
        hyph.Hyphenator("en", patterns=b"1b\n1c\n", exceptions="Ab-ca-bc\n", left=1, right=1),
        hyph.Hyphenator(patterns="\\patterns{1b 1c}", chars="aA\nbB\ncC\n", left=1, right=1),
        hyph.Hyphenator("nl", left=3),
        hyph.Hyphenator("en-us", words=["asso-ciate", "Hyphe-nation"]),
    ]


def test_hyphenators_pickle_by_language_or_by_their_sources():
    for original in hyphenators():
        copy = pickle.loads(pickle.dumps(original))
        assert copy.language == original.language
        assert (copy.left, copy.right) == (original.left, original.right)
        assert [copy.hyphenate(w) for w in WORDS] == [original.hyphenate(w) for w in WORDS]
    # A language's hyphenator travels as its name, whatever its tables weigh.
    assert len(pickle.dumps(hyph.Hyphenator("de"))) < 100
    dic = pickle.loads(pickle.dumps(Pyphen(lang="nl_NL")))
    assert dic.inserted("lettergrepen") == "let-ter-gre-pen"
    with pytest.raises(ValueError, match="not the pickle"):
        pickle.loads(pickle.dumps(hyph.Hyphenator("de")).replace(b"K\x01", b"K\x09"))


@pytest.mark.parametrize("protocol", range(pickle.HIGHEST_PROTOCOL + 1))
def test_every_pickle_protocol(protocol):
    # Protocols 0 and 1 once ended the interpreter: they run in a process of
    # their own, so that a crash fails the test rather than the run.
    script = (
        "import pickle, hyph\n"
        "for h in [hyph.Hyphenator('de'), hyph.Hyphenator(patterns='1b 1c', left=1, right=1)]:\n"
        f"    c = pickle.loads(pickle.dumps(h, {protocol}))\n"
        "    assert c.hyphenate('Silbentrennung abc') == h.hyphenate('Silbentrennung abc')\n"
        "try:\n"
        f"    pickle.dumps(hyph.TextHyphenator(open('/dev/null', 'w')), {protocol})\n"
        "except TypeError as e:\n"
        "    print(e)\n")
    done = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    assert "cannot pickle" in done.stdout


@pytest.mark.parametrize("method", ["spawn", "fork"])
def test_hyphenators_work_in_worker_processes(method):
    tasks = [(h, w) for h in hyphenators() for w in WORDS]
    expected = [h.hyphenate(w) for h, w in tasks]
    calls = [operator.methodcaller("hyphenate", w) for _, w in tasks]
    context = multiprocessing.get_context(method)
    with context.Pool(2) as pool:
        assert pool.starmap(operator.call, zip(calls, (h for h, _ in tasks))) == expected
    with concurrent.futures.ProcessPoolExecutor(2, mp_context=context) as executor:
        assert list(executor.map(operator.call, calls, (h for h, _ in tasks))) == expected


def chunks(data, seed):
    """``data`` cut at random places, some chunks empty, some one unit."""
    rng = random.Random(seed)
    at = 0
    while at < len(data):
        size = rng.choice([0, 1, 2, 3, 7, 64, 1000, 70000])
        yield data[at:at + size]
        at += size


@pytest.mark.parametrize("name,lang,html", [("en.txt", "en-us", False), ("de.txt", "de", False),
                                            ("ru.txt", "ru", False), ("el.txt", "el", False),
                                            ("page.html", "en-us", True)])
def test_any_chunking_gives_the_whole_text_result(name, lang, html):
    text = (SAMPLES / name).read_text(encoding="utf-8")
    whole = hyph.hyphenate_text(text, lang=lang, separator="=", html=html)
    for seed in range(3):
        out = io.StringIO()
        with hyph.TextHyphenator(out, lang, separator="=", html=html) as streamed:
            for chunk in chunks(text, seed):
                assert streamed.write(chunk) == len(chunk)
        assert out.getvalue() == whole
        # Bytes, cut inside UTF-8 sequences too.
        raw = io.BytesIO()
        with hyph.TextHyphenator(raw, hyph.Hyphenator(lang), separator="=", html=html) as streamed:
            for chunk in chunks(text.encode(), seed):
                streamed.write(chunk)
        assert raw.getvalue() == whole.encode()


def test_text_hyphenator_as_a_file():
    out = io.StringIO()
    streamed = hyph.TextHyphenator(out, separator="-")
    print("hyphenation and documentation", file=streamed)
    print("hyphen", end="", file=streamed)
    streamed.flush()  # passes on what is decided; the last word may go on
    assert out.getvalue() == "hy-phen-ation and doc-u-men-ta-tion\n"
    streamed.write("ation")
    streamed.close()
    assert out.getvalue() == "hy-phen-ation and doc-u-men-ta-tion\nhy-phen-ation"
    assert streamed.closed
    with pytest.raises(ValueError, match="closed"):
        streamed.write("more")
    mixed = hyph.TextHyphenator(io.StringIO())
    mixed.write("text")
    with pytest.raises(TypeError, match="either str or bytes"):
        mixed.write(b"bytes")
    with pytest.raises(TypeError):
        hyph.TextHyphenator(object())
    with pytest.raises(ValueError, match="unknown language"):
        hyph.TextHyphenator(io.StringIO(), "germn")


def test_files_that_are_not_all_utf8(tmp_path):
    # Read with surrogateescape, the bytes that are not UTF-8 come back.
    source = tmp_path / "latin1.txt"
    source.write_bytes(b"caf\xe9 hyphenation\n")
    target = tmp_path / "out.txt"
    with open(source, encoding="utf-8", errors="surrogateescape") as src, \
            open(target, "w", encoding="utf-8", errors="surrogateescape") as dst:
        hyph.hyphenate_file(src, dst, separator="-", chunk_size=3)
    assert target.read_bytes() == b"caf\xe9 hy-phen-ation\n"
    assert hyph.hyphenate_text("caf\udce9 hyphenation", separator="-") == \
        "caf\udce9 hy-phen-ation"


def test_a_file_onto_itself_is_refused(tmp_path):
    path = tmp_path / "text.txt"
    text = "hyphenation and documentation\n" * 5000
    path.write_text(text)
    with open(path, "r+") as both:
        with pytest.raises(ValueError, match="same file"):
            hyph.hyphenate_file(both, both)
    for source_mode, target_mode in (("r", "a"), ("rb", "r+b"), ("r", "w")):
        with open(path, source_mode) as source, open(path, target_mode) as target:
            with pytest.raises(ValueError, match="same file"):
                hyph.hyphenate_file(source, target)
        if target_mode != "w":  # "w" itself empties it, before hyph is called
            assert path.read_text() == text
    # Another file, and objects with no file descriptor, are fine.
    path.write_text(text)
    out = io.StringIO()
    with open(path) as source:
        hyph.hyphenate_file(source, out, separator="-")
    assert out.getvalue() == text.replace("hyphenation", "hy-phen-ation").replace(
        "documentation", "doc-u-men-ta-tion")


@pytest.mark.skipif("HYPH_CLI" not in os.environ, reason="HYPH_CLI names the hyph command")
def test_a_file_as_the_command_hyphenates_it(tmp_path):
    page = SAMPLES / "page.html"
    command = subprocess.run([os.environ["HYPH_CLI"], "--html", "--soft", "-f", str(page)],
                             capture_output=True, check=True).stdout
    for mode in ("", "b"):
        out = tmp_path / ("page" + mode)
        with open(page, "r" + mode) as src, open(out, "w" + mode) as dst:
            hyph.hyphenate_file(src, dst, html=True, chunk_size=1000)
        assert out.read_bytes() == command


class Words(io.RawIOBase):
    """A binary file of ``size`` bytes of words, made as it is read."""

    def __init__(self, size):
        self.left = size
        self.block = b"hyphenation documentation representation\n" * 1600

    def readable(self):
        return True

    def readinto(self, buffer):
        n = min(len(buffer), len(self.block), self.left)
        buffer[:n] = self.block[:n]
        self.left -= n
        return n


class Counter(io.RawIOBase):
    def __init__(self):
        self.bytes = 0

    def writable(self):
        return True

    def write(self, data):
        self.bytes += len(data)
        return len(data)


def test_memory_is_bounded_by_the_word_not_the_text():
    before = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
    sink = Counter()
    hyph.hyphenate_file(Words(100_000_000), sink, separator="-")
    grown_mib = (resource.getrusage(resource.RUSAGE_SELF).ru_maxrss - before) / 1024
    assert sink.bytes > 100_000_000
    assert grown_mib < 20


def test_one_large_write_is_taken_a_slice_at_a_time():
    # The write's own text is made first; what the write adds to the peak
    # stays far below its size, for str (ASCII or not) and bytes alike. A
    # process each, as the peak of one case would hide the next's.
    script = """if True:
        import io, resource, sys, hyph
        text = sys.argv[1] * 2_000_000
        chunk = text.encode() if sys.argv[2] == "bytes" else text
        del text
        sink = io.BytesIO() if sys.argv[2] == "bytes" else io.StringIO()
        sink.write = lambda data: len(data)  # counted by nobody, kept by nobody
        before = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
        with hyph.TextHyphenator(sink, "de", separator="-") as streamed:
            streamed.write(chunk)
        print((resource.getrusage(resource.RUSAGE_SELF).ru_maxrss - before) / 1024)
    """
    for line in ("hyphenation documentation\n", "Überschrift Silbentrennung\n"):
        for kind in ("str", "bytes"):
            done = subprocess.run([sys.executable, "-c", script, line, kind],
                                  capture_output=True, text=True)
            assert done.returncode == 0, done.stderr
            assert float(done.stdout) < 20, (line, kind, done.stdout)
