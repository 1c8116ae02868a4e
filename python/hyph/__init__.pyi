from typing import IO, Any, AnyStr, Iterator, Literal, Optional, Union

__version__: str

class Error(Exception): ...

_Text = Union[str, bytes]

class Hyphenator:
    def __init__(
        self,
        lang: Optional[str] = None,
        *,
        patterns: Optional[_Text] = None,
        exceptions: Optional[_Text] = None,
        chars: Optional[_Text] = None,
        left: Optional[int] = None,
        right: Optional[int] = None,
        words: Optional[Union[_Text, list[str]]] = None,
        dictionary: Optional[bytes] = None,
    ) -> None: ...
    @property
    def language(self) -> Optional[str]: ...
    @property
    def rewrites(self) -> bool: ...
    @property
    def left(self) -> int: ...
    @property
    def right(self) -> int: ...
    def hyphenate(self, word: str) -> list[str]: ...
    def positions(self, word: str) -> list[int]: ...
    def inserted(self, word: str, hyphen: str = "-") -> str: ...
    def iterate(self, word: str) -> list[tuple[str, str]]: ...
    def wrap(self, word: str, width: int, hyphen: str = "-") -> Optional[tuple[str, str]]: ...
    def positions_many(self, words: list[str]) -> list[list[int]]: ...
    def breaks(self, word: str) -> list[tuple[int, int, int, str, str]]: ...
    def hyphenate_text(
        self,
        text: str,
        separator: str = "\u00ad",
        html: bool = False,
        min_word_length: int = 0,
        skip_capitals: bool = False,
        follow_lang: bool = True,
        compounds: Literal["parts", "hyphen"] = "parts",
        skip_code: bool = False,
    ) -> str: ...

class TextHyphenator:
    def __init__(
        self,
        output: IO[Any],
        lang: Union[str, Hyphenator] = "en-us",
        *,
        separator: str = "\u00ad",
        html: bool = False,
        min_word_length: int = 0,
        skip_capitals: bool = False,
        follow_lang: bool = True,
        compounds: Literal["parts", "hyphen"] = "parts",
        skip_code: bool = False,
    ) -> None: ...
    def write(self, text: Union[str, bytes]) -> int: ...
    def flush(self) -> None: ...
    def close(self) -> None: ...
    @property
    def closed(self) -> bool: ...
    def __enter__(self) -> "TextHyphenator": ...
    def __exit__(self, *args: object) -> bool: ...

def hyphenate_file(
    source: IO[AnyStr],
    target: IO[AnyStr],
    lang: Union[str, Hyphenator] = "en-us",
    *,
    chunk_size: int = 65536,
    separator: str = "\u00ad",
    html: bool = False,
    min_word_length: int = 0,
    skip_capitals: bool = False,
    follow_lang: bool = True,
    compounds: Literal["parts", "hyphen"] = "parts",
    skip_code: bool = False,
) -> None: ...

class DataInt(int):
    data: Optional[tuple[str, int, int]]
    def __new__(cls, value: int, data: Optional[tuple[str, int, int]] = None) -> "DataInt": ...

class Pyphen:
    left: int
    right: int
    hd: Hyphenator
    def __init__(
        self,
        filename: Optional[str] = None,
        lang: Optional[str] = None,
        left: int = 2,
        right: int = 2,
        cache: bool = True,
    ) -> None: ...
    def positions(self, word: str) -> list[int]: ...
    def inserted(self, word: str, hyphen: str = "-") -> str: ...
    def iterate(self, word: str) -> Iterator[tuple[str, str]]: ...
    def wrap(self, word: str, width: int, hyphen: str = "-") -> Optional[tuple[str, str]]: ...

def hyphenate(word: str, lang: str = "en-us") -> list[str]: ...
def positions(word: str, lang: str = "en-us") -> list[int]: ...
def hyphenate_text(
    text: str,
    lang: str = "en-us",
    separator: str = "\u00ad",
    html: bool = False,
    min_word_length: int = 0,
    skip_capitals: bool = False,
    follow_lang: bool = True,
    compounds: Literal["parts", "hyphen"] = "parts",
    skip_code: bool = False,
) -> str: ...
def languages() -> list[str]: ...
def find_language(tag: str) -> Optional[str]: ...
def language_affix(lang: str) -> str: ...
def language_license(lang: str) -> str: ...
