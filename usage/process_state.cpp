#include "usage/process_state.h"

#include "usage/candidates.h"

ProcessState::ProcessState() { CandidateList.releaseItem = ReleaseCandidate; }
