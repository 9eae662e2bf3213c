// docs/operations.md against the code: its tables of pair sets must list
// exactly the pairs of the sets in format_pairs.h, its table of operations
// must name the set each operation serves, and every operation must have a
// section. (pair_sets_test.cpp holds each operation to its set by calling it.)
//
// The markdown convention: a line `<!-- pairs kName -->` is followed by a
// table whose rows are "| `Source` | `Dst`, `Dst`, ... |"; a line
// `<!-- operation sets -->` by rows "| `Operation` | `kName` |". The first two
// rows of each table (header and rule) are skipped.
#include <gtest/gtest.h>
#include <pixelops/format_pairs.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/operation_table.h"

namespace pixelops {

// Pairs by their formats' names in failure messages.
static void PrintTo(const FormatPair& p, std::ostream* os) {
  *os << PixelFormatName(p.src) << " -> " << PixelFormatName(p.dst);
}

namespace {

using Pairs = std::vector<FormatPair>;

template <class Set>
Pairs Sorted(const Set& set) {
  Pairs p(set.begin(), set.end());
  std::sort(p.begin(), p.end(), [](const FormatPair& a, const FormatPair& b) {
    return std::pair(a.src, a.dst) < std::pair(b.src, b.dst);
  });
  return p;
}

const std::map<std::string, Pairs>& Sets() {
  namespace fp = format_pairs;
  static const std::map<std::string, Pairs> sets = {
      {"kSameFormat", Sorted(fp::kSameFormat)},           {"kBlend", Sorted(fp::kBlend)},
      {"kAlphaOntoColour", Sorted(fp::kAlphaOntoColour)}, {"kAlphaComposite", Sorted(fp::kAlphaComposite)},
      {"kEqualAlpha", Sorted(fp::kEqualAlpha)},           {"kPattern", Sorted(fp::kPattern)},
      {"kMaskOntoAlpha", Sorted(fp::kMaskOntoAlpha)},     {"kPolygon", Sorted(fp::kPolygon)},
  };
  return sets;
}

// The public operations without a pair set; each needs a section too.
const char* const kOtherOperations[] = {"FillRect", "Fade", "DrawFadedScreen", "MakeRotatedQuad"};

// An operation's name in the operation table ("BltAlpha stretched" is BltAlpha).
std::string OperationName(const optable::Operation& op) {
  const std::string name = op.name;
  return name.substr(0, name.find(' '));
}

struct Reference {
  std::map<std::string, Pairs> sets;
  std::map<std::string, std::string> operations;
  std::vector<std::string> headings;
  std::vector<std::string> rowNames;  // names in the first cell of the other tables' rows
};

bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }

// The texts written in backticks in a table cell.
std::vector<std::string> Quoted(const std::string& cell) {
  std::vector<std::string> texts;
  for (size_t open = cell.find('`'); open != std::string::npos; open = cell.find('`', open + 1)) {
    const size_t close = cell.find('`', open + 1);
    if (close == std::string::npos) break;
    texts.push_back(cell.substr(open + 1, close - open - 1));
    open = close;
  }
  return texts;
}

// The names written in backticks in a table cell.
std::vector<std::string> Names(const std::string& cell) {
  std::vector<std::string> names;
  for (const std::string& t : Quoted(cell))
    if (!t.empty() && std::all_of(t.begin(), t.end(), IsNameChar)) names.push_back(t);
  return names;
}

// Whether text holds word with no letter or digit on either side.
bool HoldsWord(const std::string& text, const std::string& word) {
  for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
    const size_t end = at + word.size();
    if ((at == 0 || !IsNameChar(text[at - 1])) && (end == text.size() || !IsNameChar(text[end]))) return true;
  }
  return false;
}

PixelFormat FormatNamed(const std::string& name) {
  for (PixelFormat f : kAllPixelFormats)
    if (name == PixelFormatName(f)) return f;
  ADD_FAILURE() << "not a format: " << name;
  return PixelFormat::Index8;
}

Reference Read() {
  std::ifstream in(std::string(PIXELOPS_SOURCE_DIR) + "/docs/operations.md");
  EXPECT_TRUE(in.good()) << "docs/operations.md not found";
  Reference r;
  std::string line, table;  // table: the set being read, "operations", or empty
  int row = 0;
  const std::string pairsMark = "<!-- pairs ";
  while (std::getline(in, line)) {
    if (const size_t at = line.find(pairsMark); at != std::string::npos) {
      const size_t from = at + pairsMark.size();
      table = line.substr(from, line.find(' ', from) - from);
      row = 0;
      EXPECT_EQ(r.sets.count(table), 0u) << "two tables of " << table;
      r.sets[table];
    } else if (line.find("<!-- operation sets -->") != std::string::npos) {
      table = "operations";
      row = 0;
    } else if (line.rfind("|", 0) == 0 && !table.empty()) {
      if (row++ < 2) continue;
      const size_t bar = line.find('|', 1);
      const std::vector<std::string> left = Names(line.substr(1, bar - 1));
      const std::vector<std::string> right = Names(line.substr(bar + 1));
      EXPECT_EQ(left.size(), 1u) << line;
      if (left.size() != 1) continue;
      if (table == "operations") {
        EXPECT_EQ(right.size(), 1u) << line;
        if (right.size() == 1) r.operations[left[0]] = right[0];
        continue;
      }
      for (const std::string& d : right)
        r.sets[table].push_back(FormatPair{FormatNamed(left[0]), FormatNamed(d)});
    } else {
      table.clear();
      if (line.rfind("## ", 0) == 0) r.headings.push_back(line);
      if (line.rfind("|", 0) == 0) {  // `Name` or `Name(arguments)`
        for (const std::string& t : Quoted(line.substr(1, line.find('|', 1) - 1)))
          r.rowNames.push_back(t.substr(0, t.find('(')));
      }
    }
  }
  for (auto& [name, pairs] : r.sets) {
    pairs = Sorted(pairs);
    EXPECT_EQ(std::adjacent_find(pairs.begin(), pairs.end()), pairs.end()) << name << " repeats a pair";
  }
  return r;
}

TEST(OperationsReference, PairTablesAreTheSetsAndNameEachOperationsSet) {
  const Reference doc = Read();
  for (const auto& [name, pairs] : Sets()) {
    ASSERT_EQ(doc.sets.count(name), 1u) << "no table of " << name;
    EXPECT_EQ(doc.sets.at(name), pairs) << "the table of " << name << " lists other pairs";
  }
  EXPECT_EQ(doc.sets.size(), Sets().size()) << "a table of a set the code does not have";
  // Each operation the reference gives a set serves exactly that set's pairs
  // (the pairs the pair-set test finds it drawing).
  EXPECT_FALSE(doc.operations.empty());
  for (const auto& [name, set] : doc.operations) {
    bool found = false;
    for (const optable::Operation& op : optable::Operations()) {
      if (OperationName(op) != name) continue;
      found = true;
      ASSERT_EQ(doc.sets.count(set), 1u) << name << " names " << set;
      EXPECT_EQ(Sorted(op.served), doc.sets.at(set)) << op.name << " does not serve " << set;
    }
    EXPECT_TRUE(found) << name << " is not an operation";
  }
}

TEST(OperationsReference, EveryOperationHasASection) {
  const Reference doc = Read();
  std::vector<std::string> operations(std::begin(kOtherOperations), std::end(kOtherOperations));
  for (const optable::Operation& op : optable::Operations()) operations.push_back(OperationName(op));
  for (const std::string& op : operations) {
    // A section of its own, or a row of a section's table (the Image draws).
    const bool row = std::find(doc.rowNames.begin(), doc.rowNames.end(), op) != doc.rowNames.end();
    EXPECT_TRUE(row || std::any_of(doc.headings.begin(), doc.headings.end(),
                                   [&](const std::string& h) { return HoldsWord(h, op); }))
        << op << " has no section";
  }
}

}  // namespace

}  // namespace pixelops
