// Types of the hyph package (the ES module and the CommonJS entry alike).

/** A language: its enumerator name, file affix, minimums and licence; for a
 *  dictionary, the name it was loaded under, its minimums, and "" for the rest. */
export interface Language {
  /** "German_1996" */
  name: string;
  /** "de-1996": the name of its files */
  affix: string;
  /** Letters at least before the first break. */
  leftMin: number;
  /** Letters at least after the last break. */
  rightMin: number;
  /** The short name of its patterns' licence: "MIT", "LPPL-1.3+", "custom". */
  license: string;
}

export interface LoadOptions {
  /** The tables' bytes (languages/AFFIX.tables, packed, or AFFIX.compiled), instead of reading them. */
  tables?: ArrayBuffer | ArrayBufferView;
}

export interface TextOptions {
  /** Any name that hyph takes: "de", "en-GB", "pt-BR", "German_1996". Default "en-us". */
  lang?: string;
  /** Inserted at each break. Default U+00AD SOFT HYPHEN. */
  separator?: string;
  /** The text is HTML. Default false. */
  html?: boolean;
  /** Words of fewer letters are left whole. Default 0. */
  minWordLength?: number;
  /** Words all in capitals (NASA) are left whole. Default false. */
  skipCapitals?: boolean;
  /** With html, lang attributes choose the language of their text. Default true. */
  followLang?: boolean;
  /** Words joined by a hyphen: broken at their own breaks too ("parts", the
   *  default) or only at the hyphen ("hyphen"). */
  compounds?: "parts" | "hyphen";
  /** Code-like tokens (LC_CTYPE, camelCase, --option) are left whole. Default false. */
  skipCode?: boolean;
}

export interface ElementOptions {
  /** The language of text without a lang attribute around it. Default "en-us". */
  lang?: string;
  /** Elements of this class are left alone. Default "no-hyphens". */
  skipClass?: string;
  minWordLength?: number;
  skipCapitals?: boolean;
  compounds?: "parts" | "hyphen";
  skipCode?: boolean;
  /** The last word of each paragraph whole, tied to the word before by a
   *  no-break space. Default false. */
  orphanControl?: boolean;
  /** The element hidden (visibility) until it is hyphenated. Default false. */
  hide?: boolean;
  /** Text in a language that the browser hyphenates itself is left to it
   *  (hyphens: auto). Default false. */
  leaveToBrowser?: boolean;
  /** Called before the element is hyphenated. */
  onBefore?: (element: Element) => void;
  /** Called after, with the number of text nodes changed. */
  onAfter?: (element: Element, changed: number) => void;
  /** Called on a failure, which also rejects the promise. */
  onError?: (error: Error) => void;
}

export interface InitOptions {
  /** The module that also reads libhyphen's dictionaries (hyph-dictionaries.wasm),
   *  which loadDictionary needs. Default false. */
  dictionaries?: boolean;
  /** The WebAssembly module instead of the hyph.wasm beside the package: its
   *  URL, its bytes, a fetch Response, or a compiled module. */
  wasm?: string | URL | ArrayBuffer | ArrayBufferView | Response | WebAssembly.Module;
}

/** Loads the WebAssembly module (loadLanguage does it when needed). */
export function init(options?: InitOptions): Promise<void>;
/** Loads a language's tables, once; resolves to its description. */
export function loadLanguage(tag: string, options?: LoadOptions): Promise<Language>;
/** Reads a libhyphen dictionary (hyph_*.dic) and loads it under a name of
 *  its own, which then means it in every call; resolves to its description. */
export function loadDictionary(
  tag: string, source: string | URL | ArrayBuffer | ArrayBufferView | Response): Promise<Language>;
/** Whether a language is loaded. */
export function isLoaded(tag: string): boolean;
/** Every language hyph has, loaded or not. */
export function languages(): Language[];
/** The full licence text of a language's patterns. */
export function languageLicense(tag: string): Promise<string>;
/** The pieces of a word, cut where it may be broken (the language must be
 *  loaded); as written when broken, where a dictionary's break changes the spelling. */
export function hyphenate(word: string, lang?: string): string[];
/** Running text (or HTML) with the separator at every break of every word. */
export function hyphenateText(text: string, options?: TextOptions): string;
/** Inserts soft hyphens into an element's text, loading the languages met. */
export function hyphenateElement(element: Element, options?: ElementOptions): Promise<number>;
/** Whether the browser hyphenates a language itself, as measured in the page. */
export function browserHyphenates(tag: string, document?: Document): boolean;
/** Words of your own over a loaded language's exceptions ("Sil-ben-tren-nung"),
 *  replacing those given before; an empty list clears them. */
export function setExceptions(tag: string, words: string[] | string): void;
/** Hyphenates an element now and whatever is added to it later; returns the
 *  MutationObserver (disconnect() stops it). */
export function observe(element: Element, options?: ElementOptions): MutationObserver;
/** The folder that holds hyph.wasm and languages/ (default: the package's). */
export function setDataUrl(url: string | URL): void;
/** The package's version. */
export const version: string;
