// Finding, decompressing and decoding an embedded data file.
#include "archive.hpp"

#include <algorithm>

#include "engine/utf8.hpp"
#include "hyph/error.hpp"
#include "hyph/language.hpp"

namespace hyph {
namespace detail {

std::string_view findEmbeddedFile(std::string_view name, std::span<const EmbeddedFile> archive) {
  auto it = std::find_if(archive.begin(), archive.end(),
                         [name](const EmbeddedFile& file) { return file.name == name; });
  if (it == archive.end()) throw Error("Could not find " + std::string(name));
  return it->contents;
}

std::u32string readEmbeddedFile(std::string_view name, std::span<const EmbeddedFile> archive) {
  return decodeUtf8(gunzip(name, findEmbeddedFile(name, archive)));
}

}  // namespace detail

std::u32string readEmbeddedFile(std::string_view name) {
  return detail::readEmbeddedFile(name, detail::embeddedFiles());
}

}  // namespace hyph
