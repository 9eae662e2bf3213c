// Builds an operation's table of routines from its named pair set
// (<pixelops/format_pairs.h>): one line per pair of the set, the rule of each
// line chosen from the two formats' traits by the operation's rule template
// (usually an alias that picks among the operation's rules, e.g.
// std::conditional_t<px::kIsWord16<D>, MyWordRule<S, D>, MyByteRule<S, D>>).
// blend_frame.h shows an operation built on it.
#pragma once

#include <array>
#include <cstddef>
#include <utility>

#include <pixelops/format_pairs.h>
#include "graphics/pixel/blend_frame.h"
#include "graphics/pixel/formats.h"

namespace pixelops {

// The table of Set: Line::Of<S, D>() for each pair, S and D the pair's traits.
template <const auto& Set, class Line>
constexpr auto PairTable() {
  return []<size_t... I>(std::index_sequence<I...>) {
    return std::array{Line::template Of<px::FormatOf<Set[I].src>, px::FormatOf<Set[I].dst>>()...};
  }
  (std::make_index_sequence<Set.size()>{});
}

template <template <class, class> class Rule, class Values>
struct ServeLine {
  template <class S, class D>
  static constexpr PairEntry<Values> Of() {
    return Serve<S, D, Rule, Values>();
  }
};

// A blit's table: the pairs of Set, each served by Rule<S, D>.
template <const auto& Set, template <class, class> class Rule, class Values>
inline constexpr auto ServeSet = PairTable<Set, ServeLine<Rule, Values>>();

}  // namespace pixelops
