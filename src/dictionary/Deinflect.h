// A guess at the base form of an inflected English word from its last three
// letters (happily -> happy, stopped -> stop, boxes -> box, biggest -> big),
// for the second try of a dictionary look-up that found nothing. Words of
// three letters or fewer come back unchanged; comparisons are case-sensitive.
#pragma once

#include <string>

std::u16string deinflect(const std::u16string& word);
