#pragma once
// Careful reading of the analysis JSON. The analysis script runs inside an artist's scene, so
// its output is untrusted: any member may be missing, null, of another JSON type, or hold a
// number too large for its field. jsoncpp's own conversions throw on such members, which must
// never reach the dialog or the host. The accessors here never throw and settle every case
// the same way:
//
//  - an absent or null member reads as its default (empty text, 0, false) without comment;
//  - a number or boolean where text is expected reads as its JSON text, as jsoncpp's asString
//    gives it ("pass_limit": 0 is the text "0", true is "true"), without comment: scripts
//    write numbers both ways and mean the same;
//  - an array or object where text is expected, or any other type than the analysis format
//    gives a member, reads as the default, and is noted;
//  - number texts are read like atoi/atof (leading digits, nothing else needed), but clamp to
//    the field's range instead of overflowing, and a non-finite real reads as 0 or the
//    field's previous value (noted).
//
// Entries of arrays (cameras, files) that do not name themselves are skipped by the reader
// and noted here too. Notes are counted per kind and written as one WARN line per kind when
// the read ends, so a malformed analysis of 50,000 entries costs 50,000 counter increments,
// not 50,000 log lines.
#include "core/LogChannel.h"

#include <json/value.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace rud {

class AnalysisFields {
public:
    // The object's member, or a null value when the object is not an object or lacks it.
    static const Json::Value& Member(const Json::Value& object, const char* name);
    // True when the member is there and not null.
    static bool Has(const Json::Value& object, const char* name);

    // `where` names the object for the notes, e.g. "cameras" or "" for the top level.
    std::string Text(const Json::Value& object, const char* name, const char* where);
    // The same text decoded from UTF-8 to wide text.
    std::wstring WideText(const Json::Value& object, const char* name, const char* where);
    // Appends the decoded text of a string, number or boolean; false (nothing appended) for
    // null, arrays and objects.
    static bool AppendWideText(const Json::Value& value, std::wstring& out);
    // The text of a string, number or boolean value; false for null, arrays and objects.
    static bool ScalarText(const Json::Value& value, std::string& out);
    // The member when it is an object / array; null otherwise (noted when of another type).
    const Json::Value& Object(const Json::Value& object, const char* name, const char* where);
    const Json::Value& Array(const Json::Value& object, const char* name, const char* where);
    // JSON booleans and numbers convert as jsoncpp converts them; any other type reads false.
    bool Bool(const Json::Value& object, const char* name, const char* where);

    // atoi / atof of a text, clamped; "where" and "name" only label the note. A real that is
    // not finite (inf, nan, 1e999) reads as `fallback`.
    int32_t TextToInt(const std::string& text, const char* name, const char* where);
    double TextToReal(const std::string& text, const char* name, const char* where, double fallback = 0.0);

    // Records a required member that is absent or null.
    void NoteMissing(const char* name, const char* where);
    // Records one skipped array entry (an entry that is not an object or has no text key).
    void NoteSkippedEntry(const char* arrayName, const char* keyName);

    // One WARN line per kind of note, with its count; then forgets the notes.
    void WriteNotes(LogChannel& log);
    // The lines WriteNotes would write; then forgets the notes.
    std::vector<std::string> TakeNoteLines();
    bool HasNotes() const { return !notes_.empty(); }

private:
    void Note(std::string what);

    std::vector<std::pair<std::string, int>> notes_;
};

} // namespace rud
