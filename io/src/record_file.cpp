// Reading a time-history record through HDF5's C interface.
//
// How the rows are read was measured on a 50 x 50-shell record (2000 steps, chunks of 8 steps,
// half the rows in 25 runs of 50): one selection made of the runs' hyperslabs took 7 s, a read of
// whole steps 0.3 s and one read per run 0.12 s; single scattered rows, one read each, 3.4 s, while
// whole steps stay at 0.3 s. HDF5 spends its time per selected piece, not per byte, so the rows are
// read run by run, and runs whose gap costs less than a read are joined (RowRuns). A compressed
// record is read in whole steps: each read of a run would inflate the same chunks again.

#include "xsect/io/record_file.h"

#include <hdf5.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

namespace xsect::io {

namespace {

// A separate read costs about as much as reading this many more bytes in each step it spans
// (measured as above: about 1.3 us per step and run, against 4 to 8 GB/s).
constexpr std::size_t kJoinBytes = 8192;
// What a block of steps may hold of the rows read.
constexpr std::size_t kBlockBytes = 32u << 20;

// HDF5 prints its error stack unless told not to; each call that may fail runs with it silenced, and
// the handler the host had is put back afterwards.
class Silenced {
public:
    Silenced() {
        H5Eget_auto2(H5E_DEFAULT, &func_, &data_);
        H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
    }
    ~Silenced() { H5Eset_auto2(H5E_DEFAULT, func_, data_); }
    Silenced(const Silenced&) = delete;
    Silenced& operator=(const Silenced&) = delete;

private:
    H5E_auto2_t func_ = nullptr;
    void* data_ = nullptr;
};

// An HDF5 identifier closed by its own kind's close call.
class Id {
public:
    Id() = default;
    Id(hid_t id, herr_t (*close)(hid_t)) : id_(id), close_(close) {}
    Id(Id&& other) noexcept : id_(other.id_), close_(other.close_) { other.id_ = -1; }
    Id& operator=(Id&& other) noexcept {
        std::swap(id_, other.id_);
        std::swap(close_, other.close_);
        return *this;
    }
    ~Id() {
        if (id_ >= 0 && close_) close_(id_);
    }
    hid_t get() const { return id_; }
    bool ok() const { return id_ >= 0; }

private:
    hid_t id_ = -1;
    herr_t (*close_)(hid_t) = nullptr;
};

struct Dataset {
    std::string name;  // "/shells"
    Id id;
    std::vector<hsize_t> dims;
    hsize_t chunkSteps = 0;  // 0: not chunked
    bool filtered = false;
};

std::string shapeText(const std::vector<hsize_t>& dims) {
    std::string text = "(";
    for (std::size_t i = 0; i < dims.size(); ++i) text += (i ? ", " : "") + std::to_string(dims[i]);
    return text + (dims.size() == 1 ? ",)" : ")");
}

}  // namespace

struct RecordFile::Handles {
    std::string path;
    Id file;
    Dataset shells, frames, time;
    std::size_t corners = 0;

    // "eq1.h5: dataset /shells" and what follows, " has shape ..." or ", step 12: ...".
    std::string Fault(const Dataset& d, const std::string& what) const { return path + ": dataset " + d.name + what; }

    // Opens a dataset of numbers; `expected` its shape, 0 standing for the steps, which must be
    // `steps` once known.
    bool OpenDataset(Dataset& d, const char* name, const std::vector<hsize_t>& expected, const std::string& meaning,
                     std::string& error) {
        d.name = std::string("/") + name;
        if (H5Lexists(file.get(), name, H5P_DEFAULT) <= 0) return error = path + ": the dataset " + d.name + " is missing", false;
        d.id = Id(H5Dopen2(file.get(), name, H5P_DEFAULT), H5Dclose);
        if (!d.id.ok()) return error = Fault(d, " cannot be opened: it is not a dataset"), false;
        const Id type(H5Dget_type(d.id.get()), H5Tclose);
        const H5T_class_t kind = H5Tget_class(type.get());
        if (kind != H5T_FLOAT && kind != H5T_INTEGER) return error = Fault(d, " does not hold numbers"), false;
        const Id space(H5Dget_space(d.id.get()), H5Sclose);
        const int rank = H5Sget_simple_extent_ndims(space.get());
        d.dims.assign(static_cast<std::size_t>(std::max(rank, 0)), 0);
        if (rank > 0) H5Sget_simple_extent_dims(space.get(), d.dims.data(), nullptr);
        bool fits = d.dims.size() == expected.size();
        for (std::size_t i = 1; fits && i < expected.size(); ++i) fits = d.dims[i] == expected[i];
        if (fits && expected[0] != 0) fits = d.dims[0] == expected[0];
        if (!fits) {
            std::string want = "(T";
            for (std::size_t i = 1; i < expected.size(); ++i) want += ", " + std::to_string(expected[i]);
            want += expected.size() == 1 ? ",)" : ")";
            if (expected[0] != 0) want = shapeText(expected);
            return error = Fault(d, " has shape " + shapeText(d.dims) + "; the model needs " + want + ": " + meaning), false;
        }
        const Id create(H5Dget_create_plist(d.id.get()), H5Pclose);
        if (H5Pget_layout(create.get()) == H5D_CHUNKED) {
            std::vector<hsize_t> chunk(d.dims.size(), 0);
            if (H5Pget_chunk(create.get(), static_cast<int>(chunk.size()), chunk.data()) >= 1) d.chunkSteps = chunk[0];
            d.filtered = H5Pget_nfilters(create.get()) > 0;
        }
        return true;
    }

    // Reads steps [first, first + count) of the rows of a dataset [T][rows][slots][6] into out; the
    // runs without gaps straight into place, the others through scratch.
    bool Read(const Dataset& d, std::size_t first, std::size_t count, const std::vector<std::int32_t>& rows,
              std::vector<double>& out, std::string& error) const {
        const hsize_t slots = d.dims[2], rowValues = slots * 6;
        out.resize(count * rows.size() * rowValues);
        if (rows.empty() || count == 0) return true;
        const std::vector<RowRun> runs = d.filtered
                                             ? std::vector<RowRun>{{0, static_cast<std::size_t>(d.dims[1])}}
                                             : RowRuns(rows, static_cast<std::size_t>(rowValues * sizeof(double)));
        const Id fileSpace(H5Dget_space(d.id.get()), H5Sclose);
        const hsize_t outDims[4] = {count, rows.size(), slots, 6};
        std::vector<double> scratch;
        std::size_t at = 0;  // the first of rows not yet read
        for (const RowRun& run : runs) {
            std::size_t end = at;
            while (end < rows.size() && static_cast<std::size_t>(rows[end]) < run.first + run.count) ++end;
            if (end == at) continue;
            const hsize_t start[4] = {first, run.first, 0, 0}, size[4] = {count, run.count, slots, 6};
            H5Sselect_hyperslab(fileSpace.get(), H5S_SELECT_SET, start, nullptr, size, nullptr);
            herr_t status;
            if (end - at == run.count) {
                const Id memory(H5Screate_simple(4, outDims, nullptr), H5Sclose);
                const hsize_t place[4] = {0, at, 0, 0};
                H5Sselect_hyperslab(memory.get(), H5S_SELECT_SET, place, nullptr, size, nullptr);
                status = H5Dread(d.id.get(), H5T_NATIVE_DOUBLE, memory.get(), fileSpace.get(), H5P_DEFAULT, out.data());
            } else {
                scratch.resize(count * run.count * rowValues);
                const Id memory(H5Screate_simple(4, size, nullptr), H5Sclose);
                status = H5Dread(d.id.get(), H5T_NATIVE_DOUBLE, memory.get(), fileSpace.get(), H5P_DEFAULT,
                                 scratch.data());
                for (std::size_t s = 0; s < count; ++s)
                    for (std::size_t r = at; r < end; ++r)
                        std::memcpy(&out[(s * rows.size() + r) * rowValues],
                                    &scratch[(s * run.count + (static_cast<std::size_t>(rows[r]) - run.first)) * rowValues],
                                    rowValues * sizeof(double));
            }
            if (status < 0)
                return error = Fault(d, " could not be read at steps " + std::to_string(first) + " to " +
                                            std::to_string(first + count - 1)),
                       false;
            at = end;
        }
        for (std::size_t i = 0; i < out.size(); ++i)
            if (!std::isfinite(out[i])) {
                const std::size_t row = (i / rowValues) % rows.size();
                return error = Fault(d, ", step " + std::to_string(first + i / (rowValues * rows.size())) + ": row " +
                                            std::to_string(rows[row]) + ", " + (slots == 2 ? "end " : "corner ") +
                                            std::to_string((i % rowValues) / 6) + " holds a value that is not a finite number"),
                       false;
            }
        return true;
    }
};

std::vector<RowRun> RowRuns(const std::vector<std::int32_t>& rows, std::size_t rowBytes) {
    std::vector<RowRun> runs;
    const std::size_t joinRows = std::max<std::size_t>(1, kJoinBytes / std::max<std::size_t>(rowBytes, 1));
    for (const std::int32_t r : rows) {
        const auto row = static_cast<std::size_t>(r);
        if (!runs.empty() && row < runs.back().first + runs.back().count + joinRows)
            runs.back().count = row + 1 - runs.back().first;
        else
            runs.push_back({row, 1});
    }
    return runs;
}

RecordFile::RecordFile() = default;
RecordFile::~RecordFile() {
    const Silenced quiet;
    h_.reset();
}

bool RecordFile::Open(const std::string& path, std::size_t shells, std::size_t corners, std::size_t frames,
                      std::string& error) {
    const Silenced quiet;
    h_ = std::make_unique<Handles>();
    Handles& h = *h_;
    h.path = path;
    h.corners = corners;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return error = path + ": the record file does not exist", false;
    if (std::filesystem::is_directory(path, ec)) return error = path + ": is a directory, not a record file", false;
    if (H5Fis_hdf5(path.c_str()) <= 0) return error = path + ": not an HDF5 file", false;
    h.file = Id(H5Fopen(path.c_str(), H5F_ACC_RDONLY, H5P_DEFAULT), H5Fclose);
    if (!h.file.ok()) return error = path + ": cannot open the record file", false;
    if (!h.OpenDataset(h.shells, "shells", {0, shells, corners, 6},
                       "the model's shells in its file's order, " + std::to_string(corners) +
                           " corners each, 6 values (Fx, Fy, Fz, Mx, My, Mz)",
                       error))
        return false;
    const hsize_t steps = h.shells.dims[0];
    if (!h.OpenDataset(h.time, "time", {steps}, "one time per step of /shells", error)) return false;
    if (H5Lexists(h.file.get(), "frames", H5P_DEFAULT) > 0 &&
        !h.OpenDataset(h.frames, "frames", {steps, frames, 2, 6},
                       "the model's frames in its file's order, ends A and B, 6 values", error))
        return false;
    return true;
}

std::size_t RecordFile::Steps() const { return h_ ? static_cast<std::size_t>(h_->shells.dims[0]) : 0; }
bool RecordFile::HasFrames() const { return h_ && h_->frames.id.ok(); }

std::size_t RecordFile::BlockSteps(std::size_t shellRows, std::size_t frameRows) const {
    // A compressed record is read in whole steps (see above).
    const std::size_t rows = h_->shells.filtered ? static_cast<std::size_t>(h_->shells.dims[1]) : shellRows;
    const std::size_t perStep = std::max<std::size_t>(1, (rows * h_->corners * 6 + frameRows * 12) * sizeof(double));
    std::size_t steps = std::max<std::size_t>(1, kBlockBytes / perStep);
    const std::size_t chunk = static_cast<std::size_t>(h_->shells.chunkSteps);
    if (chunk > 0 && steps >= chunk) steps -= steps % chunk;
    return std::min(steps, std::max<std::size_t>(Steps(), 1));
}

bool RecordFile::ReadShells(std::size_t first, std::size_t count, const std::vector<std::int32_t>& rows,
                            std::vector<double>& out, std::string& error) {
    const Silenced quiet;
    return h_->Read(h_->shells, first, count, rows, out, error);
}

bool RecordFile::ReadFrames(std::size_t first, std::size_t count, const std::vector<std::int32_t>& rows,
                            std::vector<double>& out, std::string& error) {
    const Silenced quiet;
    if (!HasFrames()) return out.assign(count * rows.size() * 12, 0.0), true;
    return h_->Read(h_->frames, first, count, rows, out, error);
}

bool RecordFile::ReadTimes(std::size_t first, std::size_t count, std::vector<double>& out, std::string& error) {
    const Silenced quiet;
    const Dataset& d = h_->time;
    out.resize(count);
    if (count == 0) return true;
    const Id fileSpace(H5Dget_space(d.id.get()), H5Sclose);
    const hsize_t start[1] = {first}, size[1] = {count};
    H5Sselect_hyperslab(fileSpace.get(), H5S_SELECT_SET, start, nullptr, size, nullptr);
    const Id memory(H5Screate_simple(1, size, nullptr), H5Sclose);
    if (H5Dread(d.id.get(), H5T_NATIVE_DOUBLE, memory.get(), fileSpace.get(), H5P_DEFAULT, out.data()) < 0)
        return error = h_->Fault(d, " could not be read"), false;
    for (std::size_t i = 0; i < count; ++i)
        if (!std::isfinite(out[i]))
            return error = h_->Fault(d, ", step " + std::to_string(first + i) + ": the time is not a finite number"), false;
    return true;
}

bool ApplyPlanToRecord(const SectionPlan& plan, const std::string& path, const RecordBlock& block,
                       const std::function<void(std::uint64_t done, std::uint64_t total)>& progress, std::string& error) {
    RecordFile record;
    if (!record.Open(path, plan.ShellRows(), plan.Corners(), plan.FrameRows(), error)) return false;
    const std::size_t steps = record.Steps(), sections = plan.Sections().size();
    const std::size_t blockSteps = record.BlockSteps(plan.Shells().size(), plan.Frames().size());
    std::vector<double> shells, frames, times, values;
    for (std::size_t first = 0; first < steps; first += blockSteps) {
        const std::size_t count = std::min(blockSteps, steps - first);
        if (!record.ReadShells(first, count, plan.Shells(), shells, error) ||
            !record.ReadFrames(first, count, plan.Frames(), frames, error) ||
            !record.ReadTimes(first, count, times, error))
            return false;
        values.resize(count * sections * 6);
        plan.ApplyRows(shells.data(), frames.data(), count, values.data());
        block(first, count, times.data(), values.data());
        if (progress) progress(first + count, steps);
    }
    return true;
}

}  // namespace xsect::io
