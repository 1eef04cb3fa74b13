#include <gtest/gtest.h>

#include "RemoveFixture.h"

namespace tamsel {
namespace {

TEST_F(RemoveTest, WindowLayout) {
    EXPECT_EQ(remove_->caption, "Uninstall Tamsel Orry");
    EXPECT_EQ(remove_->clientWidthTwips, 4695);
    EXPECT_EQ(remove_->clientHeightTwips, 1005);
    EXPECT_EQ(remove_->border, BorderStyle::Sizable);
    EXPECT_TRUE(remove_->minButton && remove_->maxButton && remove_->closeBox);

    const auto& controls = remove_->Controls();
    ASSERT_EQ(controls.size(), 3u);
    EXPECT_EQ(controls[0], &remove_->OKButton);
    EXPECT_EQ(controls[1], &remove_->Label1);
    EXPECT_EQ(controls[2], &remove_->NoButton);
    auto rectOf = [](const Control& c) {
        const auto& r = c.Rect();
        return std::vector<int>{r.left, r.top, r.width, r.height};
    };
    EXPECT_EQ(rectOf(remove_->OKButton), (std::vector<int>{2160, 600, 1095, 375}));
    EXPECT_EQ(rectOf(remove_->Label1), (std::vector<int>{120, 120, 4455, 375}));
    EXPECT_EQ(rectOf(remove_->NoButton), (std::vector<int>{3480, 600, 1095, 375}));
    EXPECT_EQ(remove_->OKButton.caption, "Yes");
    EXPECT_EQ(remove_->NoButton.caption, "No");
    EXPECT_EQ(remove_->Label1.caption, "Are you sure you want to Uninstall Tamsel Orry?");
    // Esc answers No; Enter is left to the focused button.
    EXPECT_TRUE(remove_->NoButton.isCancel);
    EXPECT_FALSE(remove_->NoButton.isDefault);
    EXPECT_FALSE(remove_->OKButton.isDefault || remove_->OKButton.isCancel);
}

}  // namespace
}  // namespace tamsel
