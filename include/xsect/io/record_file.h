#pragma once

// Time-history records (docs/model-format.md): one HDF5 file per record, holding the element nodal
// forces of every step. /shells (T, M, K, 6) has the model's M shells in the model file's order, K the
// most corners of a shell (unused corners zero), Fx, Fy, Fz, Mx, My, Mz in global axes; /frames
// (T, F, 2, 6) is optional; /time (T,) the time of each step; all chunked by steps.
//
// A record is read a bounded block of steps at a time, only the rows a plan reads, so memory does not
// grow with T. Every failure is one sentence naming the file and the dataset, and for a value that
// is not a number its step.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <xsect/plan.h>

namespace xsect::io {

// Rows read together: `count` consecutive rows from `first`.
struct RowRun {
    std::size_t first, count;
};

// The rows (ascending) grouped into the runs to read: consecutive rows in one run, and two runs
// joined when the rows between them cost less to read along than a read of their own. rowBytes is
// one row's bytes in one step.
std::vector<RowRun> RowRuns(const std::vector<std::int32_t>& rows, std::size_t rowBytes);

class RecordFile {
public:
    RecordFile();
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // Opens the record and checks its datasets against a model of `shells` shells of at most
    // `corners` corners and `frames` frames; false with the sentence of the first fault.
    bool Open(const std::string& path, std::size_t shells, std::size_t corners, std::size_t frames, std::string& error);

    std::size_t Steps() const;
    bool HasFrames() const;
    // The steps of a block that reads this many shell and frame rows: as many as a few tens of
    // megabytes hold, in whole chunks of the file where one fits.
    std::size_t BlockSteps(std::size_t shellRows, std::size_t frameRows) const;

    // Steps [first, first + count) of the rows (ascending) into out, [step][row][K][6] for shells and
    // [step][row][2][6] for frames; false with a sentence naming the step, row and corner of a value
    // that is not a finite number.
    bool ReadShells(std::size_t first, std::size_t count, const std::vector<std::int32_t>& rows,
                    std::vector<double>& out, std::string& error);
    bool ReadFrames(std::size_t first, std::size_t count, const std::vector<std::int32_t>& rows,
                    std::vector<double>& out, std::string& error);
    bool ReadTimes(std::size_t first, std::size_t count, std::vector<double>& out, std::string& error);

private:
    struct Handles;
    std::unique_ptr<Handles> h_;
};

// What a plan gives for one block of steps: its first step, how many, their times and the values
// [step][section][N, Vt, Vk, Mn, Mt, Mk].
using RecordBlock = std::function<void(std::size_t first, std::size_t count, const double* times, const double* values)>;

// Applies a plan whose rows are the record's (PlanInFileOrder) to every step of the record, one
// bounded block of steps after another; progress(done, total) counts steps. A record without /frames
// gives the frames nothing. False with the sentence of the first fault.
bool ApplyPlanToRecord(const SectionPlan& plan, const std::string& path, const RecordBlock& block,
                       const std::function<void(std::uint64_t done, std::uint64_t total)>& progress, std::string& error);

}  // namespace xsect::io
