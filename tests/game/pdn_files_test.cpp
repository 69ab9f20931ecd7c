// PDN in the program: the game record to and from PDN, File > Open with a list of games,
// File > Save in the format the filter chooses.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include <unistd.h>

#include "game/file_commands.h"
#include "game/files.h"
#include "game/pdn_files.h"
#include "tests/game/game_test_support.h"

namespace {

class PdnUi final : public QuietGameUi {
  public:
    std::vector<std::string> messages;
    std::string path;
    FileFilter filter = FileFilter::ALL;
    int pick = 0;  // the game to pick from a list (from 1), 0 to cancel
    std::size_t listed = 0;

    Answer message_box(const std::string& text, const std::string& caption, MessageKind) override {
        messages.push_back(caption + ": " + text);
        return Answer::OK;
    }
    bool ask_open_game_file(std::string& p, FileFilter& f) override {
        p = path;
        f = filter;
        return true;
    }
    bool ask_save_game_file(std::string& p, FileFilter& f) override { return ask_open_game_file(p, f); }
    bool choose_game(std::shared_ptr<const std::string> text, PdnIndexEntry& chosen) override {
        const std::vector<PdnIndexEntry> index = index_pdn(*text);
        listed = index.size();
        if (pick < 1 || pick > static_cast<int>(index.size())) return false;
        chosen = index[static_cast<std::size_t>(pick - 1)];
        return true;
    }
};

class PdnFileTest : public GameTest {
  protected:
    PdnUi pdn_ui;
    std::string dir = testing::TempDir() + "vantor_pdn_" + std::to_string(getpid());

    void SetUp() override {
        GameTest::SetUp();
        set_game_ui(&pdn_ui);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override {
        std::filesystem::remove_all(dir);
        GameTest::TearDown();
    }
    std::string write(const std::string& name, const std::string& text) {
        std::ofstream(dir + "/" + name, std::ios::binary) << text;
        return dir + "/" + name;
    }
    std::vector<std::uint8_t> tgr_body() {
        std::vector<std::uint8_t> body;
        encode_game(body);
        return body;
    }
};

}  // namespace

TEST(PdnFiles, TheFilterChoosesTheFormat) {
    EXPECT_EQ(game_file_format("a.tgr", FileFilter::PDN), GameFileFormat::PDN);
    EXPECT_EQ(game_file_format("a.pdn", FileFilter::TGR), GameFileFormat::TGR);
    EXPECT_EQ(game_file_format("a.pdn", FileFilter::ASC), GameFileFormat::TGR);
    EXPECT_EQ(game_file_format("a.PDN", FileFilter::ALL), GameFileFormat::PDN);
    EXPECT_EQ(game_file_format("a.txt", FileFilter::ALL), GameFileFormat::TGR);
    EXPECT_EQ(open_file_format("a.pdn", FileFilter::TGR), GameFileFormat::PDN);
    EXPECT_EQ(open_file_format("a.tgr", FileFilter::PDN), GameFileFormat::PDN);
    EXPECT_EQ(open_file_format("a.asc", FileFilter::ASC), GameFileFormat::TGR);
}

TEST_F(PdnFileTest, RoundTripsTgrToPdnToTgr) {
    std::mt19937_64 rng(7);
    for (int game = 0; game < 20; ++game) {
        start_game("W:W31-50:B1-20");
        play_random(rng, 40 + game * 20, game % 2 == 0);
        const std::vector<std::uint8_t> before = tgr_body();
        PdnGame pdn;
        record_to_pdn_game(game_record(), pdn);
        std::vector<PdnError> errors;
        const std::vector<PdnGame> read = read_pdn(write_pdn(pdn), errors);
        ASSERT_EQ(read.size(), 1u);
        ASSERT_TRUE(errors.empty()) << pdn_error_line(errors[0]);
        auto record = std::make_unique<GameRecord>();
        ASSERT_TRUE(pdn_game_to_record(read[0], *record));
        game_record_replace(*record);
        EXPECT_EQ(tgr_body(), before) << "game " << game;
    }
}

TEST_F(PdnFileTest, OpenPicksOneOfSeveralGamesAndSavesItsTagsBack) {
    const std::string path = write("three.pdn",
                                   "[White \"A\"]\n1. 32-28 *\n"
                                   "[White \"B\"]\n[Black \"C\"]\n[Event \"Open\"]\n1. 32-28 19-23 2. 28x19 2-0\n"
                                   "[White \"D\"]\n1. 31-27 *\n");
    pdn_ui.pick = 0;
    EXPECT_EQ(open_pdn_file(path, state), PdnOpen::CANCELLED);
    EXPECT_EQ(pdn_ui.listed, 3u);
    EXPECT_EQ(game_length(), 0) << "cancelling leaves the game as it was";

    pdn_ui.pick = 2;
    ASSERT_EQ(open_pdn_file(path, state), PdnOpen::LOADED);
    EXPECT_EQ(game_length(), 3);
    EXPECT_EQ(game_current(), 3);
    EXPECT_EQ(state.side, BLACK);
    EXPECT_TRUE(pdn_ui.messages.empty());

    pdn_ui.path = dir + "/saved.pdn";
    pdn_ui.filter = FileFilter::PDN;
    file_save_command();
    std::string saved;
    ASSERT_TRUE(read_text_file(pdn_ui.path, saved));
    EXPECT_NE(saved.find("[Event \"Open\"]\n"), std::string::npos);
    EXPECT_NE(saved.find("[White \"B\"]\n[Black \"C\"]\n[Result \"2-0\"]\n"), std::string::npos);

    // Played on, the game keeps its players, but its result follows the board again;
    // a new game starts with tags of its own.
    play("14x23");
    EXPECT_EQ(current_pdn_game().result, PdnResult::UNKNOWN);
    EXPECT_EQ(*current_pdn_game().tag("White"), "B");
    start_game("W:W31-50:B1-20");
    play("32-28");
    EXPECT_EQ(*current_pdn_game().tag("White"), "?");
}

TEST_F(PdnFileTest, OpenKeepsTheMovesBeforeAFaultAndStartsFromTheFen) {
    const std::string faulty = write("faulty.pdn", "1. 32-28 19-23 2. 28x19 14x23 3. 37-32 23x32 *");
    ASSERT_EQ(open_pdn_file(faulty, state), PdnOpen::LOADED);
    EXPECT_EQ(game_length(), 5);
    EXPECT_EQ(pdn_ui.messages.back(),
              "File Open: game 1 move 3: 23x32 is not legal here.\nThe moves before it are loaded.");

    const std::string fen = write("fen.pdn", "[FEN \"B:W18,24,27,28,K10,K15:B12,16,20,K22,K25,K29\"]\n*");
    ASSERT_EQ(open_pdn_file(fen, state), PdnOpen::LOADED);
    EXPECT_EQ(game_length(), 0);
    EXPECT_EQ(state.side, BLACK);
    EXPECT_EQ(to_fen(state.board, state.side), "B:WK10,K15,18,24,27-28:B12,16,20,K22,K25,K29");

    EXPECT_EQ(open_pdn_file(write("empty.pdn", "{ nothing }"), state), PdnOpen::FAILED);
    EXPECT_EQ(pdn_ui.messages.back(), "File Open: This file holds no PDN game.");
    EXPECT_EQ(open_pdn_file(dir + "/missing.pdn", state), PdnOpen::FAILED);
    EXPECT_EQ(pdn_ui.messages.back(), "File Open: Could not read file!");
    EXPECT_EQ(state.side, BLACK) << "a failed open changes nothing";
}

TEST_F(PdnFileTest, ASetUpGameIsSavedAsPdnNotAsTgr) {
    start_game("W:W28,33,39:B19");
    play("28-23");
    pdn_ui.path = dir + "/setup.tgr";
    pdn_ui.filter = FileFilter::TGR;
    file_save_command();
    EXPECT_EQ(pdn_ui.messages.back(),
              "File Save: This game starts from a set-up position, which a .tgr file cannot hold.");
    pdn_ui.path = dir + "/setup.pdn";
    pdn_ui.filter = FileFilter::ALL;
    file_save_command();
    std::string saved;
    ASSERT_TRUE(read_text_file(pdn_ui.path, saved));
    EXPECT_NE(saved.find("[SetUp \"1\"]\n[FEN \"W:W28,33,39:B19\"]\n\n1. 28-23 *\n"), std::string::npos)
        << saved;
}
