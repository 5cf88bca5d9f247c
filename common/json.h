// JSON of the tool's machine output, through nlohmann-json: documents are
// ordered values (members in the order they are set), written with their
// records one per line.
#ifndef COMMON_JSON_H_
#define COMMON_JSON_H_

#include <functional>
#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

namespace scenario {

using json = nlohmann::ordered_json;

// A value on one line. Bytes that are not UTF-8 (a name given by the
// system, a line of a description in another encoding) come out as U+FFFD:
// the text is always JSON.
std::string testo_json(const json& v);

// Hands the elements of an array, one at a time, to `metti`.
using elementi_json = std::function<void(const std::function<void(const json&)>& metti)>;

// `documento`, an object, on one line, but for its members that are arrays
// of objects: those have one element a line. `ancora` adds elements to the
// last member, an array, as they come, so that millions of rows are never
// held at once.
void scrivi_json(std::ostream& out, const json& documento, const elementi_json& ancora = {});

}  // namespace scenario

#endif  // COMMON_JSON_H_
