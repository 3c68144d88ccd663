#pragma once

// One entry point per parser that reads outside input. libFuzzer drives each through its own
// program (scripts/fuzz); the test suite replays the corpus in fuzz/corpus/ through the same
// functions. Each returns 0 and aborts when it finds an inconsistency the sanitizers cannot.

#include <cstddef>
#include <cstdint>

namespace vexa::fuzz {

// A picture file's bytes: the completeness check, then the loader; and the print job's check
// of JPEG data that goes into a page as it is.
int pictureEntry(const std::uint8_t* data, std::size_t size);
// A settings file's bytes: reading keys, and writing one and reading it back.
int settingsEntry(const std::uint8_t* data, std::size_t size);
// The update check's version file as the server sends it.
int versionEntry(const std::uint8_t* data, std::size_t size);
// `vexa-cli effect` arguments, separated by NUL bytes.
int effectArgumentsEntry(const std::uint8_t* data, std::size_t size);
// A project file's bytes, and the same bytes as its description (project.json) alone.
int projectEntry(const std::uint8_t* data, std::size_t size);

} // namespace vexa::fuzz
