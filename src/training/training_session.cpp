#include "training_session.h"

#include <cstdio>

TrainingSession::TrainingSession()
{
    if (dictionary.Load("english.idx", "english.key", "english.dct") == 0) {
        std::fprintf(stderr,
                     "parrot: the pronunciation dictionary (english.idx, english.key, english.dct) "
                     "could not be loaded; every word will be spelled out\n");
    }
}
