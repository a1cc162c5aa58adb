// The caption service's side of the caption downloader: a video's id from
// its watch address, the requests for the track list and for one track, the
// tracks a list offers, and a track's text split into sentences.
//
// Pure text work on documents already decoded to UTF-16. A broken or empty
// document gives an empty result, never an error: the dialog ends silently.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace captions {

// The id after videoSite + "/watch?v=" up to the first "&" or "/" after it
// (or the end); empty when the address has no such part.
std::u16string videoIdOf(std::u16string_view address, std::u16string_view videoSite);

struct Track {
    std::u16string label;  // lang_original: the language's own name; empty makes a separator
    std::u16string code;   // lang_code
    std::u16string name;   // name
};

std::u16string trackListUrl(std::u16string_view host, std::u16string_view videoId);
// Query values are percent-encoded as UTF-8, so that a track name holding
// "&", "#" or "+" still names that track.
std::u16string trackUrl(std::u16string_view host, const Track& track, std::u16string_view videoId);

// The track elements of a track list, in document order; empty when the text
// is no XML document.
std::vector<Track> readTrackList(std::u16string_view xml);

// The track's text elements, each decoded (references, escapes, each line
// break a space) and followed by one space; empty when the text is no XML
// document.
std::u16string captionText(std::u16string_view xml);

// The text cut at sentence boundaries: each sentence runs from the end of
// the one before it to its own end, without a final space.
std::vector<std::u16string> splitSentences(std::u16string_view text);

}  // namespace captions
