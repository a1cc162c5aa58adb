// Turning text cut out of a web page into plain text: character references,
// backslash escapes and line breaks. The input is UTF-16 the caller has
// already decoded from the page's bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Decodes, left to right:
//  - CR and LF are dropped; with breaksToSpaces each CR, LF or CR LF gives one
//    space;
//  - a backslash escape: \n gives CR LF, \r nothing, \t a tab, any other
//    character itself; a backslash at the very end is dropped;
//  - "&name;" and "&#digits;" references (decimal only, modulo 65536; "&",
//    "#" and the name at most 10 characters): a name lookupEntity does not
//    know gives "!". When a reference gave "&", a named reference right
//    behind it decodes with it ("&amp;lt;" gives "<"), so doubly escaped
//    text comes out plain;
//  - anything else, and a reference that does not qualify, is copied.
std::u16string decodePageText(std::u16string_view text, bool breaksToSpaces);

// Replaces a fixed set of references in one pass ("&amp;lt;" gives "&lt;");
// other references stay as written.
std::u16string decodeBasicEntities(std::u16string_view text);

// The character of an HTML 4.01 named reference (exact case), with "apos"
// added, "nbsp" a plain space, and fnof, rsaquo and euro left out.
std::optional<char16_t> lookupEntity(std::u16string_view name);
