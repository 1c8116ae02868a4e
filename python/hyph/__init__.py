"""hyph: hyphenation of words, running text and HTML with the TeX patterns of
73 languages, over the hyph C++ library.

    >>> import hyph
    >>> hyph.hyphenate("hyphenation")
    ['hy', 'phen', 'ation']
    >>> hyph.Pyphen(lang="nl_NL").inserted("lettergrepen")
    'let-ter-gre-pen'

Languages are named as findLanguage takes them: affixes ("en-us"), names
("English_US"), language tags ("de", "pt-BR") and locale names ("de_DE").
An unknown one raises ValueError; the library's own failures hyph.Error.

Hyphenators pickle (a language's by its name, one of your own tables by
the tables it was made from), so that they go to worker processes; text
larger than memory goes through a TextHyphenator, or hyphenate_file.
"""

import gzip
import os
import stat

from ._hyph import (  # noqa: F401
    Error,
    Hyphenator,
    TextHyphenator,
    __version__,
    find_language,
    hyphenate,
    hyphenate_text,
    language_affix,
    language_license,
    languages,
    positions,
)

__all__ = [
    "DataInt",
    "Error",
    "Hyphenator",
    "Pyphen",
    "TextHyphenator",
    "find_language",
    "hyphenate",
    "hyphenate_file",
    "hyphenate_text",
    "language_affix",
    "language_license",
    "languages",
    "positions",
]


def _gunzip(data):
    try:
        return gzip.decompress(data)
    except (OSError, EOFError):
        return data


def hyphenate_file(source, target, lang="en-us", *, chunk_size=1 << 16, **options):
    """Hyphenates the text read from the file object ``source`` into the
    file object ``target``, ``chunk_size`` at a time: memory stays bounded
    by the chunk and the longest word, and the output is what
    ``hyphenate_text`` gives for the whole text. Both files are text files,
    or both binary (UTF-8). ``lang`` is a language name or a Hyphenator;
    ``options`` are those of hyphenate_text (separator, html, ...). The
    source and the target must be different files: the same file object, or
    two opened on one file, raise ValueError.

        >>> import io
        >>> out = io.StringIO()
        >>> hyph.hyphenate_file(io.StringIO("hyphenation"), out, separator="-")
        >>> out.getvalue()
        'hy-phen-ation'
    """
    if _same_file(source, target):
        raise ValueError(
            "hyphenate_file: source and target are the same file, which would be destroyed; "
            "write to another file and rename it over the source")
    with TextHyphenator(target, lang, **options) as text:
        while chunk := source.read(chunk_size):
            text.write(chunk)


def _same_file(source, target):
    """Whether the two file objects are one, or open on one regular file
    (reading a file while writing it loses its text, or never ends)."""
    if source is target:
        return True
    try:
        a, b = os.fstat(source.fileno()), os.fstat(target.fileno())
    except (AttributeError, OSError, ValueError):  # no file descriptor: io.StringIO and the like
        return False
    return stat.S_ISREG(a.st_mode) and (a.st_dev, a.st_ino) == (b.st_dev, b.st_ino)


def _looks_like_libhyphen(data):
    """A libhyphen .dic file starts with the name of its encoding."""
    first = data.split(b"\n", 1)[0].strip().upper()
    return first in (b"UTF-8", b"UTF8") or first.startswith((b"ISO8859", b"ISO-8859", b"KOI8",
                                                            b"MICROSOFT-CP", b"CP", b"TIS-620"))


class DataInt(int):
    """A position that carries how a non-standard break rewrites the word,
    as pyphen's positions do: ``data`` is None for a break that only cuts,
    else ``(change, index, cut)``: ``cut`` letters from ``position + index``
    are written ``change``, whose "=" is the break."""

    def __new__(cls, value, data=None):
        obj = int.__new__(cls, value)
        obj.data = data
        return obj


class Pyphen:
    """pyphen's interface over hyph: replacing ``import pyphen`` by
    ``from hyph import Pyphen`` keeps a program working.

    ``lang`` is resolved as everywhere in hyph ("de_DE" is German_1996).
    ``filename`` names a libhyphen dictionary (``hyph_*.dic``, as pyphen
    reads them), which hyph breaks words with as libhyphen does, its two
    levels, its minimums and its non-standard breaks included; or a TeX
    pattern file (txt/hyph-*.pat.txt, or hyph-*.tex; gzip too), whose letters
    are mapped through ``lang``'s characters when a language is given.
    ``left`` and ``right`` are the minimums, 2 and 2 as in pyphen (with a
    dictionary, its own apply where they are larger, as with libhyphen).
    ``cache`` is accepted and has nothing to do: hyph needs no memo.
    """

    def __init__(self, filename=None, lang=None, left=2, right=2, cache=True):
        if filename is None and lang is None:
            raise ValueError("Pyphen: give a language (lang=) or a pattern file (filename=)")
        self.left = left
        self.right = right
        if filename is not None:
            with open(filename, "rb") as f:
                data = f.read()
            if _looks_like_libhyphen(data[:2] == b"\x1f\x8b" and _gunzip(data) or data):
                try:
                    self.hd = Hyphenator(dictionary=data, left=left, right=right)
                except Error as e:
                    message = str(e)
                    if message.startswith("dictionary"):
                        message = f"{filename}{message[len('dictionary'):]}"
                    raise Error(message) from None
            else:
                self.hd = Hyphenator(lang, patterns=data, left=left, right=right)
        else:
            self.hd = Hyphenator(lang, left=left, right=right)
        # Bound once, so that a call is one call into the library.
        self.positions = self.hd.positions
        if self.hd.rewrites:
            self.positions = self._positions

    def _positions(self, word):
        """positions of a dictionary with non-standard breaks: each a
        DataInt, as pyphen gives them."""
        out = []
        for position, start, end, before, after in self.hd.breaks(word):
            data = None
            if start != end or before or after:
                data = (before + "=" + after, start - position, end - start)
            out.append(DataInt(position, data))
        return out

    def positions(self, word):  # noqa: F811 (the bound method above stands for it)
        """The positions (code point offsets) where ``word`` may be broken."""
        return self.hd.positions(word)

    def inserted(self, word, hyphen="-"):
        """``word`` with ``hyphen`` at every place where it may be broken."""
        return self.hd.inserted(word, hyphen)

    def iterate(self, word):
        """The ways to cut ``word`` in two, the longest first part first."""
        return iter(self.hd.iterate(word))

    def wrap(self, word, width, hyphen="-"):
        """The longest first part of ``word`` that, with ``hyphen`` attached,
        takes at most ``width`` characters, and the rest; None when there is
        no such break."""
        return self.hd.wrap(word, width, hyphen)
