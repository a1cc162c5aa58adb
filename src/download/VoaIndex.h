// The news-item list's texts: the id3 block a news page gives, and the HTML
// index of the listed items (grouped by category, or all by day), with the
// filing of the items' sentence-list files into one folder per category.
// Everything here reads files and text only; nothing blocks on the network.
#pragma once

#include <string>
#include <vector>

namespace voa {

// A category of the list: its display text and its items' sentence-list files.
struct Category {
    std::u16string name;
    std::vector<std::u16string> files;
};

// The id3 block for a news page at address, each line ending in CR LF: title
// (up to " | " in the page's title), empty category, official site, source
// file ("file=" up to "&"), and the year, month and day of its "live_date".
std::u16string id3Block(const std::u16string& page, const std::u16string& address);

// One item's block, from the id3 block of its sentence-list file (empty
// fields when the file cannot be read); its XML link is publish + "/" + the
// file's name.
std::u16string itemBlock(const std::u16string& file, const std::u16string& publish);

// The index: every category with its subject line and its items.
std::u16string indexHtml(const std::vector<Category>& categories, const std::u16string& publish);
// prefix, then every item of every category in one category block, the
// largest day first (items of equal days in reverse list order).
std::u16string orderedHtml(const std::u16string& prefix, const std::vector<Category>& categories,
                           const std::u16string& publish);
// The day the ordering uses: the id3 block's day, 30 without one, 1 for a
// file that cannot be read or has no id3 block.
int orderDay(const std::u16string& file);

// Creates folder and in it one folder per category (its name made a safe
// file name) holding a copy of each of its files; an existing file is never
// replaced. False when a folder could not be made.
bool fileCategories(const std::vector<Category>& categories, const std::u16string& folder);

}  // namespace voa
