#include "analysis/AnalysisFields.h"

#include "analysis/Utf8Codec.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace rud {
namespace {

const Json::Value& NullValue() {
    static const Json::Value null;
    return null;
}

std::string Label(const char* name, const char* where) {
    std::string label = "\"";
    label += name;
    label += "\"";
    if (where && *where) {
        label += " of \"";
        label += where;
        label += "\"";
    }
    return label;
}

// A real's text as jsoncpp's asString writes it ("%.17g", ".0" after a whole number), but
// with the fewest digits that read back as the same number: 2.2 is "2.2", not
// "2.2000000000000002", which is what the script wrote.
std::string RealText(double value) {
    if (!std::isfinite(value)) return Json::Value(value).asString();
    char text[40] = {};
    for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(text, sizeof(text), "%.*g", precision, value);
        if (std::strtod(text, nullptr) == value) break;
    }
    std::string result = text;
    // A runtime locale with a decimal comma must not leak into the text.
    for (char& c : result)
        if (c == ',') c = '.';
    if (result.find_first_of(".e") == std::string::npos) result += ".0";
    return result;
}

} // namespace

bool AnalysisFields::ScalarText(const Json::Value& value, std::string& out) {
    switch (value.type()) {
    case Json::stringValue: {
        const char* begin = nullptr;
        const char* end = nullptr;
        if (value.getString(&begin, &end) && begin) out.assign(begin, end);
        else out.clear();
        return true;
    }
    case Json::booleanValue:
    case Json::intValue:
    case Json::uintValue: out = value.asString(); return true;
    case Json::realValue: out = RealText(value.asDouble()); return true;
    default: return false;
    }
}

const Json::Value& AnalysisFields::Member(const Json::Value& object, const char* name) {
    if (!object.isObject()) return NullValue();
    const Json::Value* found = object.find(name, name + std::char_traits<char>::length(name));
    return found ? *found : NullValue();
}

bool AnalysisFields::Has(const Json::Value& object, const char* name) {
    return !Member(object, name).isNull();
}

std::string AnalysisFields::Text(const Json::Value& object, const char* name, const char* where) {
    const Json::Value& value = Member(object, name);
    std::string text;
    if (!ScalarText(value, text) && !value.isNull())
        Note("The member " + Label(name, where) + " is not text; read as empty");
    return text;
}

std::wstring AnalysisFields::WideText(const Json::Value& object, const char* name, const char* where) {
    std::wstring text;
    const Json::Value& value = Member(object, name);
    if (!AppendWideText(value, text) && !value.isNull())
        Note("The member " + Label(name, where) + " is not text; read as empty");
    return text;
}

bool AnalysisFields::AppendWideText(const Json::Value& value, std::wstring& out) {
    if (value.isString()) {
        // Strings, the common case, are decoded in place without a copy.
        const char* begin = nullptr;
        const char* end = nullptr;
        if (value.getString(&begin, &end) && begin) AppendDecodedUtf8(begin, end, out);
        return true;
    }
    std::string text;
    if (!ScalarText(value, text)) return false;
    AppendDecodedUtf8(text.data(), text.data() + text.size(), out);
    return true;
}

const Json::Value& AnalysisFields::Object(const Json::Value& object, const char* name, const char* where) {
    const Json::Value& value = Member(object, name);
    if (value.isObject()) return value;
    if (!value.isNull()) Note("The member " + Label(name, where) + " is not an object; ignored");
    return NullValue();
}

const Json::Value& AnalysisFields::Array(const Json::Value& object, const char* name, const char* where) {
    const Json::Value& value = Member(object, name);
    if (value.isArray()) return value;
    if (!value.isNull()) Note("The member " + Label(name, where) + " is not an array; ignored");
    return NullValue();
}

bool AnalysisFields::Bool(const Json::Value& object, const char* name, const char* where) {
    const Json::Value& value = Member(object, name);
    switch (value.type()) {
    case Json::nullValue: return false;
    case Json::booleanValue: return value.asBool();
    case Json::intValue: return value.asInt64() != 0;
    case Json::uintValue: return value.asUInt64() != 0;
    case Json::realValue: {
        double real = value.asDouble();
        return real != 0.0 && !std::isnan(real);
    }
    default:
        Note("The member " + Label(name, where) + " is not a boolean; read as false");
        return false;
    }
}

int32_t AnalysisFields::TextToInt(const std::string& text, const char* name, const char* where) {
    // strtoll reports overflow where atoi's behaviour is undefined; values beyond 32 bits clamp.
    errno = 0;
    long long value = std::strtoll(text.c_str(), nullptr, 10);
    bool clamped = errno == ERANGE;
    if (value > std::numeric_limits<int32_t>::max()) {
        value = std::numeric_limits<int32_t>::max();
        clamped = true;
    } else if (value < std::numeric_limits<int32_t>::min()) {
        value = std::numeric_limits<int32_t>::min();
        clamped = true;
    }
    if (clamped) Note("The number " + Label(name, where) + " is out of range; clamped");
    return static_cast<int32_t>(value);
}

double AnalysisFields::TextToReal(const std::string& text, const char* name, const char* where, double fallback) {
    double value = std::strtod(text.c_str(), nullptr);
    if (!std::isfinite(value)) {
        Note("The number " + Label(name, where) + " is not finite; ignored");
        return fallback;
    }
    return value;
}

void AnalysisFields::NoteMissing(const char* name, const char* where) {
    Note("The required member " + Label(name, where) + " is missing; read as empty");
}

void AnalysisFields::NoteSkippedEntry(const char* arrayName, const char* keyName) {
    Note(std::string("An entry of \"") + arrayName + "\" without a text \"" + keyName + "\" was skipped");
}

void AnalysisFields::Note(std::string what) {
    for (auto& note : notes_) {
        if (note.first == what) {
            ++note.second;
            return;
        }
    }
    notes_.emplace_back(std::move(what), 1);
}

void AnalysisFields::WriteNotes(LogChannel& log) {
    for (const std::string& line : TakeNoteLines()) log.write(line, "WARN");
}

std::vector<std::string> AnalysisFields::TakeNoteLines() {
    std::vector<std::string> lines;
    lines.reserve(notes_.size());
    for (const auto& note : notes_) {
        std::string line = note.first;
        if (note.second > 1) line += " (" + std::to_string(note.second) + " times)";
        line += ".";
        lines.push_back(std::move(line));
    }
    notes_.clear();
    return lines;
}

} // namespace rud
