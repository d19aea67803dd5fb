#pragma once

// The calculators' shared model of the host's surface: nodes in plane coordinates in one flat array,
// shells and frames as flat arrays of corner indices, the plane frame and tolerance, the element
// results in contiguous blocks already rotated into plane axes, and the spatial index over it all.
// Built once by the force calculator's constructor and never changed afterwards, so copies of the
// calculator, the stress calculator and section cutters share it, from any number of threads.

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "core/arithmetic.h"
#include "core/large_array.h"
#include "core/plane_frame.h"
#include "core/prefetch.h"
#include "core/spatial_index.h"
#include "xsect/forces/status.h"
#include "xsect/model/frame_element.h"
#include "xsect/model/load_case_info.h"
#include "xsect/model/shell_element.h"
#include "xsect/model/vertex.h"

namespace xsect::detail {

constexpr std::int32_t kMissing = -1;  // a node number the model does not hold

// One element's results for one load case: `width` records per slot (one per mode of a spectrum
// case, one for a static case), slot-major, each record six doubles in plane axes (forces, then
// moments) at `offset` records into ResultStore::values.
struct ResultBlock {
    std::int32_t caseIndex = 0;
    std::int32_t width = 0;
    // The highest mode the host filed for the case on this element, modes past the case's mode
    // count included; the mode loop of a cut stops at the highest among the crossed elements.
    std::int32_t highestMode = 0;
    std::size_t offset = 0;
};

class ResultStore {
public:
    // The element's block for a load case, or null.
    const ResultBlock* Find(std::size_t element, std::int32_t caseIndex) const {
        return FindAt(PlaceOf(element), caseIndex);
    }
    // The same by the element's place: where its blocks lie among the others.
    const ResultBlock* FindAt(std::size_t place, std::int32_t caseIndex) const;
    std::size_t PlaceOf(std::size_t element) const {
        return placeOf_.empty() ? element : static_cast<std::size_t>(placeOf_[element]);
    }
    // Asks the memory for one step of the way FindAt goes, for a search that looks up many elements:
    // step 0 where the element's blocks start, 1 its block for the case (which reads what step 0
    // asked for, so a search takes each step for all its elements before the next).
    void PrefetchAt(std::size_t place, std::int32_t caseIndex, int step) const {
        if (place + 1 >= elementStart_.size() || regular_) return;
        if (step == 0) {
            if (blocksEach_ == 0) PrefetchLine(&elementStart_[place]);
        } else if (FirstBlock(place) + static_cast<std::size_t>(caseIndex) < blocks_.size()) {
            PrefetchLine(&blocks_[FirstBlock(place) + static_cast<std::size_t>(caseIndex)]);
        }
    }
    // The blocks of one load case, for looking up many elements' in turn: each as FindAt gives it, as
    // a copy. When every element's blocks are laid out alike, element 0's is found once and the
    // others are worked out from it without reading their own.
    class CaseBlocks {
    public:
        CaseBlocks(const ResultStore& store, std::int32_t caseIndex)
            : store_(&store), caseIndex_(caseIndex), pattern_(store.regular_ ? store.FindAt(0, caseIndex) : nullptr) {
            if (pattern_ == nullptr) return;
            const ResultBlock* next = pattern_ + 1;
            const std::size_t end = next < store.blocks_.data() + store.FirstBlock(1) ? next->offset : store.recordsEach_;
            bytes_ = 6 * sizeof(double) * (end - pattern_->offset);
        }
        std::optional<ResultBlock> At(std::size_t place) const {
            if (store_->regular_ && place + 1 < store_->elementStart_.size()) {
                if (pattern_ == nullptr) return std::nullopt;
                ResultBlock block = *pattern_;
                block.offset += place * store_->recordsEach_;
                return block;
            }
            const ResultBlock* block = store_->FindAt(place, caseIndex_);
            return block != nullptr ? std::optional<ResultBlock>(*block) : std::nullopt;
        }

        // Asks the memory for the element's block (its first four cache lines), where it can be
        // found without reading anything: for a search that has yet to test the element.
        void Prefetch(std::size_t place) const {
            if (pattern_ == nullptr || bytes_ == 0 || place + 1 >= store_->elementStart_.size()) return;
            const auto first = reinterpret_cast<std::uintptr_t>(
                &store_->values_[6 * (pattern_->offset + place * store_->recordsEach_)]);
            const std::uintptr_t last = first + bytes_ - 1;
            std::uintptr_t line = first & ~std::uintptr_t{63};
            for (int n = 0; n < 4 && line <= last; ++n, line += 64) PrefetchLine(reinterpret_cast<const void*>(line));
        }

    private:
        const ResultStore* store_;
        std::int32_t caseIndex_;
        const ResultBlock* pattern_;  // element 0's block, when it stands for every element's
        std::size_t bytes_ = 0;       // the length of each element's block
    };
    // Record (slot, mode) of a block, mode counted from 1; null when the host filed nothing there.
    const double* Record(const ResultBlock& block, std::size_t slot, std::int32_t mode) const {
        if (mode < 1 || mode > block.width) return nullptr;
        const std::size_t r = block.offset + slot * static_cast<std::size_t>(block.width) +
                              static_cast<std::size_t>(mode - 1);
        return allPresent_ || present_[r] ? &values_[6 * r] : nullptr;
    }

    std::size_t Bytes() const;
    // Every element's blocks laid out alike (or no element at all): CaseBlocks then finds each
    // without a read.
    bool Regular() const { return regular_ || elementStart_.empty(); }

    // Building, element by element in place order, after reserving the exact sizes. The places are
    // the element indices unless PlaceElements gave others (placeOf: element index -> place).
    void PlaceElements(std::vector<std::int32_t> placeOf) { placeOf_ = std::move(placeOf); }
    void Reserve(std::size_t elements, std::size_t blocks, std::size_t records);
    void BeginElement();
    // A block of slots x width records, all absent until filled.
    ResultBlock& AddBlock(std::int32_t caseIndex, std::int32_t width, std::int32_t highestMode, std::size_t slots);
    void Fill(const ResultBlock& block, std::size_t slot, std::int32_t mode, const Vec3& force, const Vec3& moment);
    void Finish();

private:
    std::size_t FirstBlock(std::size_t place) const {
        return blocksEach_ != 0 ? place * blocksEach_ : elementStart_[place];
    }

    std::vector<std::int32_t> placeOf_;      // element index -> place; empty when they are the same
    LargeVector<std::size_t> elementStart_;  // into blocks_, one entry per place and a closing one
    LargeVector<ResultBlock> blocks_;
    LargeVector<double> values_;
    LargeVector<unsigned char> present_;
    // Most hosts give every element a block for every case and fill every record: then where an
    // element's blocks start, and whether a record is there, need no look-up.
    std::size_t blocksEach_ = 0;  // blocks per element when all have as many, else 0
    bool allPresent_ = false;
    // Every element's blocks are element 0's (the same cases, widths and slots), each `recordsEach_`
    // records after the element before.
    bool regular_ = false;
    std::size_t recordsEach_ = 0;
};

// The host's elements as flat arrays, with their results in contiguous blocks: what the plane model
// and the assembly's model share. Nodes in ascending number (the plane model's in plane coordinates,
// the assembly's as given); frames in ascending number with their two end nodes (kMissing when
// unknown). Shells are in ascending number too: shell i is the i-th everywhere (searches, sums,
// sections), but its data (corners, result blocks, its box in the index) lies at its place. A host's
// numbering follows the mesh one way only, so a cut across it would read a page per shell; placed
// along a curve through the plane, the shells a cut crosses lie close in memory whichever way it
// runs. (The plane model places them in the order its index keeps them, cell by cell along a curve
// through the plane; the assembly's model leaves each at its index.) The corners of the shell at
// place p are corners[cornerStart[p] .. cornerStart[p+1]), node indices in the shell's own order
// (kMissing for a node the model lacks).
struct ElementArrays {
    double tolerance = 0.0;

    std::vector<std::int32_t> nodeIds;
    LargeVector<Point> vertices;
    std::vector<double> nodeTolerances;  // each node's own, as the host gave it

    std::vector<std::int32_t> shellIds;
    std::vector<std::int32_t> shellAtPlace;  // place -> shell index; empty while the places are the indices
    LargeVector<std::size_t> cornerStart{0};
    LargeVector<std::int32_t> corners;
    std::size_t cornersEach = 0;  // every shell's corner count when all have as many, else 0
    std::vector<unsigned char> shellUsable;  // every corner known: a shell with a gap is left out of every search

    std::vector<std::int32_t> frameIds;
    std::vector<std::array<std::int32_t, 2>> frameEnds;

    // Load cases in ascending number, as the host described them (their arrays stay the host's).
    std::vector<std::int32_t> caseIds;
    std::vector<CLoadCaseInfo> cases;

    // Results per shell (slots: the shell's corners) and per frame (slots: end A, end B).
    ResultStore shellResults;
    ResultStore frameResults;

    // Node i as the host's vertex type (its coordinates here, its own tolerance), for the few steps
    // that take one.
    CVertex VertexAt(std::size_t i) const {
        return CVertex(vertices[i].x, vertices[i].y, vertices[i].z, nodeTolerances[i]);
    }

    std::size_t ShellCount() const { return shellIds.size(); }
    std::size_t FrameCount() const { return frameIds.size(); }
    std::size_t CornerCount(std::size_t shell) const { return CornerCountAt(PlaceOf(shell)); }
    const std::int32_t* CornersOf(std::size_t shell) const { return CornersAt(PlaceOf(shell)); }
    std::size_t PlaceOf(std::size_t shell) const { return shellResults.PlaceOf(shell); }
    std::size_t ShellAt(std::size_t place) const {
        return shellAtPlace.empty() ? place : static_cast<std::size_t>(shellAtPlace[place]);
    }
    std::size_t CornerCountAt(std::size_t place) const {
        return cornersEach != 0 ? cornersEach : cornerStart[place + 1] - cornerStart[place];
    }
    const std::int32_t* CornersAt(std::size_t place) const {
        return corners.data() + (cornersEach != 0 ? place * cornersEach : cornerStart[place]);
    }
    // Moves each shell's corners to its place (atPlace: place -> shell index), before any result is
    // filed: the results are filed at the same places.
    void PlaceShells(std::vector<std::int32_t> atPlace);
    // Notes whether every shell has as many corners, after the corner lists change.
    void NoteCornerCounts();
    bool FrameUsable(std::size_t frame) const { return frameEnds[frame][0] != kMissing && frameEnds[frame][1] != kMissing; }

    // Index of a node, shell or load case number, or kMissing.
    std::int32_t NodeIndex(std::int32_t node) const;
    std::int32_t ShellIndex(std::int32_t shell) const;
    std::int32_t CaseIndex(std::int32_t loadCase) const;

    // Heap bytes held by the element results, and by all the arrays.
    std::size_t ResultBytes() const { return shellResults.Bytes() + frameResults.Bytes(); }
    std::size_t ArrayBytes() const;
};

// Copies what the calculators read of the host's maps into the arrays; no results yet.
void CopyElements(const std::map<std::int32_t, CVertex>& nodes, const std::map<std::int32_t, CShellElement>& shells,
                  const std::map<std::int32_t, CFrameElement>& frames,
                  const std::map<std::int32_t, CLoadCaseInfo>& loadCases, ElementArrays& m);

// Files the host's results of the static and response-spectrum cases into the stores, each force
// and moment turned by `rotation` (rows: the model's axes in global coordinates) or, without one,
// as given.
void FileResults(const std::map<std::int32_t, CShellElement>& shells, const std::map<std::int32_t, CFrameElement>& frames,
                 const Mat3* rotation, ElementArrays& m);

struct PlaneModel : ElementArrays {
    // The plane: its set-up outcome, the three nodes it was framed from (the first the origin; zeros
    // when the set-up found none) and, as far as the set-up got, its frame. The nodes are in plane
    // coordinates once the plane is framed, even when the set-up then refuses it, so that each
    // node's z' tells how far off the plane it lies; the results are in plane axes.
    CROSS_SECTION_MESSAGES planeStatus = CS_SUCCESS;
    std::array<std::int32_t, 3> planeNodes{0, 0, 0};
    bool framed = false;
    PlaneFrame frame;
    std::int32_t originNodeNo = -1;

    SpatialIndex index;

    // Heap bytes held by the whole model with its index.
    std::size_t Bytes() const;
};

// Builds the model from the host's maps: copies what the calculators read, sets up the plane (from
// the three named nodes when all are positive, else from the model), converts the nodes and, when
// that succeeds, files the results in plane axes and builds the index.
std::shared_ptr<const PlaneModel> BuildPlaneModel(const std::map<std::int32_t, CVertex>& nodes,
                                                  const std::map<std::int32_t, CShellElement>& shells,
                                                  const std::map<std::int32_t, CFrameElement>& frames,
                                                  const std::map<std::int32_t, CLoadCaseInfo>& loadCases,
                                                  double tolerance, std::int32_t planeNode1, std::int32_t planeNode2,
                                                  std::int32_t planeNode3);

}  // namespace xsect::detail
