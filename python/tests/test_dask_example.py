"""examples/corpus_dask.py on a small corpus with two local worker
processes: each output file is what the hyph command makes of its input.
"""
import os
import pathlib
import shutil
import subprocess
import sys

import pytest

pytest.importorskip("distributed")

ROOT = pathlib.Path(__file__).resolve().parents[2]
SAMPLES = ROOT / "tests" / "samples"
EXAMPLE = ROOT / "examples" / "corpus_dask.py"

pytestmark = pytest.mark.skipif("HYPH_CLI" not in os.environ,
                                reason="HYPH_CLI names the hyph command")


def command(*args):
    return subprocess.run([os.environ["HYPH_CLI"], *args], capture_output=True,
                          check=True).stdout


def test_a_corpus_on_two_workers(tmp_path):
    corpus = tmp_path / "in"
    (corpus / "deep" / "er").mkdir(parents=True)
    shutil.copy(SAMPLES / "page.html", corpus / "page.html")
    for i, name in enumerate(["en.txt", "de.txt", "fr.txt", "ru.txt", "el.txt"]):
        lang = name.split(".")[0]
        text = (SAMPLES / name).read_text(encoding="utf-8")
        folder = corpus / "deep" if i % 2 else corpus / "deep" / "er"
        (folder / f"{lang}.html").write_text(f'<html lang="{lang}"><p>{text}</p>\n<pre>{text}</pre>',
                                             encoding="utf-8")
    (corpus / "notes.txt").write_text("hyphenation\n")  # not .html: left out

    result = subprocess.run([sys.executable, str(EXAMPLE), str(corpus), str(tmp_path / "out"),
                             "--html", "--suffix", ".html", "--workers", "2"],
                            capture_output=True, text=True, timeout=300)
    assert result.returncode == 0, result.stderr
    assert "6 files" in result.stdout and "on 2 workers" in result.stdout
    inputs = sorted(p.relative_to(corpus) for p in corpus.rglob("*.html"))
    outputs = sorted(p.relative_to(tmp_path / "out") for p in (tmp_path / "out").rglob("*")
                     if p.is_file())
    assert outputs == inputs
    for name in inputs:
        assert (tmp_path / "out" / name).read_bytes() == \
            command("--html", "--soft", "-f", str(corpus / name)), name


def test_own_patterns_travel_to_the_workers(tmp_path):
    corpus = tmp_path / "in"
    corpus.mkdir()
    for i in range(8):
        (corpus / f"{i}.txt").write_text("abcabc hyphenation\n" * (i + 1))
    patterns = tmp_path / "mine.pat"
    patterns.write_text("1b\n1c\n")
    result = subprocess.run([sys.executable, str(EXAMPLE), str(corpus), str(tmp_path / "out"),
                             "--patterns", str(patterns), "-s", "-", "--workers", "2"],
                            capture_output=True, text=True, timeout=300)
    assert result.returncode == 0, result.stderr
    for i in range(8):
        assert (tmp_path / "out" / f"{i}.txt").read_bytes() == command(
            "--patterns", str(patterns), "-f", str(corpus / f"{i}.txt"))
