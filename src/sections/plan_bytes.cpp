// A plan as bytes and back, for sending it to other processes: plain little records in a fixed
// order behind a tag and a version, every count and index checked when read back.

#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

#include "sections/plan_data.h"
#include "xsect/plan.h"

namespace xsect {

namespace {

constexpr char kTag[8] = {'x', 's', 'e', 'c', 't', 'p', 'l', '1'};

class Bytes {
public:
    template <class T>
    void Put(const T& v) {
        static_assert(std::is_trivially_copyable<T>::value, "plain values only");
        text.append(reinterpret_cast<const char*>(&v), sizeof v);
    }
    template <class T>
    void PutList(const std::vector<T>& list) {
        Put(static_cast<std::uint64_t>(list.size()));
        for (const T& v : list) Put(v);
    }
    void Put(const CVertex& v) {
        Put(v.x);
        Put(v.y);
        Put(v.z);
    }
    std::string text;
};

class Reading {
public:
    explicit Reading(const std::string& bytes) : p_(bytes.data()), end_(bytes.data() + bytes.size()) {}
    template <class T>
    bool Get(T& v) {
        if (static_cast<std::size_t>(end_ - p_) < sizeof v) return false;
        std::memcpy(&v, p_, sizeof v);
        p_ += sizeof v;
        return true;
    }
    bool Get(CVertex& v) {
        double x, y, z;
        if (!Get(x) || !Get(y) || !Get(z)) return false;
        v = CVertex(x, y, z);
        return true;
    }
    // A list, refused when it claims more items than the bytes left could hold.
    template <class T>
    bool GetList(std::vector<T>& list, std::size_t itemBytes = sizeof(T)) {
        std::uint64_t n = 0;
        if (!Get(n) || n > static_cast<std::uint64_t>(end_ - p_) / itemBytes) return false;
        list.resize(static_cast<std::size_t>(n));
        for (T& v : list)
            if (!Get(v)) return false;
        return true;
    }
    bool AtEnd() const { return p_ == end_; }

private:
    const char* p_;
    const char* end_;
};

bool ascendingWithin(const std::vector<std::int32_t>& rows, std::size_t count) {
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i] < 0 || static_cast<std::size_t>(rows[i]) >= count || (i > 0 && rows[i] <= rows[i - 1]))
            return false;
    return true;
}

bool readSection(Reading& in, SectionResult& s, detail::Mat3& transfer, std::uint64_t& terms) {
    std::uint8_t endsInside = 0;
    if (!in.Get(s.status) || !in.Get(s.start) || !in.Get(s.end) || !in.Get(s.position) || !in.Get(s.centroid) ||
        !in.Get(s.coveredLength) || !in.Get(endsInside) || !in.GetList(s.covered) || !in.GetList(s.shells) ||
        !in.GetList(s.frames) || !in.Get(s.n) || !in.Get(s.t) || !in.Get(s.k) || !in.Get(transfer) || !in.Get(terms))
        return false;
    s.endsInside = endsInside != 0;
    s.values.clear();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    s.envelope.max = s.envelope.min = {nan, nan, nan, nan, nan, nan};
    s.envelope.maxRequest.fill(-1);
    s.envelope.minRequest.fill(-1);
    return true;
}

// The plan the bytes hold, or null when they are not one this build wrote.
std::shared_ptr<detail::PlanData> readPlan(const std::string& bytes) {
    Reading in(bytes);
    char tag[sizeof kTag];
    for (char& c : tag)
        if (!in.Get(c)) return nullptr;
    if (std::memcmp(tag, kTag, sizeof kTag) != 0) return nullptr;
    auto d = std::make_shared<detail::PlanData>();
    std::uint64_t shellRows = 0, frameRows = 0, corners = 0, sections = 0;
    if (!in.Get(shellRows) || !in.Get(frameRows) || !in.Get(corners) || !in.GetList(d->shells) ||
        !in.GetList(d->frames) || !in.Get(sections) || sections > bytes.size())
        return nullptr;
    d->shellRows = static_cast<std::size_t>(shellRows);
    d->frameRows = static_cast<std::size_t>(frameRows);
    d->corners = static_cast<std::size_t>(corners);
    if (!ascendingWithin(d->shells, d->shellRows) || !ascendingWithin(d->frames, d->frameRows)) return nullptr;
    d->sections.resize(static_cast<std::size_t>(sections));
    d->transfer.resize(d->sections.size());
    for (std::size_t i = 0; i < d->sections.size(); ++i) {
        std::uint64_t terms = 0;
        if (!readSection(in, d->sections[i], d->transfer[i], terms) || terms > bytes.size()) return nullptr;
        for (std::uint64_t k = 0; k < terms; ++k) {
            detail::PlanTerm t{};
            if (!in.Get(t.element) || !in.Get(t.slot) || !in.Get(t.frame) || !in.Get(t.arm)) return nullptr;
            const std::size_t elements = (t.frame ? d->frames : d->shells).size();
            const std::size_t slots = t.frame ? 2 : d->corners;
            if ((t.frame != 0 && t.frame != 1) || t.element < 0 || static_cast<std::size_t>(t.element) >= elements ||
                t.slot < 0 || static_cast<std::size_t>(t.slot) >= slots)
                return nullptr;
            d->terms.push_back(t);
        }
        d->termStart.push_back(d->terms.size());
    }
    return in.AtEnd() ? d : nullptr;
}

}  // namespace

std::string SectionPlan::Serialized() const try {
    const detail::PlanData& d = *data_;
    Bytes out;
    for (const char c : kTag) out.Put(c);
    out.Put(static_cast<std::uint64_t>(d.shellRows));
    out.Put(static_cast<std::uint64_t>(d.frameRows));
    out.Put(static_cast<std::uint64_t>(d.corners));
    out.PutList(d.shells);
    out.PutList(d.frames);
    out.Put(static_cast<std::uint64_t>(d.sections.size()));
    for (std::size_t i = 0; i < d.sections.size(); ++i) {
        const SectionResult& s = d.sections[i];
        out.Put(s.status);
        out.Put(s.start);
        out.Put(s.end);
        out.Put(s.position);
        out.Put(s.centroid);
        out.Put(s.coveredLength);
        out.Put(static_cast<std::uint8_t>(s.endsInside ? 1 : 0));
        out.PutList(s.covered);
        out.PutList(s.shells);
        out.PutList(s.frames);
        out.Put(s.n);
        out.Put(s.t);
        out.Put(s.k);
        out.Put(d.transfer[i]);
        out.Put(static_cast<std::uint64_t>(d.termStart[i + 1] - d.termStart[i]));
        // Field by field: the record's padding would carry whatever the memory held.
        for (std::size_t k = d.termStart[i]; k < d.termStart[i + 1]; ++k) {
            out.Put(d.terms[k].element);
            out.Put(d.terms[k].slot);
            out.Put(d.terms[k].frame);
            out.Put(d.terms[k].arm);
        }
    }
    return std::move(out.text);
} catch (...) {
    return {};
}

SectionPlan SectionPlan::Deserialized(const std::string& bytes) try {
    if (auto d = readPlan(bytes)) return SectionPlan(std::move(d));
    return SectionPlan(detail::RefusedPlan("These bytes are not a plan serialized by this build of xsect."));
} catch (...) {
    return SectionPlan(detail::RefusedPlan("Out of memory."));
}

}  // namespace xsect
