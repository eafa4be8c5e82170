// Editing an existing maya.env, creating a missing one, and writing either
// without ever leaving a half-written file.
#pragma once

#include <string>

#include "env_line.h"
#include "system.h"

namespace trellisk {

enum class Mode { ADD = 1, REMOVE = 2 };

const char* mode_name(Mode mode);

// Writes one message as a line on standard output and flushes it at once, so
// that a caller reading the output sees every line even if the program dies.
void print_line(const std::string& text);

enum class WriteStatus { ok, open_failed, write_failed };

// Creates `file`, which is missing, holding `content`, the way a rewrite
// replaces it: the content goes to a new temporary file beside it (the
// permissions of any new file), every write is checked, the content is put on
// the disk, and only then the temporary file takes the name `file`, in one
// step and only where nothing has taken it meanwhile. open_failed when the
// temporary file cannot be created or the name was taken; then, as on a failed
// write, nothing but the temporary file was made, and it is removed again.
WriteStatus write_new_file(const Path& file, const std::string& content);

// Replaces the content of `file` without ever leaving it half-written, also
// after a power loss: the new content goes to a new temporary file in the same
// folder, which takes the original's owner and permissions before anything is
// written into it; every write and the close are checked, the content is put
// on the disk, and only then a rename puts the file in place. On failure the
// original is untouched and the temporary file is removed. `file` is the file
// itself (resolve_links), never a link, which the rename would replace.
WriteStatus replace_file_contents(const Path& file, const std::string& content);

// Adds `value` to, or removes it from, every line of the variable `name` in the
// existing `file` (the file itself, as for replace_file_contents), then
// rewrites it with its lines trimmed and its blank lines dropped. Values are
// compared as paths, character by character in the code page whose lead
// bytes are `lead_bytes` (text_lead_bytes). A file that is not a regular file
// is neither read nor written ("Failed to open maya env file"). Returns the
// exit status, 0 or 1.
int edit_env_file(const Path& file, Mode mode, const std::string& name, const std::string& value,
                  const LeadBytes& lead_bytes);

}  // namespace trellisk
