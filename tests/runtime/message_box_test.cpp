#include "runtime/message_box.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
int calls = 0;
MessageBoxResult answer_yes(const std::string &, const std::string &, MessageIcon, MessageButtons)
{
    ++calls;
    return {true, true};
}
MessageBoxResult cannot_show(const std::string &, const std::string &, MessageIcon, MessageButtons)
{
    ++calls;
    return {false, true};
}
} // namespace

TEST(MessageBox, headless_questions_answer_no_and_never_wait)
{
    setenv("VELLAMOR_MESSAGES", "stderr", 1);
    set_message_box_handler(answer_yes);
    calls = 0;
    EXPECT_FALSE(
        message_box("Use Windowed Mode Instead?", "Q", MessageIcon::exclamation, MessageButtons::yes_no));
    EXPECT_TRUE(message_box("Note", "N", MessageIcon::information));
    EXPECT_EQ(calls, 0);
    set_message_box_handler(nullptr);
}

TEST(MessageBox, shown_box_answers_and_failed_box_answers_no)
{
    unsetenv("VELLAMOR_MESSAGES");
    set_message_box_handler(answer_yes);
    calls = 0;
    EXPECT_TRUE(message_box("Q?", "Q", MessageIcon::exclamation, MessageButtons::yes_no));
    set_message_box_handler(cannot_show);
    EXPECT_FALSE(message_box("Q?", "Q", MessageIcon::exclamation, MessageButtons::yes_no));
    EXPECT_EQ(calls, 2);
    set_message_box_handler(nullptr);
    EXPECT_FALSE(message_box("Q?", "Q", MessageIcon::exclamation, MessageButtons::yes_no));
    setenv("VELLAMOR_MESSAGES", "stderr", 1);
}
