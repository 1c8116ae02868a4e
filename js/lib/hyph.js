// hyph for JavaScript: the hyph library compiled to WebAssembly (hyph.wasm),
// and each language's tables in files of their own (languages/AFFIX.tables,
// packed and gzipped), read or fetched when the language is first
// loaded. Runs in Node (18 or later) and in browsers.
//
//   import { loadLanguage, hyphenate, hyphenateText } from "hyph";
//   await loadLanguage("de");
//   hyphenate("Silbentrennung", "de");  // ["Sil", "ben", "tren", "nung"]
//
// The package build makes from it one entry for each kind of user, filling
// in the marked places: index.js for browsers and bundlers (an ES module with
// no Node module in it, its files named in the form that bundlers take as
// assets), node.js and index.cjs for Node (reading the files from the disk),
// and hyph.global.js for a plain <script> tag (the global `hyph`).
/* node imports */

// Every language, as `hyph --list` gives it: [name, affix, leftMin, rightMin,
// licence]. Filled in by the package build.
const LANGUAGES = /* languages */ [];

// Where this module is, for the files beside it (each entry says it its own
// way).
const moduleUrl = import.meta.url;

// The package's files as the entry names them: for bundlers, each a
// `new URL("./file", import.meta.url)` that they follow and emit; null where
// the files are found beside the module.
const ASSETS = /* assets */ null;

// Reads a file: URL in Node; null where there is no file system.
const readFile = /* read file */ null;
// Node's gzip decompression; elsewhere the browser's DecompressionStream.
const gunzip = /* gunzip */ null;
// Whether the module is compiled at once (new WebAssembly.Module), as Node
// may: the asynchronous compile waits for a thread. Browsers refuse it on
// the main thread for a module of this size.
const compileAtOnce = /* compile at once */ false;
// In Node, the digest of each language's compiled file as the build wrote
// it (affix -> 16 hex digits): a file read from the package's own folder
// that still has it is not checked again, which is most of loading it.
const DIGESTS = /* digests */ null;
// A language's file: its packed tables (AFFIX.tables, a quarter of the size
// on the wire), or in Node, which reads them from the disk, the compiled
// ones (AFFIX.compiled, ready sooner).
const TABLES = /* tables */ ".tables";

// A small language's packed tables (unzipped, in base64), with its affix
// and a word of it, for pages: the first language a page fetches reads
// them while its own file is on its way (warmUp), so that the engine has
// compiled the code that reads a file before the file arrives. Node reads
// compiled files, which take little code, and has none.
const WARM_UP = /* warm up */ null;
let warmedUp = false;

let dataUrl = null; // setDataUrl's folder, over the entry's own
let wasmSource = null; // init's `wasm`, over the file
// The module that reads libhyphen's dictionaries too, which init loads
// instead of hyph.wasm when asked for dictionaries.
const DICTIONARIES_WASM = "hyph-dictionaries.wasm";
let withDictionaries = false;

/** The URL of one of the package's files ("hyph.wasm", "languages/x.tables"). */
function fileUrl(name) {
  if (dataUrl) return new URL(name, dataUrl);
  const asset = ASSETS?.[name];
  if (asset) return asset();
  return new URL(name, moduleUrl || globalThis.location?.href);
}
let core = null; // the instantiated module, once init() is done
let coreReady = null; // the promise of it
const loading = new Map(); // language index -> promise of its tables loaded

const encoder = new TextEncoder();
const decoder = new TextDecoder();

/** A failure of hyph's: the library's message, as an Error. */
function failure(message) {
  return new Error(message);
}

/**
 * The folder (a URL, or a path in Node) that holds hyph.wasm and
 * languages/; by default the package's own folder. For a page that serves
 * the files from elsewhere. Affects what is loaded after the call.
 */
export function setDataUrl(url) {
  const text = String(url);
  dataUrl = new URL(text.endsWith("/") ? text : text + "/", globalThis.location?.href ?? moduleUrl);
}

/** The bytes of what init's `wasm` gives: a URL, bytes, a Response. */
async function bytesOf(source) {
  if (source instanceof ArrayBuffer) return new Uint8Array(source);
  if (ArrayBuffer.isView(source)) return new Uint8Array(source.buffer, source.byteOffset, source.byteLength);
  if (typeof Response !== "undefined" && source instanceof Response) {
    if (!source.ok) throw failure(`cannot fetch ${source.url}: ${source.status} ${source.statusText}`);
    return new Uint8Array(await source.arrayBuffer());
  }
  return readBytes(new URL(String(source), globalThis.location?.href ?? moduleUrl));
}

/** The bytes of a file beside the module: read from the disk in Node, fetched elsewhere. */
async function readBytes(url, { unzip = false } = {}) {
  if (url.protocol === "file:") {
    if (!readFile) {
      throw failure(`cannot read ${url}: this build of hyph is for browsers; in Node, import "hyph" ` +
                    "as Node resolves it (its node build), or give the bytes");
    }
    return readFile(url);
  }
  const response = await fetch(url);
  if (!response.ok) throw failure(`cannot fetch ${url}: ${response.status} ${response.statusText}`);
  if (unzip && response.body && !gunzip && typeof DecompressionStream === "function") {
    return unzippedAsItComes(response.body, url);
  }
  return new Uint8Array(await response.arrayBuffer());
}

/**
 * A body unzipped as it arrives where it is gzipped (its first bytes say),
 * so that little is left to unzip once the last of it is in; else as it is.
 */
async function unzippedAsItComes(body, url) {
  const reader = body.getReader();
  let lost = null; // the network's failure, which is no damage of the file's
  const read = () => reader.read().catch((error) => {
    lost = error;
    throw error;
  });
  const first = await read();
  const head = first.done ? new Uint8Array(0) : first.value;
  if (head.length < 2 && !first.done) {
    // Too little to tell from: the whole body, then.
    const chunks = [head];
    for (let next = await read(); !next.done; next = await read()) chunks.push(next.value);
    return unzipped(new Uint8Array(await new Blob(chunks).arrayBuffer()));
  }
  const whole = new ReadableStream({
    start(controller) {
      if (head.length > 0) controller.enqueue(head);
      if (first.done) controller.close();
    },
    async pull(controller) {
      const next = await read();
      if (next.done) controller.close();
      else controller.enqueue(next.value);
    },
    cancel(reason) {
      return reader.cancel(reason);
    },
  });
  if (head[0] !== 0x1f || head[1] !== 0x8b) return new Uint8Array(await new Response(whole).arrayBuffer());
  try {
    return new Uint8Array(await new Response(whole.pipeThrough(new DecompressionStream("gzip"))).arrayBuffer());
  } catch (error) {
    if (lost) throw failure(`cannot fetch ${url}: ${lost.message}`);
    throw failure(`Damaged hyphenation tables: cannot unzip them (${error.message})`);
  }
}

/**
 * A language's file as the module takes it: gzipped, as the package holds
 * the packed ones, unzipped by the host (Node's zlib, the browser's
 * DecompressionStream); the module itself reads no gzip.
 */
async function unzipped(bytes) {
  if (bytes[0] !== 0x1f || bytes[1] !== 0x8b) return bytes;
  if (!gunzip && typeof DecompressionStream !== "function") {
    throw failure("this browser has no DecompressionStream to unzip hyph's language files: " +
                  "give loadLanguage their bytes unzipped ({tables})");
  }
  try {
    if (gunzip) return await gunzip(bytes);
    const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream("gzip"));
    return new Uint8Array(await new Response(stream).arrayBuffer());
  } catch (error) {
    throw failure(`Damaged hyphenation tables: cannot unzip them (${error.message})`);
  }
}

/**
 * Loads the WebAssembly module; loadLanguage does it when needed.
 * `options.dictionaries`: the module that also reads libhyphen's
 * dictionaries (hyph-dictionaries.wasm, 149 KB gzipped against
 * hyph.wasm's 94), which loadDictionary needs; loadDictionary asks for it
 * itself when it comes first. `options.wasm` gives the module instead of the file beside hyph:
 * its URL, its bytes (an ArrayBuffer or a typed array), a fetch Response or
 * a compiled WebAssembly.Module. Only the first call's options count.
 */
export function init(options = {}) {
  if (!coreReady) {
    if (options.wasm !== undefined) wasmSource = options.wasm;
    withDictionaries = Boolean(options.dictionaries);
  }
  coreReady ??= (async () => {
    const source = wasmSource ?? fileUrl(withDictionaries ? DICTIONARIES_WASM : "hyph.wasm");
    const compiled = source instanceof WebAssembly.Module ? source : null;
    const bytes = compiled ? null : source instanceof URL ? await readBytes(source) : await bytesOf(source);
    const imports = {
      env: { emscripten_notify_memory_growth() {} },
      wasi_snapshot_preview1: {
        proc_exit(code) {
          throw failure(`hyph: the WebAssembly module stopped (${code})`);
        },
        clock_time_get(id, precision, out) {
          const now = BigInt(Math.round((globalThis.performance?.now() ?? Date.now()) * 1e6));
          new DataView(core.exports.memory.buffer).setBigUint64(out, now, true);
          return 0;
        },
      },
    };
    const instance = compiled
      ? await WebAssembly.instantiate(compiled, imports)
      : compileAtOnce
      ? new WebAssembly.Instance(new WebAssembly.Module(bytes), imports)
      : (await WebAssembly.instantiate(bytes, imports)).instance;
    core = instance;
    core.exports._initialize();
  })();
  return coreReady.catch((error) => {
    coreReady = null;
    throw error;
  });
}

// --- Calls into the module --------------------------------------------------

function exports() {
  if (!core) throw failure("hyph is not loaded yet: await loadLanguage(tag) (or init()) first");
  return core.exports;
}

// Views of the module's memory, made again when it has grown (which
// detaches the old buffer).
let heapBuffer = null, heap16 = null, heap32 = null;
function refreshHeap(x) {
  if (x.memory.buffer !== heapBuffer) {
    heapBuffer = x.memory.buffer;
    heap16 = new Uint16Array(heapBuffer);
    heap32 = new Uint32Array(heapBuffer);
  }
}

// The index of each name met of a loaded language (a language stays loaded).
const loadedIndices = new Map();
// The index of each dictionary by its name, in lower case; over the
// languages' names.
const dictionaryIndices = new Map();
// The languages and dictionaries whose breaks may change a word's spelling.
const rewriting = new Set();

/** The message of the call that just failed. */
function lastError(x) {
  return decoder.decode(new Uint8Array(x.memory.buffer, x.hyph_js_output(), x.hyph_js_output_size()));
}

/** Writes bytes to the module's input; returns nothing. */
function putBytes(x, bytes) {
  const at = x.hyph_js_input(bytes.length);
  new Uint8Array(x.memory.buffer, at, bytes.length).set(bytes);
}

/** The language index of a name, as hyph's findLanguage reads it. */
function indexOf(x, tag) {
  if (typeof tag !== "string") throw new TypeError("a language is named by a string, such as \"de\"");
  const bytes = encoder.encode(tag);
  putBytes(x, bytes);
  const index = x.hyph_js_find(bytes.length);
  if (index < 0) throw failure(lastError(x));
  return index;
}

function describe(index) {
  if (index >= LANGUAGES.length) return describeDictionary(exports(), index);
  const [name, affix, leftMin, rightMin, license] = LANGUAGES[index];
  return { name, affix, leftMin, rightMin, license };
}

/** The dictionary of a name, if one is loaded under it. */
function dictionaryIndex(tag) {
  return typeof tag === "string" ? dictionaryIndices.get(tag.toLowerCase()) : undefined;
}

/** The index of a loaded language, or an Error that says what to do. */
function loadedIndex(x, tag) {
  const dictionary = dictionaryIndex(tag);
  if (dictionary !== undefined) return dictionary;
  const known = loadedIndices.get(tag);
  if (known !== undefined) return known;
  const index = indexOf(x, tag);
  if (!x.hyph_js_available(index)) {
    throw failure(`${LANGUAGES[index][0]} is not loaded: await loadLanguage(${JSON.stringify(tag)}) first`);
  }
  loadedIndices.set(tag, index);
  return index;
}

// --- The interface ------------------------------------------------------------

/**
 * Loads a language by any name that hyph takes ("de", "en-GB", "pt-BR",
 * "German_1996", "de-1996"): reads or fetches its tables, once. Resolves
 * to its description. `options.tables` gives the tables' bytes instead
 * (an ArrayBuffer or a typed array: languages/AFFIX.tables or AFFIX.compiled).
 */
export async function loadLanguage(tag, options = {}) {
  await init();
  const dictionary = dictionaryIndex(tag);
  if (dictionary !== undefined && !options.tables) return describe(dictionary);
  const x = exports();
  const index = indexOf(x, tag);
  if (x.hyph_js_available(index) && !options.tables) return describe(index);
  let pending = options.tables ? null : loading.get(index);
  if (!pending) {
    pending = (async () => {
      // Unzipped, then copied into the module's one buffer for tables and
      // handed over in the same turn, so that loads at the same time take
      // turns with it.
      const add = async (given, digest) => {
        const tables = await unzipped(given);
        const at = x.hyph_js_tables(tables.length);  // first: it may grow the memory, detaching its buffer
        new Uint8Array(x.memory.buffer, at, tables.length).set(tables);
        const high = digest ? parseInt(digest.slice(0, 8), 16) : 0;
        const low = digest ? parseInt(digest.slice(8), 16) : 0;
        if (x.hyph_js_add(index, tables.length, digest ? 1 : 0, high, low) < 0) throw failure(lastError(x));
      };
      if (options.tables) {
        await add(ArrayBuffer.isView(options.tables)
          ? new Uint8Array(options.tables.buffer, options.tables.byteOffset, options.tables.byteLength)
          : new Uint8Array(options.tables));
      } else {
        const affix = LANGUAGES[index][1];
        const file = readBytes(fileUrl(`languages/${affix}${TABLES}`), { unzip: true });
        // After the other loads of this turn have sent for their files too.
        queueMicrotask(() => warmUp(x));
        // The package's own files only: those of setDataUrl's folder are checked.
        await add(await file, dataUrl ? undefined : DIGESTS?.[affix]);
      }
    })();
    if (!options.tables) loading.set(index, pending);
    pending.catch(() => loading.delete(index));
  }
  await pending;
  return describe(index);
}

/**
 * Reads the small language's tables of WARM_UP and breaks its word, keeping
 * nothing: once, while a page waits for its first language's file. The
 * engine compiles a module's code as it first runs it, which for the code
 * that reads a file took longer than the reading itself.
 */
function warmUp(x) {
  // (A module given by init({wasm}) may be another build's, without it.)
  if (warmedUp || !WARM_UP || !x.hyph_js_warm) return;
  warmedUp = true;
  const [affix, base64, word] = WARM_UP;
  const tables = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
  const at = x.hyph_js_tables(tables.length);
  new Uint8Array(x.memory.buffer, at, tables.length).set(tables);
  const units = x.hyph_js_input(word.length * 2) >>> 1;
  refreshHeap(x);
  for (let i = 0; i < word.length; i++) heap16[units + i] = word.charCodeAt(i);
  // A failure here is the first load's to meet and report.
  x.hyph_js_warm(LANGUAGES.findIndex((language) => language[1] === affix), tables.length, word.length);
}

/**
 * Reads a libhyphen dictionary (hyph_*.dic, as LibreOffice and pyphen use
 * them; gzipped or not) and loads it as a language named `tag`: from then on
 * that name means the dictionary in every call, over the language of the
 * same name ("hu" with /usr/share/hyphen/hyph_hu_HU.dic): hyphenateElement
 * uses it for text marked with that name, and hyphenateText of HTML in the
 * dictionary for text marked as the language the name names. `source` is
 * its bytes (an ArrayBuffer or a typed array), a fetch Response, or a URL.
 * Needs the module with the dictionaries' reader: loads it if nothing has
 * loaded a module yet, and otherwise fails unless init({ dictionaries:
 * true }) came first. A break of a dictionary may change the spelling around it
 * (Hungarian "asszonnyal": "asz-szony-nyal"): hyphenate gives the pieces as
 * written when broken, hyphenateText spells the word so with a visible
 * separator, and leaves such a break out with a soft hyphen, which cannot
 * change the spelling. Resolves to its description (name, leftMin,
 * rightMin: the dictionary's own).
 */
export async function loadDictionary(tag, source) {
  if (typeof tag !== "string" || tag === "") {
    throw new TypeError('a dictionary is named by a string, such as "hu"');
  }
  await init({ dictionaries: true });
  const x = exports();
  if (!x.hyph_js_dictionary) {
    throw failure("this hyph module reads no dictionary: call init({ dictionaries: true }) " +
                  "before anything else loads hyph");
  }
  const bytes = await unzipped(await bytesOf(source));
  let language = -1;
  try {
    language = indexOf(x, tag);
  } catch {
    // A name of the page's own, no language's.
  }
  // The name (for messages), then the bytes.
  const name = encoder.encode(tag);
  const at = x.hyph_js_input(name.length + bytes.length);
  const input = new Uint8Array(x.memory.buffer, at, name.length + bytes.length);
  input.set(name);
  input.set(bytes, name.length);
  const index = x.hyph_js_dictionary(name.length, bytes.length, language);
  if (index < 0) throw failure(lastError(x));
  dictionaryIndices.set(tag.toLowerCase(), index);
  dictionaryNames.set(index, tag);
  noteRewriting(x, index);
  return describe(index);
}

const dictionaryNames = new Map(); // index -> the name it was loaded under

function describeDictionary(x, index) {
  const minimums = x.hyph_js_minimums(index);
  return { name: dictionaryNames.get(index), affix: "", leftMin: minimums & 0xffff,
           rightMin: minimums >>> 16, license: "" };
}

/** Notes whether the hyphenator of `index` may change a word's spelling. */
function noteRewriting(x, index) {
  if (!x.hyph_js_rewrites) return; // a module without dictionaries: no break rewrites
  const rewrites = x.hyph_js_rewrites(index);
  if (rewrites < 0) throw failure(lastError(x));
  if (rewrites) rewriting.add(index);
  else rewriting.delete(index);
}

/**
 * Words of your own over a loaded language's exceptions, from now on:
 * setExceptions("de", ["Sil-ben-tren-nung", "ACME-corp"]) (or an exception
 * file's text). A word listed breaks where it says, whatever the language
 * says of it; every other word as before. Replaces what an earlier call
 * gave; an empty list clears it.
 */
export function setExceptions(tag, words) {
  const text = Array.isArray(words) ? words.join("\n") : String(words ?? "");
  const x = exports();
  const index = loadedIndex(x, tag);
  const bytes = encoder.encode(text);
  putBytes(x, bytes);
  if (x.hyph_js_words(index, bytes.length) < 0) throw failure(lastError(x));
  noteRewriting(x, index);
}

/** Whether a language is loaded (false for a name that is none). */
export function isLoaded(tag) {
  if (!core) return false;
  if (dictionaryIndex(tag) !== undefined) return true;
  try {
    return core.exports.hyph_js_available(indexOf(core.exports, tag)) === 1;
  } catch {
    return false;
  }
}

/** Every language: name, affix, minimums and the short name of its licence. */
export function languages() {
  return LANGUAGES.map((_, index) => describe(index));
}

/** The full licence text of a language's patterns. */
export async function languageLicense(tag) {
  await init();
  const index = indexOf(exports(), tag);
  return decoder.decode(await readBytes(fileUrl(`languages/${LANGUAGES[index][1]}.license.txt`)));
}

/**
 * The pieces of a word, cut where it may be broken:
 * hyphenate("hyphenation") gives ["hy", "phen", "ation"]. The language
 * (default "en-us") must be loaded. They join to the word, but where a
 * dictionary's break changes the spelling: they are then as written when
 * broken there (["asz", "szony", "nyal"]).
 */
export function hyphenate(word, lang = "en-us") {
  if (typeof word !== "string") throw new TypeError("hyphenate takes a string");
  const x = exports();
  const index = loadedIndex(x, lang);
  if (rewriting.has(index)) return piecesAsWritten(x, index, word);
  const length = word.length;
  const at = x.hyph_js_input(length * 2) >>> 1;
  refreshHeap(x);
  for (let i = 0; i < length; i++) heap16[at + i] = word.charCodeAt(i);
  const count = x.hyph_js_word_breaks(index, length);
  if (count < 0) throw failure(lastError(x));
  refreshHeap(x);
  const breaks = x.hyph_js_breaks() >>> 2;
  const pieces = new Array(count + 1);
  let start = 0;
  for (let k = 0; k < count; k++) {
    const end = heap32[breaks + k];
    pieces[k] = word.slice(start, end);
    start = end;
  }
  pieces[count] = word.slice(start);
  return pieces;
}

/** hyphenate's pieces from the module, for breaks that may change the spelling. */
function piecesAsWritten(x, index, word) {
  const bytes = encoder.encode(word);
  putBytes(x, bytes);
  const count = x.hyph_js_word_pieces(index, bytes.length);
  if (count < 0) throw failure(lastError(x));
  refreshHeap(x);
  const ends = x.hyph_js_breaks() >>> 2;
  const output = new Uint8Array(x.memory.buffer, x.hyph_js_output(), heap32[ends + count - 1]);
  const pieces = new Array(count);
  for (let k = 0, start = 0; k < count; k++) {
    const end = heap32[ends + k];
    pieces[k] = decoder.decode(output.subarray(start, end));
    start = end;
  }
  return pieces;
}

const HTML = 1, SKIP_CAPITALS = 2, IGNORE_LANG = 4, HYPHENS_ONLY = 8, SKIP_CODE = 16;

/**
 * Running text with `separator` (default U+00AD SOFT HYPHEN) at every break
 * of every word, by hyph's text rules: URLs, e-mail addresses and words that
 * already hold a soft hyphen are left whole. With `html`, markup passes
 * unchanged, character references are read as the characters they stand
 * for, `pre`, `code`, `script`, `style` and the like are left alone, and
 * `lang` attributes choose the language of their text (text in a language
 * that is not loaded is left as it is). Options: lang (default "en-us"),
 * separator, html, minWordLength, skipCapitals, followLang (default true),
 * compounds ("parts", the default: words joined by a hyphen are broken at
 * their own breaks too; "hyphen": only at the hyphen), skipCode (code-like
 * tokens such as LC_CTYPE, camelCase or --option left whole; default false).
 */
export function hyphenateText(text, options = {}) {
  if (typeof text !== "string") throw new TypeError("hyphenateText takes a string");
  const { lang = "en-us", separator = "\u00AD", html = false, minWordLength = 0,
          skipCapitals = false, followLang = true, compounds = "parts", skipCode = false } = options;
  if (compounds !== "parts" && compounds !== "hyphen") {
    throw new TypeError('compounds: "parts" or "hyphen"');
  }
  const x = exports();
  const index = loadedIndex(x, lang);
  const separatorBytes = encoder.encode(String(separator));
  // At most three bytes a UTF-16 code unit.
  const room = text.length * 3 + separatorBytes.length;
  const at = x.hyph_js_input(room);
  const { written } = encoder.encodeInto(text, new Uint8Array(x.memory.buffer, at, room));
  new Uint8Array(x.memory.buffer, at + written, separatorBytes.length).set(separatorBytes);
  const flags = (html ? HTML : 0) | (skipCapitals ? SKIP_CAPITALS : 0) | (followLang ? 0 : IGNORE_LANG) |
    (compounds === "hyphen" ? HYPHENS_ONLY : 0) | (skipCode ? SKIP_CODE : 0);
  const size = x.hyph_js_text(index, written, separatorBytes.length, flags, Math.max(0, minWordLength | 0));
  if (size < 0) throw failure(lastError(x));
  return decoder.decode(new Uint8Array(x.memory.buffer, x.hyph_js_output(), size));
}

// --- The browser ---------------------------------------------------------------

const SKIPPED = new Set(["PRE", "CODE", "KBD", "SAMP", "VAR", "TT", "SCRIPT", "STYLE", "TEXTAREA",
                         "TITLE", "MATH", "SVG", "NOSCRIPT", "TEMPLATE"]);

// What joins the texts of a language's nodes into one call's text.
const JOINT = " \u2029 ";

/** The language of a node's text: the nearest lang attribute, as in HTML. */
function langOf(node, fallback) {
  for (let element = node.parentElement; element; element = element.parentElement) {
    if (element.hasAttribute("lang")) return element.getAttribute("lang");
  }
  return fallback;
}

function skipped(element, skipClass) {
  for (let e = element; e; e = e.parentElement) {
    if (SKIPPED.has(e.tagName.toUpperCase())) return true;
    if (e.getAttribute("translate") === "no") return true;
    if (skipClass && e.classList?.contains(skipClass)) return true;
  }
  return false;
}

// A long word of each language that a browser breaks when it hyphenates the
// language; languages not here are always hyphenated by hyph.
const TEST_WORDS = {
  en: "hyphenationalgorithmically", de: "Silbentrennungsalgorithmus", fr: "anticonstitutionnellement",
  es: "anticonstitucionalmente", it: "precipitevolissimevolmente", nl: "lettergrepenverdelingsprogramma",
  pt: "inconstitucionalissimamente", ru: "превысокомногорассмотрительствующий",
  uk: "дихлордифенілтрихлорметилметан", pl: "konstantynopolitańczykowianeczka",
  sv: "realisationsvinstbeskattningen", da: "speciallægepraksisplanlægningsstabiliseringsperiode",
  nb: "menneskerettighetsorganisasjonene", fi: "lentokonesuihkuturbiinimoottoriapumekaanikko",
  hu: "megszentségteleníthetetlenségeskedéseitekért", cs: "nejneobhospodařovávatelnějšími",
};
const browserSupport = new Map(); // language tag -> whether the browser hyphenates it

/**
 * Whether the browser hyphenates a language itself (CSS hyphens: auto), as
 * it does in this page: a long word of the language, in a box too narrow
 * for it, takes more lines with hyphens: auto than without. False outside a
 * page and for a language without a test word.
 */
export function browserHyphenates(tag, documentOf = globalThis.document) {
  const key = String(tag).toLowerCase();
  if (browserSupport.has(key)) return browserSupport.get(key);
  const word = TEST_WORDS[key.split(/[-_]/)[0]];
  let supported = false;
  if (word && documentOf?.body) {
    const box = documentOf.createElement("div");
    box.lang = tag;
    box.style.cssText = "position:absolute;visibility:hidden;left:-9999px;width:1em;font-size:16px;" +
      "overflow-wrap:normal;word-break:normal;white-space:normal;hyphens:manual;-webkit-hyphens:manual";
    box.textContent = word;
    documentOf.body.append(box);
    const lines = box.offsetHeight;
    box.style.hyphens = "auto";
    box.style.webkitHyphens = "auto";
    supported = box.offsetHeight > lines;
    box.remove();
  }
  browserSupport.set(key, supported);
  return supported;
}

const BLOCKS = new Set(["P", "LI", "DD", "DT", "TD", "TH", "H1", "H2", "H3", "H4", "H5", "H6", "DIV",
                        "BLOCKQUOTE", "FIGCAPTION", "CAPTION", "SUMMARY", "ARTICLE", "SECTION"]);

/** Whether `node` holds the last text of its nearest block (a paragraph). */
function endsItsBlock(node) {
  let block = node.parentElement;
  while (block && !BLOCKS.has(block.tagName.toUpperCase())) block = block.parentElement;
  if (!block) return false;
  const walker = (node.ownerDocument ?? globalThis.document).createTreeWalker(block, 4);
  let last = null;
  for (let text = walker.nextNode(); text; text = walker.nextNode()) {
    if (text.nodeValue.trim()) last = text;
  }
  return last === node;
}

/**
 * Inserts soft hyphens into the text of an element and its descendants,
 * each text in the language of its nearest `lang` attribute (the element's
 * own, or options.lang, default "en-us", where there is none), loading the
 * languages met, all at once. Leaves alone `pre`, `code`, `script`, `style`,
 * `textarea` and the like, elements marked translate="no", and those of
 * options.skipClass (default "no-hyphens"); text marked with a language
 * that hyph does not have (or lang="") stays as it is. Running it again on
 * the same element changes nothing. Resolves to the number of text nodes
 * changed. Options: lang, skipClass, minWordLength, skipCapitals, compounds,
 * skipCode (as hyphenateText takes them), and:
 * - orphanControl: the last word of each paragraph is not hyphenated, and
 *   is joined to the word before it by a no-break space (default false);
 * - hide: the element is hidden (visibility) until it is done (default false);
 * - leaveToBrowser: text in a language that the browser hyphenates itself
 *   (browserHyphenates) is left to it: its element gets hyphens: auto, and
 *   hyph neither fetches the language nor changes the text (default false:
 *   hyph hyphenates every language it has, as browsers differ);
 * - onBefore(element), onAfter(element, changed), onError(error): called
 *   before and after the work, and on a failure (which still rejects).
 */
export async function hyphenateElement(element, options = {}) {
  const { lang = "en-us", skipClass = "no-hyphens", minWordLength = 0, skipCapitals = false,
          compounds = "parts", skipCode = false, orphanControl = false, hide = false,
          leaveToBrowser = false, onBefore, onAfter, onError } = options;
  const hidden = hide ? element.style.visibility : null;
  if (hide) element.style.visibility = "hidden";
  try {
    onBefore?.(element);
    const documentOf = element.ownerDocument ?? globalThis.document;
    const walker = documentOf.createTreeWalker(element, 4 /* NodeFilter.SHOW_TEXT */);
    const nodes = [];
    for (let node = walker.nextNode(); node; node = walker.nextNode()) {
      if (!node.nodeValue.trim() || skipped(node.parentElement, skipClass)) continue;
      const tag = langOf(node, lang);
      if (leaveToBrowser && tag !== "" && browserHyphenates(tag, documentOf)) {
        node.parentElement.style.hyphens = "auto";
        node.parentElement.style.webkitHyphens = "auto";
        continue;
      }
      nodes.push([node, tag]);
    }
    await init();
    // The languages met, each loaded once and all at the same time; those
    // that hyph does not have are skipped.
    const tags = [...new Set(nodes.map(([, tag]) => tag))];
    const loaded = await Promise.all(
      tags.map((tag) => tag !== "" && loadLanguage(tag).then(() => true, () => false)));
    const usable = new Map(tags.map((tag, i) => [tag, loaded[i]]));
    const textOptions = { separator: "\u00AD", minWordLength, skipCapitals, compounds, skipCode };
    // Each language's text nodes in one call: a call costs more than most
    // nodes' text. Their texts are joined by a paragraph separator between
    // spaces, which ends every word and token and is copied as it is, unless
    // one of them holds a paragraph separator.
    const groups = new Map();
    for (const [node, tag] of nodes) {
      if (!usable.get(tag)) continue;
      if (!groups.has(tag)) groups.set(tag, []);
      let value = node.nodeValue;
      let tail = "";
      if (orphanControl && endsItsBlock(node)) {
        // "... last word." : the last word whole, tied to the one before.
        const last = /(\s+)(\S+\s*)$/u.exec(value);
        if (last) {
          tail = "\u00A0" + last[2];
          value = value.slice(0, last.index);
        }
      }
      groups.get(tag).push({ node, value, tail });
    }
    let changed = 0;
    for (const [tag, group] of groups) {
      const options = { ...textOptions, lang: tag };
      const values = group.map(({ value }) => value);
      let texts = null;
      if (!values.some((value) => value.includes("\u2029"))) {
        texts = hyphenateText(values.join(JOINT), options).split(JOINT);
        if (texts.length !== values.length) texts = null;
      }
      texts ??= values.map((value) => hyphenateText(value, options));
      group.forEach(({ node, tail }, i) => {
        const text = texts[i] + tail;
        if (text !== node.nodeValue) {
          node.nodeValue = text;
          changed++;
        }
      });
    }
    onAfter?.(element, changed);
    return changed;
  } catch (error) {
    onError?.(error);
    throw error;
  } finally {
    if (hide) element.style.visibility = hidden;
  }
}

/**
 * Hyphenates an element now, as hyphenateElement does with these options,
 * and again whatever is added to it or changed in it later (a
 * MutationObserver); what is done already is left as it is. Returns the
 * observer: call its disconnect() to stop.
 */
export function observe(element, options = {}) {
  let queue = Promise.resolve();
  const pending = new Set();
  const run = (target) => {
    queue = queue.then(() => hyphenateElement(target, { ...options, hide: false })).catch(() => {});
  };
  const Observer = (element.ownerDocument?.defaultView ?? globalThis).MutationObserver;
  const observer = new Observer((records) => {
    for (const record of records) {
      const target = record.type === "characterData" ? record.target.parentElement : record.target;
      if (target) pending.add(target);
    }
    const targets = [...pending];
    pending.clear();
    // Our own changes come back as records too: hyphenating hyphenated text
    // changes nothing, so they end there.
    for (const target of targets) run(target);
  });
  observer.observe(element, { childList: true, subtree: true, characterData: true });
  queue = hyphenateElement(element, options).catch(() => {});
  return observer;
}

export const version = /* version */ "";
