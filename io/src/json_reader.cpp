// The JSON model, the manifest and the combinations file. simdjson indexes the whole text at once
// and its On-Demand API then reads it in the order it stands; each part is checked as it is read,
// so every message names the JSON path of the fault and its line and column. A section that needs
// another one first (shells need the nodes and load cases) and stands before it is only checked
// for syntax where it stands, and read on a second pass once the rest is in.

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>

#include <simdjson.h>

#include "csv_reader.h"
#include "json_syntax.h"
#include "model_builder.h"
#include "printable.h"
#include "xsect/io/model_file.h"

namespace xsect::io {

namespace {

namespace od = simdjson::ondemand;

// Deeper nesting than any model needs; a section read later is walked to this depth at most.
constexpr std::size_t kMaxDepth = 256;

// A JSON path, built only when a message needs it.
struct Path {
    const Path* parent = nullptr;
    std::string_view key;
    std::size_t index = 0;
    bool isIndex = false;

    Path operator[](std::size_t i) const { return Path{this, {}, i, true}; }
    Path operator/(std::string_view k) const { return Path{this, k, 0, false}; }

    // What must follow the value at this path.
    JsonAfter After() const { return isIndex ? JsonAfter::Element : parent ? JsonAfter::Member : JsonAfter::TopLevel; }

    std::string Text() const {
        std::string head = parent ? parent->Text() : std::string();
        if (isIndex) return head + "[" + std::to_string(index) + "]";
        if (key.empty()) return head;
        bool plain = true;
        for (char ch : key) plain = plain && (std::isalnum(static_cast<unsigned char>(ch)) || ch == '_');
        if (!plain || std::isdigit(static_cast<unsigned char>(key.front())))
            return head + "[\"" + std::string(key) + "\"]";
        return head.empty() ? std::string(key) : head + "." + std::string(key);
    }
};

const Path kRoot{};

enum class Mode { Unknown, Model, Manifest };

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsStructural(char c) { return c != '\0' && std::strchr(",:[]{}", c); }

// The keys an object has shown so far, as bits of their index in the reader's list, and where the
// object starts.
struct Seen {
    std::size_t at = 0;
    unsigned keys = 0;
    bool Has(int key) const { return (keys >> key) & 1u; }
};

struct StagedResult {
    std::int32_t node = 0, loadCase = 0, mode = 0;
    bool endB = false;
    std::array<double, 6> f{};
    std::size_t index = 0, at = 0;
};

struct StagedStress {
    std::int32_t node = 0, loadCase = 0;
    NodeStress stress;
    std::size_t index = 0, at = 0;
};

// A file's text, padded as simdjson wants it.
struct FileText {
    simdjson::padded_string buffer;
    std::size_t size = 0;
    simdjson::padded_string_view View() const {
        return simdjson::padded_string_view(buffer.data(), size, buffer.size() + simdjson::SIMDJSON_PADDING);
    }
};

class Reader {
public:
    Reader(std::string source, Model& model, ReadProgress progress)
        : source_(std::move(source)), model_(model), b_(model), progress_(std::move(progress)) {}

    bool ReadModel(simdjson::padded_string_view text, const std::string& baseDir) {
        baseDir_ = baseDir;
        return Index(text) && ReadDocument(baseDir);
    }
    bool ReadCombinations(simdjson::padded_string_view text) { return Index(text) && ReadCombinationsDocument(); }
    const std::string& Error() const { return error_; }

private:
    bool Index(simdjson::padded_string_view text);
    bool ReadDocument(const std::string& baseDir);
    bool ReadCombinationsDocument();

    std::size_t Offset(const char* p) const { return static_cast<std::size_t>(p - base_); }
    std::size_t Offset(od::value& v) { return Offset(v.raw_json_token().data()); }
    // The place of the token simdjson is at, or the end of the text it reads.
    std::size_t Here() {
        const char* p = nullptr;
        return doc_.current_location().get(p) ? size_ : Offset(p);
    }
    JsonKind KindOf(od::value& v) { return JsonKindAt(whole_, Offset(v)); }

    bool Fail(const Path& p, std::size_t at, const std::string& what) {
        const std::string place = p.Text();
        error_ = Printable(source_ + ":" + JsonLineColumn(whole_, at) + ": " +
                           (place.empty() ? std::string("top level") : place) + ": " + what);
        return false;
    }
    bool Syntax(const Path& p, const JsonFault& fault) { return Fail(p, fault.at, "syntax error: " + fault.what); }
    bool Relay(const Path& p, std::size_t at) { return Fail(p, at, b_.Error()); }
    // Why the value at `at` could not be read as `want`: another kind of value, or no value at all.
    bool Refused(const Path& p, std::size_t at, JsonKind want, const char* wantText);
    bool Refused(const Path& p, od::value& v, JsonKind want, const char* wantText) {
        return Refused(p, Offset(v), want, wantText);
    }
    // Why simdjson refused the number at p: false with the fault, or true with the value of the
    // number alone when only what is stuck to its end is wrong (see stuck_).
    bool NumberFault(const Path& p, od::value& v, bool integer, double& value);
    // The fault that a value left in stuck_, told once the member or element it ends is done with.
    bool Unstick() {
        if (stuck_.empty()) return true;
        error_ = std::move(stuck_);
        stuck_.clear();
        return false;
    }
    bool MemberFault(const Path& p) { return Syntax(p, JsonMemberFault(whole_, Here())); }
    bool ElementFault(const Path& p) { return Syntax(p, JsonAfterFault(whole_, Here(), JsonAfter::Element)); }
    bool KeyFault(const Path& p, std::size_t at) { return Syntax(p, JsonValueFault(whole_, at, JsonAfter::Member)); }
    bool Unknown(const Path& p, std::size_t at, std::string_view key) {
        return Fail(p, at, "unknown key \"" + std::string(key) + "\"");
    }

    bool Number(od::value& v, const Path& p, double& out);
    bool Int32(od::value& v, const Path& p, std::int32_t& out);
    bool String(od::value& v, const Path& p, std::string& out);
    bool Bool(od::value& v, const Path& p, bool& out);
    bool Numbers(od::value& v, const Path& p, std::initializer_list<std::size_t> lengths, std::vector<double>& out);
    bool Int32s(od::value& v, const Path& p, std::vector<std::int32_t>& out);
    // A field that takes a name or its number; an unknown name lists the known ones.
    bool NameOrNumber(od::value& v, const Path& p, bool (*fromName)(const std::string&, std::int32_t&),
                      const char* what, const char* known, std::int32_t& out);
    // Calls element(value, path) for each element of the array v at p.
    template <class Element>
    bool Elements(od::value& v, const Path& p, Element&& element);
    // Calls member(k, value) for each member of the object v at p whose key is keys[k]; an unknown
    // or repeated key is a fault. keyAt_ is the current member's key while member runs.
    template <std::size_t N, class Member>
    bool Members(od::value& v, const Path& p, const std::string_view (&keys)[N], Seen& seen, Member&& member);
    // A section read later: checked here for every fault of syntax that reading it would meet.
    bool CheckSyntax(od::value& v, const Path& p, std::size_t depth);
    // Reads again the member of the top-level object that stands index-th, on a second pass.
    bool Reread(std::size_t index, const Path& p, bool (Reader::*read)(od::value&, const Path&));

    bool ReadLoadCases(od::value& v, const Path& p);
    bool ReadLoadCase(od::value& v, const Path& p);
    bool ReadCombinationList(od::value& v, const Path& p);
    bool ReadCombination(od::value& v, const Path& p);
    bool ReadGroupList(od::value& v, const Path& p);
    bool ReadGroup(od::value& v, const Path& p);
    bool ReadUnits(od::value& v, const Path& p);
    bool ReadNodes(od::value& v, const Path& p);
    bool ReadShells(od::value& v, const Path& p);
    bool ReadShell(od::value& v, const Path& p);
    bool ReadResult(od::value& v, const Path& p, bool frame, StagedResult& r);
    bool ReadStress(od::value& v, const Path& p, StagedStress& s);
    bool ReadFrames(od::value& v, const Path& p);
    bool ReadFrame(od::value& v, const Path& p);
    bool ReadFileList(od::value& v, const Path& p, std::vector<std::string>& out);
    void Report(od::value& v) {
        // Reading the file was the first half.
        if (progress_) progress_((whole_.size() + Offset(v)) / 2, whole_.size());
    }

    std::string source_;
    std::string baseDir_;  // where a file the model names is looked for
    Model& model_;
    ModelBuilder b_;
    ReadProgress progress_;
    std::string error_;

    std::string_view whole_;  // the text, for messages
    simdjson::padded_string cut_;  // its part before a place simdjson cannot index
    const char* base_ = nullptr;   // what simdjson reads: the text or its cut
    std::size_t size_ = 0;
    od::parser parser_;
    od::document doc_;
    std::size_t keyAt_ = 0;
    // A reader going token by token takes "0001" as 0 and finds the rest only on its way to the
    // next member or element, after any check of the value itself: such a number reads as its
    // good part, and the fault waits here until the member or element is done with.
    std::string stuck_;
    std::size_t shellsAt_ = 0;
    // Scratch kept between elements so that the hot loops do not allocate.
    std::vector<double> numbers_;
    std::vector<std::int32_t> ids_;
    std::vector<StagedResult> results_;
    std::vector<StagedStress> stresses_;
};

bool Reader::Index(simdjson::padded_string_view text) {
    whole_ = text;
    base_ = text.data();
    size_ = text.size();
    simdjson::error_code error = parser_.iterate(text).get(doc_);
    if (error && error != simdjson::EMPTY) {
        const std::optional<std::size_t> cut = FirstUnindexable(whole_);
        if (!cut) return Fail(kRoot, 0, std::string("simdjson cannot read the text: ") + simdjson::error_message(error));
        cut_ = simdjson::padded_string(whole_.substr(0, *cut));
        base_ = cut_.data();
        size_ = cut_.size();
        error = parser_.iterate(cut_).get(doc_);
    }
    if (error == simdjson::EMPTY) {
        std::size_t at = 0;
        while (at < size_ && IsSpace(base_[at])) ++at;
        return Refused(kRoot, at, JsonKind::Object, "an object");
    }
    if (error) return Fail(kRoot, 0, std::string("simdjson cannot read the text: ") + simdjson::error_message(error));
    return true;
}

bool Reader::Refused(const Path& p, std::size_t at, JsonKind want, const char* wantText) {
    const JsonKind kind = JsonKindAt(whole_, at);
    if (kind == want || kind == JsonKind::End || kind == JsonKind::Invalid)
        return Syntax(p, JsonValueFault(whole_, at, p.After()));
    return Fail(p, at, std::string("expected ") + wantText + ", found " + JsonKindName(kind));
}

// simdjson refuses a number for any of these, checked in the order a person reads the token: not
// a number at all, a break in the grammar, a value beyond the type, or something stuck to its end.
bool Reader::NumberFault(const Path& p, od::value& v, bool integer, double& value) {
    const std::size_t at = Offset(v);
    const JsonKind kind = JsonKindAt(whole_, at);
    if (kind != JsonKind::Number) return Refused(p, at, JsonKind::Number, integer ? "an integer" : "a number");
    const JsonNumberToken t = ScanJsonNumber(whole_, at);
    if (t.fault) return Syntax(p, {t.end, std::string(t.fault) + ", found " + JsonFoundAt(whole_, t.end)});
    const char* first = whole_.data() + at;
    const char* last = whole_.data() + t.end;
    if (integer) {
        std::int64_t i = 0;
        const auto r = std::from_chars(first, last, i);
        if (!t.integer) return Fail(p, at, "expected an integer, found a number");
        if (r.ec != std::errc() || i < std::numeric_limits<std::int32_t>::min() ||
            i > std::numeric_limits<std::int32_t>::max())
            return Fail(p, at, "the integer does not fit in 32 bits");
        value = static_cast<double>(i);
    } else {
        // from_chars leaves the value alone out of range; strtod tells an infinity from a tiny value.
        if (std::from_chars(first, last, value).ec == std::errc::result_out_of_range)
            value = std::strtod(std::string(first, last).c_str(), nullptr);
        if (!std::isfinite(value)) return Fail(p, at, "the number is not finite");
    }
    Syntax(p, JsonAfterFault(whole_, t.end, p.After()));
    stuck_ = std::move(error_);
    error_.clear();
    return true;
}

bool Reader::Number(od::value& v, const Path& p, double& out) {
    // simdjson refuses a number beyond the doubles rather than give an infinity.
    if (!v.get_double().get(out)) return true;
    return NumberFault(p, v, false, out);
}

bool Reader::Int32(od::value& v, const Path& p, std::int32_t& out) {
    std::int64_t i = 0;
    if (v.get_int64().get(i)) {
        double value = 0.0;
        if (!NumberFault(p, v, true, value)) return false;
        out = static_cast<std::int32_t>(value);
        return true;
    }
    if (i < std::numeric_limits<std::int32_t>::min() || i > std::numeric_limits<std::int32_t>::max())
        return Fail(p, Offset(v), "the integer does not fit in 32 bits");
    out = static_cast<std::int32_t>(i);
    return true;
}

bool Reader::String(od::value& v, const Path& p, std::string& out) {
    std::string_view s;
    if (v.get_string().get(s)) return Refused(p, v, JsonKind::String, "a string");
    out.assign(s);
    return true;
}

bool Reader::Bool(od::value& v, const Path& p, bool& out) {
    if (v.get_bool().get(out)) return Refused(p, v, JsonKind::Bool, "true or false");
    return true;
}

template <class Element>
bool Reader::Elements(od::value& v, const Path& p, Element&& element) {
    od::array array;
    if (v.get_array().get(array)) return Refused(p, v, JsonKind::Array, "an array");
    std::size_t i = 0;
    for (auto item : array) {
        od::value e;
        if (std::move(item).get(e)) return ElementFault(p);
        if (!element(e, p[i++]) || !Unstick()) return false;
    }
    return true;
}

template <std::size_t N, class Member>
bool Reader::Members(od::value& v, const Path& p, const std::string_view (&keys)[N], Seen& seen, Member&& member) {
    static_assert(N <= 32, "one bit a key");
    seen = Seen{Offset(v), 0};
    od::object object;
    if (v.get_object().get(object)) return Refused(p, v, JsonKind::Object, "an object");
    for (auto item : object) {
        od::field field;
        if (std::move(item).get(field)) return MemberFault(p);
        const od::raw_json_string raw = field.key();
        const std::size_t keyAt = Offset(raw.raw()) - 1;
        int k = 0;
        while (k < static_cast<int>(N) && !raw.unsafe_is_equal(keys[k])) ++k;
        if (k == static_cast<int>(N)) {
            // A key with escapes matches once they are undone.
            std::string_view key;
            if (field.unescaped_key().get(key)) return KeyFault(p, keyAt);
            k = 0;
            while (k < static_cast<int>(N) && key != keys[k]) ++k;
            if (k == static_cast<int>(N)) return Unknown(p, keyAt, key);
        }
        if (seen.Has(k)) return Fail(p, keyAt, "duplicate key \"" + std::string(keys[k]) + "\"");
        seen.keys |= 1u << k;
        keyAt_ = keyAt;
        if (!member(k, field.value()) || !Unstick()) return false;
    }
    return true;
}

bool Reader::Numbers(od::value& v, const Path& p, std::initializer_list<std::size_t> lengths,
                     std::vector<double>& out) {
    out.clear();
    const bool ok = Elements(v, p, [&](od::value& e, const Path& ep) {
        double d = 0.0;
        if (!Number(e, ep, d)) return false;
        out.push_back(d);
        return true;
    });
    if (!ok) return false;
    bool fits = lengths.size() == 0;
    for (std::size_t n : lengths) fits = fits || out.size() == n;
    if (fits) return true;
    std::string want;
    for (std::size_t n : lengths) want += (want.empty() ? "" : " or ") + std::to_string(n);
    return Fail(p, Offset(v), "expected " + want + " numbers, found " + std::to_string(out.size()));
}

bool Reader::Int32s(od::value& v, const Path& p, std::vector<std::int32_t>& out) {
    out.clear();
    return Elements(v, p, [&](od::value& e, const Path& ep) {
        std::int32_t i = 0;
        if (!Int32(e, ep, i)) return false;
        out.push_back(i);
        return true;
    });
}

bool Reader::NameOrNumber(od::value& v, const Path& p, bool (*fromName)(const std::string&, std::int32_t&),
                          const char* what, const char* known, std::int32_t& out) {
    if (KindOf(v) != JsonKind::String) return Int32(v, p, out);
    const std::size_t at = Offset(v);
    std::string name;
    if (!String(v, p, name)) return false;
    if (fromName(name, out)) return true;
    return Fail(p, at, std::string("unknown ") + what + " \"" + name + "\" (" + known + ")");
}

bool Reader::CheckSyntax(od::value& v, const Path& p, std::size_t depth) {
    const std::size_t at = Offset(v);
    const JsonKind kind = JsonKindAt(whole_, at);
    if ((kind == JsonKind::Object || kind == JsonKind::Array) && depth >= kMaxDepth)
        return Syntax(p, {at, "values nested deeper than " + std::to_string(kMaxDepth)});
    switch (kind) {
        case JsonKind::Object: {
            od::object object;
            if (v.get_object().get(object)) return Refused(p, at, kind, "an object");
            for (auto item : object) {
                od::field field;
                if (std::move(item).get(field)) return MemberFault(p);
                const std::size_t keyAt = Offset(field.key().raw()) - 1;
                std::string_view key;
                if (field.unescaped_key().get(key)) return KeyFault(p, keyAt);
                if (!CheckSyntax(field.value(), p / key, depth + 1)) return false;
            }
            return true;
        }
        case JsonKind::Array:
            return Elements(v, p, [&](od::value& e, const Path& ep) { return CheckSyntax(e, ep, depth + 1); });
        case JsonKind::String: {
            std::string_view s;
            return !v.get_string().get(s) || Refused(p, at, kind, "a string");
        }
        case JsonKind::Number: {
            double d = 0.0;
            if (!v.get_double().get(d)) return true;
            // Beyond the doubles is not a fault of syntax; what stands after the number may be.
            const JsonNumberToken t = ScanJsonNumber(whole_, at);
            if (!t.fault && t.end < whole_.size() && (IsSpace(whole_[t.end]) || IsStructural(whole_[t.end]))) return true;
            return Refused(p, at, kind, "a number");
        }
        case JsonKind::Bool: {
            bool b = false;
            return !v.get_bool().get(b) || Refused(p, at, kind, "true or false");
        }
        case JsonKind::Null: {
            bool null = false;
            return (!v.is_null().get(null) && null) || Refused(p, at, kind, "null");
        }
        case JsonKind::End:
        case JsonKind::Invalid: break;
    }
    return Syntax(p, JsonValueFault(whole_, at, p.After()));
}

bool Reader::Reread(std::size_t index, const Path& p, bool (Reader::*read)(od::value&, const Path&)) {
    doc_.rewind();
    od::value root;
    od::object object;
    if (doc_.get_value().get(root) || root.get_object().get(object)) return Refused(kRoot, 0, JsonKind::Object, "an object");
    std::size_t i = 0;
    for (auto item : object) {
        od::field field;
        if (std::move(item).get(field)) return MemberFault(kRoot);
        if (i++ == index) return (this->*read)(field.value(), p);
    }
    return MemberFault(kRoot);
}

bool Reader::ReadLoadCases(od::value& v, const Path& p) {
    return Elements(v, p, [&](od::value& e, const Path& ep) { return ReadLoadCase(e, ep); });
}

bool Reader::ReadLoadCase(od::value& v, const Path& p) {
    static constexpr std::string_view kKeys[] = {"id", "name", "type", "combination", "sign_method", "modes",
                                                 "apply_sign", "sign_mode", "combine_residual", "frequencies",
                                                 "coefficients", "file"};
    std::int32_t id = 0;
    LoadCase lc;
    bool timeHistory = false;
    CLoadCaseInfo& info = lc.info;
    // Rows of the coefficients, 0 for a number of a flat list, with where each starts: they are
    // checked against their count at the end.
    std::vector<std::pair<std::size_t, std::size_t>> rows;
    Seen seen;
    const bool ok = Members(v, p, kKeys, seen, [&](int key, od::value& f) {
        const Path fp = p / kKeys[key];
        switch (key) {
            case 0: return Int32(f, fp, id);
            case 1: return String(f, fp, lc.name);
            case 2: {
                // A time history is no type of the library's: the calculators leave it alone and
                // its record is read by a plan.
                if (KindOf(f) != JsonKind::String) return Int32(f, fp, info.caseType);
                const std::size_t at = Offset(f);
                std::string name;
                if (!String(f, fp, name)) return false;
                if (name == "time_history") return timeHistory = true, info.caseType = LOAD_CASE_UNSUPPORTED, true;
                return LoadCaseTypeFromName(name, info.caseType) ||
                       Fail(fp, at, "unknown load case type \"" + name +
                                        "\" (static, response_spectrum, time_history, unsupported)");
            }
            case 3:
                return NameOrNumber(f, fp, CombinationRuleFromName, "combination", "sum, srss, abs, cqc, close_modes",
                                    info.combinationMethod);
            case 4: return NameOrNumber(f, fp, SignMethodFromName, "sign method", "sum, mode", info.signMethod);
            case 5: return Int32(f, fp, info.modeCount);
            case 6: return Bool(f, fp, info.applySign);
            case 7: return Int32(f, fp, info.signMode);
            case 8: return Bool(f, fp, info.combineResidual);
            case 9: return Numbers(f, fp, {}, lc.frequencies);
            case 11: {
                const std::size_t at = Offset(f);
                if (!String(f, fp, lc.record)) return false;
                return !lc.record.empty() || Fail(fp, at, "the record's file name is empty");
            }
            default:
                // Flat row by row, or an array of rows.
                return Elements(f, fp, [&](od::value& e, const Path& ep) {
                    const std::size_t at = Offset(e);
                    if (KindOf(e) == JsonKind::Array) {
                        if (!Numbers(e, ep, {}, numbers_)) return false;
                        rows.emplace_back(numbers_.size(), at);
                        lc.coefficients.insert(lc.coefficients.end(), numbers_.begin(), numbers_.end());
                        return true;
                    }
                    double d = 0.0;
                    if (!Number(e, ep, d)) return false;
                    rows.emplace_back(0, at);
                    lc.coefficients.push_back(d);
                    return true;
                });
        }
    });
    if (!ok) return false;
    if (!seen.Has(0)) return Fail(p, seen.at, "missing \"id\"");
    if (timeHistory && lc.record.empty()) return Fail(p, seen.at, "a \"time_history\" case needs \"file\", its record");
    if (!timeHistory && !lc.record.empty()) return Fail(p, seen.at, "\"file\" belongs to a \"time_history\" case");
    if (timeHistory)
        lc.recordPath = std::filesystem::path(lc.record).is_absolute() || baseDir_.empty()
                            ? lc.record
                            : baseDir_ + "/" + lc.record;
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].first != 0 && rows[i].first != rows.size())
            return Fail((p / "coefficients")[i], rows[i].second,
                        "a row of " + std::to_string(rows[i].first) + " values in a matrix of " +
                            std::to_string(rows.size()) + " rows");
    if (!b_.AddLoadCase(id, std::move(lc))) return Relay(p, seen.at);
    return true;
}

bool Reader::ReadCombinationList(od::value& v, const Path& p) {
    return Elements(v, p, [&](od::value& e, const Path& ep) { return ReadCombination(e, ep); });
}

bool Reader::ReadCombination(od::value& v, const Path& p) {
    static constexpr std::string_view kKeys[] = {"name", "factors"};
    struct Factor {
        std::string loadCase;
        double factor = 0.0;
        std::size_t at = 0;
    };
    std::string name;
    std::vector<Factor> factors;
    std::size_t nameAt = 0, factorsAt = 0;
    Seen seen;
    const bool ok = Members(v, p, kKeys, seen, [&](int key, od::value& f) {
        const Path fp = p / kKeys[key];
        if (key == 0) {
            nameAt = Offset(f);
            return String(f, fp, name);
        }
        // Any key may stand here: each is a load case id, checked once the object is read.
        factorsAt = Offset(f);
        od::object object;
        if (f.get_object().get(object)) return Refused(fp, f, JsonKind::Object, "an object");
        for (auto item : object) {
            od::field field;
            if (std::move(item).get(field)) return MemberFault(fp);
            Factor factor;
            factor.at = Offset(field.key().raw()) - 1;
            std::string_view caseKey;
            if (field.unescaped_key().get(caseKey)) return KeyFault(fp, factor.at);
            factor.loadCase.assign(caseKey);
            if (!Number(field.value(), fp / factor.loadCase, factor.factor) || !Unstick()) return false;
            factors.push_back(std::move(factor));
        }
        return true;
    });
    if (!ok) return false;
    if (!seen.Has(0)) return Fail(p, seen.at, "missing \"name\"");
    if (!seen.Has(1)) return Fail(p, seen.at, "missing \"factors\"");
    if (!b_.AddCombination(name)) return Relay(p / "name", nameAt);
    const Path fp = p / "factors";
    for (const Factor& f : factors) {
        const std::string& key = f.loadCase;
        std::size_t used = 0;
        long long id = 0;
        try {
            id = std::stoll(key, &used);
        } catch (...) {
            used = 0;
        }
        if (used == 0 || used != key.size() || id > std::numeric_limits<std::int32_t>::max() ||
            id < std::numeric_limits<std::int32_t>::min())
            return Fail(fp / key, f.at, "\"" + key + "\" is not a load case id");
        if (!b_.AddCombinationTerm(static_cast<std::int32_t>(id), f.factor)) return Relay(fp / key, f.at);
    }
    if (!b_.FinishCombination()) return Relay(fp, factorsAt);
    return true;
}

bool Reader::ReadGroupList(od::value& v, const Path& p) {
    return Elements(v, p, [&](od::value& e, const Path& ep) { return ReadGroup(e, ep); });
}

bool Reader::ReadGroup(od::value& v, const Path& p) {
    static constexpr std::string_view kKeys[] = {"name", "shells", "frames"};
    std::string name;
    std::vector<std::int32_t> shells, frames;
    Seen seen;
    const bool ok = Members(v, p, kKeys, seen, [&](int key, od::value& f) {
        const Path fp = p / kKeys[key];
        if (key == 0) return String(f, fp, name);
        return Int32s(f, fp, key == 1 ? shells : frames);
    });
    if (!ok) return false;
    if (!seen.Has(0)) return Fail(p, seen.at, "missing \"name\"");
    return b_.AddGroup(name, shells, frames) || Relay(p, seen.at);
}

bool Reader::ReadUnits(od::value& v, const Path& p) {
    static constexpr std::string_view kKeys[] = {"length", "force"};
    Units u;
    Seen seen;
    const bool ok = Members(v, p, kKeys, seen, [&](int key, od::value& f) {
        return String(f, p / kKeys[key], key == 0 ? u.length : u.force);
    });
    if (!ok) return false;
    if (seen.keys != 3) return Fail(p, seen.at, std::string("missing \"") + (seen.Has(0) ? "force" : "length") + "\"");
    if (!b_.SetUnits(u)) return Relay(p, seen.at);
    return true;
}

bool Reader::ReadNodes(od::value& v, const Path& p) {
    static constexpr std::string_view kKeys[] = {"id", "xyz"};
    return Elements(v, p, [&](od::value& e, const Path& np) {
        std::int32_t id = 0;
        Seen seen;
        const bool ok = Members(e, np, kKeys, seen, [&](int key, od::value& f) {
            return key == 0 ? Int32(f, np / "id", id) : Numbers(f, np / "xyz", {3}, numbers_);
        });
        if (!ok) return false;
        if (seen.keys != 3) return Fail(np, seen.at, std::string("missing \"") + (seen.Has(0) ? "xyz" : "id") + "\"");
        if (!b_.AddNode(id, numbers_[0], numbers_[1], numbers_[2])) return Relay(np, seen.at);
        return true;
    });
}

bool Reader::ReadResult(od::value& v, const Path& p, bool frame, StagedResult& r) {
    static constexpr std::string_view kShellKeys[] = {"case", "f", "mode", "node"};
    static constexpr std::string_view kFrameKeys[] = {"case", "f", "mode", "end"};
    Seen seen;
    auto member = [&](int key, od::value& f) {
        switch (key) {
            case 0: return Int32(f, p / "case", r.loadCase);
            case 1:
                if (!Numbers(f, p / "f", {6}, numbers_)) return false;
                std::copy(numbers_.begin(), numbers_.end(), r.f.begin());
                return true;
            case 2: {
                const std::size_t at = Offset(f);
                if (!Int32(f, p / "mode", r.mode)) return false;
                return r.mode != 0 || Fail(p / "mode", at, "modes are numbered from 1");
            }
            default: {
                if (!frame) return Int32(f, p / "node", r.node);
                const std::size_t at = Offset(f);
                std::string end;
                if (!String(f, p / "end", end)) return false;
                if (end != "A" && end != "B") return Fail(p / "end", at, "expected \"A\" or \"B\", found \"" + end + "\"");
                r.endB = end == "B";
                return true;
            }
        }
    };
    if (!(frame ? Members(v, p, kFrameKeys, seen, member) : Members(v, p, kShellKeys, seen, member))) return false;
    r.at = seen.at;
    for (auto [key, name] : {std::pair{0, "case"}, {3, frame ? "end" : "node"}, {1, "f"}})
        if (!seen.Has(key)) return Fail(p, seen.at, std::string("missing \"") + name + "\"");
    return true;
}

bool Reader::ReadStress(od::value& v, const Path& p, StagedStress& s) {
    static constexpr std::string_view kKeys[] = {"case", "node", "S", "M", "Q"};
    Seen seen;
    const bool ok = Members(v, p, kKeys, seen, [&](int key, od::value& f) {
        const Path fp = p / kKeys[key];
        switch (key) {
            case 0: return Int32(f, fp, s.loadCase);
            case 1: return Int32(f, fp, s.node);
            case 2:
                if (!Numbers(f, fp, {6}, numbers_)) return false;
                std::copy(numbers_.begin(), numbers_.end(), s.stress.S.begin());
                return true;
            case 3: {
                if (!Numbers(f, fp, {3, 6}, numbers_)) return false;
                const auto& n = numbers_;
                if (n.size() == 3) s.stress.M = {n[0], n[1], 0.0, n[2], 0.0, 0.0};  // plate in the global x-y plane
                else std::copy(n.begin(), n.end(), s.stress.M.begin());
                return true;
            }
            default:
                if (!Numbers(f, fp, {2, 3}, numbers_)) return false;
                s.stress.Q = {numbers_[0], numbers_[1], numbers_.size() == 3 ? numbers_[2] : 0.0};
                return true;
        }
    });
    if (!ok) return false;
    s.at = seen.at;
    if (!seen.Has(0)) return Fail(p, seen.at, "missing \"case\"");
    if (!seen.Has(1)) return Fail(p, seen.at, "missing \"node\"");
    return true;
}

bool Reader::ReadShells(od::value& v, const Path& p) {
    shellsAt_ = Offset(v);
    return Elements(v, p, [&](od::value& e, const Path& sp) {
        if ((sp.index & 1023) == 0) Report(e);
        return ReadShell(e, sp);
    });
}

bool Reader::ReadShell(od::value& v, const Path& p) {
    static constexpr std::string_view kKeys[] = {"id", "nodes", "thickness", "results", "stresses"};
    std::int32_t id = 0;
    std::optional<double> thickness;
    std::vector<std::int32_t>& nodes = ids_;
    results_.clear();
    stresses_.clear();
    Seen seen;
    // Results are kept until the object ends: they can only be checked against the shell's
    // nodes, which may come after them.
    const bool ok = Members(v, p, kKeys, seen, [&](int key, od::value& f) {
        const Path fp = p / kKeys[key];
        switch (key) {
            case 0: return Int32(f, fp, id);
            case 1: return Int32s(f, fp, nodes);
            case 2: {
                double t = 0.0;
                if (!Number(f, fp, t)) return false;
                thickness = t;
                return true;
            }
            case 3:
                return Elements(f, fp, [&](od::value& e, const Path& rp) {
                    StagedResult r;
                    r.index = rp.index;
                    if (!ReadResult(e, rp, false, r)) return false;
                    results_.push_back(r);
                    return true;
                });
            default:
                return Elements(f, fp, [&](od::value& e, const Path& sp) {
                    StagedStress s;
                    s.index = sp.index;
                    if (!ReadStress(e, sp, s)) return false;
                    stresses_.push_back(s);
                    return true;
                });
        }
    });
    if (!ok) return false;
    if (!seen.Has(0)) return Fail(p, seen.at, "missing \"id\"");
    if (!seen.Has(1)) return Fail(p, seen.at, "missing \"nodes\"");
    if (!b_.AddShell(id, nodes, thickness)) return Relay(p, seen.at);
    for (const StagedResult& r : results_)
        if (!b_.AddShellResult(id, r.node, r.loadCase, r.mode, r.f)) return Relay((p / "results")[r.index], r.at);
    for (const StagedStress& s : stresses_)
        if (!b_.AddShellStress(id, s.node, s.loadCase, s.stress)) return Relay((p / "stresses")[s.index], s.at);
    return true;
}

bool Reader::ReadFrames(od::value& v, const Path& p) {
    return Elements(v, p, [&](od::value& e, const Path& ep) { return ReadFrame(e, ep); });
}

bool Reader::ReadFrame(od::value& v, const Path& p) {
    static constexpr std::string_view kKeys[] = {"id", "nodes", "results"};
    std::int32_t id = 0;
    results_.clear();
    Seen seen;
    const bool ok = Members(v, p, kKeys, seen, [&](int key, od::value& f) {
        const Path fp = p / kKeys[key];
        switch (key) {
            case 0: return Int32(f, fp, id);
            case 1: {
                const std::size_t at = Offset(f);
                if (!Int32s(f, fp, ids_)) return false;
                return ids_.size() == 2 || Fail(fp, at, "expected 2 node ids, found " + std::to_string(ids_.size()));
            }
            default:
                return Elements(f, fp, [&](od::value& e, const Path& rp) {
                    StagedResult r;
                    r.index = rp.index;
                    if (!ReadResult(e, rp, true, r)) return false;
                    results_.push_back(r);
                    return true;
                });
        }
    });
    if (!ok) return false;
    if (!seen.Has(0)) return Fail(p, seen.at, "missing \"id\"");
    if (!seen.Has(1)) return Fail(p, seen.at, "missing \"nodes\"");
    if (!b_.AddFrame(id, ids_[0], ids_[1])) return Relay(p, seen.at);
    for (const StagedResult& r : results_)
        if (!b_.AddFrameResult(id, r.endB, r.loadCase, r.mode, r.f)) return Relay((p / "results")[r.index], r.at);
    return true;
}

bool Reader::ReadFileList(od::value& v, const Path& p, std::vector<std::string>& out) {
    std::string name;
    if (KindOf(v) == JsonKind::String) {
        if (!String(v, p, name)) return false;
        out.push_back(name);
        return true;
    }
    return Elements(v, p, [&](od::value& e, const Path& ep) {
        if (!String(e, ep, name)) return false;
        out.push_back(name);
        return true;
    });
}

bool Reader::ReadDocument(const std::string& baseDir) {
    enum Key { kFormat, kVersion, kTitle, kUnits, kTolerance, kPlaneNodes, kLoadCases, kCombinations, kNodes,
               kShells, kFrames, kElements, kForces, kStresses, kGroups };
    static constexpr std::string_view kKeys[] = {"format", "version", "title", "units", "tolerance",
                                                 "plane_nodes", "load_cases", "combinations", "nodes", "shells",
                                                 "frames", "elements", "forces", "stresses", "groups"};
    od::value root;
    const std::size_t rootAt = Here();
    if (JsonKindAt(whole_, rootAt) != JsonKind::Object || doc_.get_value().get(root))
        return Refused(kRoot, rootAt, JsonKind::Object, "an object");
    Mode mode = Mode::Unknown;
    Seen seen;
    // Sections read later, by their place among the top-level members.
    std::optional<std::size_t> combinations, shells, frames, groups;
    std::size_t member = 0;
    std::vector<std::int32_t> planeNodes;
    std::size_t planeNodesAt = 0;
    ManifestTables tables;
    auto setMode = [&](Mode m) {
        if (mode == Mode::Unknown) mode = m;
        return mode == m;
    };
    const bool ok = Members(root, kRoot, kKeys, seen, [&](int key, od::value& v) {
        const std::size_t index = member++;
        const Path f = kRoot / kKeys[key];
        const bool modelOnly = key == kShells || key == kFrames;
        const bool manifestOnly = key == kElements || key == kForces || key == kStresses;
        if ((modelOnly && !setMode(Mode::Model)) || (manifestOnly && !setMode(Mode::Manifest)))
            return Unknown(kRoot, keyAt_, kKeys[key]);
        const std::size_t at = Offset(v);
        switch (key) {
            case kFormat: {
                std::string format;
                if (!String(v, f, format)) return false;
                const bool manifest = format == "xsect-manifest";
                if (!setMode(manifest ? Mode::Manifest : Mode::Model) || (!manifest && format != "xsect-model"))
                    return Fail(f, at, std::string("expected \"") +
                                           (mode == Mode::Manifest ? "xsect-manifest" : "xsect-model") +
                                           "\", found \"" + format + "\"");
                return true;
            }
            case kVersion: {
                std::int32_t version = 0;
                if (!Int32(v, f, version)) return false;
                return version == 1 ||
                       Fail(f, at, "this program reads version 1, the file is version " + std::to_string(version));
            }
            case kTitle: return String(v, f, model_.title);
            case kUnits: return ReadUnits(v, f);
            case kTolerance: {
                double t = 0.0;
                if (!Number(v, f, t)) return false;
                return b_.SetTolerance(t) || Relay(f, at);
            }
            case kPlaneNodes:
                planeNodesAt = at;
                if (!Int32s(v, f, planeNodes)) return false;
                return planeNodes.size() == 3 ||
                       Fail(f, at, "expected 3 node ids, found " + std::to_string(planeNodes.size()));
            case kLoadCases: return ReadLoadCases(v, f);
            case kCombinations:
                if (seen.Has(kLoadCases)) return ReadCombinationList(v, f);
                combinations = index;
                return CheckSyntax(v, f, 1);
            case kNodes:
                if (KindOf(v) == JsonKind::String && setMode(Mode::Manifest)) return String(v, f, tables.nodes);
                return setMode(Mode::Model) ? ReadNodes(v, f) : String(v, f, tables.nodes);
            case kShells:
            case kFrames:
                if (seen.Has(kNodes) && seen.Has(kLoadCases)) return key == kShells ? ReadShells(v, f) : ReadFrames(v, f);
                (key == kShells ? shells : frames) = index;
                return CheckSyntax(v, f, 1);
            case kGroups:
                // They name elements, which a manifest's tables bring last of all.
                groups = index;
                return CheckSyntax(v, f, 1);
            case kElements: return String(v, f, tables.elements);
            case kForces: return ReadFileList(v, f, tables.forces);
            default: return ReadFileList(v, f, tables.stresses);
        }
    });
    if (!ok) return false;
    if (Here() < whole_.size()) return Syntax(kRoot, JsonAfterFault(whole_, Here(), JsonAfter::TopLevel));
    if (mode == Mode::Unknown) mode = Mode::Model;
    if (!seen.Has(kNodes)) return Fail(kRoot, seen.at, "missing \"nodes\"");
    if (mode == Mode::Model && !seen.Has(kShells)) return Fail(kRoot, seen.at, "missing \"shells\"");
    if (mode == Mode::Manifest && !seen.Has(kElements)) return Fail(kRoot, seen.at, "missing \"elements\"");
    if (combinations && !Reread(*combinations, kRoot / "combinations", &Reader::ReadCombinationList)) return false;
    if (shells && !Reread(*shells, kRoot / "shells", &Reader::ReadShells)) return false;
    if (frames && !Reread(*frames, kRoot / "frames", &Reader::ReadFrames)) return false;
    if (mode == Mode::Manifest) {
        std::string error;
        if (!ReadManifestTables(tables, baseDir, b_, progress_, error)) return error_ = Printable(error), false;
    }
    if (groups && !Reread(*groups, kRoot / "groups", &Reader::ReadGroupList)) return false;
    if (!planeNodes.empty() && !b_.SetPlaneNodes({planeNodes[0], planeNodes[1], planeNodes[2]}))
        return Relay(kRoot / "plane_nodes", planeNodesAt);
    if (!b_.Finish()) {
        if (mode == Mode::Model) return Relay(kRoot / "shells", shellsAt_);
        // The stresses came from the tables: no place in this text.
        return error_ = Printable(source_ + ": " + b_.Error()), false;
    }
    return true;
}

bool Reader::ReadCombinationsDocument() {
    static constexpr std::string_view kKeys[] = {"combinations"};
    od::value root;
    const std::size_t rootAt = Here();
    if (JsonKindAt(whole_, rootAt) != JsonKind::Object || doc_.get_value().get(root))
        return Refused(kRoot, rootAt, JsonKind::Object, "an object");
    Seen seen;
    const bool ok = Members(root, kRoot, kKeys, seen,
                            [&](int, od::value& v) { return ReadCombinationList(v, kRoot / "combinations"); });
    if (!ok) return false;
    if (Here() < whole_.size()) return Syntax(kRoot, JsonAfterFault(whole_, Here(), JsonAfter::TopLevel));
    if (!seen.Has(0)) return Fail(kRoot, seen.at, "missing \"combinations\"");
    return true;
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The whole file, padded as simdjson wants it; reading it is the first half of the progress.
bool LoadFile(const std::string& path, FileText& text, std::string& error, const ReadProgress& progress) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return error = Printable(path + ": is a directory, not a file"), false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return error = Printable(path + ": cannot open the file: " + std::strerror(errno)), false;
    const auto expected = std::filesystem::file_size(path, ec);
    std::size_t capacity = ec ? 0 : static_cast<std::size_t>(expected);
    text.buffer = simdjson::padded_string(capacity);
    text.size = 0;
    constexpr std::size_t kChunk = 8 << 20;
    for (;;) {
        if (text.size == capacity) {
            // A pipe, or a file that grew: a larger buffer, copied over.
            char probe = 0;
            if (std::fread(&probe, 1, 1, file) != 1) break;
            capacity = std::max<std::size_t>(2 * capacity, kChunk);
            simdjson::padded_string larger(capacity);
            std::memcpy(larger.data(), text.buffer.data(), text.size);
            larger.data()[text.size++] = probe;
            text.buffer = std::move(larger);
        }
        const std::size_t got = std::fread(text.buffer.data() + text.size, 1, std::min(kChunk, capacity - text.size), file);
        text.size += got;
        if (progress) progress(text.size / 2, capacity);
        if (got == 0) break;
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return error = Printable(path + ": reading the file failed"), false;
    // simdjson reads a little past a token at the end: zeros there end it.
    std::memset(text.buffer.data() + text.size, 0, capacity - text.size + simdjson::SIMDJSON_PADDING);
    return true;
}

}  // namespace

bool ReadModelFile(const std::string& path, Model& model, std::string& error, const ReadProgress& progress) {
    model = Model{};
    model.source = path;
    FileText text;
    if (!LoadFile(path, text, error, progress)) return false;
    Reader reader(path, model, progress);
    if (reader.ReadModel(text.View(), DirectoryOf(path))) return true;
    error = reader.Error();
    return false;
}

bool ParseModelText(std::string_view text, const std::string& source, const std::string& baseDir, Model& model,
                    std::string& error) {
    model = Model{};
    model.source = source;
    const simdjson::padded_string padded(text);
    Reader reader(source, model, {});
    if (reader.ReadModel(padded, baseDir)) return true;
    error = reader.Error();
    return false;
}

bool ReadCombinationsFile(const std::string& path, Model& model, std::string& error) {
    FileText text;
    if (!LoadFile(path, text, error, {})) return false;
    Reader reader(path, model, {});
    if (reader.ReadCombinations(text.View())) return true;
    error = reader.Error();
    return false;
}

bool ParseCombinationsText(std::string_view text, const std::string& source, Model& model, std::string& error) {
    const simdjson::padded_string padded(text);
    Reader reader(source, model, {});
    if (reader.ReadCombinations(padded)) return true;
    error = reader.Error();
    return false;
}

}  // namespace xsect::io
