// Windows-1252, the Western European ANSI code page, for systems that have no
// ANSI code page of their own.
#ifndef PLATFORM_CP1252_H_
#define PLATFORM_CP1252_H_

#include <string>
#include <string_view>

namespace scenario {

// UTF-8 to Windows-1252; std::invalid_argument for malformed UTF-8 or a
// character that Windows-1252 cannot hold.
std::string utf8_in_cp1252(std::string_view utf8);
// Windows-1252 to UTF-8; the five unassigned bytes become U+FFFD.
std::string cp1252_in_utf8(std::string_view ansi);
// Lower case of the letters of Windows-1252, other bytes unchanged.
std::string cp1252_minuscole(std::string_view ansi);

}  // namespace scenario

#endif  // PLATFORM_CP1252_H_
