#pragma once

// The fixed parts of every generated site, kept as real files in
// engine/runtime and built into the library.
namespace ordwick::engine::runtime {

extern const char functions[];  // server helpers (JScript)
extern const char validators[]; // checks shared by server and browser
extern const char site[];       // the pages' small browser behaviours
extern const char style[];      // the style sheet

} // namespace ordwick::engine::runtime
