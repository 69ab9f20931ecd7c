#include "ui/game_picker.h"

GamePicker::GamePicker(std::shared_ptr<const std::string> text) : text_(std::move(text)) {
    worker_ = std::thread([this] {
        found_ = index_pdn(*text_, &cancel_);
        done_.store(true, std::memory_order_release);
    });
}

GamePicker::~GamePicker() {
    cancel_ = true;
    worker_.join();
}

bool GamePicker::poll() {
    if (ready_ || !done_.load(std::memory_order_acquire)) return ready_;
    entries_ = std::move(found_);
    ready_ = true;
    return true;
}

std::string GamePicker::cell(int row, int column) const {
    if (row < 0 || row >= rows()) return {};
    const PdnIndexEntry& e = entries_[static_cast<std::size_t>(row)];
    switch (column) {
        case 0: return std::to_string(e.number);
        case 1: return e.white;
        case 2: return e.black;
        case 3: return e.event;
        case 4: return e.date;
        case 5: return e.result;
        default: return {};
    }
}

std::string GamePicker::status() const {
    if (!ready_) return "Reading the games...";
    return std::to_string(entries_.size()) + (entries_.size() == 1 ? " game" : " games");
}
