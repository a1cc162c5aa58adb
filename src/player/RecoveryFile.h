// Where the player keeps a sentence list that could not be saved because
// nobody was there to answer (the process was told to end by a signal): one
// file per audio file in the user's state folder,
// $XDG_STATE_HOME/veltrix/<audio name>-<8 hex digits>.xml (default
// ~/.local/state/veltrix/). The digits are a hash of the audio file's whole
// path, so two lessons of the same name in different folders keep apart.
//
// The file is an ordinary sentence-list file naming the audio, written
// through a temporary file: it is whole or it is not there.
#pragma once

#include <string>

#include "lyrics/SentenceList.h"

namespace recovery {

// The recovery file of an audio file (empty when the user has no state folder).
std::u16string pathFor(const std::u16string& audioPath);
// Writes the document (rows, word list, id3) as the audio's recovery file,
// making the folder when needed; false when it could not be written. Shows
// nothing: nobody is there to see it. The document is left as it was.
bool keep(SentenceList& document, const std::u16string& audioPath);
// Whether the audio has a recovery file.
bool exists(const std::u16string& audioPath);
// Removes the audio's recovery file.
void discard(const std::u16string& audioPath);

}  // namespace recovery
