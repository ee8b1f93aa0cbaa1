#include "fuzz/JsonMutations.h"

#include "fuzz/ByteMutations.h"

#include <json/reader.h>
#include <json/value.h>

#include <cstdio>
#include <map>

namespace rudfuzz {
namespace {

enum class Action { kKeep, kReplace, kDelete, kRepeat, kNest, kSwapIn };

// A JSON string literal with something odd in it.
std::string OddString(FuzzRandom& random) {
    static const char* const kTexts[] = {
        "", "true", "false", "null", "0", "-0", "1", "-1", "3", "107", "360", "360.0", "2147483647", "2147483648",
        "-2147483649", "4294967296", "99999999999999999999999", "-99999999999999999999", "1e308", "1e999", "-1e999",
        "1e-320", "nan", "inf", "-inf", "0x1F", " 12abc", "+80", "1.5", "90500", "Missing_Renderer", "tif", "TIFF",
        "C:\\\\a\\\\b.max", "C:/x/y.max", "a|b%", "\\\\", "/", "\\u0000", "a\\u0000b", "\\ud800", "\\udc00",
        "\\ud800\\u0041", "\\udbff\\udfff", "\\uD83D\\uDE00", "\\u00e9\\u4e2d", "\\uFEFF", "\\\"", "\\n\\r\\t",
    };
    std::string body;
    switch (random.Below(4)) {
    case 0: body = random.Pick(kTexts); break;
    case 1: body = random.Pick(AwkwardByteRuns()); if (body == "\"" || body == "\\") body = "\\" + body; break;
    case 2: {  // a long text: plain, non-ASCII, or digits
        static const char* const kUnits[] = {"a", "\xE4\xB8\xAD", "9", " ", "\\u00e9", "\\\\", "/"};
        const std::string unit = random.Pick(kUnits);
        for (size_t n = random.Length(300, 70000); n > 0; --n) body += unit;
        break;
    }
    default:  // a raw byte that no UTF-8 text holds, inside ordinary text
        body = std::string("ab") + random.Pick(AwkwardByteRuns()) + "cd";
        if (body.find('"') != std::string::npos || body.find('\\') != std::string::npos) body = "ab\xFF" "cd";
        break;
    }
    return "\"" + body + "\"";
}

std::string OddValue(FuzzRandom& random) {
    static const char* const kValues[] = {
        "null", "true", "false", "0", "-0", "1", "-1", "3", "10001", "10010", "2147483647", "2147483648",
        "-2147483649", "4294967295", "4294967296", "9223372036854775807", "-9223372036854775808",
        "18446744073709551615", "18446744073709551616", "1e308", "1.7976931348623157e308", "1e999", "-1e999",
        "1e-400", "4.9e-324", "0.5", "-0.0", "10001.5", "1E2", "[]", "{}", "[null]", "[1,\"a\",null,{}]",
        "{\"k\":\"v\"}", "{\"path\":null}", "{\"name\":\"\"}", "[{\"name\":\"cam\"},{\"name\":\"cam\"}]",
        "[{\"path\":\"C:/a.png\",\"x\":1}]",
    };
    return random.OneIn(3) ? OddString(random) : std::string(random.Pick(kValues));
}

// Writes a string as a JSON literal with its bytes as they are (no \u escapes for non-ASCII).
void AppendQuoted(std::string& out, const char* begin, const char* end) {
    out += '"';
    for (const char* at = begin; at != end; ++at) {
        const unsigned char c = static_cast<unsigned char>(*at);
        if (c == '"' || c == '\\') { out += '\\'; out += static_cast<char>(c); }
        else if (c < 0x20) { char escape[8]; std::snprintf(escape, sizeof escape, "\\u%04x", c); out += escape; }
        else out += static_cast<char>(c);
    }
    out += '"';
}

class MutatingWriter {
public:
    MutatingWriter(FuzzRandom& random, std::map<size_t, Action> actions, const std::vector<const Json::Value*>& nodes,
                   size_t maxNesting)
        : random_(random), actions_(std::move(actions)), nodes_(nodes), maxNesting_(maxNesting) {}

    std::string Write(const Json::Value& root) {
        Value(root);
        return std::move(out_);
    }

private:
    Action Next() {
        const auto found = actions_.find(index_++);
        return found == actions_.end() ? Action::kKeep : found->second;
    }

    // `live` values take their actions; copies (repeated or swapped-in values) are written as
    // they are, so that every node of the seed keeps its own number.
    void Value(const Json::Value& value) {
        switch (Next()) {
        case Action::kReplace: out_ += OddValue(random_); SkipChildren(value); return;
        case Action::kSwapIn: Plain(*random_.Pick(nodes_), false); SkipChildren(value); return;
        case Action::kNest: {
            const size_t depth = 1 + random_.Length(40, maxNesting_);
            const bool objects = random_.OneIn(2);
            for (size_t i = 0; i < depth; ++i) out_ += objects ? "{\"a\":" : "[";
            Plain(value, true);
            for (size_t i = 0; i < depth; ++i) out_ += objects ? '}' : ']';
            return;
        }
        default: Plain(value, true); return;
        }
    }

    void Item(const Json::Value& value, bool live) {
        if (live) Value(value);
        else Plain(value, false);
    }

    void Plain(const Json::Value& value, bool live) {
        switch (value.type()) {
        case Json::nullValue: out_ += "null"; break;
        case Json::booleanValue: out_ += value.asBool() ? "true" : "false"; break;
        case Json::intValue: out_ += std::to_string(value.asLargestInt()); break;
        case Json::uintValue: out_ += std::to_string(value.asLargestUInt()); break;
        case Json::realValue: {
            char text[40];
            std::snprintf(text, sizeof text, "%.17g", value.asDouble());
            out_ += text;
            break;
        }
        case Json::stringValue: {
            const char* begin = nullptr;
            const char* end = nullptr;
            value.getString(&begin, &end);
            AppendQuoted(out_, begin, end);
            break;
        }
        case Json::arrayValue: {
            out_ += '[';
            bool first = true;
            for (const Json::Value& item : value) {
                const size_t before = out_.size();
                if (!first) out_ += ',';
                const Action action = live ? Peek() : Action::kKeep;
                if (action == Action::kDelete) { Skip(item); out_.resize(before); continue; }
                Item(item, live);
                if (action == Action::kRepeat) { out_ += ','; Plain(item, false); }
                first = false;
            }
            out_ += ']';
            break;
        }
        case Json::objectValue: {
            out_ += '{';
            bool first = true;
            for (auto it = value.begin(); it != value.end(); ++it) {
                const Action action = live ? Peek() : Action::kKeep;
                if (action == Action::kDelete) { Skip(*it); continue; }
                if (!first) out_ += ',';
                const std::string key = it.name();
                AppendQuoted(out_, key.data(), key.data() + key.size());
                out_ += ':';
                Item(*it, live);
                if (action == Action::kRepeat) {  // the same key again, with another value
                    out_ += ',';
                    AppendQuoted(out_, key.data(), key.data() + key.size());
                    out_ += ':';
                    out_ += random_.OneIn(2) ? OddValue(random_) : std::string("null");
                }
                first = false;
            }
            out_ += '}';
            break;
        }
        }
    }

    Action Peek() const {
        const auto found = actions_.find(index_);
        return found == actions_.end() ? Action::kKeep : found->second;
    }
    // Passes over a dropped value, counting its nodes so later actions keep their places.
    void Skip(const Json::Value& value) {
        ++index_;
        SkipChildren(value);
    }
    void SkipChildren(const Json::Value& value) {
        if (value.isArray() || value.isObject())
            for (const Json::Value& item : value) Skip(item);
    }

    FuzzRandom& random_;
    std::map<size_t, Action> actions_;
    const std::vector<const Json::Value*>& nodes_;
    size_t maxNesting_;
    size_t index_ = 0;
    std::string out_;
};

void Collect(const Json::Value& value, std::vector<const Json::Value*>& nodes) {
    nodes.push_back(&value);
    if (value.isArray() || value.isObject())
        for (const Json::Value& item : value) Collect(item, nodes);
}

} // namespace

std::string MutateJson(const std::string& seedJson, FuzzRandom& random, const std::vector<std::string>& donors,
                       size_t maxNesting) {
    Json::Value root;
    Json::Reader reader;
    bool parsed = false;
    try {
        parsed = reader.parse(seedJson.data(), seedJson.data() + seedJson.size(), root, false);
    } catch (...) {
        parsed = false;
    }
    if (!parsed) return MutateBytes(seedJson, random, donors);

    std::vector<const Json::Value*> nodes;
    Collect(root, nodes);
    std::map<size_t, Action> actions;
    for (size_t count = 1 + random.Below(4); count > 0; --count) {
        static const Action kActions[] = {Action::kReplace, Action::kReplace, Action::kReplace, Action::kDelete,
                                          Action::kRepeat, Action::kNest, Action::kSwapIn};
        actions[random.Below(nodes.size())] = random.Pick(kActions);
    }
    std::string text = MutatingWriter(random, std::move(actions), nodes, maxNesting).Write(root);
    // Now and then the text itself is hit as well (a BOM or NUL in the middle, a cut, a flip).
    if (random.OneIn(4)) text = MutateBytes(std::move(text), random, donors, 2);
    return text;
}

} // namespace rudfuzz
