// Names of files as the tool takes them and builds them: UTF-8 bytes on
// every system, joined with the system's separator, and handed to the
// platform or to std::filesystem as UTF-8, so that a name outside the ANSI
// code page works on Windows as on Linux.
#ifndef PLATFORM_PERCORSI_H_
#define PLATFORM_PERCORSI_H_

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "platform/piattaforma.h"

namespace scenario {

// The name as std::filesystem takes it.
std::filesystem::path percorso(const std::string& nome);

// Two names of the same file, as far as their text tells (links and
// different spellings of the same folder are not seen).
bool stesso_percorso(const std::string& a, const std::string& b);

// The system's platform in a folder that the user named: the folder without
// its trailing separators, so that its files are named as the compiled ones.
std::unique_ptr<piattaforma> piattaforma_in_cartella(const std::string& cartella);

// A file of the platform's folder: the folder, the separator, the name.
std::string nome_in_cartella(piattaforma& p, std::string_view nome);

}  // namespace scenario

#endif  // PLATFORM_PERCORSI_H_
