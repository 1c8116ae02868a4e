"""The Python binding: its interface, pyphen's documented examples, threads,
errors, and agreement with the C++ library (the hyph command) over words.
"""
import gzip
import io
import os
import pathlib
import pickle
import re
import subprocess
import threading

import pytest

import hyph
from hyph import Pyphen

SAMPLES = pathlib.Path(__file__).resolve().parents[2] / "tests" / "samples"


def test_words_and_positions():
    assert hyph.hyphenate("hyphenation") == ["hy", "phen", "ation"]
    assert hyph.hyphenate("Hyphenation") == ["Hy", "phen", "ation"]
    assert hyph.positions("hyphenation") == [2, 6]
    assert hyph.hyphenate("Stra\u00dfenbahn", lang="de") == ["Stra", "\u00dfen", "bahn"]
    # Positions count code points, never bytes.
    assert hyph.positions("Stra\u00dfenbahn", lang="de-1996") == [4, 7]
    assert hyph.hyphenate("") == [""]
    assert hyph.positions("\U0001F600hyphenation") == [3, 7]  # one code point, four bytes


def test_running_text_and_html():
    assert hyph.hyphenate_text("Silbentrennung!", lang="de") == "Sil\xadben\xadtren\xadnung!"
    assert hyph.hyphenate_text("hyphenation", separator="-") == "hy-phen-ation"
    page = '<p lang="de">Silbentrennung</p><code>hyphenation</code>'
    assert (hyph.hyphenate_text(page, separator="|", html=True)
            == '<p lang="de">Sil|ben|tren|nung</p><code>hyphenation</code>')
    assert hyph.hyphenate_text("NASA table", separator="-", skip_capitals=True) == "NASA ta-ble"
    assert hyph.hyphenate_text("table tables", separator="-", min_word_length=6) == "table ta-bles"
    assert hyph.hyphenate_text("see https://example.org/documentation") == \
        "see https://example.org/documentation"
    # Every letter belongs to its word; compounds and code as asked.
    assert hyph.hyphenate_text("verrà", lang="it", separator="-") == "ver-rà"
    line = "Backslash-Zeichen LC_CTYPE"
    assert hyph.hyphenate_text(line, lang="de", separator="-") == "Back-slash-Zei-chen LC_CTY-PE"
    assert hyph.hyphenate_text(line, lang="de", separator="-", compounds="hyphen",
                               skip_code=True) == line
    out = io.StringIO()
    with hyph.TextHyphenator(out, "de", separator="-", compounds="hyphen") as text:
        text.write(line)
    assert out.getvalue() == "Backslash-Zeichen LC_CTY-PE"
    with pytest.raises(ValueError, match="compounds"):
        hyph.hyphenate_text(line, compounds="some")


def test_words_of_ones_own_over_a_language():
    own = hyph.Hyphenator("en-us", words=["asso-ciate", "ACME-corp"])
    assert own.hyphenate("associate") == ["asso", "ciate"]
    assert own.hyphenate("table") == hyph.hyphenate("table")
    assert own.hyphenate_text("an ACMEcorp associate", separator="-") == "an ACME-corp asso-ciate"
    assert hyph.Hyphenator("en-us", words="asso-ciate\n").hyphenate("associate") == ["asso", "ciate"]
    with pytest.raises(hyph.Error, match="words:1: a digit"):
        hyph.Hyphenator("en-us", words=["bad1"])


def test_languages_by_their_usual_names():
    assert len(hyph.languages()) == 73
    assert hyph.languages()[13] == "English_US"
    assert hyph.find_language("de") == "German_1996"
    assert hyph.find_language("en_GB") == "English_GB"
    assert hyph.find_language("pt-BR") == "Portuguese"
    assert hyph.find_language("zh") is None
    assert hyph.language_affix("de_CH") == "de-ch-1901"
    assert "MIT" in hyph.language_license("de")


def test_hyphenators_of_a_language_or_of_your_own_files():
    english = hyph.Hyphenator("en-us")
    assert english.language == "English_US"
    assert (english.left, english.right) == (2, 3)
    assert hyph.Hyphenator("en-us", left=1, right=1).hyphenate("table") == ["ta", "ble"]
    mine = hyph.Hyphenator("en", patterns="HY3PH\r\n", exceptions=b"Ta-ble\n", left=1, right=1)
    assert mine.hyphenate("Hyphen") == ["Hy", "phen"]
    assert mine.hyphenate("Table") == ["Ta", "ble"]
    tex = "% mine\n\\patterns{1b 1c}\n\\hyphenation{ab-ca}\n"
    own = hyph.Hyphenator(patterns=tex, chars="aA\nbB\ncC\n", left=1, right=1)
    assert own.language is None
    assert own.hyphenate("ABCABC") == ["A", "B", "CA", "B", "C"]
    assert own.hyphenate("abca") == ["ab", "ca"]
    assert own.positions_many(["abc", "", "abcabc"]) == [[1, 2], [], [1, 2, 4, 5]]


# pyphen's documented examples, with its Dutch dictionary's words.
def test_pyphen_documented_examples():
    dic = Pyphen(lang="nl_NL")
    assert dic.inserted("lettergrepen") == "let-ter-gre-pen"
    assert dic.positions("lettergrepen") == [3, 6, 9]
    assert dic.wrap("autobandventieldopje", 11) == ("autoband-", "ventieldopje")
    assert list(dic.iterate("Amsterdam")) == [("Amster", "dam"), ("Am", "sterdam")]
    assert dic.inserted("lettergrepen", hyphen="\u00ad") == "let\xadter\xadgre\xadpen"


def test_pyphen_semantics():
    dic = Pyphen(lang="en_US")
    assert (dic.left, dic.right) == (2, 2)  # pyphen's minimums, not the language's
    assert dic.positions("table") == [2]
    assert dic.wrap("hyphenation", 2) is None  # nothing fits
    assert dic.wrap("cat", 80) is None  # no break at all
    assert dic.wrap("hyphenation", 7) == ("hyphen-", "ation")
    assert list(dic.iterate("cat")) == []
    assert dic.inserted("cat") == "cat"
    assert Pyphen(lang="de", left=3, right=3).positions("Silbentrennung") == [3, 6, 10]


def test_pyphen_files(tmp_path):
    pattern = tmp_path / "hyph-xx.pat.txt"
    pattern.write_text("1b\n1c\n")
    assert Pyphen(filename=str(pattern), left=1, right=1).inserted("abcab") == "a-b-ca-b"
    bad = tmp_path / "bad.pat"
    bad.write_text("a9999b\n")
    with pytest.raises(hyph.Error, match=r"patterns:1: two digits in a row in 'a9999b'"):
        Pyphen(filename=str(bad))


def test_errors():
    with pytest.raises(ValueError, match="unknown language 'germn'; did you mean German_1996"):
        hyph.hyphenate("x", lang="germn")
    with pytest.raises(ValueError):
        Pyphen()
    with pytest.raises(ValueError):
        hyph.Hyphenator("en", left=-1)
    with pytest.raises(hyph.Error, match="patterns:2: no letters in the pattern '1'"):
        hyph.Hyphenator(patterns="a1b\n1\n")
    with pytest.raises(TypeError):
        hyph.hyphenate(b"bytes")
    assert issubclass(hyph.Error, Exception)


def test_a_batch_keeps_its_words_while_another_thread_changes_the_list():
    # Strings of more than 32 MiB live in memory of their own, which is
    # given back to the system as soon as the last reference goes: a batch
    # that read them without holding them crashed when the list was cleared.
    english = hyph.Hyphenator("en-us")
    words = ["hyphenation" * 3_100_000, "représentation" * 2_500_000, "word"]
    expected = english.positions_many(list(words))
    started = threading.Event()

    def meddle():
        started.wait()
        words.clear()
        words.extend(["x"] * 10)

    thread = threading.Thread(target=meddle)
    thread.start()
    started.set()
    got = english.positions_many(words)
    thread.join()
    assert got == expected or got == [[]] * 10


def test_threads_share_the_hyphenators():
    words = ["hyphenation", "documentation", "representation", "association"] * 200
    expected = [hyph.hyphenate(w) for w in words]
    english = hyph.Hyphenator("en-us")
    results, errors = [], []

    def work():
        try:
            results.append(([english.hyphenate(w) for w in words],
                            english.hyphenate_text(" ".join(words), separator="-"),
                            hyph.hyphenate_text(" ".join(words), lang="fr")))
        except Exception as e:  # noqa: BLE001
            errors.append(e)

    threads = [threading.Thread(target=work) for _ in range(8)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert not errors
    assert all(r[0] == expected for r in results)
    assert len({r[1] for r in results}) == 1 and len({r[2] for r in results}) == 1


@pytest.mark.skipif("HYPH_CLI" not in os.environ, reason="HYPH_CLI names the hyph command")
@pytest.mark.parametrize("name,lang", [("en.txt", "en-us"), ("de.txt", "de-1996"),
                                       ("fr.txt", "fr"), ("ru.txt", "ru"), ("el.txt", "el")])
def test_agrees_with_the_library(name, lang):
    words = sorted(set(re.findall(r"\w+", (SAMPLES / name).read_text(encoding="utf-8"))))
    out = subprocess.run([os.environ["HYPH_CLI"], "-l", lang, "-s", "|", "--", *words],
                         capture_output=True, text=True, check=True).stdout.split("\n")[:-1]
    assert [hyph.hyphenate_text(w, lang=lang, separator="|") for w in words] == out
    assert ["|".join(hyph.hyphenate(w, lang=lang)) for w in words] == \
        [hyph.Hyphenator(lang).inserted(w, "|") for w in words]


# Non-standard rules (Hungarian "nny" as "ny-ny"), whose breaks libhyphen
# 2.8.8 gives as tested here.
REWRITING = ("UTF-8\nLEFTHYPHENMIN 2\nRIGHTHYPHENMIN 2\nas5szon2y/sz=,2,1\no1n\n"
             "n5nyal/ny=ny,1,3\nd7dzs2\u00e9./dzs=dzs,1,4\n1ve\n")


def test_pyphen_reads_libhyphen_dictionaries(tmp_path):
    dic = tmp_path / "hyph_hu_HU.dic"
    dic.write_text(REWRITING)
    hu = Pyphen(filename=str(dic))
    assert hu.inserted("asszonnyal") == "asszony-nyal"
    assert hu.inserted("ASSZONNYAL", "=") == "ASSZONY=NYAL"
    assert list(hu.iterate("asszonnyal")) == [("asszony", "nyal")]
    assert hu.wrap("asszonnyal", 8) == ("asszony-", "nyal")
    assert hu.wrap("asszonnyal", 7) is None
    # As pyphen's: each position a DataInt, whose data says the rewriting.
    (position,) = hu.positions("asszonnyal")
    assert position == 6 and isinstance(position, hyph.DataInt)
    assert position.data == ("ny=ny", -1, 3)
    assert hu.hd.hyphenate("briddzs\u00e9") == ["bridzs", "dzs\u00e9"]
    assert hu.hd.breaks("asszonnyal") == [(6, 5, 8, "ny", "ny")]
    # A dictionary in Latin-1 under any name, and gzip-compressed.
    latin = tmp_path / "patterns.txt"
    latin.write_bytes(b"ISO8859-1\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\n1b\n1\xfc\n")
    plain = Pyphen(filename=str(latin), left=1, right=1)
    assert plain.inserted("ab\u00fcab") == "a-b-\u00fca-b"
    assert Pyphen(filename=str(latin)).inserted("ab\u00fcab") == "ab-\u00fcab"  # pyphen's 2 and 2
    assert plain.positions("abab") == [1, 3] and plain.positions("abab")[0].__class__ is int
    packed = tmp_path / "hyph_xx.dic.gz"
    packed.write_bytes(gzip.compress(latin.read_bytes()))
    assert Pyphen(filename=str(packed), left=1, right=1).inserted("abab") == "a-ba-b"
    # A refused dictionary names its file and line.
    bad = tmp_path / "hyph_bad.dic"
    bad.write_bytes(b"UTF-8\n1a\nb\xff\n")
    with pytest.raises(hyph.Error, match=r"hyph_bad.dic:3: not UTF-8"):
        Pyphen(filename=str(bad))


def test_dictionary_hyphenators_pickle_and_refuse_a_language_beside():
    h = hyph.Hyphenator(dictionary=REWRITING.encode(), words=["ab-lak"])
    assert h.rewrites and not hyph.Hyphenator("hu").rewrites
    again = pickle.loads(pickle.dumps(h))
    assert again.inserted("asszonnyal") == "asszony-nyal"
    assert again.inserted("ablak") == "ab-lak"
    with pytest.raises(ValueError, match="not both"):
        hyph.Hyphenator("hu", dictionary=REWRITING.encode())
    with pytest.raises(TypeError):
        hyph.Hyphenator(dictionary=REWRITING)
