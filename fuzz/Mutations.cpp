#include "fuzz/Fuzz.h"

#include <json/reader.h>
#include <json/value.h>
#include <json/writer.h>

#include <algorithm>
#include <iterator>

namespace rudfuzz {
namespace {

// Bytes that end, escape, or break text and JSON.
const std::vector<std::string> kAwkward = {
    std::string(1, '\0'), std::string("\0\0", 2), "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF", "\xC3\x28", "\xFF",
    "\xE4\xB8", "\xED\xA0\x80", "\xED\xBF\xBF", "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "\xC0\xAF", "\x80",
    "\\", "\"", "\\u", "\\ud800", "\\udc00", "\\u0000", "{", "}", "[", "]", ":", ",", "=", "\r\n", "\n", "%s%n",
    "\x1A", "\x7F", "\xE2\x80\xAE", "\xEF\xBF\xBF", "\xF0\x9F\x98\x80",
};

// A run to put in: random bytes, an awkward sequence, a long run of one byte (digits, spaces,
// brackets), or a piece of a donor.
std::string NewRun(FuzzRandom& random, const std::vector<std::string>& donors) {
    static const char kFill[] = {'9', ' ', '[', '{', 'a', '\\', '"', '\0', '\xE4'};
    switch (random.Below(4)) {
    case 0: {
        std::string run(random.Length(8, 4096), '\0');
        for (char& c : run) c = static_cast<char>(random.Next());
        return run;
    }
    case 1: return random.Pick(kAwkward);
    case 2: return std::string(random.Length(64, 70000), random.Pick(kFill));
    default: {
        const std::string& donor = donors.empty() ? kAwkward[0] : random.Pick(donors);
        return donor.substr(random.Below(donor.size()), random.Length(64, donor.size()));
    }
    }
}

void ByteStep(std::string& data, FuzzRandom& random, const std::vector<std::string>& donors) {
    const size_t size = data.size(), at = random.Below(size + 1);  // size only when inserting at the end
    const std::string run = data.substr(at, random.Length(32, size));
    switch (random.Below(5)) {
    case 0:  // a bit flipped, or a byte that means something
        if (at < size)
            data[at] = random.OneIn(2) ? static_cast<char>(data[at] ^ (1 << random.Below(8))) : random.Pick(kAwkward)[0];
        break;
    case 1: data.insert(at, NewRun(random, donors)); break;
    case 2: data.erase(at, run.size()); break;  // deleted, or the end cut off
    case 3:  // duplicated in place
        for (size_t times = 1 + random.Length(1, 200); times > 0; --times) data.insert(at, run);
        break;
    default:  // moved elsewhere
        data.erase(at, run.size());
        data.insert(random.Below(data.size() + 1), run);
    }
}

// A JSON string literal with something odd in it.
std::string OddString(FuzzRandom& random) {
    static const char* const kTexts[] = {
        "", "true", "null", "0", "-0", "-1", "107", "360.0", "2147483648", "-2147483649", "4294967296",
        "99999999999999999999999", "1e308", "1e999", "-1e999", "1e-320", "nan", "-inf", "0x1F", " 12abc", "+80",
        "1.5", "90500", "Missing_Renderer", "TIFF", "C:\\\\a\\\\b.max", "a|b%", "\\u0000", "a\\u0000b", "\\ud800",
        "\\udc00", "\\ud800\\u0041", "\\udbff\\udfff", "\\uD83D\\uDE00", "\\u00e9\\u4e2d", "\\uFEFF", "\\n\\r\\t",
    };
    static const char* const kUnits[] = {"a", "\xE4\xB8\xAD", "9", " ", "\\u00e9", "\\\\", "/"};
    std::string body;
    switch (random.Below(3)) {
    case 0: body = random.Pick(kTexts); break;
    case 1:  // a long text: plain, non-ASCII, or digits
        for (size_t n = random.Length(300, 70000), unit = random.Below(std::size(kUnits)); n > 0; --n) body += kUnits[unit];
        break;
    default: {  // broken bytes inside ordinary text
        const std::string& run = random.Pick(kAwkward);
        body = "ab" + (run == "\"" || run == "\\" ? "\\" + run : run) + "cd";
        break;
    }
    }
    return "\"" + body + "\"";
}

std::string OddValue(FuzzRandom& random) {
    static const char* const kValues[] = {
        "null", "true", "false", "0", "-0", "1", "-1", "3", "10001", "10010", "2147483647", "2147483648",
        "-2147483649", "4294967296", "9223372036854775807", "-9223372036854775808", "18446744073709551616",
        "1e308", "1e999", "-1e999", "1e-400", "4.9e-324", "0.5", "-0.0", "10001.5", "1E2", "[]", "{}", "[null]",
        "[1,\"a\",null,{}]", "{\"path\":null}", "{\"name\":\"\"}", "[{\"name\":\"cam\"},{\"name\":\"cam\"}]",
        "[{\"path\":\"C:/a.png\",\"x\":1}]",
    };
    return random.OneIn(3) ? OddString(random) : std::string(random.Pick(kValues));
}

// A mutated value stands in the tree as a marker string until the tree is written; then the
// marker, quotes and all, gives way to the value's raw text, which jsoncpp would not write.
struct Markers {
    std::vector<std::string> raw;

    static std::string Name(size_t index) { return "@@rudfuzz" + std::to_string(index) + "@@"; }
    Json::Value Add(std::string text) {
        raw.push_back(std::move(text));
        return Name(raw.size() - 1);
    }
    // Later markers may hold earlier ones, never the other way round.
    std::string Resolve(std::string text) const {
        for (size_t i = raw.size(); i-- > 0;) {
            const std::string quoted = "\"" + Name(i) + "\"";
            for (size_t at = 0; (at = text.find(quoted, at)) != std::string::npos; at += raw[i].size())
                text.replace(at, quoted.size(), raw[i]);
        }
        return text;
    }
};

std::string Written(const Json::Value& value) {
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    builder["emitUTF8"] = true;
    return Json::writeString(builder, value);
}

// Every value of the tree with the container holding it (null for the root) and its key.
struct Node {
    Json::Value* value;
    Json::Value* parent;
    std::string key;
    Json::ArrayIndex index;
};

void Collect(Json::Value& value, Json::Value* parent, std::string key, Json::ArrayIndex index, std::vector<Node>& nodes) {
    nodes.push_back({&value, parent, key, index});
    if (value.isObject())
        for (const std::string& name : value.getMemberNames()) Collect(value[name], &value, name, 0, nodes);
    else if (value.isArray())
        for (Json::ArrayIndex i = 0; i < value.size(); ++i) Collect(value[i], &value, std::string(), i, nodes);
}

} // namespace

std::string MutateBytes(std::string input, FuzzRandom& random, const std::vector<std::string>& donors,
                        size_t maxSteps, size_t maxSize) {
    for (size_t steps = 1 + random.Below(maxSteps); steps > 0; --steps) {
        ByteStep(input, random, donors);
        if (input.size() > maxSize) input.resize(maxSize);
    }
    return input;
}

std::string MutateJson(const std::string& seedJson, FuzzRandom& random, const std::vector<std::string>& donors,
                       size_t maxNesting) {
    Json::Value root;
    bool parsed = false;
    try {
        parsed = Json::Reader().parse(seedJson.data(), seedJson.data() + seedJson.size(), root, false);
    } catch (...) {
    }
    if (!parsed) return MutateBytes(seedJson, random, donors);

    Markers markers;
    for (size_t count = 1 + random.Below(4); count > 0; --count) {
        std::vector<Node> nodes;
        Collect(root, nullptr, std::string(), 0, nodes);
        // A "name" keys a camera or a file, and is a small share of a big analysis's values.
        std::vector<Node> names;
        if (random.OneIn(4))
            std::copy_if(nodes.begin(), nodes.end(), std::back_inserter(names),
                         [](const Node& n) { return n.key == "name"; });
        const Node node = random.Pick(names.empty() ? nodes : names);
        const std::string text = Written(*node.value);
        switch (random.Below(7)) {
        case 0: {  // gone
            Json::Value removed;
            if (node.parent && node.parent->isObject()) node.parent->removeMember(node.key);
            else if (node.parent) node.parent->removeIndex(node.index, &removed);
            break;
        }
        case 1: {  // the same key (or item) again, with another value
            std::string again;
            if (node.parent && node.parent->isObject()) again = Written(Json::Value(node.key)) + ":";
            *node.value = markers.Add(text + "," + again + (random.OneIn(2) ? OddValue(random) : text));
            break;
        }
        case 2: {  // sunk under deep nesting
            const size_t depth = 1 + random.Length(40, maxNesting);
            std::string open, close;
            for (size_t i = 0; i < depth; ++i) {
                const bool object = random.OneIn(2);
                open += object ? "{\"a\":" : "[";
                close += object ? '}' : ']';
            }
            std::reverse(close.begin(), close.end());
            *node.value = markers.Add(open + text + close);
            break;
        }
        case 3: {  // another value of the tree in its place
            const Json::Value copy = *random.Pick(nodes).value;
            *node.value = copy;
            break;
        }
        default: {  // a name is often blank, a lone zero, or no text at all
            static const char* const kOddNames[] = {"\"\"", "\" \"", "\"\\u0000\"", "\"\\t\"", "null"};
            *node.value = markers.Add(names.empty() || random.OneIn(2) ? OddValue(random) : random.Pick(kOddNames));
        }
        }
    }
    std::string text = markers.Resolve(Written(root));
    // Now and then the text itself is hit as well (a BOM or NUL in the middle, a cut, a flip).
    if (random.OneIn(4)) text = MutateBytes(std::move(text), random, donors, 2);
    return text;
}

} // namespace rudfuzz
