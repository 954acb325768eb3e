// Libraries loaded at run time, by name: a table of modules built into the
// program, each with named entries. A name that is not there loads nothing,
// as a missing library would. Tests add modules of their own.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace plat {

// A loaded module; 0 is none. Each load counts; the last free unloads.
using Hmodule = uint32_t;
// An entry of a module, cast to its own type by the caller.
using ModuleEntry = void (*)();

Hmodule loadLibrary(std::string_view name);
ModuleEntry getProcAddress(Hmodule module, std::string_view entry);
bool freeLibrary(Hmodule module);

// A module of this name (any case) with these entries; an existing one is
// replaced. A test's recording module, for example.
void registerModule(std::string_view name, std::map<std::string, ModuleEntry> entries);
// Forgets the modules tests registered and every load.
void resetModules();

}  // namespace plat
