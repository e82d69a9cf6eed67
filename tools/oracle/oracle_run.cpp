#include "tools/oracle/oracle_run.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>

#include "tools/oracle/case_generator.h"
#include "tools/oracle/child_process.h"

namespace ostrel::oracle {
namespace {

class Progress {
  public:
    Progress(std::size_t total, bool enabled) : total_(total), enabled_(enabled) {}
    void row_done() {
        std::lock_guard<std::mutex> lock(mutex_);
        ++done_;
        const auto now = std::chrono::steady_clock::now();
        if (!enabled_ || done_ == total_ || now - last_ < std::chrono::seconds(2)) return;
        last_ = now;
        std::fprintf(stderr, "ostrel-oracle: %zu/%zu rows\n", done_, total_);
    }

  private:
    std::mutex mutex_;
    std::size_t total_, done_ = 0;
    bool enabled_;
    std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

struct Batch {
    std::vector<const DecodeRow *> rows;
    std::vector<RowReport *> reports;
};

// Feeds every case of rows[first..] to one runner; stops when the runner stops reading.
void feed(int fd, const Batch &batch, std::size_t first, uint32_t cases, uint64_t seed) {
    for (std::size_t r = first; r < batch.rows.size(); ++r)
        for (uint32_t k = 0; k < cases; ++k)
            if (!write_case(fd, generate_case(*batch.rows[r], seed, k))) return;
}

class Worker {
  public:
    Worker(const RunConfig &config, Progress &progress) : config_(config), progress_(progress) {}

    // Many rows per process start; after a runner dies, the rest of the batch gets new ones.
    void run(const Batch &batch) {
        std::size_t first = 0;
        while (first < batch.rows.size())
            first = run_from(batch, first);
    }

  private:
    // Returns the index of the first row still to run.
    std::size_t run_from(const Batch &batch, std::size_t first) {
        ChildProcess reference, engine;
        std::string error;
        if (!start_child(config_.reference_command, reference, error) ||
            !start_child(config_.engine_command, engine, error)) {
            for (std::size_t r = first; r < batch.rows.size(); ++r) {
                batch.reports[r]->fail(0, "cannot start a runner: " + error);
                progress_.row_done();
            }
            close_child_pipes(reference);
            stop_child(reference, true);
            return batch.rows.size();
        }
        std::thread to_reference(feed, reference.to_child, std::cref(batch), first, config_.cases,
                                 config_.seed);
        std::thread to_engine(feed, engine.to_child, std::cref(batch), first, config_.cases,
                              config_.seed);

        std::size_t next = batch.rows.size();
        std::string failure;
        Result ref_result, eng_result;
        for (std::size_t r = first; r < batch.rows.size() && failure.empty(); ++r) {
            const DecodeRow &row = *batch.rows[r];
            RowReport &report = *batch.reports[r];
            for (uint32_t k = 0; k < config_.cases; ++k) {
                const Case c = generate_case(row, config_.seed, k);
                const bool ref_ok = read_result(reference.from_child, ref_result) == ReadStatus::ok;
                const bool eng_ok =
                    ref_ok && read_result(engine.from_child, eng_result) == ReadStatus::ok;
                if (!ref_ok || !eng_ok) {
                    failure = ref_ok ? "engine" : "reference";
                    report.fail(c.header.encoding,
                                failure + " runner stopped at case " + std::to_string(k));
                    next = r + 1;
                    break;
                }
                report.add(c.header.encoding,
                           judge_case(row, c, ref_result, eng_result, config_.deviations));
            }
            progress_.row_done();
        }

        // Our ends of the output pipes close first, so that runners still writing stop.
        const bool failed = !failure.empty();
        close(reference.from_child);
        close(engine.from_child);
        reference.from_child = engine.from_child = -1;
        if (failed) {
            // The runner that stopped has usually ended already; give it a moment to say how.
            const std::string ref_end =
                stop_child(reference, true, failure == "reference" ? 1000 : 0);
            const std::string eng_end = stop_child(engine, true, failure == "engine" ? 1000 : 0);
            RowReport &report = *batch.reports[next - 1];
            report.difference += " (" + (failure == "reference" ? ref_end : eng_end) + ")";
        }
        to_reference.join();
        to_engine.join();
        close_child_pipes(reference);
        close_child_pipes(engine);
        if (!failed) {
            stop_child(reference, false);
            stop_child(engine, false);
        }
        return next;
    }

    const RunConfig &config_;
    Progress &progress_;
};

} // namespace

std::vector<RowReport> run_oracle(const std::vector<const DecodeRow *> &rows,
                                  const RunConfig &config) {
    std::vector<RowReport> reports(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        reports[i].name = rows[i]->name;

    // Batches big enough that process starts (slow under qemu) are few, small enough that the
    // jobs share the work evenly.
    const unsigned jobs = config.jobs == 0 ? 1 : config.jobs;
    std::size_t batch_rows = rows.size() / (jobs * 4);
    batch_rows = batch_rows < 1 ? 1 : batch_rows > 64 ? 64 : batch_rows;
    std::vector<Batch> batches;
    for (std::size_t i = 0; i < rows.size(); i += batch_rows) {
        Batch b;
        for (std::size_t j = i; j < rows.size() && j < i + batch_rows; ++j) {
            b.rows.push_back(rows[j]);
            b.reports.push_back(&reports[j]);
        }
        batches.push_back(std::move(b));
    }

    Progress progress(rows.size(), config.progress);
    std::atomic<std::size_t> next_batch{0};
    auto work = [&] {
        Worker worker(config, progress);
        for (std::size_t b; (b = next_batch++) < batches.size();)
            worker.run(batches[b]);
    };
    std::vector<std::thread> threads;
    for (unsigned j = 1; j < jobs; ++j)
        threads.emplace_back(work);
    work();
    for (std::thread &t : threads)
        t.join();
    return reports;
}

} // namespace ostrel::oracle
