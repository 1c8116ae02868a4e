// hyph._hyph: the Python binding, a thin layer over the library. Text
// crosses it as str (code points); the GIL is released while running text
// or a batch of words is hyphenated.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <hyph/hyph.hpp>
#include <algorithm>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace py = pybind11;

namespace {

/// The code points of a str, into a buffer of the calling thread's.
std::u32string_view codePointsOf(py::handle text) {
  thread_local std::u32string buffer;
  PyObject* object = text.ptr();
  if (!PyUnicode_Check(object)) throw py::type_error("a str is needed");
  const Py_ssize_t size = PyUnicode_GET_LENGTH(object);
  const int kind = PyUnicode_KIND(object);
  const void* data = PyUnicode_DATA(object);
  buffer.resize(static_cast<std::size_t>(size));
  for (Py_ssize_t i = 0; i < size; ++i)
    buffer[static_cast<std::size_t>(i)] = static_cast<char32_t>(PyUnicode_READ(kind, data, i));
  return buffer;
}

/// The UTF-8 form of a str, which lives as long as the str does.
std::string_view utf8Of(py::handle text) {
  Py_ssize_t size = 0;
  const char* bytes = PyUnicode_AsUTF8AndSize(text.ptr(), &size);
  if (!bytes) throw py::error_already_set();
  return {bytes, static_cast<std::size_t>(size)};
}

/// The bytes of a str or bytes object, held as long as this lives. A str
/// read with errors="surrogateescape" (a file that is not all UTF-8) gives
/// back the bytes it was read from.
class Utf8 {
 public:
  explicit Utf8(py::handle text) {
    if (PyBytes_Check(text.ptr())) {
      holder_ = py::reinterpret_borrow<py::object>(text);
    } else if (!PyUnicode_Check(text.ptr())) {
      throw py::type_error("a str or bytes is needed");
    } else if (Py_ssize_t size = 0;
               const char* bytes = PyUnicode_AsUTF8AndSize(text.ptr(), &size)) {
      bytes_ = {bytes, static_cast<std::size_t>(size)};
      return;
    } else {
      PyErr_Clear();
      holder_ = py::reinterpret_steal<py::object>(
          PyUnicode_AsEncodedString(text.ptr(), "utf-8", "surrogateescape"));
      if (!holder_) throw py::error_already_set();
    }
    bytes_ = {PyBytes_AS_STRING(holder_.ptr()),
              static_cast<std::size_t>(PyBytes_GET_SIZE(holder_.ptr()))};
  }
  std::string_view bytes() const { return bytes_; }

 private:
  py::object holder_;
  std::string_view bytes_;
};

py::str strOf(std::string_view utf8) {
  PyObject* object =
      PyUnicode_DecodeUTF8(utf8.data(), static_cast<Py_ssize_t>(utf8.size()), "surrogateescape");
  if (!object) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(object);
}

py::str strOf(std::u32string_view text) {
  PyObject* object = PyUnicode_FromKindAndData(PyUnicode_4BYTE_KIND, text.data(),
                                               static_cast<Py_ssize_t>(text.size()));
  if (!object) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(object);
}

py::str slice(py::handle text, std::size_t start, std::size_t end) {
  PyObject* object =
      PyUnicode_Substring(text.ptr(), static_cast<Py_ssize_t>(start), static_cast<Py_ssize_t>(end));
  if (!object) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(object);
}

hyph::Language languageOf(std::string_view name) {
  if (const std::optional<hyph::Language> language = hyph::findLanguage(name)) return *language;
  throw py::value_error(hyph::unknownLanguageMessage(name));
}

/// What a custom hyphenator was made from, so that it can be made again
/// (in another process, from a pickle).
struct Sources {
  std::optional<std::string> patterns, exceptions, chars, words, dictionary;
  std::optional<std::int64_t> left, right;
};

/// A hyphenator as Python holds it: the library's, its language if any,
/// and for one of the caller's own tables, what it was made from.
struct PyHyphenator {
  hyph::Hyphenator hyphenator;
  std::optional<hyph::Language> language;
  std::shared_ptr<const Sources> sources;  // none: the language's own
  bool rewrites = false;                   // a dictionary's breaks may change the spelling

  std::vector<std::size_t>& breaks(py::handle word) const {
    thread_local std::vector<std::size_t> found;
    hyph::breakPoints(hyphenator, codePointsOf(word), found);
    return found;
  }

  py::list hyphenate(py::handle word) const {
    if (rewrites) {
      py::list pieces;
      for (const std::u32string& piece : hyph::hyphenate(hyphenator, codePointsOf(word)))
        pieces.append(strOf(piece));
      return pieces;
    }
    const std::vector<std::size_t>& found = breaks(word);
    py::list pieces(found.size() + 1);
    std::size_t start = 0;
    for (std::size_t i = 0; i < found.size(); ++i) {
      pieces[i] = slice(word, start, found[i]);
      start = found[i];
    }
    pieces[found.size()] =
        slice(word, start, static_cast<std::size_t>(PyUnicode_GET_LENGTH(word.ptr())));
    return pieces;
  }

  py::list positions(py::handle word) const {
    const std::vector<std::size_t>& found = breaks(word);
    py::list out(found.size());
    for (std::size_t i = 0; i < found.size(); ++i) out[i] = py::int_(found[i]);
    return out;
  }

  py::str inserted(py::handle word, py::handle hyphen) const {
    return py::reinterpret_borrow<py::str>(hyphen).attr("join")(hyphenate(word));
  }

  /// The library's cuts, in its order (the longest first part first).
  py::list iterate(py::handle word) const {
    py::list cuts;
    for (const auto& [first, second] : hyph::iterate(hyphenator, codePointsOf(word)))
      cuts.append(py::make_tuple(strOf(first), strOf(second)));
    return cuts;
  }

  /// Each break as (position, start, end, before, after): what it rewrites.
  py::list breakList(py::handle word) const {
    py::list out;
    for (const hyph::U32Break& b : hyph::breaks(hyphenator, codePointsOf(word)))
      out.append(py::make_tuple(b.position, b.start, b.end, strOf(b.before), strOf(b.after)));
    return out;
  }

  py::object wrap(py::handle word, std::size_t width, py::handle hyphen) const {
    const std::u32string text(codePointsOf(word));
    const std::u32string mark(codePointsOf(hyphen));
    const auto cut = hyph::wrap(hyphenator, std::u32string_view(text), width, mark);
    if (!cut) return py::none();
    if (rewrites) return py::make_tuple(strOf(cut->first), strOf(cut->second));
    const std::size_t at = cut->first.size() - mark.size();
    return py::make_tuple(slice(word, 0, at) + py::reinterpret_borrow<py::str>(hyphen),
                          slice(word, at, text.size()));
  }

  py::list positionsMany(const py::list& words) const {
    // The UTF-8 form of each word (for an ASCII str, its own bytes), then
    // their breaks without the GIL, as code point offsets. The batch holds a
    // reference to every word it reads, so that another thread may change
    // or clear the list meanwhile: the words it read stay alive.
    const std::size_t count = static_cast<std::size_t>(PyList_GET_SIZE(words.ptr()));
    std::vector<py::object> held(count);
    std::vector<std::string_view> utf8(count);
    std::vector<bool> ascii(count);
    for (std::size_t w = 0; w < count; ++w) {
      held[w] = py::reinterpret_borrow<py::object>(
          PyList_GET_ITEM(words.ptr(), static_cast<Py_ssize_t>(w)));
      if (!PyUnicode_Check(held[w].ptr()))
        throw py::type_error("positions_many takes a list of str");
      utf8[w] = utf8Of(held[w]);
      ascii[w] = PyUnicode_IS_ASCII(held[w].ptr());
    }
    std::vector<std::size_t> breaks, counts(utf8.size());
    {
      py::gil_scoped_release unlocked;
      std::vector<std::size_t> found;
      for (std::size_t w = 0; w < utf8.size(); ++w) {
        hyph::breakPoints(hyphenator, utf8[w], found);
        if (!ascii[w]) {
          // Byte offsets to code points: count the bytes that start one.
          std::size_t points = 0, byte = 0;
          for (std::size_t& at : found) {
            for (; byte < at; ++byte)
              points += (static_cast<unsigned char>(utf8[w][byte]) & 0xC0) != 0x80;
            at = points;
          }
        }
        breaks.insert(breaks.end(), found.begin(), found.end());
        counts[w] = found.size();
      }
    }
    py::list out(count);
    std::size_t at = 0;
    for (std::size_t w = 0; w < count; ++w) {
      PyObject* positions = PyList_New(static_cast<Py_ssize_t>(counts[w]));
      if (!positions) throw py::error_already_set();
      for (std::size_t k = 0; k < counts[w]; ++k)
        PyList_SET_ITEM(positions, static_cast<Py_ssize_t>(k), PyLong_FromSize_t(breaks[at++]));
      PyList_SET_ITEM(out.ptr(), static_cast<Py_ssize_t>(w), positions);
    }
    return out;
  }

  hyph::TextOptions textOptions(const std::string& separator, bool html, std::size_t minWordLength,
                                bool skipCapitals, bool followLang, std::string_view compounds,
                                bool skipCode) const {
    hyph::TextOptions options;
    if (compounds == "hyphen")
      options.compounds = hyph::Compounds::HyphensOnly;
    else if (compounds != "parts")
      throw py::value_error("compounds: \"parts\" or \"hyphen\"");
    options.skipCode = skipCode;
    options.separator = separator;
    options.markup = html ? hyph::Markup::Html : hyph::Markup::Plain;
    options.minWordLength = minWordLength;
    options.skipCapitals = skipCapitals;
    options.followLang = followLang;
    options.language = language;
    return options;
  }

  py::str hyphenateText(py::handle text, const std::string& separator, bool html,
                        std::size_t minWordLength, bool skipCapitals, bool followLang,
                        std::string_view compounds, bool skipCode) const {
    if (!PyUnicode_Check(text.ptr())) throw py::type_error("a str is needed");
    const hyph::TextOptions options = textOptions(separator, html, minWordLength, skipCapitals,
                                                  followLang, compounds, skipCode);
    const Utf8 input(text);
    std::string out;
    {
      py::gil_scoped_release unlocked;
      out = hyph::hyphenateText(hyphenator, input.bytes(), options);
    }
    return strOf(out);
  }
};

/// Running text hyphenated as it is written, into a file object: what a
/// write decides goes on at once, and a word that may go on in the next
/// write waits for it, so that any cutting of the text into writes gives
/// the same output as hyphenating it whole; close() passes on the last.
/// Memory is bounded by the longest word, not by the text. A str in gives
/// str out, bytes (UTF-8) give bytes.
class PyTextHyphenator {
 public:
  PyTextHyphenator(py::object output, PyHyphenator hyphenator, const hyph::TextOptions& options)
      : output_(std::move(output)),
        hyphenator_(std::move(hyphenator)),
        text_(hyphenator_.hyphenator, options) {}

  /// Takes a large write a slice at a time, passing on the output of each
  /// before the next: memory stays bounded by the slice, not by the write.
  std::size_t write(py::handle chunk) {
    const bool bytes = PyBytes_Check(chunk.ptr());
    if (!bytes && !PyUnicode_Check(chunk.ptr())) throw py::type_error("write takes a str or bytes");
    if (closed_) throw py::value_error("write to a closed TextHyphenator");
    if (!mode_) mode_ = bytes ? Mode::Bytes : Mode::Str;
    if ((*mode_ == Mode::Bytes) != bytes)
      throw py::type_error("a TextHyphenator takes either str or bytes, not both");
    constexpr Py_ssize_t kSlice = 1 << 20;
    // bytes, and an ASCII str, are their own UTF-8; another str is encoded
    // a slice of code points at a time.
    const char* own = bytes                             ? PyBytes_AS_STRING(chunk.ptr())
                      : PyUnicode_IS_ASCII(chunk.ptr()) ? static_cast<const char*>(PyUnicode_DATA(chunk.ptr()))
                                                        : nullptr;
    const Py_ssize_t length =
        bytes ? PyBytes_GET_SIZE(chunk.ptr()) : PyUnicode_GET_LENGTH(chunk.ptr());
    for (Py_ssize_t at = 0; at < length; at += kSlice) {
      const Py_ssize_t end = std::min(length, at + kSlice);
      std::optional<py::str> piece;
      std::optional<Utf8> encoded;  // the slice's UTF-8, while it is hyphenated
      std::string_view input;
      if (own) {
        input = {own + at, static_cast<std::size_t>(end - at)};
      } else {
        piece = slice(chunk, static_cast<std::size_t>(at), static_cast<std::size_t>(end));
        input = encoded.emplace(*piece).bytes();
      }
      {
        py::gil_scoped_release unlocked;
        const std::lock_guard lock(mutex_);  // one write at a time
        text_.write(input, out_);
      }
      pass(false);
    }
    return static_cast<std::size_t>(length);
  }

  /// Passes on all that is decided, and flushes the output if it can be.
  void flush() {
    pass(false);
    if (py::hasattr(output_, "flush")) output_.attr("flush")();
  }

  /// Ends the text: passes on the rest, held-back word included, and
  /// flushes the output, which stays open.
  void close() {
    {
      py::gil_scoped_release unlocked;
      const std::lock_guard lock(mutex_);
      text_.finish(out_);
    }
    pass(true);
    if (py::hasattr(output_, "flush")) output_.attr("flush")();
    closed_ = true;
  }

  bool closed() const { return closed_; }

 private:
  enum class Mode { Str, Bytes };

  /// Writes the output gathered so far; in str mode, up to the last whole
  /// UTF-8 sequence unless `all`.
  void pass(bool all) {
    std::string ready;
    {
      const std::lock_guard lock(mutex_);
      const std::size_t size = all || mode_ == Mode::Bytes ? out_.size() : wholeSequences(out_);
      ready.assign(out_, 0, size);
      out_.erase(0, size);
    }
    if (ready.empty()) return;
    if (mode_ == Mode::Bytes)
      output_.attr("write")(py::bytes(ready));
    else
      output_.attr("write")(strOf(ready));
  }

  /// The length of `bytes` without an incomplete UTF-8 sequence at its end.
  static std::size_t wholeSequences(std::string_view bytes) {
    for (std::size_t back = 1; back <= 4 && back <= bytes.size(); ++back) {
      const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
      if ((byte & 0xC0) == 0x80) continue;  // a continuation: look further back
      const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
      return length > back ? bytes.size() - back : bytes.size();
    }
    return bytes.size();
  }

  py::object output_;
  PyHyphenator hyphenator_;  // before text_, which uses it
  hyph::TextHyphenator text_;
  std::mutex mutex_;
  std::string out_;
  std::optional<Mode> mode_;
  bool closed_ = false;
};

/// The shared hyphenator of a language, for the module's functions.
PyHyphenator sharedOf(std::string_view name) {
  const hyph::Language language = languageOf(name);
  return {hyph::languageHyphenator(language), language};
}

/// The file of a str or bytes given (kept in `bytes`, which it views), or
/// none.
std::optional<hyph::UserFile> fileOf(const std::optional<py::object>& text, const char* name,
                                     std::optional<std::string>& bytes) {
  if (!text || text->is_none()) return std::nullopt;
  if (py::isinstance<py::list>(*text) || py::isinstance<py::tuple>(*text)) {
    // Words one an item, as the lines of a file.
    bytes.emplace();
    for (py::handle word : *text) {
      if (!PyUnicode_Check(word.ptr())) throw py::type_error(std::string(name) + ": str words");
      *bytes += utf8Of(word);
      *bytes += '\n';
    }
  } else if (py::isinstance<py::bytes>(*text))
    bytes = text->cast<std::string>();
  else
    bytes = std::string(utf8Of(*text));
  return hyph::UserFile{name, *bytes};
}

PyHyphenator makeHyphenator(const std::optional<std::string>& lang,
                            const std::optional<py::object>& patterns,
                            const std::optional<py::object>& exceptions,
                            const std::optional<py::object>& chars,
                            std::optional<std::int64_t> left, std::optional<std::int64_t> right,
                            const std::optional<py::object>& words,
                            const std::optional<py::object>& dictionary) {
  if ((left && *left < 0) || (right && *right < 0))
    throw py::value_error("the minimums must not be negative");
  auto sources = std::make_shared<Sources>();
  hyph::CustomTables custom;
  custom.chars = fileOf(chars, "chars", sources->chars);
  custom.patterns = fileOf(patterns, "patterns", sources->patterns);
  custom.exceptions = fileOf(exceptions, "exceptions", sources->exceptions);
  custom.words = fileOf(words, "words", sources->words);
  custom.leftMin = sources->left = left;
  custom.rightMin = sources->right = right;
  if (dictionary && !dictionary->is_none()) {
    // A libhyphen dictionary instead of a language; the rest over it.
    if (lang) throw py::value_error("give a language (lang) or a dictionary, not both");
    if (!py::isinstance<py::bytes>(*dictionary))
      throw py::type_error("dictionary: the bytes of a libhyphen .dic file");
    sources->dictionary = dictionary->cast<std::string>();
    const hyph::Hyphenator h = hyph::customHyphenator(
        hyph::readDictionary({"dictionary", *sources->dictionary}), custom);
    return {h, std::nullopt, sources, hyph::hyphenatorRewrites(h)};
  }
  if (!lang) return {hyph::customHyphenator(custom), std::nullopt, sources};
  const hyph::Language language = languageOf(*lang);
  const hyph::Hyphenator& base = hyph::languageHyphenator(language);
  if (!custom.chars && !custom.patterns && !custom.exceptions && !custom.words && !left && !right)
    return {base, language, nullptr};
  return {hyph::customHyphenator(base, custom), language, sources};
}

/// A hyphenator's pickle: its language by name, and for one of the caller's
/// own tables, the sources it was made from. A worker process that loads a
/// language's gets that language's shared hyphenator.
py::tuple stateOf(const PyHyphenator& self) {
  auto bytesOr = [](const std::optional<std::string>& bytes) -> py::object {
    if (!bytes) return py::none();
    return py::bytes(*bytes);
  };
  const Sources none;
  const Sources& sources = self.sources ? *self.sources : none;
  py::tuple state = py::make_tuple(
      1,
      self.language ? py::object(py::str(std::string(hyph::languageName(*self.language))))
                    : py::none(),
      bytesOr(sources.patterns), bytesOr(sources.exceptions), bytesOr(sources.chars), sources.left,
      sources.right);
  // Version 2 adds the words of one's own, version 3 a dictionary; without
  // them, version 1 still says all, and earlier releases read it.
  if (sources.words || sources.dictionary) {
    state[0] = py::int_(sources.dictionary ? 3 : 2);
    state = py::tuple(state + py::make_tuple(bytesOr(sources.words)));
  }
  if (sources.dictionary) state = py::tuple(state + py::make_tuple(bytesOr(sources.dictionary)));
  return state;
}

PyHyphenator fromState(const py::tuple& state) {
  const int version = state.size() > 0 && PyLong_Check(state[0].ptr()) ? state[0].cast<int>() : 0;
  if (!((version == 1 && state.size() == 7) || (version == 2 && state.size() == 8) ||
        (version == 3 && state.size() == 9)))
    throw py::value_error("not the pickle of a hyph.Hyphenator of this version");
  auto object = [&](std::size_t i) -> std::optional<py::object> {
    if (state[i].is_none()) return std::nullopt;
    return py::reinterpret_borrow<py::object>(state[i]);
  };
  return makeHyphenator(state[1].cast<std::optional<std::string>>(), object(2), object(3),
                        object(4), state[5].cast<std::optional<std::int64_t>>(),
                        state[6].cast<std::optional<std::int64_t>>(),
                        version >= 2 ? object(7) : std::nullopt,
                        version == 3 ? object(8) : std::nullopt);
}

/// The hyphenator that `lang` stands for: a Hyphenator, or a language name.
PyHyphenator hyphenatorOf(py::handle lang) {
  if (py::isinstance<PyHyphenator>(lang)) return lang.cast<PyHyphenator>();
  if (!PyUnicode_Check(lang.ptr())) throw py::type_error("lang: a language name or a Hyphenator");
  return sharedOf(lang.cast<std::string>());
}

}  // namespace

PYBIND11_MODULE(_hyph, m) {
  m.doc() = "hyph: hyphenation of words, text and HTML with the TeX patterns of 73 languages";
  py::register_exception<hyph::Error>(m, "Error");
  m.attr("__version__") = std::string(hyph::version);

  py::class_<PyHyphenator>(m, "Hyphenator", "A hyphenator of a language, or of your own files.")
      .def(py::init(&makeHyphenator), py::arg("lang") = py::none(), py::kw_only(),
           py::arg("patterns") = py::none(), py::arg("exceptions") = py::none(),
           py::arg("chars") = py::none(), py::arg("left") = py::none(),
           py::arg("right") = py::none(), py::arg("words") = py::none(),
           py::arg("dictionary") = py::none())
      .def_property_readonly("language",
                             [](const PyHyphenator& self) -> std::optional<std::string> {
                               if (!self.language) return std::nullopt;
                               return std::string(hyph::languageName(*self.language));
                             })
      .def_property_readonly(
          "left", [](const PyHyphenator& self) { return hyph::hyphenatorLeftMin(self.hyphenator); })
      .def_property_readonly(
          "right",
          [](const PyHyphenator& self) { return hyph::hyphenatorRightMin(self.hyphenator); })
      .def("hyphenate", &PyHyphenator::hyphenate, py::arg("word"))
      .def("positions", &PyHyphenator::positions, py::arg("word"))
      .def("inserted", &PyHyphenator::inserted, py::arg("word"), py::arg("hyphen") = "-")
      .def("iterate", &PyHyphenator::iterate, py::arg("word"))
      .def("breaks", &PyHyphenator::breakList, py::arg("word"))
      .def_property_readonly("rewrites", [](const PyHyphenator& self) { return self.rewrites; })
      .def("wrap", &PyHyphenator::wrap, py::arg("word"), py::arg("width"), py::arg("hyphen") = "-")
      .def("positions_many", &PyHyphenator::positionsMany, py::arg("words"))
      .def("hyphenate_text", &PyHyphenator::hyphenateText, py::arg("text"),
           py::arg("separator") = "\u00AD", py::arg("html") = false, py::arg("min_word_length") = 0,
           py::arg("skip_capitals") = false, py::arg("follow_lang") = true,
           py::arg("compounds") = "parts", py::arg("skip_code") = false)
      .def(py::pickle(&stateOf, &fromState))
      // What protocol 2 does (a new object, then its state), for every
      // protocol: the default of protocols 0 and 1 cannot make a pybind11
      // object, and ends the interpreter.
      .def("__reduce__", [](py::handle self) {
        return py::make_tuple(py::module_::import("copyreg").attr("__newobj__"),
                              py::make_tuple(py::type::of(self)),
                              stateOf(self.cast<const PyHyphenator&>()));
      });

  py::class_<PyTextHyphenator>(m, "TextHyphenator",
                               "Running text hyphenated as it is written, into a file object.")
      .def(py::init([](py::object output, py::handle lang, const std::string& separator, bool html,
                       std::size_t minWordLength, bool skipCapitals, bool followLang,
                       std::string_view compounds, bool skipCode) {
             if (!py::hasattr(output, "write"))
               throw py::type_error("output: an object with a write method");
             PyHyphenator hyphenator = hyphenatorOf(lang);
             const hyph::TextOptions options = hyphenator.textOptions(
                 separator, html, minWordLength, skipCapitals, followLang, compounds, skipCode);
             return std::make_unique<PyTextHyphenator>(std::move(output), std::move(hyphenator),
                                                       options);
           }),
           py::arg("output"), py::arg("lang") = "en-us", py::kw_only(),
           py::arg("separator") = "\u00AD", py::arg("html") = false, py::arg("min_word_length") = 0,
           py::arg("skip_capitals") = false, py::arg("follow_lang") = true,
           py::arg("compounds") = "parts", py::arg("skip_code") = false)
      .def("write", &PyTextHyphenator::write, py::arg("text"))
      .def("flush", &PyTextHyphenator::flush)
      .def("close", &PyTextHyphenator::close)
      .def_property_readonly("closed", &PyTextHyphenator::closed)
      .def("__reduce__",
           [](const PyTextHyphenator&) -> py::object {
             throw py::type_error(
                 "cannot pickle a TextHyphenator: it writes into an open file; pickle its "
                 "Hyphenator instead");
           })
      .def("__enter__", [](py::object self) { return self; })
      .def("__exit__", [](PyTextHyphenator& self, py::args) {
        if (!self.closed()) self.close();
        return false;
      });

  m.def(
      "hyphenate",
      [](py::handle word, std::string_view lang) { return sharedOf(lang).hyphenate(word); },
      py::arg("word"), py::arg("lang") = "en-us");
  m.def(
      "positions",
      [](py::handle word, std::string_view lang) { return sharedOf(lang).positions(word); },
      py::arg("word"), py::arg("lang") = "en-us");
  m.def(
      "hyphenate_text",
      [](py::handle text, std::string_view lang, const std::string& separator, bool html,
         std::size_t minWordLength, bool skipCapitals, bool followLang,
         std::string_view compounds, bool skipCode) {
        return sharedOf(lang).hyphenateText(text, separator, html, minWordLength, skipCapitals,
                                            followLang, compounds, skipCode);
      },
      py::arg("text"), py::arg("lang") = "en-us", py::arg("separator") = "\u00AD",
      py::arg("html") = false, py::arg("min_word_length") = 0, py::arg("skip_capitals") = false,
      py::arg("follow_lang") = true, py::arg("compounds") = "parts", py::arg("skip_code") = false);
  m.def("languages", [] {
    std::vector<std::string> names;
    for (hyph::Language language : hyph::enumFrom(hyph::firstLanguage))
      names.emplace_back(hyph::languageName(language));
    return names;
  });
  m.def(
      "find_language",
      [](std::string_view tag) -> std::optional<std::string> {
        const std::optional<hyph::Language> language = hyph::findLanguage(tag);
        if (!language) return std::nullopt;
        return std::string(hyph::languageName(*language));
      },
      py::arg("tag"));
  m.def(
      "language_affix",
      [](std::string_view lang) { return std::string(hyph::languageAffix(languageOf(lang))); },
      py::arg("lang"));
  m.def(
      "language_license",
      [](std::string_view lang) { return hyph::languageLicense(languageOf(lang)); },
      py::arg("lang"));
}
