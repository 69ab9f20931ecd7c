#include "tools/egdb/build.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <future>
#include <memory>

#include "tools/egdb/database_writer.h"
#include "tools/egdb/progress.h"
#include "tools/egdb/solver.h"

namespace {

int pieces_of(const EgdbMaterial& m) {
    return m.sm + m.sk + m.om + m.ok;
}
int men_of(const EgdbMaterial& m) {
    return m.sm + m.om;
}

// Whether a database solved earlier can still be reached from the pair `next` or from
// one after it, when the build stops at `top` pieces. A capture may take several pieces
// and so reach any database with fewer pieces; a crowning reaches the one with the same
// pieces and one man fewer. Only the top level's databases can go before the end.
bool still_needed(const EgdbMaterial& done, const EgdbMaterial& next, int top) {
    const int p = pieces_of(done);
    return p < top || men_of(done) + 1 >= men_of(next);
}

struct PairReport {
    std::vector<SolvedDatabase> databases;
    double seconds = 0;
    std::int64_t missing = 0;
};

std::int64_t pair_size(const EgdbMaterial& m) {
    return egdb_position_count(m) + (m == mirrored(m) ? 0 : egdb_position_count(mirrored(m)));
}

// Solves one pair on a thread of its own while this one redraws the bar. The bar counts
// indices: the pairs already solved, and half of the current pair's as its first pass
// goes through them (the backward pass cannot tell how far it has to go).
PairReport solve_with_progress(const EgdbMaterial& m, const SolvedSet& solved,
                               const BuildOptions& options, ProgressDisplay& display,
                               const std::string& label, double done, double total) {
    SolveProgress progress;
    const auto start = std::chrono::steady_clock::now();
    auto job = std::async(std::launch::async,
                          [&] { return solve_pair(m, solved, options.threads, progress); });
    const auto size = static_cast<double>(pair_size(m));
    while (job.wait_for(std::chrono::milliseconds(200)) != std::future_status::ready) {
        const int round = progress.round.load(std::memory_order_relaxed);
        const auto scanned = static_cast<double>(progress.scanned.load(std::memory_order_relaxed));
        const std::string detail =
            round == 0
                ? "first pass " + std::to_string(static_cast<int>(100 * scanned / size)) + "%"
                : "backward round " + std::to_string(round);
        display.show(label, (done + 0.5 * (round == 0 ? scanned : size)) / total, detail);
    }
    PairReport report;
    report.databases = job.get();
    report.missing = progress.missing.load();
    report.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return report;
}

void print_summary(const std::vector<SolvedDatabase>& all, double seconds) {
    std::int64_t positions = 0;
    for (const SolvedDatabase& db : all) {
        std::printf("%-10s positions %12lld  wins %12lld  draws %12lld  losses %12lld\n",
                    egdb_name(db.material).c_str(), static_cast<long long>(db.positions()),
                    static_cast<long long>(db.wins), static_cast<long long>(db.draws),
                    static_cast<long long>(db.losses));
        positions += db.positions();
    }
    std::printf(
        "databases %zu positions %lld time %.1f s rate %.0f positions/s peak memory %.0f MB\n",
        all.size(), static_cast<long long>(positions), seconds,
        seconds > 0 ? static_cast<double>(positions) / seconds : 0.0, peak_memory_mb());
}

}  // namespace

std::vector<EgdbMaterial> build_plan(int pieces) {
    std::vector<EgdbMaterial> plan;
    for (int total = 2; total <= pieces; ++total) {
        for (int key = 0; key < EGDB_KEY_COUNT; ++key) {
            const EgdbMaterial m = key_material(key);
            if (pieces_of(m) != total || m.sm + m.sk == 0 || m.om + m.ok == 0) continue;
            if (material_key(mirrored(m)) < key) continue;  // solved with its mirror
            plan.push_back(m);
        }
    }
    std::stable_sort(plan.begin(), plan.end(), [](const EgdbMaterial& a, const EgdbMaterial& b) {
        return pieces_of(a) != pieces_of(b) ? pieces_of(a) < pieces_of(b) : men_of(a) < men_of(b);
    });
    return plan;
}

namespace {

class Builder {
  public:
    explicit Builder(const BuildOptions& options)
        : options_(options),
          plan_(build_plan(options.pieces)),
          writer_(options.directory, options.combined),
          display_(options.progress),
          solved_(std::make_unique<SolvedSet>()) {}

    int run() {
        if (!prepare()) return 1;
        for (std::size_t i = 0; i < plan_.size(); ++i) {
            if (!solve(i)) return 1;
        }
        if (!writer_.finish()) {
            fail(writer_.error());
            return 1;
        }
        if (options_.summary) print_summary(report_, display_.elapsed());
        return 0;
    }

  private:
    bool fail(const std::string& message) {
        std::fprintf(stderr, "vantor-egdb: %s\n", message.c_str());
        return false;
    }

    bool prepare() {
        std::vector<EgdbMaterial> materials;
        for (const EgdbMaterial& m : plan_) {
            materials.push_back(m);
            if (!(m == mirrored(m))) materials.push_back(mirrored(m));
            total_ += static_cast<double>(pair_size(m));
        }
        for (const EgdbMaterial& m : materials) {
            if (!egdb_indexable(m))
                return fail(egdb_name(m) + " has 2^31 positions or more and cannot be indexed");
        }
        std::error_code ec;
        std::filesystem::create_directories(options_.directory, ec);
        if (!std::filesystem::is_directory(options_.directory)) {
            return fail("cannot create the folder " + options_.directory +
                        (ec ? ": " + ec.message() : std::string()));
        }
        return writer_.begin(materials) || fail(writer_.error());
    }

    // Frees what no later pair reaches, solves pair i, writes it and keeps it for the
    // pairs that lead into it.
    bool solve(std::size_t i) {
        const EgdbMaterial& m = plan_[i];
        std::erase_if(kept_, [&](const EgdbMaterial& earlier) {
            if (still_needed(earlier, m, options_.pieces)) return false;
            solved_->drop(earlier);
            return true;
        });
        const std::string label =
            std::to_string(i + 1) + "/" + std::to_string(plan_.size()) + " " + egdb_name(m);
        PairReport pair =
            solve_with_progress(m, *solved_, options_, display_, label, done_, total_);
        done_ += static_cast<double>(pair_size(m));
        if (pair.missing > 0) {
            return fail(egdb_name(m) + ": " + std::to_string(pair.missing) +
                        " moves lead to databases that are not solved");
        }
        std::int64_t positions = 0;
        for (SolvedDatabase& db : pair.databases) {
            if (!writer_.write(db)) return fail(writer_.error());
            positions += db.positions();
            solved_->add(db.material, std::move(db.values));
            kept_.push_back(db.material);
            report_.push_back(std::move(db));
        }
        char text[160];
        std::snprintf(text, sizeof text,
                      "%-16s %11lld positions %8.1f s   total %8.1f s   peak memory %.0f MB",
                      label.c_str(), static_cast<long long>(positions), pair.seconds,
                      display_.elapsed(), peak_memory_mb());
        display_.line(text);
        return true;
    }

    const BuildOptions& options_;
    const std::vector<EgdbMaterial> plan_;
    DatabaseWriter writer_;
    ProgressDisplay display_;
    std::unique_ptr<SolvedSet> solved_;
    std::vector<EgdbMaterial> kept_;  // the databases in solved_
    std::vector<SolvedDatabase> report_;
    double total_ = 0;
    double done_ = 0;
};

}  // namespace

int build_databases(const BuildOptions& options) {
    return Builder(options).run();
}
