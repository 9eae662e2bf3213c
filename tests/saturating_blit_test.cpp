// What the additive and subtractive operations share, checked for both: every
// member against the reference, the word rows, the level-255 hand-over, the
// failure paths and the key.
#include <gtest/gtest.h>

#include "tests/saturating_reference.h"

namespace pixelops {

namespace {

using satref::Op;
using satref::Variant;

class SaturatingBlit : public ::testing::TestWithParam<Op> {
 protected:
  uint32_t Seed(uint32_t n) const { return n + (GetParam() == Op::Sub ? 10 : 0); }
};

TEST_P(SaturatingBlit, EveryMemberMatchesReference) {
  for (int keyed = 0; keyed < 2; ++keyed)
    for (int levelled = 0; levelled < 2; ++levelled)
      satref::CrossCheck(Variant{GetParam(), keyed == 1, levelled == 1}, Seed(101 + keyed + 2 * levelled),
                         30);
}

TEST_P(SaturatingBlit, WordRowsGiveOnePixelResults) {
  for (PixelFormat f : {PixelFormat::Rgb565, PixelFormat::Rgb555}) {
    satref::WordRowsMatchSinglePixels(Variant{GetParam(), false, false}, f, Seed(201));
    satref::WordRowsMatchSinglePixels(Variant{GetParam(), false, true}, f, Seed(202));
  }
}

TEST_P(SaturatingBlit, Level255IsTheUnlevelledTwin) {
  satref::Level255IsTheTwin(GetParam(), false, Seed(301));
  satref::Level255IsTheTwin(GetParam(), true, Seed(302));
}

TEST_P(SaturatingBlit, FailurePathsLeaveNothingLocked) {
  for (int keyed = 0; keyed < 2; ++keyed)
    for (int levelled = 0; levelled < 2; ++levelled)
      satref::FailurePathsLeaveNothingLocked(Variant{GetParam(), keyed == 1, levelled == 1}, Seed(401));
}

TEST_P(SaturatingBlit, KeyedEqualsUnkeyedWhereNoPixelIsTheKey) {
  satref::KeyedEqualsUnkeyedWithoutKey(GetParam(), false, Seed(501));
  satref::KeyedEqualsUnkeyedWithoutKey(GetParam(), true, Seed(502));
}

INSTANTIATE_TEST_SUITE_P(AddAndSub, SaturatingBlit, ::testing::Values(Op::Add, Op::Sub),
                         [](const ::testing::TestParamInfo<Op>& info) {
                           return info.param == Op::Add ? "Add" : "Sub";
                         });

}  // namespace

}  // namespace pixelops
