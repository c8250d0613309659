#include "runtime/file_watch.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{
struct Folder {
    ScratchFolder scratch{"watch"};
    const fs::path path = scratch.path();
    std::string file(const char *name) const { return (path / name).string(); }
};

void write(const std::string &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// Some file systems keep whole seconds: move the time on explicitly so an
// edit within the same second as the last one is still a different stamp.
void touch_later(const std::string &path, int seconds)
{
    fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(seconds));
}
} // namespace

TEST(FileWatch, names_only_the_files_that_changed_since_the_last_poll)
{
    Folder dir;
    const std::string a = dir.file("a.cpp"), b = dir.file("b.cpp");
    write(a, "void main(){}");
    write(b, "void main(){}");
    FileWatch watch({a, b});
    EXPECT_TRUE(watch.poll().empty()) << "nothing changed since the watch began";

    write(b, "void main(){ }");
    touch_later(b, 1);
    EXPECT_EQ(watch.poll(), std::vector<std::string>{b});
    EXPECT_TRUE(watch.poll().empty()) << "a change is reported once";

    // Same size, same text, only a newer time: an editor's save all the same.
    touch_later(a, 2);
    EXPECT_EQ(watch.poll(), std::vector<std::string>{a});
}

TEST(FileWatch, a_save_by_rename_a_removal_and_a_return_are_changes)
{
    Folder dir;
    const std::string a = dir.file("a.cpp");
    write(a, "one");
    FileWatch watch({a});

    const std::string temp = dir.file("a.cpp.tmp");
    write(temp, "two, longer");
    fs::rename(temp, a);
    EXPECT_EQ(watch.poll().size(), 1u);

    fs::remove(a);
    EXPECT_EQ(watch.poll().size(), 1u);
    EXPECT_TRUE(watch.poll().empty()) << "a missing file stays quiet while it is missing";
    write(a, "three");
    EXPECT_EQ(watch.poll().size(), 1u);
}

TEST(FileWatch, a_folder_in_place_of_a_file_or_a_missing_path_never_throws)
{
    Folder dir;
    const std::string sub = dir.file("Materials");
    fs::create_directories(sub);
    FileWatch watch({sub, dir.file("nothing-here.cpp"), ""});
    EXPECT_TRUE(watch.poll().empty());
}
