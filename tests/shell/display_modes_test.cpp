#include "shell/display_modes.h"
#include "shell/display_presence.h"
#include "shell/setup_dialog.h"

#include <gtest/gtest.h>

TEST(ModeFilter, keeps_moderate_landscape_modes_in_first_appearance_order)
{
    std::vector<DisplayMode> list;
    for (const DisplayMode m :
         {DisplayMode{1920, 1080}, DisplayMode{2560, 1440}, DisplayMode{768, 1024}, DisplayMode{2048, 1152},
          DisplayMode{1920, 1000}, DisplayMode{1024, 768}, DisplayMode{1920, 1080}, DisplayMode{800, 600},
          DisplayMode{1024, 768}, DisplayMode{1080, 600}, DisplayMode{2047, 2047}, DisplayMode{0, 0}})
        offer_mode(list, m);
    // 1080 x 600 is exactly 1.8 and 2047 x 2047 is square: both kept.
    const std::vector<DisplayMode> expected{{1920, 1080}, {1024, 768}, {800, 600}, {1080, 600}, {2047, 2047}};
    EXPECT_EQ(list, expected);
}

TEST(ModeFilter, empty_list_offers_the_desktop_mode_or_720p)
{
    std::vector<DisplayMode> list;
    ensure_a_mode(list, DisplayMode{3840, 2160});
    EXPECT_EQ(list, (std::vector<DisplayMode>{{3840, 2160}}));
    list.clear();
    ensure_a_mode(list, std::nullopt);
    EXPECT_EQ(list, (std::vector<DisplayMode>{{1280, 720}}));
    ensure_a_mode(list, DisplayMode{800, 600}); // a filled list stays as it is
    EXPECT_EQ(list.size(), 1u);
}

TEST(ModeLabels, ratio_suffixes_and_blank_padding)
{
    EXPECT_EQ(mode_label({1920, 1080}), " 1920 x 1080  (16:9)");
    EXPECT_EQ(mode_label({1366, 768}), " 1366 x 768  (16:9)"); // 1.7786 is within 0.01
    EXPECT_EQ(mode_label({1680, 1050}), " 1680 x 1050  (16:10)");
    EXPECT_EQ(mode_label({1280, 1024}), " 1280 x 1024       ");
}

TEST(ModeDefault, prefers_720p_then_1024x768_then_the_first)
{
    EXPECT_EQ(default_mode_index({{800, 600}, {1024, 768}, {1280, 720}}), 2);
    EXPECT_EQ(default_mode_index({{800, 600}, {1024, 768}}), 1);
    EXPECT_EQ(default_mode_index({{1600, 900}, {800, 600}}), 0);
    EXPECT_EQ(default_mode_index({}), -1);
}

TEST(SixteenByNine, windowed_takes_the_render_shape_full_screen_keeps_the_mode)
{
    DisplayChoice c;
    c.mode = {1280, 1024};
    c.windowed = true;
    DisplaySettings s = settings_for_choice(c);
    EXPECT_FALSE(s.fullscreen);
    EXPECT_EQ(s.window_width, 1280);
    EXPECT_EQ(s.window_height, 720);
    EXPECT_EQ(s.render_height, 720);

    c.windowed = false;
    s = settings_for_choice(c);
    EXPECT_TRUE(s.fullscreen);
    EXPECT_EQ(s.window_height, 1024);
    EXPECT_EQ(s.render_width, 1280);
    EXPECT_EQ(s.render_height, 720);
}

TEST(SixteenByNine, truncates_instead_of_rounding)
{
    DisplayChoice c;
    c.mode = {1366, 768};
    EXPECT_EQ(settings_for_choice(c).render_height, 768); // 768.375
    c.mode = {1000, 800};
    EXPECT_EQ(settings_for_choice(c).render_height, 562); // 562.5
    c.force_16_9 = false;
    c.windowed = true;
    const DisplaySettings s = settings_for_choice(c);
    EXPECT_EQ(s.render_height, 800);
    EXPECT_EQ(s.window_height, 800);
}

TEST(SetupDialog, initial_state_and_run_with_bad_selection)
{
    const std::vector<DisplayMode> modes{{800, 600}, {1280, 720}};
    const DialogState s = initial_dialog_state(modes);
    EXPECT_EQ(s.selection, 1);
    EXPECT_TRUE(s.antialiased);
    EXPECT_FALSE(s.windowed);
    EXPECT_TRUE(s.force_16_9);

    DialogState broken = s;
    broken.selection = 7;
    EXPECT_EQ(choice_from_dialog(broken, modes).mode, (DisplayMode{1280, 720}));
    broken.selection = -1;
    EXPECT_EQ(choice_from_dialog(broken, {}).mode, (DisplayMode{1280, 720}));
    broken.selection = 0;
    broken.windowed = true;
    const DisplayChoice c = choice_from_dialog(broken, modes);
    EXPECT_EQ(c.mode, (DisplayMode{800, 600}));
    EXPECT_TRUE(c.windowed);
}

// Without a display SDL falls back to drivers nobody sees: the live show
// must not open its dialog or window there unless the user asked for one.
TEST(DisplayPresence, invisible_drivers_count_only_when_asked_for)
{
    EXPECT_TRUE(driver_shows_windows("x11", ""));
    EXPECT_TRUE(driver_shows_windows("wayland", ""));
    EXPECT_TRUE(driver_shows_windows("KMSDRM", ""));
    EXPECT_FALSE(driver_shows_windows("offscreen", ""));
    EXPECT_FALSE(driver_shows_windows("dummy", ""));
    EXPECT_FALSE(driver_shows_windows("offscreen", "x11")); // asked for x11, landed offscreen
    EXPECT_TRUE(driver_shows_windows("offscreen", "offscreen"));
    EXPECT_TRUE(driver_shows_windows("dummy", "dummy"));
    EXPECT_FALSE(driver_shows_windows("", "")); // SDL video did not start
}

// With the resolution list open, Escape and Enter close the list; they quit
// or run only from the dialog itself.
TEST(SetupDialog, escape_and_enter_belong_to_an_open_list_first)
{
    EXPECT_EQ(dialog_key_effect(DialogKey::escape, true), KeyEffect::list);
    EXPECT_EQ(dialog_key_effect(DialogKey::enter, true), KeyEffect::list);
    EXPECT_EQ(dialog_key_effect(DialogKey::escape, false), KeyEffect::quit);
    EXPECT_EQ(dialog_key_effect(DialogKey::enter, false), KeyEffect::run);
}
