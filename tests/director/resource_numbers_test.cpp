// The show's resource numbers are four types: one kind of number handed
// where another is wanted does not compile. Checked here at compile time,
// with the table's own values pinned.
#include "render/render_targets.h"
#include "render/shader_program.h"
#include "show/resources.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace
{

template <class F, class... Args> constexpr bool takes = std::is_invocable_v<F, Args...>;

using BindSet =
    decltype(static_cast<void (RenderTargets::*)(RenderSetNumber, int)>(&RenderTargets::bind_render_set));
using BindTexture =
    decltype(static_cast<void (RenderTargets::*)(TextureNumber) const>(&RenderTargets::bind_table_texture));

static_assert(!std::is_convertible_v<TextureNumber, RenderSetNumber>);
static_assert(!std::is_convertible_v<RenderSetNumber, TextureNumber>);
static_assert(!std::is_convertible_v<ProgramSlot, TextureNumber>);
static_assert(!std::is_convertible_v<DisplayListNumber, ProgramSlot>);
static_assert(!std::is_convertible_v<int, TextureNumber>, "a bare number must be named");
static_assert(takes<BindSet, RenderTargets &, RenderSetNumber, int>);
static_assert(!takes<BindSet, RenderTargets &, TextureNumber, int>);
static_assert(!takes<BindSet, RenderTargets &, int, int>);
static_assert(takes<BindTexture, const RenderTargets &, TextureNumber>);
static_assert(!takes<BindTexture, const RenderTargets &, RenderSetNumber>);
static_assert(
    !takes<decltype(&RenderTargets::attach_depth_texture), RenderTargets &, TextureNumber, RenderSetNumber>);

} // namespace

TEST(ResourceNumbers, the_table_holds_the_shows_numbers)
{
    EXPECT_EQ(tex::height_map.value, 101);
    EXPECT_EQ(tex::spectrum.value, 501);
    EXPECT_EQ(program::billboards.value, 21);
    EXPECT_EQ(program::combine.value, 3);
    EXPECT_EQ(render_set::top_view.value, 3);
    EXPECT_EQ(display_list::grid.value, 666);
    EXPECT_EQ(display_list::sparse_grid.value, 1666);
}

TEST(ResourceNumbers, render_sets_are_made_at_full_half_quarter_size_and_the_map_square)
{
    // 1366 x 768 does not divide by 4: the sizes truncate.
    const auto sets = show_render_sets(1366, 768);
    ASSERT_EQ(sets.size(), 4u);
    EXPECT_EQ(sets[0].set, render_set::scene);
    EXPECT_EQ(sets[0].width, 1366);
    EXPECT_EQ(sets[1].width, 683);
    EXPECT_EQ(sets[1].height, 384);
    EXPECT_EQ(sets[2].set, render_set::quarter);
    EXPECT_EQ(sets[2].width, 341);
    EXPECT_EQ(sets[2].height, 192);
    EXPECT_EQ(sets[3].set, render_set::top_view);
    EXPECT_EQ(sets[3].width, 512);
    EXPECT_EQ(sets[3].height, 512);
}
