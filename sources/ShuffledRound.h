// The order in which pictures are drawn when none may repeat before all were shown:
// rounds of every index once, each round shuffled anew with the runtime's rand(), and
// the first of a round never the last of the round before.
#pragma once

#include <vector>

class ShuffledRound {
public:
    // The next index in [0, count); -1 when count is 0. A count that grew since the
    // last call joins the current round with its new indices; one that shrank starts
    // a new round.
    int next(int count);

private:
    void startRound(int count);

    std::vector<int> pending;  // the rest of this round, drawn from the back
    int roundCount = 0;
    int last = -1;
};
