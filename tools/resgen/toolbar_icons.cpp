#include "tools/resgen/toolbar_icons.h"

#include <QPainter>

#include "tools/resgen/icon_painters.h"

namespace resgen {
namespace {

struct IconSpec {
    const char* name;
    void (*paint)(QPainter&);
};

// Strip positions 0-22: the order of the toolbar's buttons and of their tooltips.
constexpr IconSpec ICONS[] = {
    {"00_open", icons::open},
    {"01_save", icons::save},
    {"02_print", icons::print},
    {"03_view_clock", icons::view_clock},
    {"04_view_command", icons::view_command},
    {"05_view_game", icons::view_game},
    {"06_view_pv", icons::view_pv},
    {"07_view_search_info", icons::view_search_info},
    {"08_new_game", icons::new_game},
    {"09_player_player", icons::player_player},
    {"10_player_computer", icons::player_computer},
    {"11_computer_player", icons::computer_player},
    {"12_computer_computer", icons::computer_computer},
    {"13_remote", icons::remote},
    {"14_undo_move", icons::undo_move},
    {"15_redo_move", icons::redo_move},
    {"16_force_computer_move", icons::force_move},
    {"17_memory", icons::memory},
    {"18_search", icons::search},
    {"19_serial_port", icons::serial_port},
    {"20_preferences", icons::preferences},
    {"21_help_contents", icons::help_contents},
    {"22_help_about", icons::help_about},
};

constexpr int ICON_COUNT = sizeof(ICONS) / sizeof(ICONS[0]);
static_assert(ICON_COUNT == 23, "the toolbar strip holds 23 button images");

}  // namespace

std::vector<ToolbarIcon> make_toolbar_icons() {
    std::vector<ToolbarIcon> result;
    for (const IconSpec& icon : ICONS) {
        QImage image(BUTTON_WIDTH, BUTTON_HEIGHT, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            icon.paint(p);
        }
        result.push_back({icon.name, image.convertToFormat(QImage::Format_ARGB32)});
    }
    return result;
}

QImage toolbar_strip(const std::vector<ToolbarIcon>& icons) {
    QImage strip(BUTTON_WIDTH * static_cast<int>(icons.size()), BUTTON_HEIGHT,
                 QImage::Format_ARGB32);
    strip.fill(Qt::transparent);
    QPainter p(&strip);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    for (std::size_t i = 0; i < icons.size(); ++i) {
        p.drawImage(BUTTON_WIDTH * static_cast<int>(i), 0, icons[i].image);
    }
    return strip;
}

void write_toolbar(const Output& out, const std::vector<ToolbarIcon>& icons) {
    const QImage strip = toolbar_strip(icons);
    require(strip.size() == QSize(368, 15), "toolbar strip is 368 x 15");
    out.png("images/toolbar.png", strip);
    for (const ToolbarIcon& icon : icons)
        out.png("images/toolbar/" + icon.name + ".png", icon.image);
}

}  // namespace resgen
