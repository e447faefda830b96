#pragma once

#include "ViewObject.h"

namespace ox {
class Event;
}

/// The score at the top centre of the window, in red, labelled "Score". Notes
/// add their points with view events tagged "Score".
class ScoreBoard : public ox::ViewObject {
public:
    /// "Score" with the value 0 at the top centre, red.
    ScoreBoard();

    /// 1 when the view object took the event (a "Score" view event), else 0.
    int eventHandler(const ox::Event* p_e) override;
};

/// The value of the score board in the world; 0 when there is none (the song
/// never started).
int currentScore();
