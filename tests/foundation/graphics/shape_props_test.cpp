#include "foundation/graphics/shape_props.h"

#include <gtest/gtest.h>

#include <string>

using namespace qv;

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  return s;
}

TEST(ShapeProps, TheNamesAreSortedWithoutRegardToCaseAndEachFindsItsId) {
  for (size_t i = 1; i < ShapePropNames.size(); ++i)
    EXPECT_LT(Lower(ShapePropNames[i - 1].Name), Lower(ShapePropNames[i].Name)) << i;
  for (const TShapePropName& p : ShapePropNames) {
    EXPECT_EQ(ShapePropIdByName(p.Name), p.Id) << p.Name;
    EXPECT_EQ(ShapePropNameById(p.Id), p.Name) << p.Id;
  }
}

TEST(ShapeProps, LookUpsByNameAndById) {
  EXPECT_EQ(ShapePropIdByName("FILLCOLOR"), 385);
  EXPECT_EQ(ShapePropIdByName("fillColour"), -1);
  EXPECT_EQ(ShapePropIdByName(""), -1);
  EXPECT_EQ(ShapePropIdByName("zzz"), -1);
  EXPECT_EQ(ShapePropIdByName("a"), -1);
  EXPECT_EQ(ShapePropNameById(120), "fLockAspectRatio");
  EXPECT_EQ(ShapePropNameById(1), "shapeType");
  EXPECT_EQ(ShapePropNameById(2), "");
}

TEST(ShapeProps, Defaults) {
  const struct {
    int32_t id;
    int32_t value;
  } cases[] = {{120, 0},      {901, 0},      {903, 0}, {911, 0}, {913, 0}, {916, 0},
               {954, 0},      {385, 0xFFFFFF}, {900, 114305}, {902, 114305}, {912, 2},
               {914, 2},      {944, 1},      {1, kNoShapePropDefault}, {443, kNoShapePropDefault}};
  for (const auto& c : cases) EXPECT_EQ(DefaultShapePropValue(c.id), c.value) << c.id;
}

}  // namespace
