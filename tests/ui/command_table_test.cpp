#include "ui/command_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<int> items_of(MenuIndex menu) {
    std::vector<int> items;
    for (const CommandInfo& info : COMMANDS) {
        if (info.menu == menu) items.push_back(info.command);
    }
    return items;
}

}  // namespace

TEST(CommandTable, MenusAndTheirItemsInOrder) {
    const std::vector<std::string> titles(MENU_TITLES.begin(), MENU_TITLES.end());
    EXPECT_EQ(titles, (std::vector<std::string>{"&File", "&Edit", "&View", "&Game", "&Move",
                                                "&Clock", "&Options", "&Help"}));
    EXPECT_EQ(items_of(MENU_FILE), (std::vector<int>{101, 102, 103, 104}));
    EXPECT_EQ(items_of(MENU_EDIT), (std::vector<int>{201, 202, 203, 204, 205}));
    EXPECT_EQ(items_of(MENU_VIEW), (std::vector<int>{301, 302, 303, 304, 305}));
    EXPECT_EQ(items_of(MENU_GAME), (std::vector<int>{401, 402, 403, 404, 405, 406}));
    EXPECT_EQ(items_of(MENU_MOVE), (std::vector<int>{501, 502, 503, 504, 505}));
    EXPECT_EQ(items_of(MENU_CLOCK), (std::vector<int>{601, 602, 603}));
    EXPECT_EQ(items_of(MENU_OPTIONS), (std::vector<int>{40004, 40005, 701, 702}));
    EXPECT_EQ(items_of(MENU_HELP), (std::vector<int>{802, 804}));
    // A menu's items stand together, so the bar shows them in table order.
    for (std::size_t i = 1; i < COMMANDS.size(); ++i)
        EXPECT_LE(COMMANDS[i - 1].menu, COMMANDS[i].menu);
}

TEST(CommandTable, EveryItemHasItsTexts) {
    std::set<int> seen;
    for (const CommandInfo& info : COMMANDS) {
        EXPECT_TRUE(seen.insert(info.command).second) << info.command << " twice";
        EXPECT_NE(std::string(info.text), "") << info.command;
        EXPECT_EQ(find_command(info.command), &info);
        // Serial port is the one item without menu help.
        if (info.command == CMD_OPTIONS_SERIAL_PORT) {
            EXPECT_STREQ(info.help, "");
        } else {
            EXPECT_NE(std::string(info.help), "") << info.command;
        }
        EXPECT_STREQ(help_text(info.command), info.help);
    }
}

TEST(CommandTable, KnownTexts) {
    EXPECT_EQ(menu_item_text(*find_command(101)), "&Open...\tCtrl O");
    EXPECT_EQ(menu_item_text(*find_command(104)), "E&xit");
    EXPECT_EQ(menu_item_text(*find_command(402)), "Player - Player\tAlt 1");
    EXPECT_EQ(menu_item_text(*find_command(406)), "&Remote\tAlt R");
    EXPECT_EQ(menu_item_text(*find_command(501)), "&Undo move\tDel");
    EXPECT_EQ(menu_item_text(*find_command(502)), "&Redo move\tIns");
    EXPECT_EQ(menu_item_text(*find_command(804)), "&About VANTOR...");
    EXPECT_STREQ(help_text(103), "Prints the active game");
    EXPECT_STREQ(help_text(304), "Show/hide the Principal Variation window");
    EXPECT_STREQ(help_text(406), "Enable/disable Game play via the serial port");
    EXPECT_STREQ(help_text(701), "Change type, time, or depth of search");
    EXPECT_STREQ(help_text(804), "Display program information, version number and copyright");
    EXPECT_STREQ(help_text(9998), "");
    EXPECT_STREQ(help_text(12345), "");
    EXPECT_EQ(find_command(9998), nullptr);
}

TEST(CommandTable, SeparatorsStandWhereTheMenusHaveThem) {
    std::set<int> after_separator;
    for (const CommandInfo& info : COMMANDS) {
        if (info.separator_before) after_separator.insert(info.command);
    }
    EXPECT_EQ(after_separator, (std::set<int>{104, 202, 402, 503, 603, 804}));
}

TEST(CommandTable, InitiallyGreyedItems) {
    std::set<int> greyed;
    for (const CommandInfo& info : COMMANDS) {
        if (!info.initially_enabled) greyed.insert(info.command);
    }
    EXPECT_EQ(greyed, (std::set<int>{202, 203, 204, 205, 602, 603}));
}

TEST(CommandTable, CheckItems) {
    std::set<int> checks;
    for (const CommandInfo& info : COMMANDS) {
        if (info.kind == ItemKind::CHECK) checks.insert(info.command);
    }
    EXPECT_EQ(checks, (std::set<int>{201, 204, 205, 301, 302, 303, 304, 305, 402, 403, 404, 405,
                                     406, 504, 505}));
}

TEST(Tooltips, TheTwentyThreeTexts) {
    const std::vector<std::pair<int, std::string>> expected{
        {101, "Open"},
        {102, "Save"},
        {103, "Print"},
        {301, "View Clock"},
        {302, "View Command"},
        {303, "View Game"},
        {304, "View PV"},
        {305, "View Search Info"},
        {401, "New Game"},
        {402, "Player - Player"},
        {403, "Player - Computer"},
        {404, "Computer - Player"},
        {405, "Computer - Computer"},
        {406, "Remote"},
        {501, "Undo move"},
        {502, "Redo move"},
        {503, "Force computer move"},
        {40004, "Memory"},
        {701, "Search"},
        {40005, "Serial port"},
        {702, "Preferences"},
        {802, "Help Contents"},
        {804, "Help About"},
    };
    for (const auto& [command, text] : expected) EXPECT_EQ(tooltip_text(command), text) << command;
}

TEST(Tooltips, AnythingElseIsAnInvalidIndex) {
    for (int command : {0, -1, 104, 201, 202, 504, 601, 9998, 40002, 65535}) {
        EXPECT_STREQ(tooltip_text(command), "Invalid Button Index") << command;
    }
}

TEST(Toolbar, TwentyNineEntriesWithTheStripInOrder) {
    ASSERT_EQ(TOOLBAR.size(), 29u);
    std::vector<int> separators;
    int next_image = 0;
    for (std::size_t i = 0; i < TOOLBAR.size(); ++i) {
        const ToolbarEntry& entry = TOOLBAR[i];
        if (entry.kind == ButtonKind::SEPARATOR) {
            separators.push_back(static_cast<int>(i) + 1);
            EXPECT_EQ(entry.command, 0);
            continue;
        }
        EXPECT_EQ(entry.image, next_image++) << entry.command;
        EXPECT_NE(find_command(entry.command), nullptr) << entry.command;
        EXPECT_STRNE(tooltip_text(entry.command), INVALID_BUTTON_TEXT) << entry.command;
    }
    EXPECT_EQ(next_image, TOOLBAR_IMAGE_COUNT);
    EXPECT_EQ(separators, (std::vector<int>{1, 5, 11, 18, 22, 27}));
}

TEST(Toolbar, ButtonKinds) {
    std::set<int> checks;
    std::set<int> group;
    for (const ToolbarEntry& entry : TOOLBAR) {
        if (entry.kind == ButtonKind::CHECK) checks.insert(entry.command);
        if (entry.kind == ButtonKind::GROUP) group.insert(entry.command);
    }
    EXPECT_EQ(checks, (std::set<int>{301, 302, 303, 304, 305, 406}));
    EXPECT_EQ(group, (std::set<int>{402, 403, 404, 405}));
    // A pressed button shows the same state as its checked menu item.
    for (int command : checks) EXPECT_EQ(find_command(command)->kind, ItemKind::CHECK);
    for (int command : group) EXPECT_EQ(find_command(command)->kind, ItemKind::CHECK);
}

TEST(Accelerators, TheTableWithWorkingPrintAndRemoteKeys) {
    std::vector<std::pair<std::string, int>> keys;
    for (const Accelerator& a : ACCELERATORS) keys.emplace_back(a.key, a.command);
    const std::vector<std::pair<std::string, int>> expected{
        {"Alt+1", 402},  {"Alt+2", 403},  {"Alt+3", 404},  {"Alt+4", 405},
        {"Ctrl+N", 401}, {"Ctrl+O", 101}, {"Ctrl+P", 103}, {"Ctrl+S", 102},
        {"Del", 501},    {"Ins", 502},    {"F1", 802},     {"Alt+R", 406},
    };
    EXPECT_EQ(keys, expected);
    // Every key reaches a command that exists, and so does every right-hand label.
    for (const Accelerator& a : ACCELERATORS) EXPECT_NE(find_command(a.command), nullptr) << a.key;
    for (const CommandInfo& info : COMMANDS) {
        if (*info.accel_label == '\0') continue;
        const bool bound =
            std::any_of(ACCELERATORS.begin(), ACCELERATORS.end(),
                        [&](const Accelerator& a) { return a.command == info.command; });
        EXPECT_TRUE(bound) << info.command << " shows " << info.accel_label;
    }
}
