// The message catalogue reader, the translation of the libraries' texts
// with it, and the catalogue source that the build compiles.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "library_texts.h"
#include "message_catalogue.h"

namespace kvt::frontend {
namespace {

using namespace std::string_literals;
using Entries = std::vector<std::pair<std::string, std::string>>;

// A catalogue in the .mo layout, entries in the order given, words in
// either byte order.
std::string mo_bytes(const Entries& entries, bool big_endian = false) {
  std::string out;
  const auto word = [&](std::uint32_t w) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>(w >> (big_endian ? 24 - 8 * i : 8 * i));
  };
  const auto count = static_cast<std::uint32_t>(entries.size());
  const std::uint32_t originals = 28, translations = originals + 8 * count;
  std::uint32_t strings = translations + 8 * count;
  word(0x950412DE);
  word(0);
  word(count);
  word(originals);
  word(translations);
  word(0);
  word(strings);
  std::string text;
  const auto table = [&](bool translated) {
    for (const auto& [original, translation] : entries) {
      const std::string& s = translated ? translation : original;
      word(static_cast<std::uint32_t>(s.size()));
      word(strings + static_cast<std::uint32_t>(text.size()));
      text += s + '\0';
    }
  };
  table(false);
  table(true);
  return out + text;
}

const Entries kEntries = {{"", "Content-Type: text/plain; charset=UTF-8\n"},
                          {"report\4構文エラーです.", "Syntax error."},
                          {"report\4エラー", "Error"},
                          {"ステレオ", "Stereo"},
                          {"one\0many"s, "an apple\0apples"s}};

TEST(MessageCatalogue, ReadsEntriesInEitherByteOrder) {
  for (const bool big_endian : {false, true}) {
    const MessageCatalogue catalogue = MessageCatalogue::parse(mo_bytes(kEntries, big_endian));
    ASSERT_NE(catalogue.find("report", "構文エラーです."), nullptr) << big_endian;
    EXPECT_EQ(*catalogue.find("report", "構文エラーです."), "Syntax error.");
    EXPECT_EQ(*catalogue.find("", "ステレオ"), "Stereo");
    EXPECT_EQ(*catalogue.find("", "one"), "an apple");
    EXPECT_EQ(catalogue.find("", "構文エラーです."), nullptr) << "another context";
    EXPECT_EQ(catalogue.find("", ""), nullptr) << "the description is no entry";
    EXPECT_EQ(catalogue.entries("report").size(), 2u);
    EXPECT_EQ(catalogue.entries("").size(), 2u);
  }
}

TEST(MessageCatalogue, DamagedCataloguesAreEmpty) {
  const std::string good = mo_bytes(kEntries);
  EXPECT_TRUE(MessageCatalogue::parse("").empty());
  for (std::size_t size = 0; size < good.size(); ++size) {
    EXPECT_TRUE(MessageCatalogue::parse(good.substr(0, size)).empty()) << size;
  }
  std::string magic = good;
  magic[0] = 'x';
  EXPECT_TRUE(MessageCatalogue::parse(magic).empty());
  std::string revision = good;
  revision[6] = 2;
  EXPECT_TRUE(MessageCatalogue::parse(revision).empty());
  std::string count = good;
  count[11] = '\x7F';
  EXPECT_TRUE(MessageCatalogue::parse(count).empty());
  std::string offset = good;
  offset[28 + 8 + 7] = '\x7F';  // the second original starts far beyond the end
  EXPECT_TRUE(MessageCatalogue::parse(offset).empty());
  EXPECT_TRUE(MessageCatalogue::load("/nonexistent/kvt97.mo").empty());
}

TEST(LibraryTexts, ReportFragmentsAreReplacedWhereTheyStand) {
  const LibraryTexts english(MessageCatalogue::parse(mo_bytes(kEntries)));
  const std::string report =
      "KVT Music Macro Language Compiler .. ステレオ.mml\n\nSet $ Part .... ERROR! 構文エラーです. Line = 12 , Part:0A\n";
  EXPECT_EQ(english.report(report),
            "KVT Music Macro Language Compiler .. ステレオ.mml\n\nSet $ Part .... ERROR! Syntax error. Line = 12 , Part:0A\n");
  EXPECT_EQ(english.text("ステレオ"), "Stereo");
  EXPECT_EQ(english.text("ステレオ "), "ステレオ ") << "only a whole text";
  EXPECT_EQ(LibraryTexts().report(report), report);
  EXPECT_EQ(LibraryTexts().text("ステレオ"), "ステレオ");
}

// Every entry of the source has its English, and the compiled catalogue
// holds them all.
TEST(CatalogueSource, EveryOriginalHasATranslation) {
  std::ifstream po(KVT_PO_FILE);
  if (!po) GTEST_SKIP() << "no " << KVT_PO_FILE;
  const auto quoted = [](const std::string& line) {
    const std::size_t open = line.find('"'), close = line.rfind('"');
    return open == std::string::npos || close <= open ? std::string() : line.substr(open + 1, close - open - 1);
  };
  struct Entry {
    std::string context, original, translation;
  };
  std::vector<Entry> entries;
  std::string* field = nullptr;
  for (std::string line; std::getline(po, line);) {
    if (line.rfind("msgctxt ", 0) == 0) {
      entries.emplace_back();
      field = &entries.back().context;
    } else if (line.rfind("msgid ", 0) == 0) {
      if (entries.empty() || !entries.back().original.empty() || field != &entries.back().context) entries.emplace_back();
      field = &entries.back().original;
    } else if (line.rfind("msgstr ", 0) == 0) {
      field = &entries.back().translation;
    } else if (line.rfind("\"", 0) != 0) {
      field = nullptr;
      continue;
    }
    if (field != nullptr) *field += quoted(line);
  }
  const MessageCatalogue compiled = MessageCatalogue::load(KVT_CATALOGUE_FILE);
  int checked = 0;
  for (const Entry& e : entries) {
    if (e.original.empty()) continue;  // the description
    EXPECT_FALSE(e.translation.empty()) << e.original;
    const std::string* found = compiled.find(e.context, e.original);
    EXPECT_TRUE(found != nullptr && *found == e.translation) << e.original;
    ++checked;
  }
  EXPECT_GE(checked, 10);
}

}  // namespace
}  // namespace kvt::frontend
