#include "ui/command_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

TEST(CommandTable, EveryItemHasItsTextsOnce) {
    std::set<int> seen;
    for (std::size_t i = 0; i < COMMANDS.size(); ++i) {
        const CommandInfo& info = COMMANDS[i];
        EXPECT_TRUE(seen.insert(info.command).second) << info.command << " twice";
        EXPECT_STRNE(info.text, "") << info.command;
        EXPECT_EQ(find_command(info.command), &info);
        // Serial port is the one item without menu help.
        EXPECT_EQ(*info.help == '\0', info.command == CMD_OPTIONS_SERIAL_PORT) << info.command;
        EXPECT_STREQ(help_text(info.command), info.help);
        // A menu's items stand together, so the bar shows them in table order.
        if (i > 0) {
            EXPECT_LE(COMMANDS[i - 1].menu, info.menu) << info.command;
        }
    }
    EXPECT_EQ(menu_item_text(*find_command(CMD_FILE_OPEN)), "&Open...\tCtrl O");
    EXPECT_EQ(menu_item_text(*find_command(CMD_FILE_EXIT)), "E&xit");  // no label, no tab
    EXPECT_EQ(find_command(CMD_CLOSE_ALL), nullptr);
    EXPECT_STREQ(help_text(CMD_CLOSE_ALL), "");
}

TEST(CommandTable, TooltipsOfTheToolbarAndInvalidIndexElsewhere) {
    EXPECT_STREQ(tooltip_text(CMD_OPTIONS_MEMORY), "Memory");
    EXPECT_STREQ(tooltip_text(CMD_OPTIONS_SERIAL_PORT), "Serial port");
    for (int command : {0, -1, 104, 201, 504, 601, 9998, 40002, 65535})
        EXPECT_STREQ(tooltip_text(command), "Invalid Button Index") << command;
}

// Each button takes the next picture of the strip, names an existing command with a
// tooltip, and a pressed button shows the same state as its checked menu item.
TEST(CommandTable, ToolbarButtonsUseTheStripInOrder) {
    int next_image = 0;
    for (const ToolbarEntry& entry : TOOLBAR) {
        if (entry.kind == ButtonKind::SEPARATOR) continue;
        EXPECT_EQ(entry.image, next_image++) << entry.command;
        const CommandInfo* info = find_command(entry.command);
        ASSERT_NE(info, nullptr) << entry.command;
        EXPECT_STRNE(tooltip_text(entry.command), INVALID_BUTTON_TEXT) << entry.command;
        EXPECT_EQ(entry.kind != ButtonKind::PUSH, info->kind == ItemKind::CHECK) << entry.command;
    }
    EXPECT_EQ(next_image, TOOLBAR_IMAGE_COUNT);
}

// Every key reaches a command that exists, and every right-hand label has its key.
TEST(CommandTable, AcceleratorsAndTheirLabelsAgree) {
    for (const Accelerator& a : ACCELERATORS) EXPECT_NE(find_command(a.command), nullptr) << a.key;
    for (const CommandInfo& info : COMMANDS) {
        if (*info.accel_label == '\0') continue;
        const bool bound =
            std::any_of(ACCELERATORS.begin(), ACCELERATORS.end(),
                        [&](const Accelerator& a) { return a.command == info.command; });
        EXPECT_TRUE(bound) << info.command << " shows " << info.accel_label;
    }
}
