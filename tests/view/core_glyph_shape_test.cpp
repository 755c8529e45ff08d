// What the fitter and the paint tests count as a letter keeping its shape.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "view/GlyphShape.h"

namespace {

// A glyph drawn as rows of '#' (ink) and ' '.
GlyphShape Shape(const std::vector<std::string>& rows)
{
    const int w = (int)rows[0].size(), h = (int)rows.size();
    std::vector<uint8_t> grid;
    for (const std::string& row : rows)
        for (char c : row)
            grid.push_back(c == '#' ? 255 : 0);
    return ShapeOfInk(grid.data(), w, h, w, 1, kSmallInk);
}

TEST(GlyphShape, StemsHolesDotsAndDashesAgainstTheLargeGlyph)
{
    const GlyphShape bigH = Shape({"##    ##", "##    ##", "##    ##", "########", "##    ##",
                                   "##    ##", "##    ##"});
    EXPECT_EQ(kShapeKept, Likeness(Shape({"#  #", "#  #", "####", "#  #", "#  #"}), bigH));
    EXPECT_EQ(kShapeLost, Likeness(Shape({"#  #", "#  #", "#  #", "#  #", "#  #"}), bigH));

    const GlyphShape bigE = Shape({" #### ", "#    #", "######", "#     ", "#    #", " #### "});
    EXPECT_EQ(kShapeKept, Likeness(Shape({" ## ", "#  #", "####", "#   ", " ###"}), bigE));
    // An "e" without its bar reads "c".
    EXPECT_EQ(kShapeLost, Likeness(Shape({" ## ", "#  #", "#   ", "#   ", " ###"}), bigE));
    // A pixel missing from a thin stroke opens the hole: the letter reads.
    EXPECT_EQ(kShapeGapped, Likeness(Shape({" ## ", "#  #", "## #", "#   ", " ###"}), bigE));

    const GlyphShape bigM = Shape({"## ## ##", "## ## ##", "## ## ##", "## ## ##"});
    EXPECT_EQ(kShapeKept, Likeness(Shape({"# # #", "# # #", "# # #"}), bigM));
    EXPECT_EQ(kShapeLost, Likeness(Shape({"#  #", "#  #", "#  #"}), bigM));

    const GlyphShape bigI = Shape({"##", "  ", "##", "##", "##", "##", "##"});
    EXPECT_EQ(kShapeKept, Likeness(Shape({"#", " ", "#", "#", "#"}), bigI));
    EXPECT_EQ(kShapeLost, Likeness(Shape({"#", "#", "#", "#", "#"}), bigI));

    const GlyphShape bigDash = Shape({"##########", "##########", "##########"});
    EXPECT_EQ(kShapeKept, Likeness(Shape({"###"}), bigDash));
    EXPECT_EQ(kShapeShort, Likeness(Shape({"##"}), bigDash));
    // At a pixel wide a bar cannot be as thin as drawn large.
    const GlyphShape bigBar = Shape(std::vector<std::string>(30, "###"));
    EXPECT_EQ(kShapeKept, Likeness(Shape(std::vector<std::string>(6, "#")), bigBar));
    // Nothing drawn keeps nothing.
    EXPECT_EQ(kShapeLost, Likeness(Shape({"  ", "  "}), bigBar));
}

}  // namespace
