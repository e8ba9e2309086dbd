// Text from a network file in the encodings of machine-readable outputs.
//
// Names and titles are bytes: files come from editors and spreadsheets that write UTF-8, Latin-1
// or Windows-1252. JSON, CSV and DOT readers expect UTF-8, and a byte that is not part of it makes
// them fail; these routines give every such text a valid UTF-8 form.
#pragma once

#include <string>
#include <string_view>

namespace flownet {

// The text as valid UTF-8: well-formed UTF-8 sequences are kept as they are; every other byte is
// read as a character of Windows-1252 (the superset of Latin-1 that spreadsheets on Windows
// write), its five unassigned bytes as the C1 control characters of the same number. So a Latin-1
// "\xC9" becomes "É", and text that was UTF-8 already is unchanged.
std::string utf8Text(std::string_view bytes);

// utf8Text with every control character (U+0000 to U+001F, U+007F to U+009F) but the tab
// replaced by U+FFFD, the replacement character: for outputs whose readers cannot hold them.
std::string printableText(std::string_view bytes);

}  // namespace flownet
